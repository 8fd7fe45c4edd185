#pragma once
// The installer's search and decision logic: find Maya 2018 and Unreal
// Engine 4.18 in the registry, then run each side package with the found folder.
// Everything it touches goes through SetupPlatform.

#include "SetupPlatform.h"

#include <string>
#include <vector>

namespace kvt::setup {

// One installation found: the version (the registry key name) and the folder to hand
// to the package.
struct Installation {
    std::u16string version;
    std::u16string target;
    bool operator==(const Installation&) const = default;
};
using Installations = std::vector<Installation>;

// Whether the program goes on after a step: access denied on one of the three top keys
// ends it (the seam's exitProcess has been called with 0 by then).
enum class Flow { Continue, Ended };

// The Maya search: fills `found` in discovery order.
Flow findMaya(SetupPlatform& platform, Installations& found);

// The Unreal search: installed engines, then source builds, in discovery order.
Flow findUnreal(SetupPlatform& platform, Installations& found);

// What a step does once its list is known.
struct StepTexts {
    const char* wantedVersion;       // "2018" or "4.18"
    const char16_t* package;         // command without target
    const char16_t* packagePrefix;   // command up to the target folder
    const char16_t* versionMessage;  // shown under the notice title when nothing is picked
};
extern const StepTexts kMayaStep;
extern const StepTexts kUnrealStep;

// Picks the last entry of the wanted version, or returns nullptr.
const Installation* pickWanted(const Installations& found, const char* wantedVersion);

// The command a step runs: empty when the list holds entries but none of the wanted
// version (the step then shows its message and runs nothing).
std::u16string commandFor(const Installations& found, const StepTexts& step);

// Decision and run for one step.
void decideAndRun(SetupPlatform& platform, const Installations& found, const StepTexts& step);

// The whole program after start-up: the Maya step, then the Unreal step. Returns the
// exit code: 1 after a normal run, 0 when an access denial ended it.
int run(SetupPlatform& platform);

} // namespace kvt::setup
