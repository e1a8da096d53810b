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
    EXPECT_STREQ("/renew_all", SwitchesFor(true).renew);
    EXPECT_STREQ("/release", SwitchesFor(false).release);
    EXPECT_STREQ("/renew", SwitchesFor(false).renew);
}

// The renewal's output goes to the capture path itself, quoted only where a blank or the
// interpreter's syntax would split or misread it; "%" and '"' it reads even in quotes.
TEST(RefreshFamily, RenewArgumentsNameTheCapturePath)
{
    struct Case { const char* path; const char* arguments; } cases[] = {
        {"C:\\Temp\\RunSilent.txt", "/renew >C:\\Temp\\RunSilent.txt"},
        {"C:\\DOCUME~1\\x\\LOCALS~1\\Temp\\RunSilent.txt", "/renew >C:\\DOCUME~1\\x\\LOCALS~1\\Temp\\RunSilent.txt"},
        {"C:\\Users\\John Doe\\RunSilent.txt", "/renew >\"C:\\Users\\John Doe\\RunSilent.txt\""},
        {"C:\\a&b\\RunSilent.txt", "/renew >\"C:\\a&b\\RunSilent.txt\""},
        {"C:\\a|b\\RunSilent.txt", "/renew >\"C:\\a|b\\RunSilent.txt\""},
        {"C:\\100%x%\\RunSilent.txt", ""},
        {"C:\\a\"b\\RunSilent.txt", ""},
    };
    char arguments[RenewArgumentSize];
    for (const Case& c : cases) {
        EXPECT_EQ(c.arguments[0] != '\0', BuildRenewArguments(arguments, "/renew", c.path)) << c.path;
        EXPECT_STREQ(c.arguments, arguments) << c.path;
    }
    std::string longest = "C:\\" + std::string(252, 'x');  // 255 characters, a blank among them
    longest[10] = ' ';
    EXPECT_TRUE(BuildRenewArguments(arguments, "/renew_all", longest.c_str()));
    EXPECT_EQ("/renew_all >\"" + longest + "\"", std::string(arguments));
}

class Refresh : public ::testing::Test {
protected:
    ScopedTempDir temp;
    StandinScript tool;

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
    EXPECT_FALSE(FileExists(SystemDirectory() + "escaped.txt"));
}

// GetTempPathA follows TMP; the renewal writes where the program reads, whatever TEMP
// says.
TEST_F(Refresh, TheRenewalWritesWhereTheProgramReads)
{
    ScratchDir elsewhere("elsewhere");
    ScopedEnv tempVar("TEMP", elsewhere.path().c_str());
    IpConfigPrints("needle\r\n");
    EXPECT_TRUE(RefreshAddress("needle"));
    EXPECT_EQ("refresh found needle\r\n", Result());
    EXPECT_FALSE(FileExists(elsewhere / "RunSilent.txt"));
}

// A capture that stays where it is could be an old or planted answer, or a link to
// write through: neither the release nor the renewal runs.
TEST_F(Refresh, ACaptureThatCannotBeDeletedRunsNoTool)
{
    WriteFileBytes(temp / "qopass.txt", "refresh\r\n");
    std::string capture = temp / "RunSilent.txt";
    WriteFileBytes(capture, "needle\r\n");
    HANDLE held = CreateFileA(capture.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    IpConfigPrints("needle\r\n");
    EXPECT_FALSE(RefreshAddress("needle"));
    EXPECT_FALSE(ResultExists());
    EXPECT_FALSE(tool.Ran());
    CloseHandle(held);
}

TEST(RefreshPaths, ADirectoryWithRoomForTheResultButNotTheCaptureRunsNothing)
{
    ScopedTempDir temp(245);
    StandinScript tool;
    WriteFileBytes(temp / "qopass.txt", "refresh\r\n");
    EXPECT_FALSE(RefreshAddress(""));
    EXPECT_FALSE(FileExists(temp / "qopass.txt"));
    EXPECT_FALSE(tool.Ran()) << "neither release nor renewal may run";
}
