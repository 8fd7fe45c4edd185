// A scene built, edited and taken apart in Maya, one frame after each step, with the
// editor's mirror compared to Maya's scene object by object after every frame.

#include "CrossSide.h"

#include <gtest/gtest.h>

namespace crossside {
namespace {

class CrossSideScene : public CrossSideTest {
protected:
    // One good frame: written, answered, accepted.
    void GoodFrame(const std::string& step)
    {
        const FrameOutcome out = Frame();
        EXPECT_TRUE(out.written && out.replied) << step << ": the frame did not go through";
    }
};

TEST_F(CrossSideScene, EveryStepOfASceneIsMirroredAfterItsFrame)
{
    Mel("polyCube -n box");
    Mel("move 1 2 3 box");
    GoodFrame("a cube");
    EXPECT_EQ(ExpectMirrorEqualsScene("a cube"), 1u);

    // Two instances of one shape: two components drawing one mesh node.
    Mel("polySphere -n ball -sx 8 -sy 6");
    Mel("instance -n ball2 ball");
    Mel("move -5 0 0 ball2");
    Mel("rotate 0 45 0 ball2");
    Mel("nurbsPlane -n sheet -w 4 -u 2 -v 2");
    Mel("move 0 0 -6 sheet");
    GoodFrame("a sphere with two instances and a NURBS plane");
    EXPECT_EQ(ExpectMirrorEqualsScene("a sphere with two instances and a NURBS plane"), 4u);

    Mel("ambientLight -n amb -i 0.3");
    Mel("directionalLight -n sun -i 0.8");
    Mel("rotate -45 30 0 sun");
    Mel("pointLight -n lamp -i 2");
    Mel("move 2 4 1 lamp");
    Mel("spotLight -n spot -ca 30");
    Mel("move 0 6 0 spot");
    Mel("rotate -90 0 0 spot");
    GoodFrame("the four lights");
    EXPECT_EQ(ExpectMirrorEqualsScene("the four lights"), 8u);

    // Moving a group moves what lies below it: the children's world matrices change.
    Mel("group -n grp box ball");
    Mel("move -r 0 1 0 grp");
    Mel("rotate 0 30 0 grp");
    Mel("scale 2 2 2 grp");
    GoodFrame("a group moved, turned and scaled");
    EXPECT_EQ(ExpectMirrorEqualsScene("a group moved, turned and scaled"), 8u);

    // Two tagged shading engines: the whole cube, and some faces of the sphere's first
    // instance (a second section of the shape).
    TaggedShadingEngine("red", "/Game/Materials/M_Red");
    Mel("sets -e -forceElement redSG box");
    TaggedShadingEngine("blue", "/Game/Materials/MI_Blue");
    Mel("sets -e -forceElement blueSG ball.f[0:7]");
    GoodFrame("materials from two shading engines");
    EXPECT_EQ(ExpectMirrorEqualsScene("materials from two shading engines"), 8u);

    // Re-parenting gives an instance a new DAG path: the old one goes, the new one comes.
    Mel("parent lamp grp");
    Mel("parent ball2 grp");
    GoodFrame("a light and an instance re-parented into the group");
    EXPECT_EQ(ExpectMirrorEqualsScene("a light and an instance re-parented into the group"), 8u);

    // Hidden through the transform, and through the shape's own plug.
    Mel("hide box");
    Mel("hide spot");
    Mel("setAttr sheetShape.visibility 0");
    GoodFrame("hiding");
    EXPECT_EQ(ExpectMirrorEqualsScene("hiding"), 8u);
    Mel("showHidden box");
    Mel("setAttr sheetShape.visibility 1");
    GoodFrame("showing again");
    EXPECT_EQ(ExpectMirrorEqualsScene("showing again"), 8u);

    Mel("delete sheet");
    Mel("delete amb");
    GoodFrame("a NURBS plane and the ambient light deleted");
    EXPECT_EQ(ExpectMirrorEqualsScene("a NURBS plane and the ambient light deleted"), 6u);

    // The group takes the cube, both instances of the sphere and the point light with it.
    Mel("delete grp");
    GoodFrame("the group deleted");
    EXPECT_EQ(ExpectMirrorEqualsScene("the group deleted"), 2u);

    Mel("delete sun spot");
    GoodFrame("the last lights deleted");
    EXPECT_EQ(ExpectMirrorEqualsScene("the last lights deleted"), 0u);
}

TEST_F(CrossSideScene, AnInstanceDeletedWhileOthersRemainTakesOnlyItsComponent)
{
    Mel("polySphere -n ball -sx 8 -sy 6");
    Mel("instance -n ball2 ball");
    Mel("instance -n ball3 ball");
    Mel("move 3 0 0 ball2");
    Mel("move -3 0 0 ball3");
    GoodFrame("three instances of a sphere");
    EXPECT_EQ(ExpectMirrorEqualsScene("three instances of a sphere"), 3u);
    Mel("delete ball2");
    GoodFrame("the middle instance deleted");
    EXPECT_EQ(ExpectMirrorEqualsScene("the middle instance deleted"), 2u);
}

// Deleting a shape's instances one at a time: the last one takes the shape with it, so
// that neither Maya's mirror nor the editor keeps it.
TEST_F(CrossSideScene, TheLastOfAShapesInstancesDeletedTakesTheShape)
{
    Mel("polySphere -n ball -sx 8 -sy 6");
    Mel("instance -n ball2 ball");
    GoodFrame("two instances of a sphere");
    Mel("delete ball2");
    GoodFrame("one instance deleted");
    EXPECT_EQ(ExpectMirrorEqualsScene("one instance deleted"), 1u);
    Mel("delete ball");
    GoodFrame("the other deleted");
    EXPECT_EQ(ExpectMirrorEqualsScene("the other deleted"), 0u);
}

// A mesh whose shading engine is deleted belongs to no set: it has no sections then, and
// stays mirrored where it is.
TEST_F(CrossSideScene, AMeshWhoseShadingEngineIsDeletedStaysMirrored)
{
    Mel("polyCube -n box");
    Mel("move 0 2 0 box");
    TaggedShadingEngine("red", "/Game/Materials/M_Red");
    Mel("sets -e -forceElement redSG box");
    GoodFrame("a red cube");
    EXPECT_EQ(ExpectMirrorEqualsScene("a red cube"), 1u);
    Mel("delete redSG");
    Mel("move 0 4 0 box");
    GoodFrame("its shading engine deleted");
    EXPECT_EQ(ExpectMirrorEqualsScene("its shading engine deleted"), 1u);
}

TEST_F(CrossSideScene, ANewSessionBringsTheWholeSceneBackAfterTheLinkWasLetGo)
{
    Mel("polyCube -n box");
    Mel("instance -n box2 box");
    Mel("move 0 3 0 box2");
    Mel("spotLight -n spot");
    GoodFrame("the scene");
    EXPECT_EQ(ExpectMirrorEqualsScene("the scene"), 3u);

    // Maya lets go (its driver does when a reply is refused) and edits on; the next claim
    // starts a new session that replaces whatever the editor held.
    Maya->disconnect();
    Mel("move 4 0 0 box");
    Mel("delete box2");
    Mel("pointLight -n lamp");
    const FrameOutcome out = Frame();
    EXPECT_TRUE(out.newSession);
    EXPECT_TRUE(out.written && out.replied);
    EXPECT_EQ(ExpectMirrorEqualsScene("the new session"), 3u);
}

// What was hidden and which materials were assigned must survive a new session: the
// editor drops its whole mirror then, and the records of the resent scene are all it has.
TEST_F(CrossSideScene, ANewSessionKeepsWhatIsHiddenAndTheMaterials)
{
    Mel("polyCube -n box");
    TaggedShadingEngine("red", "/Game/Materials/M_Red");
    Mel("sets -e -forceElement redSG box");
    Mel("polySphere -n ball -sx 6 -sy 4");
    Mel("setAttr ballShape.visibility 0");
    Mel("pointLight -n lamp");
    Mel("hide lamp");
    GoodFrame("the scene");
    EXPECT_EQ(ExpectMirrorEqualsScene("the scene"), 3u);

    Maya->disconnect();
    const FrameOutcome out = Frame();
    EXPECT_TRUE(out.newSession);
    EXPECT_TRUE(out.written && out.replied);
    EXPECT_EQ(ExpectMirrorEqualsScene("the new session"), 3u);
}

// A light's component has one visibility flag, and a light is shown only while both its
// transform path and its shape are visible in Maya.
TEST_F(CrossSideScene, ALightHiddenThroughItsTransformStaysHiddenWhenItsShapeChanges)
{
    Mel("spotLight -n spot");
    Mel("hide spot");
    GoodFrame("a hidden spot light");
    EXPECT_EQ(ExpectMirrorEqualsScene("a hidden spot light"), 1u);
    Mel("setAttr spotShape.intensity 3");
    GoodFrame("its intensity changed");
    EXPECT_EQ(ExpectMirrorEqualsScene("its intensity changed"), 1u);
}

TEST_F(CrossSideScene, ALightHiddenThroughItsShapeStaysHiddenWhenItsTransformIsShown)
{
    Mel("pointLight -n lamp");
    Mel("setAttr lampShape.visibility 0");
    GoodFrame("a light hidden through its shape");
    EXPECT_EQ(ExpectMirrorEqualsScene("a light hidden through its shape"), 1u);
    Mel("hide lamp");
    GoodFrame("its transform hidden");
    Mel("showHidden lamp");
    GoodFrame("its transform shown");
    EXPECT_EQ(ExpectMirrorEqualsScene("its transform shown"), 1u);
}

TEST_F(CrossSideScene, ChangesMadeWhileHiddenShowWhenShownAgain)
{
    TaggedShadingEngine("red", "/Game/Materials/M_Red");
    TaggedShadingEngine("grey", "/Game/Materials/M_Grey");
    Mel("polyCube -n box");
    Mel("sets -e -forceElement redSG box");
    GoodFrame("a red cube");
    Mel("hide box");
    GoodFrame("hidden");
    Mel("sets -e -forceElement greySG box");
    GoodFrame("grey while hidden");
    Mel("instance -n twin box");
    Mel("move 3 0 0 twin");
    GoodFrame("an instance of the hidden cube");
    Mel("sets -e -forceElement redSG box");
    Mel("showHidden box");
    Mel("showHidden twin");
    GoodFrame("red again and shown");
    EXPECT_EQ(ExpectMirrorEqualsScene("red again and shown"), 2u);
}

} // namespace
} // namespace crossside
