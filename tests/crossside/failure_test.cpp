// Frames that fail lose nothing: a request whose records do not fit, and a request the
// editor refuses, are each followed by a good frame after which the mirror equals Maya's
// scene again, edits of the failed frame included.

#include "CrossSide.h"
#include "SceneCompare.h"

#include "link/Platform.h"
#include "link/RecordReader.h"

#include "Editor.h"
#include "Engine/World.h"

#include <gtest/gtest.h>

#include <cstring>

namespace crossside {
namespace {

std::vector<UnrealComponentView> Mirror() { return DescribeUnreal(GEditor->GetEditorWorldContext(false).World()); }

// The editor world holds the same components, where they were, as they were.
void ExpectUnchanged(const std::vector<UnrealComponentView>& before)
{
    const std::vector<UnrealComponentView> now = Mirror();
    ASSERT_EQ(now.size(), before.size());
    for (std::size_t i = 0; i < now.size(); ++i) {
        EXPECT_EQ(now[i].component, before[i].component) << i;
        EXPECT_EQ(now[i].visible, before[i].visible) << i;
        EXPECT_EQ(now[i].materials, before[i].materials) << i;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(now[i].world.m[r][c], before[i].world.m[r][c]) << i << " [" << r << "][" << c << "]";
    }
}

// Makes the first index of up to `limit` mesh records name the vertex just past their
// vertices, which the editor's reader refuses. Returns how many it changed.
int CorruptMeshIndices(kvt::SharedRegion& request, int limit)
{
    const kvt::RequestRecords read = kvt::readRecords(request.bytes());
    if (!read.ok()) {
        ADD_FAILURE() << "Maya wrote a request its own reader refuses: " << read.error->message;
        return 0;
    }
    int changed = 0;
    for (const kvt::Record& r : read.records)
        if (changed < limit && r.hasData() && r.kind == kvt::RecordKind::Mesh && r.mesh.indexCount > 0) {
            const std::uint32_t past = std::uint32_t(r.mesh.vertexCount);
            std::memcpy(const_cast<std::uint8_t*>(r.indices), &past, sizeof past);
            ++changed;
        }
    return changed;
}

// A scene of a few kinds of object, mirrored, then edited in ways a lost frame would
// lose: a move, a deletion, a new light.
class CrossSideFailure : public CrossSideTest {
protected:
    void BuildAndMirror()
    {
        Mel("polyCube -n box");
        Mel("polySphere -n ball -sx 6 -sy 4");
        Mel("pointLight -n lamp");
        Mel("move 0 5 0 lamp");
        const FrameOutcome out = Frame();
        ASSERT_TRUE(out.written && out.replied);
        ASSERT_EQ(ExpectMirrorEqualsScene("the first scene"), 3u);
    }
    void EditWhatAFailedFrameMustNotLose()
    {
        Mel("move 3 0 0 box");
        Mel("delete ball");
        Mel("spotLight -n spot");
        Mel("rotate 0 0 30 lamp");
    }
    // The good frame after a failed one: a new session with the whole scene.
    void ExpectRecovery(const std::string& step, std::size_t instances)
    {
        const FrameOutcome out = Frame();
        EXPECT_TRUE(out.newSession) << step;
        EXPECT_TRUE(out.written && out.replied) << step;
        EXPECT_EQ(ExpectMirrorEqualsScene(step), instances);
    }
};

// The request region is made here, before the module loads, no larger than the initial
// view of 16 MiB. The module's creation finds the object of that name and keeps its size
// (a POSIX shared-memory object is only sized when it is new), so neither side's view of
// the request can grow past it. The module takes the name over and removes it when it
// shuts down.
class CrossSideSmallRequest : public CrossSideFailure {
protected:
    void SetUpRegions() override
    {
        Small = kvt::platform::createMapping(Names.request.c_str(), kvt::kInitialView);
        ASSERT_NE(Small, kvt::platform::kInvalidMapping);
    }
    void TearDown() override
    {
        CrossSideFailure::TearDown();
        if (Small != kvt::platform::kInvalidMapping)
            kvt::platform::closeMapping(Small, Names.request.c_str());
    }
    kvt::platform::MappingHandle Small = kvt::platform::kInvalidMapping;
};

// About 360,000 vertices and 720,000 triangles: 20 MB of mesh record, more than the
// 16 MiB request region of CrossSideSmallRequest holds.
const char* const kBigPlane = "polyPlane -n big -w 10 -h 10 -sx 600 -sy 600";

TEST_F(CrossSideSmallRequest, AMeshRecordThatCannotGrowTheViewLosesNothing)
{
    // The module kept the object as it was made: no view past 16 MiB can be mapped.
    std::uint8_t* larger = kvt::platform::mapView(Small, kvt::kInitialView + 4096);
    EXPECT_EQ(larger, nullptr);
    if (larger)
        kvt::platform::unmapView(larger, kvt::kInitialView + 4096);

    ASSERT_NO_FATAL_FAILURE(BuildAndMirror());
    EditWhatAFailedFrameMustNotLose();
    Mel(kBigPlane);
    const std::vector<UnrealComponentView> before = Mirror();
    const FrameOutcome failed = Frame();
    EXPECT_FALSE(failed.written);
    EXPECT_FALSE(Maya->isConnected());
    // Nothing was published: the editor still shows the first scene.
    ExpectUnchanged(before);

    Mel("delete big");
    ExpectRecovery("the good frame after the one that did not fit", 3u); // box, lamp, spot
}

// The same mesh goes through where the request region is the module's own 2 GiB: what
// failed above was the region's size, not the mesh.
TEST_F(CrossSideFailure, TheSameMeshGoesThroughARegionThatCanGrow)
{
    ASSERT_NO_FATAL_FAILURE(BuildAndMirror());
    Mel(kBigPlane);
    const FrameOutcome out = Frame();
    EXPECT_TRUE(out.written && out.replied);
    EXPECT_EQ(ExpectMirrorEqualsScene("the big plane"), 4u);
}

TEST_F(CrossSideFailure, ARefusedRequestLosesNothing)
{
    ASSERT_NO_FATAL_FAILURE(BuildAndMirror());
    EditWhatAFailedFrameMustNotLose();
    Mel("polySphere -n ball2 -sx 6 -sy 4");
    Mel("move 0 0 4 ball2");
    // One index of the new sphere's mesh record names a vertex past its vertices.
    int corrupted = 0;
    const std::vector<UnrealComponentView> before = Mirror();
    const FrameOutcome refused = Frame([&](kvt::SharedRegion& request) { corrupted = CorruptMeshIndices(request, 1); });
    ASSERT_EQ(corrupted, 1);
    EXPECT_TRUE(refused.written);
    EXPECT_FALSE(refused.replied);
    EXPECT_FALSE(Maya->isConnected());
    // The editor applied nothing of it: the first scene, as it was.
    ExpectUnchanged(before);

    ExpectRecovery("the good frame after the refused one", 4u); // box, lamp, spot, ball2
}

// A hide and a material assignment made for a frame the editor refuses (its mesh records
// carry a corrupt index) must reach the editor with the new session that follows.
TEST_F(CrossSideFailure, AHideAndAMaterialOfARefusedFrameAreNotLost)
{
    ASSERT_NO_FATAL_FAILURE(BuildAndMirror());
    Mel("hide lamp");
    TaggedShadingEngine("grey", "/Game/Materials/M_Grey");
    Mel("sets -e -forceElement greySG box");
    int corrupted = 0;
    const FrameOutcome refused = Frame([&](kvt::SharedRegion& request) { corrupted = CorruptMeshIndices(request, 100); });
    ASSERT_GT(corrupted, 0);
    EXPECT_TRUE(refused.written);
    EXPECT_FALSE(refused.replied);
    ExpectRecovery("the good frame after the refused one", 3u); // box, ball, lamp
}

} // namespace
} // namespace crossside
