// The real exe under the Windows versions that Wine reports to it on request: the OS
// name string of the report, the refresh switches (the 9x family releases and renews
// with the "_all" switches, every other system without them), and the interpreter's
// "/d" (cmd of 2000 and later only).
#include "support/support.h"

#include <gtest/gtest.h>
#include <string>

struct VersionCase {
    const char* wineVersion;
    bool nineX;
    const char* interpreter;  // the file name COMSPEC gives a stand-in interpreter
    bool autoRunOff;          // whether "/d" goes before "/c"
};

class RefreshUnderVersion : public ::testing::TestWithParam<VersionCase> {
protected:
    ScopedTempDir temp;
    StandinScript tool;
};

TEST_P(RefreshUnderVersion, ChoosesTheSwitchesOfTheFamily)
{
    ScopedWineVersion version("korvadiag.exe", GetParam().wineVersion);
    tool.Prints("IP Address: 10.0.0.5\r\n");
    EXPECT_EQ(0u, RunProduct("refresh:10.0.0.5", StandinDirectory().c_str()));
    EXPECT_EQ("refresh found 10.0.0.5\r\n", ReadFileBytes(temp / "qopass.txt"));

    std::string calls = tool.Log();
    const char* release = GetParam().nineX ? "IPConfig.exe /release_all" : "IPConfig.exe /release\n";
    const char* renew = GetParam().nineX ? "IPConfig.exe /renew_all" : "IPConfig.exe /renew";
    EXPECT_NE(std::string::npos, calls.find(release)) << calls;
    EXPECT_NE(std::string::npos, calls.find(renew)) << calls;
    if (!GetParam().nineX) {
        EXPECT_EQ(std::string::npos, calls.find("_all")) << calls;
    }

    // The interpreter's own command line, as a stand-in of the name COMSPEC gives sees it.
    ScratchDir folder("comspec");
    std::string interpreter = folder / GetParam().interpreter;
    ASSERT_TRUE(CopyFileA((StandinDirectory() + "interpreter.exe").c_str(), interpreter.c_str(), FALSE));
    ScopedEnv comspec("COMSPEC", interpreter.c_str());
    EXPECT_EQ(0u, RunProduct("refresh", StandinDirectory().c_str()));
    std::string start = "cmd=" + interpreter + (GetParam().autoRunOff ? " /d /c " : " /c ") + "IPConfig.exe ";
    EXPECT_NE(std::string::npos, tool.Log().find(start)) << tool.Log();
}

INSTANTIATE_TEST_SUITE_P(Wine, RefreshUnderVersion,
    ::testing::Values(VersionCase{"win95", true, "COMMAND.COM", false},
                      VersionCase{"win98", true, "COMMAND.COM", false},
                      VersionCase{"winme", true, "cmd.exe", false},
                      VersionCase{"nt351", false, "cmd.exe", false},
                      VersionCase{"nt40", false, "CMD.EXE", false},
                      VersionCase{"win2k", false, "cmd.exe", true},
                      VersionCase{"winxp", false, "CMD.EXE", true},
                      VersionCase{"win7", false, "interpreter.exe", false},
                      VersionCase{"win10", false, "Cmd.exe", true}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.wineVersion); });

TEST(RefreshProcess, RefreshInAnyCapitalsAndAFailedRenewal)
{
    ScopedTempDir temp;
    StandinScript tool;  // prints nothing
    EXPECT_EQ(0u, RunProduct("ReFrEsH", StandinDirectory().c_str()));
    EXPECT_EQ("refresh\r\n", ReadFileBytes(temp / "qopass.txt"));
    EXPECT_EQ(0u, RunProduct("REFRESH:", StandinDirectory().c_str()));
    EXPECT_EQ("refresh\r\n", ReadFileBytes(temp / "qopass.txt"));

    ScopedEnv exitCode("KD_STANDIN_EXIT", "2");
    EXPECT_EQ(0u, RunProduct("refresh", StandinDirectory().c_str()));
    EXPECT_FALSE(FileExists(temp / "qopass.txt"));
}

struct OsNameCase {
    const char* wineVersion;
    const char* osLine;  // as Wine describes each version to programs
};

class ReportUnderVersion : public ::testing::TestWithParam<OsNameCase> {};

TEST_P(ReportUnderVersion, NamesTheSystemInTheOsLine)
{
    ScopedTempDir temp;
    ScopedWineVersion version("korvadiag.exe", GetParam().wineVersion);
    EXPECT_EQ(0u, RunProduct("report"));
    std::string report = ReadFileBytes(temp / "qoreport.txt");
    std::string expected = std::string("\r\n") + GetParam().osLine + "\r\nNIC=";
    EXPECT_NE(std::string::npos, report.find(expected)) << report;
}

INSTANTIATE_TEST_SUITE_P(Wine, ReportUnderVersion,
    ::testing::Values(OsNameCase{"win95", "OS=Windows 95{4.00 67109814 "},
                      OsNameCase{"win98", "OS=Windows 98{4.10 67766446  A "},
                      OsNameCase{"winme", "OS=Windows ME{4.90 73010104  "},
                      OsNameCase{"nt351", "OS=Windows NT 3.51{3.51 1057 Service Pack 5"},
                      OsNameCase{"nt40", "OS=Windows NT 4.0{4.00 1381 Service Pack 6a"},
                      OsNameCase{"win2k", "OS=Windows 2000{5.00 2195 Service Pack 4"},
                      OsNameCase{"winxp", "OS=Windows XP{5.01 2600 Service Pack 3"},
                      OsNameCase{"win2003", "OS=Unknown{5.02 3790 Service Pack 2"},
                      OsNameCase{"vista", "OS=Unknown{"},
                      OsNameCase{"win10", "OS=Unknown{"}),
    [](const ::testing::TestParamInfo<OsNameCase>& info) { return std::string(info.param.wineVersion); });
