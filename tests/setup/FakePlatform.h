#pragma once
// A fake of the installer's seam: an in-memory registry with the Win32 semantics the
// logic relies on (buffer limits, ERROR_MORE_DATA, enumeration order and ends, access
// denied), a set of existing files, and a journal of what the program showed, ran and
// how it ended.

#include "setup/SetupPlatform.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kvt::setup::test {

// UTF-16 to UTF-8, for readable failure messages.
std::string utf8(const std::u16string& text);

class FakePlatform final : public SetupPlatform {
public:
    // --- the registry ---------------------------------------------------------------
    // Creates the key and its missing parents; sub-keys enumerate in creation order.
    void addKey(Root root, const std::u16string& path);
    // A REG_SZ value, stored with its terminator as the registry does.
    void setString(Root root, const std::u16string& path, const std::u16string& name, const std::u16string& text);
    // Raw value bytes, exactly as given.
    void setBytes(Root root, const std::u16string& path, const std::u16string& name, std::vector<std::uint8_t> bytes);
    // RegOpenKeyExW on this path fails with `status` (the key need not exist).
    void failOpen(Root root, const std::u16string& path, Status status);
    // Enumerating the key's sub-keys (or values) at `index` fails with `status`.
    void failEnumKeyAt(Root root, const std::u16string& path, std::uint32_t index, Status status);
    void failEnumValueAt(Root root, const std::u16string& path, std::uint32_t index, Status status);
    // From `index` on, every value enumeration of the key fails with `status` (as for a
    // key deleted while open).
    void failEnumValuesFrom(Root root, const std::u16string& path, std::uint32_t index, Status status);

    // --- files ----------------------------------------------------------------------
    void addFile(const std::u16string& path) { files_.insert(path); }

    // --- scenario helpers (the hosts' registry layout) --------------------------------
    // HKLM\SOFTWARE\Autodesk\<product>\<version>\Setup\InstallPath MAYA_INSTALL_LOCATION,
    // with <location>bin\maya.exe present when withExecutable.
    void addMaya(const std::u16string& product, const std::u16string& version, const std::u16string& location,
                 bool withExecutable = true);
    // HKLM\SOFTWARE\EpicGames\Unreal Engine\<version> InstalledDirectory, with the
    // editor under Engine\Binaries\<platform> ("Win64", "Win32" or "" for none).
    void addEngine(const std::u16string& version, const std::u16string& directory,
                   const std::u16string& platform = u"Win64");
    // HKCU\Software\Epic Games\Unreal Engine\Builds <name> = <folder>, with the editor
    // under <folder>\Engine\Binaries\<platform> ("" for none).
    void addSourceBuild(const std::u16string& name, const std::u16string& folder,
                        const std::u16string& platform = u"Win64");

    // --- what happened --------------------------------------------------------------
    struct Message {
        std::u16string title, text;
        bool operator==(const Message&) const = default;
    };
    std::vector<Message> messages;
    std::vector<std::u16string> commands;
    // Messages, commands and the exit in the order they happened ("message: ...",
    // "command: ...", "exit: N"), as UTF-8.
    std::vector<std::string> journal;
    std::optional<int> exitCode;
    int callsAfterExit = 0;
    // Paths of the keys closed, in order; errors such as closing a key twice.
    std::vector<std::u16string> closedKeys;
    std::vector<std::string> misuse;
    // Every path probed with fileExists, in order.
    std::vector<std::u16string> probes;

    // --- the seam -------------------------------------------------------------------
    Status openKey(Root root, const std::u16string& path, Key& key) override;
    Status enumKey(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars) override;
    Status queryValue(Key key, const char16_t* name, std::uint8_t* data, std::uint32_t& dataBytes) override;
    Status enumValue(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars, std::uint8_t* data,
                     std::uint32_t& dataBytes) override;
    void closeKey(Key key) override;
    bool fileExists(const std::u16string& path) override;
    void showMessage(const std::u16string& title, const std::u16string& text) override;
    void runCommand(const std::u16string& command) override;
    void exitProcess(int code) override;

private:
    struct FakeKey {
        std::vector<std::u16string> subKeys;
        std::vector<std::pair<std::u16string, std::vector<std::uint8_t>>> values;
        std::map<std::uint32_t, Status> enumKeyFailures;
        std::map<std::uint32_t, Status> enumValueFailures;
        std::optional<std::pair<std::uint32_t, Status>> enumValueFailuresFrom;
    };
    using Path = std::pair<Root, std::u16string>;

    FakeKey& keyAt(Root root, const std::u16string& path);
    FakeKey* opened(Key key, const char* call);
    void noteCall();

    std::map<Path, FakeKey> keys_;
    std::map<Path, Status> openFailures_;
    std::map<Key, Path> handles_;
    Key nextHandle_ = 0x100;
    std::set<std::u16string> files_;
};

} // namespace kvt::setup::test
