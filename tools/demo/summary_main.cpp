// kvt-demo-summary: the summary of a demo run from the plug-in's frame log, as text (also
// on standard output) and as JSON.
//
//   kvt-demo-summary --log FRAMES.log --text OUT.txt --json OUT.json [--exclude F,F...]
//                    [--expect N] [--size WxH]
// --exclude: frames whose time is not counted (the run paused before them).
// --expect:  the number of frames the run drew; fewer in the log is an error.
#include "DemoSummary.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

int usage(const char* why)
{
    std::fprintf(stderr,
                 "kvt-demo-summary: %s\n"
                 "usage: kvt-demo-summary --log FRAMES.log --text OUT.txt --json OUT.json [--exclude F,F...] "
                 "[--expect N] [--size WxH]\n",
                 why);
    return 2;
}

bool parseNumber(const std::string& text, unsigned long long& out)
{
    char* end = nullptr;
    out = std::strtoull(text.c_str(), &end, 10);
    return !text.empty() && !*end && text[0] != '-';
}

} // namespace

int main(int argc, char** argv)
{
    std::string log, text, json, size;
    std::set<std::uint64_t> excluded;
    unsigned long long expect = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return usage((arg + " needs a value").c_str());
        const std::string value = argv[++i];
        if (arg == "--log") log = value;
        else if (arg == "--text") text = value;
        else if (arg == "--json") json = value;
        else if (arg == "--size") size = value;
        else if (arg == "--expect") {
            if (!parseNumber(value, expect)) return usage("--expect takes a whole number");
        } else if (arg == "--exclude") {
            std::stringstream list(value);
            std::string item;
            while (std::getline(list, item, ',')) {
                unsigned long long f = 0;
                if (item.empty()) continue;
                if (!parseNumber(item, f)) return usage("--exclude takes frame numbers separated by commas");
                excluded.insert(f);
            }
        } else
            return usage(("unknown option " + arg).c_str());
    }
    if (log.empty() || text.empty() || json.empty()) return usage("--log, --text and --json are needed");
    std::ifstream probe(log);
    if (!probe) {
        std::fprintf(stderr, "kvt-demo-summary: cannot read the frame log %s (did the plug-in draw any frame?)\n",
                     log.c_str());
        return 1;
    }
    int skipped = 0;
    const auto rows = demo::readFrameLog(log, &skipped);
    if (skipped) std::fprintf(stderr, "kvt-demo-summary: %d malformed lines in %s skipped\n", skipped, log.c_str());
    const demo::Summary summary = demo::summarize(rows, excluded);
    nlohmann::json j = demo::toJson(summary);
    if (!size.empty()) j["size"] = size;
    std::string words = demo::toText(summary);
    if (!size.empty()) words = "size            " + size + "\n" + words;
    std::ofstream(text) << words;
    std::ofstream(json) << j.dump(2) << "\n";
    std::fputs(words.c_str(), stdout);
    if (expect && summary.frames < expect) {
        std::fprintf(stderr, "kvt-demo-summary: the log holds %llu frames, the run drew %llu\n",
                     (unsigned long long)summary.frames, expect);
        return 1;
    }
    return 0;
}
