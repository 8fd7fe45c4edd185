// What each scene edit puts on the wire, read back from the real request bytes.

#include "SceneHarness.h"

#include "Host.h"

#include "link/Platform.h"

#include <gtest/gtest.h>

#include <set>

using namespace kvt;

namespace {

struct Item : DListNode<Item, 1> {
    int id;
    explicit Item(int i) : id(i) {}
};

std::vector<int> order(DListNode<Item, 1>& head)
{
    std::vector<int> ids;
    for (auto* n = head.next; n != &head; n = n->next)
        ids.push_back(n->object()->id);
    return ids;
}

TEST(ChangeList, MarkingMovesToTheEndAndKeepsEveryMember)
{
    DListNode<Item, 1> head;
    Item a(1), b(2), c(3);
    head.insertBefore(&a);
    head.insertBefore(&b);
    head.insertBefore(&c);
    head.insertBefore(&c); // marked again while last: stays, once
    EXPECT_EQ(order(head), (std::vector<int>{1, 2, 3}));
    head.insertBefore(&a);
    EXPECT_EQ(order(head), (std::vector<int>{2, 3, 1}));
    b.unlink();
    EXPECT_FALSE(b.linked());
    EXPECT_EQ(order(head), (std::vector<int>{3, 1}));
}

class Registry : public ::testing::Test {
protected:
    SceneHarness scene;
};

TEST_F(Registry, FirstRequestAfterAClaimCarriesTheWholeSceneShapesFirst)
{
    scene.mel("polyCube -n box");
    scene.mel("pointLight -n lamp");
    scene.mel("instance box");
    // A fresh claim: everything again, as new.
    scene.registry.resync();
    auto records = scene.frame();
    ASSERT_EQ(records.size(), 5u); // two shapes, three instances
    EXPECT_EQ(scene.lastHeader.newCount, 5u);
    EXPECT_TRUE(isShape(records[0]) && isShape(records[1]));
    std::set<std::uint64_t> shapes{records[0].identity, records[1].identity};
    for (int i = 2; i < 5; ++i) {
        const Record& t = records[i];
        EXPECT_EQ(t.kind, RecordKind::Transform);
        EXPECT_TRUE(t.isNew() && t.hasData() && t.visibilityValid() && t.visible());
        EXPECT_EQ(+t.transform.shapeRefIsAddress, 1);
        EXPECT_TRUE(shapes.count(std::uint64_t{t.transform.shapeRef})) << i;
    }
    // Nothing changed: the next request is the header alone.
    EXPECT_TRUE(scene.frame().empty());
    EXPECT_EQ(scene.lastHeader.newCount, 0u);
    EXPECT_EQ(scene.lastHeader.firstRecord, 0);
}

TEST_F(Registry, NewInstanceOfAKnownShapeNamesItsRemoteHandle)
{
    scene.mel("polyCube -n box");
    auto first = scene.frame();
    ASSERT_EQ(first.size(), 2u);
    std::uint64_t shapeHandle = scene.handleOf(first[0].identity);
    ASSERT_NE(shapeHandle, 0u);
    scene.mel("instance box");
    // Instancing also connects the new instance to the shading engine, so the mesh and
    // the first instance come again (not as new), with the new instance.
    int fresh = 0;
    for (const Record& r : scene.frame()) {
        if (!r.isNew())
            continue;
        ++fresh;
        EXPECT_EQ(r.kind, RecordKind::Transform);
        EXPECT_EQ(+r.transform.shapeRefIsAddress, 0);
        EXPECT_EQ(+r.transform.shapeRef, shapeHandle);
    }
    EXPECT_EQ(fresh, 1);
}

TEST_F(Registry, MovingAGroupResendsOnlyTheInstancesBelowIt)
{
    scene.mel("polyCube -n a");
    scene.mel("polyCube -n b");
    scene.mel("polyCube -n outside");
    scene.mel("group -n g a b");
    scene.frame();
    scene.mel("move -r 0 5 0 g");
    auto records = scene.frame();
    ASSERT_EQ(records.size(), 2u);
    for (const Record& r : records) {
        EXPECT_EQ(r.kind, RecordKind::Transform);
        EXPECT_FALSE(r.isNew());
        EXPECT_EQ(r.size, 104u); // materials went with the first record
        EXPECT_FLOAT_EQ(+r.transform.worldMatrix[14], 5.0f); // Maya's Y is written third
        EXPECT_EQ(+r.transform.shapeRef, 0u);
    }
}

TEST_F(Registry, HidingAGroupSendsShortRecordsAndHidingAShapeItsFullRecord)
{
    scene.mel("polyCube -n a");
    scene.mel("instance -n a2 a");
    scene.mel("group -n g a a2");
    scene.frame();

    scene.mel("setAttr g.visibility 0");
    auto hidden = scene.frame();
    ASSERT_EQ(hidden.size(), 2u); // both instances, the mesh is not re-sent
    for (const Record& r : hidden) {
        EXPECT_EQ(r.size, 16u);
        EXPECT_TRUE(r.visibilityValid());
        EXPECT_FALSE(r.visible());
        EXPECT_FALSE(r.hasData());
    }

    scene.mel("setAttr g.visibility 1");
    scene.frame();
    scene.mel("setAttr aShape.visibility 0");
    auto shape = scene.frame();
    ASSERT_EQ(shape.size(), 1u);
    EXPECT_EQ(shape[0].kind, RecordKind::Mesh);
    EXPECT_TRUE(shape[0].hasData());
    EXPECT_TRUE(shape[0].visibilityValid());
    EXPECT_FALSE(shape[0].visible());
    EXPECT_GT(+shape[0].mesh.vertexCount, 0); // the whole body again
}

TEST_F(Registry, ShowMenuResendsEveryShapeWithMeshesHidden)
{
    scene.mel("polyCube -n box");
    scene.mel("spotLight -n spot");
    scene.mel("pointLight -n off");
    scene.mel("setAttr offShape.visibility 0");
    scene.frame();
    // The driver passes the complement of the viewport's object-type exclusions.
    scene.mel("modelEditor -e -polymeshes 0 modelPanel4");
    const std::uint64_t noMeshes = ~mayahost::host::viewport().exclusions;
    EXPECT_EQ(noMeshes & 4, 0u);
    auto records = scene.frame(noMeshes);
    ASSERT_EQ(records.size(), 3u);
    for (const Record& r : records) {
        ASSERT_TRUE(isShape(r));
        EXPECT_TRUE(r.visibilityValid());
        bool expected = r.kind == RecordKind::SpotLight; // the point light's own plug hides it
        EXPECT_EQ(r.visible(), expected) << recordKindName(r.kind);
    }
    // The same mask again changes nothing.
    EXPECT_TRUE(scene.frame(noMeshes).empty());
}

TEST_F(Registry, EditingAMeshTwiceSendsOneRecordAtItsLastPlace)
{
    scene.mel("polyCube -n first");
    scene.mel("polyCube -n second");
    auto sent = scene.frame();
    std::uint64_t firstHandle = scene.handleOf(sent[0].identity);
    scene.mel("polyColorPerVertex -rgb 1 0 0 firstShape");
    scene.mel("polyColorPerVertex -rgb 0 1 0 secondShape");
    scene.mel("polyColorPerVertex -rgb 0 0 1 firstShape");
    auto records = scene.frame();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].identity, firstHandle); // moved behind the second by its last marking
}

