// The messages that edits fire, in order and with their arguments.
#include "Support.h"

#include <maya/MDGMessage.h>
#include <maya/MDagMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>
#include <maya/MFnLight.h>
#include <maya/MSceneMessage.h>
#include <maya/MTimerMessage.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

struct Recorder {
    std::vector<std::string> log;
    std::vector<MCallbackId> ids;

    ~Recorder() {
        for (MCallbackId id : ids) MMessage::removeCallback(id);
    }

    void keep(MCallbackId id, const MStatus& status) {
        ASSERT_TRUE(status);
        ids.push_back(id);
    }

    static Recorder& of(void* data) { return *static_cast<Recorder*>(data); }

    static void added(MObject& node, void* data) { of(data).log.push_back("added " + nameOf(node)); }
    static void removed(MObject& node, void* data) { of(data).log.push_back("removed " + nameOf(node)); }
    static void childAdded(MDagPath& child, MDagPath& parent, void* data) {
        of(data).log.push_back(std::string("child+ ") + child.fullPathName().asChar() + " under " +
                               (parent.length() ? parent.fullPathName().asChar() : "world"));
    }
    static void childRemoved(MDagPath& child, MDagPath& parent, void* data) {
        of(data).log.push_back(std::string("child- ") + child.fullPathName().asChar() + " under " +
                               (parent.length() ? parent.fullPathName().asChar() : "world"));
    }
    static void connection(MPlug& src, MPlug& dst, bool made, void* data) {
        of(data).log.push_back(std::string(made ? "connect " : "disconnect ") + src.name().asChar() + " -> " +
                               dst.name().asChar());
    }
    static void beforeNew(void* data) { of(data).log.push_back("before new"); }
    static void beforeOpen(void* data) { of(data).log.push_back("before open"); }
    static void dirty(MObject& node, MPlug& plug, void* data) {
        of(data).log.push_back("dirty " + nameOf(node) + "." + plug.partialName().asChar());
    }
    static void matrix(MObject& transform, MDagMessage::MatrixModifiedFlags& flags, void* data) {
        of(data).log.push_back("matrix " + nameOf(transform) + (flags & MDagMessage::kTranslateX ? " tx" : ""));
    }

