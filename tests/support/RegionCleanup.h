#pragma once
// Removes the named regions a test made or had made for it, when the test ends however it
// ends. A region's creator removes its name when it closes, but a child killed on purpose
// (or a test that stops half-way) never closes: POSIX names then outlive every process and
// hold their memory until the machine restarts. Windows drops a mapping with its last
// handle, so there this has nothing to do.

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class RegionCleanup {
public:
    RegionCleanup() = default;
    explicit RegionCleanup(std::vector<std::string> names) : names_(std::move(names)) {}
    ~RegionCleanup() { removeNow(); }
    RegionCleanup(const RegionCleanup&) = delete;
    RegionCleanup& operator=(const RegionCleanup&) = delete;

    // Names as the link gives them (without the leading '/').
    void add(const std::string& name) { names_.push_back(name); }
    // The request and response regions of `prefix` + "Request"/"Response".
    void addPrefixed(const std::string& prefix)
    {
        add(prefix + "Request");
        add(prefix + "Response");
    }
    // "KVTRequest", "KVTResponse" and "DeckLink" followed by `suffix`.
    void addSuffixed(const std::string& suffix)
    {
        for (const char* base : {"KVTRequest", "KVTResponse", "DeckLink"})
            add(base + suffix);
    }
    // Removes every name now (a name already gone is fine).
    void removeNow();

private:
    std::vector<std::string> names_;
};

} // namespace testsupport