TEST_F(Registry, DeletionsOfSentAndUnsentObjects)
{
    scene.mel("polyCube -n sent");
    auto first = scene.frame();
    std::uint64_t shapeHandle = scene.handleOf(first[0].identity);
    std::uint64_t instanceHandle = scene.handleOf(first[1].identity);

    scene.mel("polyCube -n neverSent");
    scene.mel("delete neverSent");
    scene.mel("delete sent");
    auto records = scene.frame();
    ASSERT_EQ(records.size(), 2u); // the unsent cube leaves no trace
    EXPECT_TRUE(records[0].deleted());
    EXPECT_EQ(records[0].identity, instanceHandle); // the instance's deletion first
    EXPECT_EQ(records[0].size, 16u);
    EXPECT_TRUE(records[1].deleted());
    EXPECT_EQ(records[1].identity, shapeHandle);
    EXPECT_TRUE(scene.frame().empty());
}

// The node of a sent shape leaves the scene and comes back before the next request (an
// undo of a delete; a file open can also put a new node at a freed node's address).
TEST_F(Registry, AShapeWaitingForItsDeletionIsNeverHandedToANewInstance)
{
    scene.mel("polyCube -n box");
    auto first = scene.frame();
    ASSERT_EQ(first.size(), 2u);
    MayaSceneObject* oldInstance = nullptr;
    scene.registry.forEachInstance([&](MayaSceneObject* instance) { oldInstance = instance; });
    ASSERT_NE(oldInstance, nullptr);
    MayaShape* doomed = oldInstance->shape;
    const MDagPath path = oldInstance->path;
    const std::uint64_t oldShapeHandle = doomed->remoteHandle;
    const std::uint64_t oldInstanceHandle = oldInstance->remoteHandle;
    ASSERT_NE(oldShapeHandle, 0u);

    scene.registry.removeShape(doomed); // as the node-removed message does
    scene.registry.addSubtree(path);    // and the node-added message when it is back
    MayaSceneObject* fresh = scene.registry.findInstance(path);
    ASSERT_NE(fresh, nullptr);
    ASSERT_NE(fresh, oldInstance);
    ASSERT_NE(fresh->shape, nullptr);
    EXPECT_NE(fresh->shape, doomed);
    EXPECT_FALSE(fresh->shape->deleted);
    EXPECT_EQ(scene.registry.findShape(MObjectHandle(path.node())), fresh->shape);

    auto records = scene.frame();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_TRUE(isShape(records[0]) && records[0].isNew());
    EXPECT_EQ(records[1].kind, RecordKind::Transform);
    EXPECT_TRUE(records[1].isNew());
    EXPECT_EQ(+records[1].transform.shapeRefIsAddress, 1);
    EXPECT_EQ(+records[1].transform.shapeRef, records[0].identity); // the fresh shape (packed: by value)
    EXPECT_TRUE(records[2].deleted());
    EXPECT_EQ(records[2].identity, oldInstanceHandle);
    EXPECT_TRUE(records[3].deleted());
    EXPECT_EQ(records[3].identity, oldShapeHandle);

    // The instance still shows a live shape once the deletions have been written.
    scene.mel("move 1 2 3 box");
    auto moved = scene.frame();
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].identity, scene.handleOf(records[1].identity));
    EXPECT_EQ(scene.registry.findInstance(path)->shape->remoteHandle, scene.handleOf(records[0].identity));
}

