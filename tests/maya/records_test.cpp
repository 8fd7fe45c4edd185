// Material names on the wire: the tag of each shading engine an instance uses.

#include "SceneHarness.h"

#include <gtest/gtest.h>

using namespace kvt;

namespace {

class Materials : public ::testing::Test {
protected:
    SceneHarness scene;

    const Record* transformIn(const std::vector<Record>& records)
    {
        for (const Record& r : records)
            if (!r.deleted() && r.kind == RecordKind::Transform && r.hasData())
                return &r;
        return nullptr;
    }
};

TEST_F(Materials, UntaggedShadingEngineGivesAnEmptyName)
{
    scene.mel("polyCube -n box");
    auto records = scene.frame();
    const Record* box = transformIn(records);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->size, 112u);
    ASSERT_EQ(box->materials.size(), 1u);
    EXPECT_EQ(box->materials[0], kvt::Optional<std::u16string>(u""));
}

TEST_F(Materials, TaggedShadingEngineNameArrivesWithTheInstance)
{
    scene.mel("polyCube -n box");
    scene.frame();
    scene.mel("shadingNode -asShader lambert -n chrome");
    scene.mel("sets -renderable true -noSurfaceShader true -empty -name chromeSG");
    scene.mel("connectAttr chrome.outColor chromeSG.surfaceShader");
    scene.mel("setAttr -type \"string\" chromeSG.UE4Material \"/Game/Materials/M_Chrome\"");
    scene.mel("sets -e -forceElement chromeSG box");
    auto records = scene.frame();
    const Record* box = transformIn(records);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->size, 112u);
    ASSERT_EQ(box->materials.size(), 1u);
    EXPECT_EQ(box->materials[0], kvt::Optional<std::u16string>(u"/Game/Materials/M_Chrome"));
    // The assignment re-sent the mesh too (its sections follow the sets).
    bool meshSent = false;
    for (const Record& r : records)
        meshSent |= r.kind == RecordKind::Mesh && r.hasData();
    EXPECT_TRUE(meshSent);
}

} // namespace
