#pragma once
// The demo's summary: the plug-in's frame log (one line per viewport frame, as the frame
// driver writes it when KVT_FRAME_LOG is set) read back, frame-time percentiles, where
// the time went and how the link changed.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace demo {

struct FrameRow {
    std::uint64_t frame = 0; // viewport frame, from 1
    double time = 0;         // Maya's current time: the animation frame

    std::uint64_t startUs = 0, driverUs = 0, sceneUs = 0, waitUs = 0, uploadUs = 0;
    std::string link;
    bool picture = false, video = false, material = false;
};

// Reads one line; nothing for comments, blank lines and malformed lines (`error` says why
// for the malformed ones).
std::optional<FrameRow> parseFrameLine(const std::string& line, std::string* error = nullptr);

// Every well-formed line of a log; `skipped` counts the malformed ones.
std::vector<FrameRow> readFrameLog(const std::string& path, int* skipped = nullptr);

// The nearest-rank percentile (0 < p <= 100) of the values; 0 for no values.
double percentile(std::vector<double> values, double p);

struct LinkChange {
    std::uint64_t frame;
    std::string state; // as the log spells it
    std::string what;  // in words: "new session", "disconnected", ...
};

struct Summary {
    std::uint64_t frames = 0;         // animation frames: runs of viewport frames at one time
    std::uint64_t viewportFrames = 0; // every viewport frame, the idle timer's redraws too
    std::size_t intervals = 0; // frame times counted
    std::vector<std::uint64_t> excluded; // frames whose time was not counted
    double p50 = 0, p90 = 0, p99 = 0, max = 0, mean = 0; // milliseconds
    // Mean milliseconds per counted frame: Maya's own work (everything but the two
    // below, with the plug-in's writing of the scene changes), the wait for Unreal, the
    // upload of the picture and the video key.
    double mayaMs = 0, sceneMs = 0, waitMs = 0, uploadMs = 0;
    std::uint64_t pictures = 0, videoFrames = 0;
    std::optional<std::uint64_t> firstVideo, firstMaterial;
    std::vector<LinkChange> changes;
};

// An animation frame is a run of viewport frames at the same Maya time (the plug-in's idle
// timer redraws while a script pauses); its last viewport frame stands for it. The frame
// time of an animation frame is the time from the previous one's start to its start, so the
// first has none; the times of `excluded` frames (a deliberate pause came before them) are
// not counted. Frame numbers in the summary are Maya times.
Summary summarize(const std::vector<FrameRow>& rows, const std::set<std::uint64_t>& excluded = {});

nlohmann::json toJson(const Summary& s);
std::string toText(const Summary& s);

} // namespace demo