TEST_F(Registry, ResyncDropsPendingDeletionsAndResendsEverythingAsNew)
{
    scene.mel("polyCube -n keep");
    scene.mel("polyCube -n gone");
    scene.frame();
    scene.mel("delete gone");
    scene.registry.resync();
    auto records = scene.frame();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(isShape(records[0]) && records[0].isNew());
    EXPECT_TRUE(records[1].isNew());
    EXPECT_EQ(records[1].kind, RecordKind::Transform);
    for (const Record& r : records)
        EXPECT_FALSE(r.deleted());
}

TEST_F(Registry, NewSceneDeletesEverythingSent)
{
    scene.mel("polyCube -n a");
    scene.mel("directionalLight -n sun");
    scene.frame();
    scene.mel("file -f -new");
    auto records = scene.frame();
    ASSERT_EQ(records.size(), 4u);
    for (const Record& r : records)
        EXPECT_TRUE(r.deleted());
}

TEST_F(Registry, AnAmbientLightInstanceGoesWithItsShape)
{
    scene.mel("ambientLight -n amb");
    auto sent = scene.frame();
    ASSERT_EQ(sent.size(), 2u);
    scene.mel("delete amb");
    auto records = scene.frame();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].deleted());
    EXPECT_EQ(records[0].identity, scene.handleOf(sent[1].identity));
    EXPECT_EQ(records[1].identity, scene.handleOf(sent[0].identity));
    // Nothing is left that could still name the destroyed shape.
    EXPECT_TRUE(scene.frame().empty());
}

