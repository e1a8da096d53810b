// The OS name string: every row of the version table, the suffix forms, and the cut of
// an overlong service-pack text.
#include "report/osname.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

static OSVERSIONINFOA Version(DWORD platform, DWORD major, DWORD minor, DWORD build,
                              const char* servicePack)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwPlatformId = platform;
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.dwBuildNumber = build;
    strcpy(info.szCSDVersion, servicePack);
    return info;
}

static std::string OsName(const OSVERSIONINFOA& info)
{
    char name[OsNameSize];
    memset(name, '#', sizeof(name));
    FormatOsName(info, name, sizeof(name));
    return name;
}

TEST(OsName, VersionTable)
{
    struct Case { OSVERSIONINFOA info; const char* expected; } cases[] = {
        {Version(1, 4, 0, 0x040003B6, " B"), "Windows 95{4.00 67109814  B"},
        {Version(1, 4, 10, 0x040A08AE, " A "), "Windows 98{4.10 67766446  A "},
        {Version(1, 9, 10, 2222, ""), "Windows 98{9.10 2222 "},
        {Version(1, 4, 90, 0x045A0BB8, " "), "Windows ME{4.90 73010104  "},
        {Version(1, 4, 3, 950, "x"), "Unknown{"},
        {Version(2, 3, 51, 1057, "Service Pack 5"), "Windows NT 3.51{3.51 1057 Service Pack 5"},
        {Version(2, 3, 7, 1, ""), "Windows NT 3.51{3.07 1 "},
        {Version(2, 4, 0, 1381, "Service Pack 6"), "Windows NT 4.0{4.00 1381 Service Pack 6"},
        {Version(2, 4, 9, 1381, ""), "Windows NT 4.0{4.09 1381 "},
        {Version(2, 5, 0, 2195, ""), "Windows 2000{5.00 2195 "},
        {Version(2, 5, 1, 2600, "Service Pack 2"), "Windows XP{5.01 2600 Service Pack 2"},
        {Version(2, 5, 2, 3790, "Service Pack 1"), "Unknown{5.02 3790 Service Pack 1"},
        {Version(2, 6, 1, 7601, "Service Pack 1"), "Unknown{"},
        {Version(2, 10, 0, 19045, ""), "Unknown{"},
        {Version(2, 2, 0, 1, ""), "Unknown{"},
        {Version(0, 3, 10, 511, "Win32s"), "Unknown{3.10 511 Win32s"},
        {Version(3, 5, 0, 1, ""), "Unknown{5.00 1 "},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, OsName(c.info));
}

TEST(OsName, NineXBuildIsPrintedWholeAsASignedNumber)
{
    EXPECT_EQ("Windows 98{4.10 -2147481650 ", OsName(Version(1, 4, 10, 0x800007CE, "")));
}

TEST(OsName, AnOverlongServicePackIsCutSoTheSuffixKeeps39Characters)
{
    std::string pack(127, 'p');
    std::string name = OsName(Version(2, 5, 1, 2600, pack.c_str()));
    std::string suffix = name.substr(name.find('{'));
    EXPECT_EQ(39u, suffix.size());
    EXPECT_EQ("Windows XP{5.01 2600 " + std::string(28, 'p'), name);

    // A service-pack text without its terminator is read no further than what fits.
    OSVERSIONINFOA info = Version(1, 4, 90, 3000, "");
    memset(info.szCSDVersion, 'q', sizeof(info.szCSDVersion));
    EXPECT_EQ(10u + 39u, OsName(info).size());
}

TEST(OsName, TheStringFitsItsBufferAtTheLongest)
{
    std::string pack(127, 'p');
    std::string name = OsName(Version(2, 3, 51, 0xFFFFFFFF, pack.c_str()));
    EXPECT_EQ(OsNameSize - 1, name.size());
    char small[12];
    FormatOsName(Version(2, 5, 1, 2600, "Service Pack 2"), small, sizeof(small));
    EXPECT_STREQ("Windows XP{", small);
}
