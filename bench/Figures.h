#pragma once
// One line per figure for the table that `./mirror bench` prints at the end: the figure,
// its value, the floor measured in the same run (memcpy of the same bytes for copies, the
// engine's frame interval for waits) and the target. The lines go to the file named by
// MIRROR_BENCH_FIGURES (tab-separated, appended); without it they are only printed.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace benchfig {

// The median of repeated measurements (the mean of the middle two of an even count); 0 for
// none.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]));
}

// `floor` <= 0: the figure has no floor (its ratio column stays empty).
inline void figure(const std::string& name, double value, const std::string& unit, double floor,
                   const std::string& target)
{
    char ratio[32] = "-";
    if (floor > 0)
        std::snprintf(ratio, sizeof ratio, "%.2fx", value / floor);
    char floorText[64] = "-";
    if (floor > 0)
        std::snprintf(floorText, sizeof floorText, "%.3f %s", floor, unit.c_str());
    char line[512];
    std::snprintf(line, sizeof line, "%s\t%.3f %s\t%s\t%s\t%s\n", name.c_str(), value, unit.c_str(), floorText,
                  ratio, target.empty() ? "-" : target.c_str());
    if (const char* path = std::getenv("MIRROR_BENCH_FIGURES")) {
        if (std::FILE* out = std::fopen(path, "a")) {
            std::fputs(line, out);
            std::fclose(out);
        }
    }
}

} // namespace benchfig