TEST_F(Registry, ObjectsSharingABucketAreFoundByFullEquality)
{
    // More instances than buckets: some must share one.
    for (int i = 0; i < 600; ++i)
        scene.mel("polyCube -n c" + std::to_string(i));
    auto records = scene.frame();
    EXPECT_EQ(records.size(), 1200u);
    std::set<MayaSceneObject*> found;
    std::set<MayaShape*> shapes;
    scene.registry.forEachInstance([&](MayaSceneObject* instance) {
        EXPECT_EQ(scene.registry.findInstance(instance->path), instance);
        EXPECT_EQ(scene.registry.findShape(instance->shape->node), instance->shape);
        found.insert(instance);
        shapes.insert(instance->shape);
    });
    EXPECT_EQ(found.size(), 600u);
    EXPECT_EQ(shapes.size(), 600u);
}

TEST_F(Registry, HandlesAreOnlyStoredIntoObjectsSentAsNew)
{
    scene.mel("polyCube -n box");
    auto records = scene.frame(~0ull, false);
    ASSERT_EQ(records.size(), 2u);
    // A reply naming an address that was never sent, and one naming a sent object.
    std::uint64_t stray = records[0].identity + 8;
    HandleEntry entries[2] = {{stray, 0x77}, {records[0].identity, 0x99}};
    Reply reply;
    reply.handleTable = reinterpret_cast<const std::uint8_t*>(entries);
    reply.handleCount = 2;
    scene.registry.applyHandles(reply);
    bool stored = false;
    scene.registry.forEachShape([&](MayaShape* shape) { stored = shape->remoteHandle == 0x99; });
    EXPECT_TRUE(stored);
}

} // namespace

namespace {

// The request view cannot grow in the middle of a mesh record: nothing of that frame may be
// lost, neither the records already written nor the marks of what did not fit.
TEST(FailedFrame, ARecordThatDoesNotFitMakesTheNextFrameANewSessionWithTheWholeScene)
{
    SceneHarness scene(17u << 20); // views of 16 MiB fit; the doubling to 32 MiB does not
    scene.mel("polyCube -n small");
    scene.mel("directionalLight -n sun");
    scene.mel("polyPlane -n big -sx 600 -sy 600"); // a mesh record of about 20 MB
    EXPECT_TRUE(scene.frame().empty());
    EXPECT_FALSE(scene.lastFrameComplete);

    scene.mel("delete big");
    scene.mel("move 1 2 3 small");
    auto records = scene.frame();
    ASSERT_TRUE(scene.lastFrameComplete);
    EXPECT_EQ(scene.lastHeader.newSession, 1);
    // The cube and the light, shape and instance each, all new; no deletion of anything
    // the other side never had.
    ASSERT_EQ(records.size(), 4u);
    int shapes = 0;
    for (const Record& r : records) {
        EXPECT_TRUE(r.isNew());
        EXPECT_FALSE(r.deleted());
        shapes += isShape(r);
    }
    EXPECT_EQ(shapes, 2);
    EXPECT_EQ(scene.lastHeader.newCount, 4u);
}

TEST(IdleRefresh, RedrawsOnlyWhenNoFrameRanFor40MillisecondsInAViewMirrorDraws)
{
    SceneHarness scene;
    auto& view = mayahost::host::viewport();
    int before = view.redrawRequests;
    scene.registry.lastDriverTick = 0; // long ago, but no view is drawn by Mirror
    scene.mel("modelEditor -e -rendererOverrideName \"\" modelPanel4");
    mayahost::host::idle(0.1);
    EXPECT_EQ(view.redrawRequests, before) << "Maya's own renderer made to redraw";

    scene.mel("modelEditor -e -rendererOverrideName Mirror modelPanel4");
    scene.registry.lastDriverTick = kvt::platform::tickCountMilliseconds() + 60000; // a frame "just ran"
    mayahost::host::idle(0.1);
    EXPECT_EQ(view.redrawRequests, before);
    scene.registry.lastDriverTick = 0; // long ago
    mayahost::host::idle(0.1);
    EXPECT_GT(view.redrawRequests, before);
    scene.mel("modelEditor -e -rendererOverrideName \"\" modelPanel4");
}

} // namespace
