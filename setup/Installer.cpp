// The installer's search and decision logic.

#include "Installer.h"

#include "Texts.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kvt::setup {
namespace {

// Buffer sizes of the registry calls; the value limit is what drops over-long folders.
constexpr std::uint32_t kKeyNameChars = 255;     // RegEnumKeyExW name buffer
constexpr std::uint32_t kValueLimitBytes = 255;  // RegQueryValueExW data limit
constexpr std::uint32_t kValueNameChars = 256;   // RegEnumValueW name buffer
constexpr std::uint32_t kValueDataBytes = 520;   // RegEnumValueW data buffer

// RegEnumValueW fails on every index once its key has gone (ERROR_KEY_DELETED), and the
// loop otherwise only stops at ERROR_NO_MORE_ITEMS: a run of this many failed reads in a row
// ends it too, so that the installer cannot spin forever. No real key has that many
// values that do not fit.
constexpr std::uint32_t kMaxFailedValueReadsInARow = 4096;

// The text at the start of a zero-filled buffer of `units` UTF-16 units, up to its first
// NUL (the buffers keep one unit more than the call may fill, so one is always there).
std::u16string textIn(const char16_t* buffer, std::size_t units)
{
    const char16_t* end = std::find(buffer, buffer + units, u'\0');
    return std::u16string(buffer, end);
}

std::u16string textIn(const std::uint8_t* bytes, std::size_t byteCount)
{
    // The bytes of a registry string are UTF-16LE; copy them out rather than alias them.
    std::u16string text;
    for (std::size_t i = 0; i + 1 < byteCount; i += 2) {
        char16_t unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == u'\0')
            break;
        text.push_back(unit);
    }
    return text;
}

// Sub-key `index` of `key`, or a failure status (any failure ends an enumeration).
Status subKeyName(SetupPlatform& platform, Key key, std::uint32_t index, std::u16string& name)
{
    std::array<char16_t, kKeyNameChars + 1> buffer{};
    std::uint32_t chars = kKeyNameChars;
    Status status = platform.enumKey(key, index, buffer.data(), chars);
    name = status == kSuccess ? textIn(buffer.data(), buffer.size()) : std::u16string();
    return status;
}

// A string value read with the 255-byte limit into a zeroed buffer. Empty when the value
// is missing, empty or does not fit (127 or more UTF-16 units with its terminator).
std::u16string readValue(SetupPlatform& platform, Key key, const char16_t* valueName)
{
    std::array<std::uint8_t, kValueLimitBytes + 3> buffer{};
    std::uint32_t bytes = kValueLimitBytes;
    if (platform.queryValue(key, valueName, buffer.data(), bytes) != kSuccess)
        return {};
    return textIn(buffer.data(), buffer.size());
}

bool contains(const std::u16string& text, const char16_t* part) { return text.find(part) != std::u16string::npos; }

bool equalsNarrow(const std::u16string& text, const char* narrow)
{
    const std::size_t length = std::strlen(narrow);
    if (text.size() != length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (text[i] != static_cast<unsigned char>(narrow[i]))
            return false;
    return true;
}

bool editorExists(SetupPlatform& platform, const std::u16string& folder)
{
    return platform.fileExists(folder + text::kEditorProbeWin64) || platform.fileExists(folder + text::kEditorProbeWin32);
}

Flow endForAccessDenied(SetupPlatform& platform)
{
    platform.showMessage(text::kErrorTitle, text::kAccessDeniedText);
    platform.exitProcess(0);
    return Flow::Ended;
}

// Sub-keys opened below stay open until the process ends; only the three top keys are
// closed.

void findMayaVersions(SetupPlatform& platform, const std::u16string& productPath, Installations& found)
{
    Key product = 0;
    if (platform.openKey(Root::LocalMachine, productPath, product) != kSuccess)
        return;
    std::u16string version;
    for (std::uint32_t index = 0; subKeyName(platform, product, index, version) == kSuccess; ++index) {
        if (version.empty())
            continue;
        Key installPath = 0;
        if (platform.openKey(Root::LocalMachine, productPath + u"\\" + version + text::kMayaInstallPathSuffix,
                             installPath) != kSuccess)
            continue;
        // The location is used exactly as stored; it normally ends in a backslash.
        std::u16string location = readValue(platform, installPath, text::kMayaInstallLocationValue);
        if (!location.empty() && platform.fileExists(location + text::kMayaExecutableProbe))
            found.push_back({version, location});
    }
}

void findInstalledEngines(SetupPlatform& platform, Key engines, Installations& found)
{
    std::u16string version;
    for (std::uint32_t index = 0; subKeyName(platform, engines, index, version) == kSuccess && !version.empty();
         ++index) {
        Key engine = 0;
        if (platform.openKey(Root::LocalMachine, std::u16string(text::kUnrealKey) + u"\\" + version, engine) !=
            kSuccess)
            continue;
        std::u16string directory = readValue(platform, engine, text::kUnrealDirectoryValue);
        if (!directory.empty() && editorExists(platform, directory))
            found.push_back({version, directory + text::kPluginsSuffix});
    }
}

void findSourceBuilds(SetupPlatform& platform, Key builds, Installations& found)
{
    std::uint32_t failedInARow = 0;
    for (std::uint32_t index = 0;; ++index) {
        // Both sizes are restored, and both buffers cleared, before every call; the
        // guard units past the sizes keep the texts terminated.
        std::array<char16_t, kValueNameChars + 1> name{};
        std::array<std::uint8_t, kValueDataBytes + 2> data{};
        std::uint32_t nameChars = kValueNameChars;
        std::uint32_t dataBytes = kValueDataBytes;
        Status status = platform.enumValue(builds, index, name.data(), nameChars, data.data(), dataBytes);
        if (status == kNoMoreItems)
            break;
        if (status != kSuccess) {
            if (++failedInARow >= kMaxFailedValueReadsInARow)
                break;
            continue; // this value only
        }
        failedInARow = 0;
        std::u16string folder = textIn(data.data(), data.size());
        if (!contains(folder, text::kSourceBuildMarker) || !editorExists(platform, folder))
            continue;
        std::u16string target = folder + text::kPluginsSuffix;
        std::replace(target.begin(), target.end(), u'/', u'\\');
        found.push_back({text::kSourceBuildMarker, target});
    }
}

} // namespace

