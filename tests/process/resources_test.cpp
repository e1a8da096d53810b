// What Windows and packagers read from korvadiag.exe without running it: the version
// information and the embedded application manifest.
#include "support/support.h"

#include <gtest/gtest.h>
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

TEST(Resources, ManifestAsksForNoElevationAndDeclaresNoSystems)
{
    HMODULE module = LoadLibraryExA(ProductPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, found) << "no RT_MANIFEST resource 1";
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    std::string manifest(bytes, SizeofResource(module, found));
    FreeLibrary(module);

    EXPECT_NE(std::string::npos, manifest.find("<requestedExecutionLevel level=\"asInvoker\""));
    // A supportedOS entry would change the version Windows reports to the program.
    EXPECT_EQ(std::string::npos, manifest.find("supportedOS"));
    EXPECT_EQ(std::string::npos, manifest.find("compatibility"));
    // Windows XP rejects trustInfo whose namespace is declared twice; it is declared once.
    size_t first = manifest.find("urn:schemas-microsoft-com:asm.v3");
    ASSERT_NE(std::string::npos, first);
    EXPECT_EQ(std::string::npos, manifest.find("urn:schemas-microsoft-com:asm.v3", first + 1));
}
