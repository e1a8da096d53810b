// The address refresh against a stand-in IPConfig.exe run through Wine's real cmd.exe.
// The test program itself sees Wine's default version, which is not of the 9x family.
#include "actions/refresh.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <string>

TEST(RefreshFamily, OnlyWindows95To98AndMeTakeTheAllSwitches)
{
    const char* nineX[] = {"Windows 95{4.00 67109814  B", "Windows 98{4.10 67766446  A ",
                           "Windows ME{4.90 73010104  "};
    for (const char* name : nineX) EXPECT_TRUE(IsNineXFamily(name)) << name;
    const char* others[] = {"Windows XP{5.01 2600 Service Pack 2", "Windows 2000{5.00 2195 ",
                            "Windows NT 4.0{4.00 1381 ", "Windows NT 3.51{3.51 1057 ", "Unknown{",
                            "windows 98{4.10 1 ", ""};
    for (const char* name : others) EXPECT_FALSE(IsNineXFamily(name)) << name;
}

TEST(RefreshFamily, SwitchesByteForByte)
{
    EXPECT_STREQ("/release_all", SwitchesFor(true).release);
    EXPECT_STREQ("/renew_all >%temp%\\RunSilent.txt", SwitchesFor(true).renew);
    EXPECT_STREQ("/release", SwitchesFor(false).release);
    EXPECT_STREQ("/renew >%temp%\\RunSilent.txt", SwitchesFor(false).renew);
}

class Refresh : public ::testing::Test {
protected:
    ScopedTempDir temp;
    StandinScript tool;
    ScopedCurrentDirectory cwd{StandinDirectory()};

    void IpConfigPrints(const std::string& text) { tool.Prints(text); }
    std::string Result() { return ReadFileBytes(temp / "qopass.txt"); }
    bool ResultExists() { return FileExists(temp / "qopass.txt"); }
};

TEST_F(Refresh, ReleasesThenRenewsIntoTheCapture)
{
    IpConfigPrints("Windows IP Configuration\r\n");
    EXPECT_TRUE(RefreshAddress(""));
    std::string calls = tool.Log();
    size_t release = calls.find("IPConfig.exe /release");
    size_t renew = calls.find("IPConfig.exe /renew");
    ASSERT_NE(std::string::npos, release) << calls;
    ASSERT_NE(std::string::npos, renew) << calls;
    EXPECT_LT(release, renew);
    EXPECT_EQ(std::string::npos, calls.find("_all")) << calls;
    EXPECT_EQ("Windows IP Configuration\r\n", ReadFileBytes(temp / "RunSilent.txt"))
        << "the capture stays after the refresh";
}

TEST_F(Refresh, ASuccessfulRenewalWritesTheConfirmation)
{
    struct Case { const char* text; const char* expected; } cases[] = {
        {"", "refresh\r\n"},
        {"192.168.7.1", "refresh found 192.168.7.1\r\n"},
        {"IP ADDRESS", "refresh\r\n"},
        {"absent text", "refresh\r\n"},
    };
    IpConfigPrints("Windows IP Configuration\r\n\r\n   IP Address. . . : 192.168.7.1\r\n");
    for (const Case& c : cases) {
        EXPECT_TRUE(RefreshAddress(c.text)) << c.text;
        EXPECT_EQ(c.expected, Result()) << "text '" << c.text << "'";
    }
}

TEST_F(Refresh, AFailedRenewalLeavesNoResultFile)
{
    WriteFileBytes(temp / "qopass.txt", "refresh\r\n");
    IpConfigPrints("Error: unable to renew\r\n");
    ScopedEnv exitCode("KD_STANDIN_EXIT", "1");
    EXPECT_FALSE(RefreshAddress("unable"));
    EXPECT_FALSE(ResultExists());
    EXPECT_TRUE(FileExists(temp / "RunSilent.txt"));
}

TEST_F(Refresh, AnInterpreterThatCannotStartIsAFailedRenewal)
{
    WriteFileBytes(temp / "qopass.txt", "refresh\r\n");
    ScopedEnv comspec("COMSPEC", "C:\\no-such-folder\\cmd.exe");
    EXPECT_FALSE(RefreshAddress(""));
    EXPECT_FALSE(ResultExists());
}

TEST_F(Refresh, ATextStraddlingThe254CharacterCutIsNotFound)
{
    std::string line = std::string(250, 'x') + "needle" + std::string(10, 'x') + "\r\n";
    IpConfigPrints(line);
    EXPECT_TRUE(RefreshAddress("needle"));
    EXPECT_EQ("refresh\r\n", Result());
    EXPECT_TRUE(RefreshAddress(std::string(250, 'x').c_str()));
    EXPECT_EQ("refresh found " + std::string(250, 'x') + "\r\n", Result());
}

TEST_F(Refresh, ALongSearchTextIsOnlySearchedAndWritten)
{
    // Interpreter syntax in the text never reaches a command line.
    std::string text = "&echo x>escaped.txt|" + std::string(5000, 't');
    IpConfigPrints("nothing\r\n");
    EXPECT_TRUE(RefreshAddress(text.c_str()));
    EXPECT_EQ("refresh\r\n", Result());
    EXPECT_EQ(std::string::npos, tool.Log().find("escaped"));
    EXPECT_FALSE(FileExists(StandinDirectory() + "escaped.txt"));
}

TEST_F(Refresh, TheSearchTextIsFoundOnlyInTheRenewalsOwnCapture)
{
    // cmd.exe's %temp% follows TEMP while the program reads where TMP points.
    ScratchDir elsewhere("elsewhere");
    ScopedEnv tempVar("TEMP", elsewhere.path().c_str());
    IpConfigPrints("needle\r\n");
    EXPECT_TRUE(RefreshAddress("needle"));
    EXPECT_EQ("refresh\r\n", Result());
}

TEST(RefreshPaths, ADirectoryWithRoomForTheResultButNotTheCaptureRunsNothing)
{
    ScopedTempDir temp(245);
    StandinScript tool;
    ScopedCurrentDirectory cwd(StandinDirectory());
    WriteFileBytes(temp / "qopass.txt", "refresh\r\n");
    EXPECT_FALSE(RefreshAddress(""));
    EXPECT_FALSE(FileExists(temp / "qopass.txt"));
    EXPECT_FALSE(tool.Ran()) << "neither release nor renewal may run";
}