const StepTexts kMayaStep{text::kWantedMayaVersion, text::kMayaPackage, text::kMayaPackagePrefix,
                          text::kNoMaya2018Text};
const StepTexts kUnrealStep{text::kWantedUnrealVersion, text::kUnrealPackage, text::kUnrealPackagePrefix,
                            text::kNoUnreal418Text};

Flow findMaya(SetupPlatform& platform, Installations& found)
{
    Key autodesk = 0;
    Status status = platform.openKey(Root::LocalMachine, text::kAutodeskKey, autodesk);
    if (status == kFileNotFound) {
        platform.showMessage(text::kErrorTitle, text::kNoAutodeskText);
        return Flow::Continue;
    }
    if (status == kAccessDenied)
        return endForAccessDenied(platform);
    if (status != kSuccess)
        return Flow::Continue;

    std::u16string product;
    for (std::uint32_t index = 0; subKeyName(platform, autodesk, index, product) == kSuccess && !product.empty();
         ++index) {
        if (contains(product, text::kMayaProductFilter))
            findMayaVersions(platform, std::u16string(text::kAutodeskKey) + u"\\" + product, found);
    }
    platform.closeKey(autodesk);
    return Flow::Continue;
}

Flow findUnreal(SetupPlatform& platform, Installations& found)
{
    // A missing engine key is not reported: the source builds may still be there.
    Key engines = 0;
    Status status = platform.openKey(Root::LocalMachine, text::kUnrealKey, engines);
    if (status == kAccessDenied)
        return endForAccessDenied(platform);
    if (status == kSuccess) {
        findInstalledEngines(platform, engines, found);
        platform.closeKey(engines);
    }

    Key builds = 0;
    status = platform.openKey(Root::CurrentUser, text::kSourceBuildsKey, builds);
    if (status == kAccessDenied)
        return endForAccessDenied(platform);
    if (status != kSuccess)
        return Flow::Continue;
    findSourceBuilds(platform, builds, found);
    platform.closeKey(builds);
    return Flow::Continue;
}

const Installation* pickWanted(const Installations& found, const char* wantedVersion)
{
    for (auto it = found.rbegin(); it != found.rend(); ++it)
        if (equalsNarrow(it->version, wantedVersion))
            return &*it;
    return nullptr;
}

std::u16string commandFor(const Installations& found, const StepTexts& step)
{
    if (found.empty())
        return step.package; // let the package ask for its folder itself
    const Installation* picked = pickWanted(found, step.wantedVersion);
    if (picked == nullptr)
        return {};
    return step.packagePrefix + picked->target + text::kCommandSuffix;
}

void decideAndRun(SetupPlatform& platform, const Installations& found, const StepTexts& step)
{
    std::u16string command = commandFor(found, step);
    if (command.empty()) {
        platform.showMessage(text::kNoticeTitle, step.versionMessage);
        return;
    }
    platform.runCommand(command);
}

int run(SetupPlatform& platform)
{
    Installations maya;
    if (findMaya(platform, maya) == Flow::Ended)
        return 0;
    decideAndRun(platform, maya, kMayaStep);

    // The Unreal step runs whatever the Maya step did.
    Installations unreal;
    if (findUnreal(platform, unreal) == Flow::Ended)
        return 0;
    decideAndRun(platform, unreal, kUnrealStep);
    return 1;
}

} // namespace kvt::setup
