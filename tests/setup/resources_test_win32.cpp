// The built setup.exe carries the resources it needs: icon group 101 with
// one 64 x 64, 32-bit image, and a manifest requesting requireAdministrator without UI
// access and declaring DPI awareness. It is a console program.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// build-win/tests/setup/setup_test.exe -> build-win/setup/setup.exe
std::wstring setupExePath()
{
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + L"..\\..\\setup\\setup.exe";
}

class SetupResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryExW(setupExePath().c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "cannot load setup.exe's resources, error " << GetLastError();
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }

    // The bytes of one resource, or an empty vector.
    std::vector<std::uint8_t> resource(LPCWSTR type, LPCWSTR name)
    {
        HRSRC found = FindResourceW(module, name, type);
        if (found == nullptr)
            return {};
        HGLOBAL loaded = LoadResource(module, found);
        const auto* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
        return std::vector<std::uint8_t>(bytes, bytes + SizeofResource(module, found));
    }

    HMODULE module = nullptr;
};

std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }

TEST_F(SetupResources, IconGroup101HoldsOne64By64ImageOf32Bits)
{
    std::vector<std::uint8_t> group = resource(MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, MAKEINTRESOURCEW(101));
    ASSERT_EQ(group.size(), 6u + 14u) << "GRPICONDIR with exactly one entry";
    EXPECT_EQ(u16(group, 2), 1) << "type: icon";
    EXPECT_EQ(u16(group, 4), 1) << "one image";
    EXPECT_EQ(group[6], 64) << "width";
    EXPECT_EQ(group[7], 64) << "height";
    EXPECT_EQ(u16(group, 10), 1) << "planes";
    EXPECT_EQ(u16(group, 12), 32) << "bits per pixel";
    const std::uint16_t imageId = u16(group, 18);

    std::vector<std::uint8_t> image = resource(MAKEINTRESOURCEW(3) /* RT_ICON */, MAKEINTRESOURCEW(imageId));
    ASSERT_EQ(image.size(), u32(group, 14));
    ASSERT_GE(image.size(), 40u + 64u * 64u * 4u);
    EXPECT_EQ(u32(image, 0), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(u32(image, 4), 64u);
    EXPECT_EQ(u32(image, 8), 128u) << "colour image and mask";
    EXPECT_EQ(u16(image, 14), 32);

    HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, 64, 64,
                                          LR_DEFAULTCOLOR);
    EXPECT_NE(icon, nullptr) << "the image must decode as an icon";
    if (icon)
        DestroyIcon(icon);
}

TEST_F(SetupResources, ManifestRequestsElevationWithoutUiAccessAndIsDpiAware)
{
    std::vector<std::uint8_t> bytes = resource(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(bytes.empty()) << "no manifest with id 1";
    std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"),
              std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
              std::string::npos)
        << manifest;
}

TEST(SetupImage, IsAConsoleProgramForX64)
{
    std::ifstream in(setupExePath().c_str(), std::ios::binary);
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(file.size(), 0x200u);
    const std::uint32_t pe = u32(file, 0x3C);
    ASSERT_EQ(std::memcmp(&file[pe], "PE\0\0", 4), 0);
    EXPECT_EQ(u16(file, pe + 4), IMAGE_FILE_MACHINE_AMD64);
    const std::size_t optional = pe + 24;
    EXPECT_EQ(u16(file, optional), 0x20B) << "PE32+";
    EXPECT_EQ(u16(file, optional + 68), IMAGE_SUBSYSTEM_WINDOWS_CUI);
}

} // namespace
