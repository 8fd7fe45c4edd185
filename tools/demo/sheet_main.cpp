// kvt-contact-sheet: frames downscaled into one picture, in a grid, each labelled with
// the number in its file name.
//
//   kvt-contact-sheet [--columns N] [--width PIXELS] OUT.png FRAME.png...
#include "ContactSheet.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int usage(const char* why)
{
    std::fprintf(stderr,
                 "kvt-contact-sheet: %s\n"
                 "usage: kvt-contact-sheet [--columns N] [--width PIXELS] OUT.png FRAME.png...\n",
                 why);
    return 2;
}

bool parseCount(const std::string& text, int low, int high, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < low || v > high) return false;
    out = int(v);
    return true;
}

// The last run of digits in a path's file name; 0 without one.
unsigned numberIn(const std::string& path)
{
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const std::size_t end = name.find_last_of("0123456789");
    if (end == std::string::npos) return 0;
    std::size_t begin = end;
    while (begin > 0 && name[begin - 1] >= '0' && name[begin - 1] <= '9') --begin;
    return unsigned(std::strtoul(name.substr(begin, end - begin + 1).c_str(), nullptr, 10));
}

} // namespace

int main(int argc, char** argv)
{
    demo::SheetLayout layout;
    std::string out;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--columns" || arg == "--width") {
            if (i + 1 >= argc) return usage((arg + " needs a value").c_str());
            int& target = arg == "--columns" ? layout.columns : layout.cellWidth;
            if (!parseCount(argv[++i], 1, arg == "--columns" ? 64 : 4096, target))
                return usage((arg + " takes a whole number (columns 1 to 64, width 1 to 4096)").c_str());
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usage(("unknown option " + arg).c_str());
        } else if (out.empty()) {
            out = arg;
        } else {
            inputs.push_back(arg);
        }
    }
    if (out.empty() || inputs.empty()) return usage("an output file and at least one frame are needed");
    std::vector<demo::Image> frames(inputs.size());
    std::vector<unsigned> labels;
    std::string error;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (!demo::readPng(inputs[i], frames[i], error)) {
            std::fprintf(stderr, "kvt-contact-sheet: cannot read %s\n", error.c_str());
            return 1;
        }
        labels.push_back(numberIn(inputs[i]));
    }
    const demo::Image sheet = demo::contactSheet(frames, labels, layout);
    if (!demo::writePng(out, sheet, error)) {
        std::fprintf(stderr, "kvt-contact-sheet: cannot write %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %d x %d, %zu frames\n", out.c_str(), sheet.width, sheet.height, frames.size());
    return 0;
}
