#pragma once
// The Unreal side of the link for the viewport tests: a thread that answers every request
// with a handle table, an optional material name and a picture. The picture is a quad in
// Maya's plane y = `quadHeight`, |x|, |z| < `quadHalf`, rendered from the camera and
// projection of the request alone (rays through the inverse of the received projection),
// so that Maya's own drawing over it shows whether the rows were rewritten soundly.

#include "link/Link.h"
#include "link/RecordReader.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct AnsweredFrame {
    kvt::RequestHeader header{};
    std::vector<kvt::Record> records;
    std::vector<std::vector<std::u16string>> materials; // per record, names present
};

class TestResponder {
public:
    explicit TestResponder(const std::string& suffix);
    ~TestResponder();

    // Colours of the quad and of everything else, as B, G, R bytes.
    std::array<std::uint8_t, 3> quadColour{40, 30, 220};
    std::array<std::uint8_t, 3> backColour{200, 60, 20};
    double quadHeight = 0.5;
    double quadHalf = 4.0;

    // A material name sent with the next reply (then forgotten).
    void sendMaterial(const std::u16string& name);
    // While paused, requests are left unanswered.
    std::atomic<bool> paused{false};

    std::vector<AnsweredFrame> frames();
    std::size_t frameCount();
    // The depth value written where the picture shows the quad's point nearest the middle
    // of the viewport, with the view distance of that point (responder's view z).
    struct Sample {
        int x = -1, y = -1;  // pixel, row 0 at the bottom
        double viewZ = 0;
        float depth = 0;
    };
    Sample centreSample();

    kvt::LinkResponder& link() { return link_; }

private:
    void run();
    void answer();

    kvt::LinkResponder link_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<AnsweredFrame> frames_;
    std::u16string material_;
    bool hasMaterial_ = false;
    Sample sample_;
    std::uint64_t nextHandle_ = 0x5000;
};
