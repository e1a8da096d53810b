// What Windows and packagers read from korvadiag.exe without running it: the version
// information, and no manifest that would change how Windows runs the program.
#include "support/support.h"

#include <gtest/gtest.h>
#include <cctype>
#include <string>
#include <vector>

static std::string VersionString(const std::vector<char>& info, const char* name)
{
    void* value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || length == 0) return "";
    return static_cast<const char*>(value);
}

TEST(Resources, VersionInformationNamesTheProductAndItsVersion)
{
    std::string exe = ProductPath();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
    ASSERT_GT(size, 0u) << "no version information in " << exe;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));

    EXPECT_EQ(KORVADIAG_VERSION, VersionString(info, "FileVersion"));
    EXPECT_EQ(KORVADIAG_VERSION, VersionString(info, "ProductVersion"));
    EXPECT_EQ("korvalink", VersionString(info, "ProductName"));
    EXPECT_EQ("korvadiag.exe", VersionString(info, "OriginalFilename"));
    EXPECT_FALSE(VersionString(info, "FileDescription").empty());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
}

// Every RT_MANIFEST resource of the exe, whatever its identifier.
static BOOL CALLBACK CollectManifest(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR manifests)
{
    HRSRC found = FindResourceA(module, name, type);
    const char* bytes = found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
    if (bytes) reinterpret_cast<std::vector<std::string>*>(manifests)->emplace_back(bytes, SizeofResource(module, found));
    return TRUE;
}

// A requested execution level in a manifest turns off file and registry virtualisation
// on Windows Vista and later: the exe would read another korvalink.ini than the
// calling application does. Without it, Windows takes a program whose names speak of
// installing for an installer and starts it elevated.
TEST(Resources, NothingTurnsVirtualisationOffOrLooksLikeAnInstaller)
{
    HMODULE module = LoadLibraryExA(ProductPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    std::vector<std::string> manifests;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(24), CollectManifest, reinterpret_cast<LONG_PTR>(&manifests));
    FreeLibrary(module);
    for (const std::string& manifest : manifests) {
        EXPECT_EQ(std::string::npos, manifest.find("requestedExecutionLevel")) << manifest;
        EXPECT_EQ(std::string::npos, manifest.find("supportedOS")) << manifest;
    }

    std::string exe = ProductPath();
    DWORD handle = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), &handle));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    std::vector<std::string> names = {exe.substr(exe.find_last_of('\\') + 1)};
    for (const char* field : {"CompanyName", "FileDescription", "InternalName", "OriginalFilename", "ProductName"})
        names.push_back(VersionString(info, field));
    for (std::string name : names) {
        for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        for (const char* word : {"setup", "install", "update", "patch", "upgrad"})
            EXPECT_EQ(std::string::npos, name.find(word)) << "\"" << name << "\" holds " << word;
    }
}
