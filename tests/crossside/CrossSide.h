#pragma once
// Both hosts in one process: the Maya stand-in with the plug-in's scene mirror writing real
// requests, and the Unreal stand-in editor with the mirror module loaded, answering them
// on region names private to the test. A frame is what Maya's frame driver does, with the
// editor's tick in the middle where the other process would run.

#include "EditorFixture.h"

#include "link/Link.h"
#include "link/Optional.h"
#include "scene/MayaSceneRegistry.h"

#include <functional>
#include <memory>
#include <string>

namespace crossside {

// How far one frame got.
struct FrameOutcome {
    bool connected = false;  // connect() claimed or kept the link and it was our turn
    bool newSession = false; // the request went out as the first of a new session
    bool written = false;    // writeChanges could write every record
    bool replied = false;    // a reply came back and passed Maya's reader
};

class CrossSideTest : public EditorTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs before the editor starts and loads the module: where a test makes the regions
    // itself, before the module does.
    virtual void SetUpRegions() {}

    // Runs MEL in the Maya stand-in; fails the test on an error.
    std::string Mel(const std::string& Command);
    // A lambert `Shader` with its shading engine `Shader`SG, tagged with an Unreal material.
    void TaggedShadingEngine(const std::string& Shader, const std::string& Material);

    // One frame of Maya's driver. `Tamper` runs between writeChanges and publishRequest,
    // on the request region as written.
    FrameOutcome Frame(const std::function<void(kvt::SharedRegion&)>& Tamper = {});

    // Fails the test with every difference between the Maya scene and the Unreal mirror.
    // Returns the number of live Maya instances compared.
    std::size_t ExpectMirrorEqualsScene(const std::string& Step);

    kvt::RegionNames Names;
    std::unique_ptr<kvt::LinkRequester> Maya;
    MayaSceneRegistry& Registry = MayaSceneRegistry::start();
    FFakeClock Clock; // the editor's fixed frame rate waits on this clock, not on real time
};

// Sets KVT_REGION_SUFFIX to a suffix unique to the test and returns the region names the
// module will use.
kvt::RegionNames UniqueRegionNames();

} // namespace crossside
