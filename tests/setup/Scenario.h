#pragma once
// Shared by the installer's tests: the installer's fixed texts written out again (so
// that a typo in setup/Texts.h fails a test) and a fixture around the fake seam.

#include "FakePlatform.h"
#include "setup/Installer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvt::setup::test {

inline const std::u16string kAutodesk = u"SOFTWARE\\Autodesk";
inline const std::u16string kUnrealKey = u"SOFTWARE\\EpicGames\\Unreal Engine";
inline const std::u16string kBuildsKey = u"Software\\Epic Games\\Unreal Engine\\Builds";

inline const std::u16string kErrorTitle = u"错误提示";
inline const std::u16string kNoticeTitle = u"提示";
inline const std::u16string kNoAutodeskText = u"找不到您系统的Maya目录，请自行安装选择安装目录！";
inline const std::u16string kAccessDeniedText = u"请使用管理员的权限打开该安装包!";
inline const std::u16string kNoMaya2018Text = u"没有在您系统上找到2018的Maya版本";
inline const std::u16string kNoUnreal418Text = u"没有在您系统上找到4.18的UE版本";

inline const std::u16string kMayaPackage = u"Maya\\MayaSidePackage.msi";
inline const std::u16string kUnrealPackage = u"Ue\\UeSidePackage.msi";

// Lists as UTF-8 lines, for comparisons whose failures a person has to read.
inline std::vector<std::string> utf8(const std::vector<std::u16string>& texts)
{
    std::vector<std::string> lines;
    for (const auto& text : texts)
        lines.push_back(utf8(text));
    return lines;
}

// Installations found as "version -> target" lines.
inline std::vector<std::string> describe(const Installations& found)
{
    std::vector<std::string> lines;
    for (const auto& entry : found)
        lines.push_back(utf8(entry.version) + " -> " + utf8(entry.target));
    return lines;
}

inline std::u16string mayaCommand(const std::u16string& folder)
{
    return u"Maya\\MayaSidePackage.msi TARGETDIR=\"" + folder + u"\"";
}

inline std::u16string unrealCommand(const std::u16string& folder)
{
    return u"Ue\\UeSidePackage.msi TARGETDIR=\"" + folder + u"\"";
}

// A folder path of exactly `length` UTF-16 units that ends in a backslash, as Maya's
// installer stores MAYA_INSTALL_LOCATION.
inline std::u16string folderOfLength(std::size_t length, const std::u16string& start = u"C:\\Autodesk\\")
{
    std::u16string folder = start;
    while (folder.size() + 1 < length)
        folder += u'x';
    return folder + u"\\";
}

class SetupTest : public ::testing::Test {
protected:
    // Every test: nothing touched the seam after the exit, no key was misused.
    void TearDown() override
    {
        EXPECT_EQ(fake.callsAfterExit, 0) << "the seam was used after exitProcess";
        for (const std::string& m : fake.misuse)
            ADD_FAILURE() << m;
    }

    FakePlatform fake;
};

} // namespace kvt::setup::test
