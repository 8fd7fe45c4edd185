#include "FakePlatform.h"

#include <algorithm>
#include <cstring>

namespace kvt::setup::test {

std::string utf8(const std::u16string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

std::u16string parentOf(const std::u16string& path)
{
    auto slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

std::u16string leafOf(const std::u16string& path)
{
    auto slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::vector<std::uint8_t> stringBytes(const std::u16string& text)
{
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

} // namespace

FakePlatform::FakeKey& FakePlatform::keyAt(Root root, const std::u16string& path)
{
    auto found = keys_.find({root, path});
    if (found != keys_.end())
        return found->second;
    std::u16string parent = parentOf(path);
    if (!parent.empty()) {
        FakeKey& up = keyAt(root, parent);
        up.subKeys.push_back(leafOf(path));
    }
    return keys_[{root, path}];
}

void FakePlatform::addKey(Root root, const std::u16string& path) { keyAt(root, path); }

void FakePlatform::setString(Root root, const std::u16string& path, const std::u16string& name,
                             const std::u16string& text)
{
    setBytes(root, path, name, stringBytes(text));
}

void FakePlatform::setBytes(Root root, const std::u16string& path, const std::u16string& name,
                            std::vector<std::uint8_t> bytes)
{
    FakeKey& key = keyAt(root, path);
    for (auto& [existing, data] : key.values) {
        if (existing == name) {
            data = std::move(bytes);
            return;
        }
    }
    key.values.emplace_back(name, std::move(bytes));
}

void FakePlatform::failOpen(Root root, const std::u16string& path, Status status) { openFailures_[{root, path}] = status; }

void FakePlatform::failEnumKeyAt(Root root, const std::u16string& path, std::uint32_t index, Status status)
{
    keyAt(root, path).enumKeyFailures[index] = status;
}

void FakePlatform::failEnumValueAt(Root root, const std::u16string& path, std::uint32_t index, Status status)
{
    keyAt(root, path).enumValueFailures[index] = status;
}

void FakePlatform::failEnumValuesFrom(Root root, const std::u16string& path, std::uint32_t index, Status status)
{
    keyAt(root, path).enumValueFailuresFrom = std::make_pair(index, status);
}

void FakePlatform::addMaya(const std::u16string& product, const std::u16string& version,
                           const std::u16string& location, bool withExecutable)
{
    std::u16string path = u"SOFTWARE\\Autodesk\\" + product + u"\\" + version + u"\\Setup\\InstallPath";
    setString(Root::LocalMachine, path, u"MAYA_INSTALL_LOCATION", location);
    if (withExecutable)
        addFile(location + u"bin\\maya.exe");
}

void FakePlatform::addEngine(const std::u16string& version, const std::u16string& directory,
                             const std::u16string& platform)
{
    setString(Root::LocalMachine, u"SOFTWARE\\EpicGames\\Unreal Engine\\" + version, u"InstalledDirectory", directory);
    if (!platform.empty())
        addFile(directory + u"\\Engine\\Binaries\\" + platform + u"\\UE4Editor.exe");
}

void FakePlatform::addSourceBuild(const std::u16string& name, const std::u16string& folder,
                                  const std::u16string& platform)
{
    setString(Root::CurrentUser, u"Software\\Epic Games\\Unreal Engine\\Builds", name, folder);
    if (!platform.empty())
        addFile(folder + u"\\Engine\\Binaries\\" + platform + u"\\UE4Editor.exe");
}

void FakePlatform::noteCall()
{
    if (exitCode)
        ++callsAfterExit;
}

FakePlatform::FakeKey* FakePlatform::opened(Key key, const char* call)
{
    auto handle = handles_.find(key);
    if (handle == handles_.end()) {
        misuse.push_back(std::string(call) + " on a key that is not open");
        return nullptr;
    }
    return &keys_[handle->second];
}

Status FakePlatform::openKey(Root root, const std::u16string& path, Key& key)
{
    noteCall();
    key = 0;
    if (auto failure = openFailures_.find({root, path}); failure != openFailures_.end())
        return failure->second;
    if (!keys_.contains({root, path}))
        return kFileNotFound;
    key = nextHandle_++;
    handles_[key] = {root, path};
    return kSuccess;
}

Status FakePlatform::enumKey(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars)
{
    noteCall();
    FakeKey* fake = opened(key, "enumKey");
    if (fake == nullptr)
        return 6; // ERROR_INVALID_HANDLE
    if (auto failure = fake->enumKeyFailures.find(index); failure != fake->enumKeyFailures.end())
        return failure->second;
    if (index >= fake->subKeys.size())
        return kNoMoreItems;
    const std::u16string& subKey = fake->subKeys[index];
    if (subKey.size() + 1 > nameChars)
        return kMoreData;
    std::copy(subKey.begin(), subKey.end(), name);
    name[subKey.size()] = u'\0';
    nameChars = static_cast<std::uint32_t>(subKey.size());
    return kSuccess;
}

Status FakePlatform::queryValue(Key key, const char16_t* name, std::uint8_t* data, std::uint32_t& dataBytes)
{
    noteCall();
    FakeKey* fake = opened(key, "queryValue");
    if (fake == nullptr)
        return 6;
    for (const auto& [valueName, bytes] : fake->values) {
        if (valueName != name)
            continue;
        if (bytes.size() > dataBytes) {
            // Windows leaves the buffer's contents unspecified; fill it with the part
            // that fits, so that a caller trusting the buffer after a failure is caught.
            std::memcpy(data, bytes.data(), dataBytes);
            dataBytes = static_cast<std::uint32_t>(bytes.size());
            return kMoreData;
        }
        std::memcpy(data, bytes.data(), bytes.size());
        dataBytes = static_cast<std::uint32_t>(bytes.size());
        return kSuccess;
    }
    return kFileNotFound;
}

Status FakePlatform::enumValue(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars,
                               std::uint8_t* data, std::uint32_t& dataBytes)
{
    noteCall();
    FakeKey* fake = opened(key, "enumValue");
    if (fake == nullptr)
        return 6;
    if (fake->enumValueFailuresFrom && index >= fake->enumValueFailuresFrom->first)
        return fake->enumValueFailuresFrom->second;
    if (auto failure = fake->enumValueFailures.find(index); failure != fake->enumValueFailures.end())
        return failure->second;
    if (index >= fake->values.size())
        return kNoMoreItems;
    const auto& [valueName, bytes] = fake->values[index];
    if (valueName.size() + 1 > nameChars || bytes.size() > dataBytes)
        return kMoreData;
    std::copy(valueName.begin(), valueName.end(), name);
    name[valueName.size()] = u'\0';
    nameChars = static_cast<std::uint32_t>(valueName.size());
    std::memcpy(data, bytes.data(), bytes.size());
    dataBytes = static_cast<std::uint32_t>(bytes.size());
    return kSuccess;
}

void FakePlatform::closeKey(Key key)
{
    noteCall();
    auto handle = handles_.find(key);
    if (handle == handles_.end()) {
        misuse.push_back("closeKey on a key that is not open");
        return;
    }
    closedKeys.push_back(handle->second.second);
    handles_.erase(handle);
}

bool FakePlatform::fileExists(const std::u16string& path)
{
    noteCall();
    probes.push_back(path);
    return files_.contains(path);
}

void FakePlatform::showMessage(const std::u16string& title, const std::u16string& text)
{
    noteCall();
    messages.push_back({title, text});
    journal.push_back("message: " + utf8(title) + " / " + utf8(text));
}

void FakePlatform::runCommand(const std::u16string& command)
{
    noteCall();
    commands.push_back(command);
    journal.push_back("command: " + utf8(command));
}

void FakePlatform::exitProcess(int code)
{
    noteCall();
    if (!exitCode)
        exitCode = code;
    journal.push_back("exit: " + std::to_string(code));
}

} // namespace kvt::setup::test
