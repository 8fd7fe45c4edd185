#include "DemoSummary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace demo {

namespace {

const char* describe(const std::string& state, bool first)
{
    if (state == "new") return "new session";
    if (state == "connected") return "connected";
    if (state == "down") return first ? "Unreal not there" : "disconnected";
    if (state == "lost") return "link lost";
    if (state == "busy") return "Unreal busy";
    if (state == "refused") return "link owned by another Maya";
    return "unknown";
}

bool knownState(const std::string& s)
{
    return s == "new" || s == "connected" || s == "down" || s == "lost" || s == "busy" || s == "refused";
}

double round3(double v) { return std::round(v * 1000.0) / 1000.0; }

} // namespace

std::optional<FrameRow> parseFrameLine(const std::string& line, std::string* error)
{
    auto fail = [&](const char* why) -> std::optional<FrameRow> {
        if (error) *error = why;
        return std::nullopt;
    };
    std::size_t at = line.find_first_not_of(" \t\r");
    if (at == std::string::npos || line[at] == '#') return std::nullopt;
    std::istringstream in(line);
    FrameRow r;
    int picture = -1, video = -1, material = -1;
    if (!(in >> r.frame >> r.time >> r.startUs >> r.driverUs >> r.sceneUs >> r.waitUs >> r.uploadUs >> r.link >> picture >> video >>
          material))
        return fail("expected eleven fields");
    std::string rest;
    if (in >> rest) return fail("more than eleven fields");
    if (!knownState(r.link)) return fail("unknown link state");
    for (int flag : {picture, video, material})
        if (flag != 0 && flag != 1) return fail("flags are 0 or 1");
    if (r.frame == 0) return fail("frames count from 1");
    r.picture = picture == 1;
    r.video = video == 1;
    r.material = material == 1;
    return r;
}

std::vector<FrameRow> readFrameLog(const std::string& path, int* skipped)
{
    std::vector<FrameRow> rows;
    std::ifstream in(path);
    std::string line, error;
    int bad = 0;
    while (std::getline(in, line)) {
        error.clear();
        if (auto row = parseFrameLine(line, &error)) rows.push_back(*row);
        else if (!error.empty()) ++bad;
    }
    if (skipped) *skipped = bad;
    return rows;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(p / 100.0 * double(values.size()));
    const std::size_t index = rank < 1 ? 0 : std::min(values.size() - 1, std::size_t(rank) - 1);
    return values[index];
}

Summary summarize(const std::vector<FrameRow>& all, const std::set<std::uint64_t>& excluded)
{
    Summary s;
    s.viewportFrames = all.size();
    std::vector<FrameRow> rows; // the last viewport frame of each animation frame
    for (std::size_t i = 0; i < all.size(); ++i) {
        const FrameRow& r = all[i];
        const std::uint64_t at = std::uint64_t(std::llround(r.time));
        if (i == 0 || all[i - 1].link != r.link) s.changes.push_back({at, r.link, describe(r.link, i == 0)});
        const bool sameFrame = !rows.empty() && rows.back().time == r.time && r.startUs >= rows.back().startUs;
        if (sameFrame && i > 0 && all[i - 1].time == r.time) {
            // A later viewport frame of the same animation frame stands for it; what any of
            // them brought (video, a material) stays.
            FrameRow merged = r;
            merged.video = r.video || rows.back().video;
            merged.material = r.material || rows.back().material;
            rows.back() = merged;
            continue;
        }
        rows.push_back(r);
    }
    s.frames = rows.size();
    std::vector<double> times;
    double maya = 0, scene = 0, wait = 0, upload = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FrameRow& r = rows[i];
        const std::uint64_t at = std::uint64_t(std::llround(r.time));
        s.pictures += r.picture;
        s.videoFrames += r.video;
        if (r.video && !s.firstVideo) s.firstVideo = at;
        if (r.material && !s.firstMaterial) s.firstMaterial = at;
        if (i == 0) continue;
        const FrameRow& previous = rows[i - 1];
        if (excluded.count(at)) {
            s.excluded.push_back(at);
            continue;
        }
        if (r.startUs < previous.startUs) continue; // another opening of the log
        const double ms = double(r.startUs - previous.startUs) / 1000.0;
        times.push_back(ms);
        // The previous frame's own work, and Maya's between it and this one.
        const double w = double(previous.waitUs) / 1000.0, u = double(previous.uploadUs) / 1000.0;
        wait += w;
        upload += u;
        scene += double(previous.sceneUs) / 1000.0;
        maya += std::max(0.0, ms - w - u);
    }
    s.intervals = times.size();
    if (!times.empty()) {
        s.p50 = percentile(times, 50);
        s.p90 = percentile(times, 90);
        s.p99 = percentile(times, 99);
        s.max = *std::max_element(times.begin(), times.end());
        double sum = 0;
        for (double t : times) sum += t;
        const double n = double(times.size());
        s.mean = sum / n;
        s.mayaMs = maya / n;
        s.sceneMs = scene / n;
        s.waitMs = wait / n;
        s.uploadMs = upload / n;
    }
    return s;
}

