// Light records and the quarter turn of light instances.

#include "SceneHarness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kvt;

namespace {

class Lights : public ::testing::Test {
protected:
    SceneHarness scene;

    std::vector<Record> lightFrame(const std::string& mel)
    {
        scene.mel(mel);
        return scene.frame();
    }
};

TEST_F(Lights, IntensityAndColour)
{
    auto records = lightFrame("pointLight -n lamp -i 1.0 -rgb 1 0.5 0.25");
    ASSERT_EQ(records.size(), 2u);
    ASSERT_EQ(records[0].kind, RecordKind::PointLight);
    EXPECT_FLOAT_EQ(+records[0].light.intensity, 100.0f);
    EXPECT_FLOAT_EQ(+records[0].light.color[1], 0.5f);
    EXPECT_FLOAT_EQ(+records[0].light.color[2], 0.25f);
}

TEST_F(Lights, SpotConeUsesTheHalfAngleFactorAndIsOrdered)
{
    auto records = lightFrame("spotLight -n spot -ca 40 -p 0");
    ASSERT_EQ(records[0].kind, RecordKind::SpotLight);
    // 40 degrees = 0.6981 rad; × 90 / 3.1415.
    EXPECT_NEAR(records[0].spot.innerConeAngle, 20.00059f, 1e-3);
    EXPECT_NEAR(records[0].spot.outerConeAngle, 20.00059f, 1e-3);

    scene.mel("setAttr spotShape.penumbraAngle -10");
    auto narrowed = scene.frame();
    ASSERT_EQ(narrowed.size(), 1u); // only the light's record: its instance did not move
    EXPECT_LT(+narrowed[0].spot.innerConeAngle, +narrowed[0].spot.outerConeAngle);
    EXPECT_NEAR(narrowed[0].spot.outerConeAngle, 20.00059f, 1e-3);
}

TEST_F(Lights, LightInstancesAreTurnedAQuarterAboutTheirY)
{
    auto records = lightFrame("directionalLight -n sun; ambientLight -n amb");
    const Record* sun = nullptr;
    const Record* amb = nullptr;
    std::uint64_t sunShape = 0;
    for (const Record& r : records) {
        if (r.kind == RecordKind::DirectionalLight)
            sunShape = r.identity;
    }
    for (const Record& r : records)
        if (r.kind == RecordKind::Transform && r.hasData())
            (r.transform.shapeRef == sunShape ? sun : amb) = &r;
    ASSERT_TRUE(sun && amb);
    // Unturned, the X axis row is (1, 0, 0); turned, Maya's X axis becomes -Z, written
    // (x, z, y) as (0, -1, 0).
    EXPECT_FLOAT_EQ(+amb->transform.worldMatrix[0], 1.0f);
    EXPECT_NEAR(sun->transform.worldMatrix[0], 0.0f, 1e-6);
    EXPECT_NEAR(sun->transform.worldMatrix[1], -1.0f, 1e-6);
    EXPECT_NEAR(sun->transform.worldMatrix[2], 0.0f, 1e-6);
}

} // namespace