    void watchScene() {
        MStatus s;
        keep(MDGMessage::addNodeAddedCallback(added, "dependNode", this, &s), s);
        keep(MDGMessage::addNodeRemovedCallback(removed, "dependNode", this, &s), s);
        keep(MDagMessage::addChildAddedCallback(childAdded, this, &s), s);
        keep(MDagMessage::addChildRemovedCallback(childRemoved, this, &s), s);
        keep(MDGMessage::addPreConnectionCallback(connection, this, &s), s);
        keep(MSceneMessage::addCallback(MSceneMessage::kBeforeNew, beforeNew, this, &s), s);
        keep(MSceneMessage::addCallback(MSceneMessage::kBeforeOpen, beforeOpen, this, &s), s);
    }
    void watchDirty(const std::string& name) {
        MStatus s;
        MObject node = nodeOf(name);
        keep(MNodeMessage::addNodeDirtyPlugCallback(node, dirty, this, &s), s);
    }
    void watchMatrix(const std::string& path) {
        MStatus s;
        MDagPath p = pathOf(path);
        keep(MDagMessage::addWorldMatrixModifiedCallback(p, matrix, this, &s), s);
    }
    bool has(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
    size_t count(const std::string& prefix) const {
        return std::count_if(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    }
};

using Messages = SceneTest;

TEST_F(Messages, CreatingAMeshAddsTransformThenShapeAndJoinsTheDefaultSet) {
    Recorder r;
    r.watchScene();
    mel("polyCube");
    std::vector<std::string> expected = {
        "added pCube1",
        "child+ |pCube1 under world",
        "added pCubeShape1",
        "child+ |pCube1|pCubeShape1 under |pCube1",
        "connect pCubeShape1.instObjGroups[0] -> initialShadingGroup.dagSetMembers[0]",
    };
    EXPECT_EQ(r.log, expected);
}

TEST_F(Messages, GroupingReparentsUnderTheNewGroup) {
    mel("polyCube");
    Recorder r;
    r.watchScene();
    mel("group -n grp pCube1");
    std::vector<std::string> expected = {
        "added grp",
        "child+ |grp under world",
        "child- |pCube1 under world",
        "child+ |grp|pCube1 under |grp",
    };
    EXPECT_EQ(r.log, expected);
}

TEST_F(Messages, InstancingAddsASecondPathAndItsSetConnection) {
    mel("polyCube");
    Recorder r;
    r.watchScene();
    mel("instance pCube1");
    std::vector<std::string> expected = {
        "added pCube2",
        "child+ |pCube2 under world",
        "connect pCubeShape1.instObjGroups[1] -> initialShadingGroup.dagSetMembers[1]",
        "child+ |pCube2|pCubeShape1 under |pCube2",
    };
    EXPECT_EQ(r.log, expected);
}

TEST_F(Messages, HidingAGroupDirtiesItsVisibilityPlugOnly) {
    mel("polyCube; group -n grp pCube1");
    Recorder r;
    r.watchDirty("grp");
    r.watchDirty("pCubeShape1");
    mel("hide grp");
    EXPECT_EQ(r.log, std::vector<std::string>{"dirty grp.v"});
    mel("setAttr grp.overrideEnabled 1");
    EXPECT_TRUE(r.has("dirty grp.ove"));
    EXPECT_TRUE(r.has("dirty grp.do")); // the compound parent is dirtied with its child
}

TEST_F(Messages, MovingAGroupReportsEveryInstanceBelowIt) {
    mel("polyCube; group -n grp pCube1; instance -n other pCube1; parent other grp");
    Recorder r;
    r.watchMatrix("|grp|pCube1|pCubeShape1");
    r.watchMatrix("|grp|other|pCubeShape1");
    mel("polySphere");
    r.watchMatrix("|pSphere1|pSphereShape1");
    mel("move -r 1 0 0 grp");
    EXPECT_EQ(r.log, (std::vector<std::string>{"matrix grp tx", "matrix grp tx"}));
    r.log.clear();
    mel("setAttr pCube1.ry 45");
    EXPECT_EQ(r.log, std::vector<std::string>{"matrix pCube1"});
}

TEST_F(Messages, AssigningFacesToTwoSetsBreaksAndMakesConnections) {
    mel("polyCube; shadingNode -asShader lambert; shadingNode -asShader lambert");
    mel("sets -renderable true -noSurfaceShader true -empty -name redSG");
    mel("sets -renderable true -noSurfaceShader true -empty -name blueSG");
    Recorder r;
    r.watchScene();
    mel("sets -e -forceElement redSG pCube1.f[0:2]");
    std::vector<std::string> expected = {
        "disconnect pCubeShape1.instObjGroups[0] -> initialShadingGroup.dagSetMembers[0]",
        "connect pCubeShape1.instObjGroups[0].objectGroups[0] -> redSG.dagSetMembers[0]",
        "connect pCubeShape1.instObjGroups[0].objectGroups[1] -> initialShadingGroup.dagSetMembers[1]",
    };
    EXPECT_EQ(r.log, expected);
    r.log.clear();
    mel("sets -e -forceElement blueSG pCube1.f[3:5]");
    EXPECT_EQ(r.count("disconnect"), 2u);
    EXPECT_TRUE(r.has("connect pCubeShape1.instObjGroups[0].objectGroups[0] -> redSG.dagSetMembers[1]"));
    EXPECT_TRUE(r.has("connect pCubeShape1.instObjGroups[0].objectGroups[1] -> blueSG.dagSetMembers[0]"));
    EXPECT_EQ(r.count("connect"), 2u);
}

TEST_F(Messages, AssignmentThroughHyperShadeCreatesAShadingGroup) {
    mel("polyCube; select -r pCube1");
    MSelectionList saved;
    MGlobal::getActiveSelectionList(saved);
    std::string shader = melString("shadingNode -asShader lambert").asChar();
    MSelectionList now;
    MGlobal::getActiveSelectionList(now);
    MObject selected;
    ASSERT_TRUE(now.getDependNode(0, selected));
    EXPECT_EQ(nameOf(selected), shader); // creating the shader selected it
    ASSERT_TRUE(MGlobal::setActiveSelectionList(saved));
    Recorder r;
    r.watchScene();
    mel("hyperShade -assign " + shader);
    std::vector<std::string> expected = {
        "added " + shader + "SG",
        "connect " + shader + ".outColor -> " + shader + "SG.surfaceShader",
        "disconnect pCubeShape1.instObjGroups[0] -> initialShadingGroup.dagSetMembers[0]",
        "connect pCubeShape1.instObjGroups[0] -> " + shader + "SG.dagSetMembers[0]",
    };
    EXPECT_EQ(r.log, expected);
}

TEST_F(Messages, DeletingBreaksConnectionsThenDetachesThenRemovesChildrenFirst) {
    mel("polyCube");
    Recorder r;
    r.watchScene();
    mel("delete pCube1");
    std::vector<std::string> expected = {
        "disconnect pCubeShape1.instObjGroups[0] -> initialShadingGroup.dagSetMembers[0]",
        "child- |pCube1 under world",
        "removed pCubeShape1",
        "removed pCube1",
    };
    EXPECT_EQ(r.log, expected);
    EXPECT_FALSE(MGlobal::executeCommand("select pCube1"));
}

TEST_F(Messages, NewSceneAnnouncesItselfAndRemovesTheNodes) {
    mel("polyCube");
    Recorder r;
    r.watchScene();
    mel("file -f -new");
    ASSERT_FALSE(r.log.empty());
    EXPECT_EQ(r.log.front(), "before new");
    EXPECT_TRUE(r.has("removed pCube1"));
    EXPECT_TRUE(r.has("removed pCubeShape1"));
    EXPECT_FALSE(r.has("before open"));
}

// A callback that removes itself and another one while messages are being delivered.
struct SelfRemoving {
    MCallbackId self = 0, other = 0;
    int selfCalls = 0, otherCalls = 0;
};

TEST_F(Messages, CallbacksRemoveCleanlyFromInsideACallback) {
    SelfRemoving state;
    state.self = MDGMessage::addNodeAddedCallback(
        [](MObject&, void* data) {
            auto* s = static_cast<SelfRemoving*>(data);
            ++s->selfCalls;
            EXPECT_TRUE(MMessage::removeCallback(s->self));
            EXPECT_TRUE(MMessage::removeCallback(s->other));
        },
        "dependNode", &state);
    state.other = MDGMessage::addNodeAddedCallback(
        [](MObject&, void* data) { ++static_cast<SelfRemoving*>(data)->otherCalls; }, "dependNode", &state);
    mel("polyCube");
    EXPECT_EQ(state.selfCalls, 1);
    EXPECT_EQ(state.otherCalls, 0); // removed before its turn
    EXPECT_FALSE(MMessage::removeCallback(state.self));
}

TEST_F(Messages, NodeAddedFiltersByType) {
    int transforms = 0;
    MCallbackId id = MDGMessage::addNodeAddedCallback([](MObject&, void* n) { ++*static_cast<int*>(n); },
                                                      "transform", &transforms);
    mel("polyCube; pointLight; shadingNode -asShader lambert");
    MMessage::removeCallback(id);
    EXPECT_EQ(transforms, 2);
}

TEST_F(Messages, GeometryAndLightEditsDirtyTheShape) {
    mel("polyCube; pointLight");
    Recorder r;
    r.watchDirty("pCubeShape1");
    r.watchDirty("pointLightShape1");
    mel("polyColorPerVertex -rgb 0 1 0 pCube1.vtx[0:3]");
    EXPECT_EQ(r.log, std::vector<std::string>{"dirty pCubeShape1.i"});
    r.log.clear();
    // Moving vertices edits the geometry; the transform's matrix stays.
    r.watchMatrix("|pCube1|pCubeShape1");
    mel("move -r 0 1 0 pCube1.vtx[0:3]; xform -r -t 1 0 0 pCube1.vtx[4]");
    EXPECT_EQ(r.log, (std::vector<std::string>{"dirty pCubeShape1.i", "dirty pCubeShape1.i"}));
    r.log.clear();
    mel("setAttr pointLightShape1.intensity 2");
    ASSERT_TRUE(MFnLight(nodeOf("pointLightShape1")).setColor(MColor(1, 0, 0)));
    std::vector<std::string> expected = {"dirty pointLightShape1.in", "dirty pointLightShape1.cr",
                                         "dirty pointLightShape1.cg", "dirty pointLightShape1.cb",
                                         "dirty pointLightShape1.cl"};
    EXPECT_EQ(r.log, expected);
}

TEST_F(Messages, BreakingAndReplacingConnectionsAreAnnounced) {
    mel("shadingNode -asShader lambert; sets -renderable true -noSurfaceShader true -empty -name sg");
    mel("connectAttr lambert2.outColor sg.surfaceShader");
    Recorder r;
    r.watchScene();
    mel("shadingNode -asShader lambert");
    r.log.clear();
    EXPECT_FALSE(MGlobal::executeCommand("connectAttr lambert3.outColor sg.surfaceShader")); // taken
    mel("connectAttr -f lambert3.outColor sg.surfaceShader");
    mel("disconnectAttr lambert3.outColor sg.surfaceShader");
    std::vector<std::string> expected = {
        "disconnect lambert2.outColor -> sg.surfaceShader",
        "connect lambert3.outColor -> sg.surfaceShader",
        "disconnect lambert3.outColor -> sg.surfaceShader",
    };
    EXPECT_EQ(r.log, expected);
}

TEST_F(Messages, OpeningAFileAnnouncesItBeforeTheSceneGoes) {
    std::string file = tempFile("open.ma");
    std::ofstream(file) << "createNode transform -n \"loaded\";\n";
    mel("polyCube");
    Recorder r;
    r.watchScene();
    mel("file -f -o \"" + file + "\"");
    ASSERT_GE(r.log.size(), 3u);
    EXPECT_EQ(r.log[0], "before open");
    EXPECT_TRUE(r.has("removed pCube1"));
    EXPECT_EQ(r.log.back(), "child+ |loaded under world");
    EXPECT_FALSE(r.has("before new"));
}

TEST_F(Messages, APathCutOffTheDagNoLongerReportsMoves) {
    mel("polyCube; polySphere");
    Recorder r;
    r.watchMatrix("|pCube1|pCubeShape1");
    r.watchMatrix("|pSphere1|pSphereShape1");
    mel("group -n grp pCube1 pSphere1; move 0 1 0 grp");
    EXPECT_TRUE(r.log.empty()); // both registered paths are gone: the objects live under grp now
    r.watchMatrix("|grp|pCube1|pCubeShape1");
    mel("move 0 2 0 grp");
    EXPECT_EQ(r.log, std::vector<std::string>{"matrix grp tx"}); // one message for the three channels
}

struct Ticks {
    int calls = 0;
    MCallbackId id = 0;
    bool removeSelf = false;
};

TEST_F(Messages, TimersRunWhileIdleAndCanRemoveThemselves) {
    auto tick = [](float elapsed, float, void* data) {
        auto* t = static_cast<Ticks*>(data);
        ++t->calls;
        EXPECT_GE(elapsed, 0.0f);
        if (t->removeSelf) MMessage::removeCallback(t->id);
    };
    Ticks repeating, once;
    once.removeSelf = true;
    repeating.id = MTimerMessage::addTimerCallback(0.01f, tick, &repeating);
    once.id = MTimerMessage::addTimerCallback(0.01f, tick, &once);
    MStatus status;
    EXPECT_EQ(MTimerMessage::addTimerCallback(0.0f, tick, &once, &status), 0u);
    EXPECT_FALSE(status);
    mel("polyCube; polySphere"); // no idle time in between: no tick
    EXPECT_EQ(repeating.calls, 0);
    mel("pause -sec 0.05");
    EXPECT_GE(repeating.calls, 1);
    EXPECT_EQ(once.calls, 1);
    MMessage::removeCallback(repeating.id);
    int before = repeating.calls;
    mel("pause -sec 0.03");
    EXPECT_EQ(repeating.calls, before);
}

} // namespace
