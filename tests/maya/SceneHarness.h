#pragma once
// Drives requests the way the frame driver will: claims the link on regions this test
// creates, lets the registry write its changes, reads them back through the validating
// reader, and answers with a handle table as the Unreal side would.

#include "scene/MayaSceneRegistry.h"

#include "link/Link.h"
#include "link/RecordReader.h"

#include <string>
#include <vector>

class SceneHarness {
public:
    // `regionMaximum`: the size of the regions, smaller than the link's 2 GiB where a test
    // needs a request view that cannot grow.
    explicit SceneHarness(std::uint32_t regionMaximum = kvt::kRegionMaximum);
    ~SceneHarness();

    // Runs MEL; fails the test on an error.
    std::string mel(const std::string& command);

    // One request: the records it carried. Unless `answer` is false, every new record
    // gets a remote handle (0x1000 + n) back, as a reply would bring.
    std::vector<kvt::Record> frame(std::uint64_t typeMask = ~0ull, bool answer = true);

    // Starts from an empty scene with nothing pending.
    void newScene();

    // The remote handle given to an identity in an earlier frame, or 0.
    std::uint64_t handleOf(std::uint64_t identity) const;

    MayaSceneRegistry& registry = MayaSceneRegistry::start();
    kvt::RequestHeader lastHeader{};
    // Whether the last frame's records could all be written (else the link let go).
    bool lastFrameComplete = true;

private:
    std::string prefix_;
    kvt::RegionNames names_;
    kvt::LinkResponder unreal_;
    kvt::LinkRequester maya_;
    std::uint64_t nextHandle_ = 0x1000;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> given_;
};

// Shorthands for records.
inline bool isShape(const kvt::Record& r) { return r.hasData() && r.kind != kvt::RecordKind::Transform; }