nlohmann::json toJson(const Summary& s)
{
    nlohmann::json j;
    j["frames"] = s.frames;
    j["viewport_frames"] = s.viewportFrames;
    j["frame_ms"] = {{"p50", round3(s.p50)}, {"p90", round3(s.p90)}, {"p99", round3(s.p99)},
                     {"max", round3(s.max)},  {"mean", round3(s.mean)}, {"counted", s.intervals}};
    j["excluded_frames"] = s.excluded;
    j["split_ms_per_frame"] = {{"maya", round3(s.mayaMs)},
                               {"maya_scene_changes", round3(s.sceneMs)},
                               {"wait_for_unreal", round3(s.waitMs)},
                               {"upload_and_draw", round3(s.uploadMs)}};
    j["pictures"] = s.pictures;
    j["video_frames"] = s.videoFrames;
    j["first_video_frame"] = s.firstVideo ? nlohmann::json(*s.firstVideo) : nlohmann::json();
    j["first_material_frame"] = s.firstMaterial ? nlohmann::json(*s.firstMaterial) : nlohmann::json();
    nlohmann::json changes = nlohmann::json::array();
    for (const LinkChange& c : s.changes) changes.push_back({{"frame", c.frame}, {"state", c.state}, {"what", c.what}});
    j["link"] = changes;
    return j;
}

std::string toText(const Summary& s)
{
    char buf[512];
    std::string t;
    std::snprintf(buf, sizeof buf,
                  "frames          %llu (%llu with Unreal's picture, %llu with the video keyed; %llu viewport frames with "
                  "the idle redraws)\n",
                  (unsigned long long)s.frames, (unsigned long long)s.pictures, (unsigned long long)s.videoFrames,
                  (unsigned long long)s.viewportFrames);
    t += buf;
    std::snprintf(buf, sizeof buf, "frame time (ms) p50 %.1f  p90 %.1f  p99 %.1f  max %.1f  (%zu frames counted)\n", s.p50,
                  s.p90, s.p99, s.max, s.intervals);
    t += buf;
    const double total = s.mayaMs + s.waitMs + s.uploadMs;
    auto share = [&](double v) { return total > 0 ? 100.0 * v / total : 0.0; };
    std::snprintf(buf, sizeof buf,
                  "per frame (ms)  Maya %.1f (%.0f%%; the plug-in's scene changes %.2f)  waiting for Unreal %.1f (%.0f%%)  "
                  "upload and draw %.1f (%.0f%%)\n",
                  s.mayaMs, share(s.mayaMs), s.sceneMs, s.waitMs, share(s.waitMs), s.uploadMs, share(s.uploadMs));
    t += buf;
    if (!s.excluded.empty()) {
        t += "not counted     frame";
        for (auto f : s.excluded) t += " " + std::to_string(f);
        t += " (the run paused before it for the other programs)\n";
    }
    if (s.firstVideo) t += "video           from frame " + std::to_string(*s.firstVideo) + "\n";
    if (s.firstMaterial) t += "material        from Unreal at frame " + std::to_string(*s.firstMaterial) + "\n";
    t += "link";
    bool first = true;
    for (const LinkChange& c : s.changes) {
        t += (first ? "            " : ", ") + std::string("frame ") + std::to_string(c.frame) + " " + c.what;
        first = false;
    }
    t += "\n";
    return t;
}

} // namespace demo
