// The host check against a stand-in ping.exe run through Wine's real cmd.exe: the
// interpreter finds ping.exe in its working folder, which the tests point at the
// stand-ins, and carries out the redirection into %temp%.
#include "actions/hostcheck.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <string>

TEST(HostText, AcceptsHostNamesAndAddressLiteralsOnly)
{
    std::string longest(56, 'h'), tooLong(57, 'h');
    const char* accepted[] = {"127.0.0.1", "::1", "fe80::1", "host-name.example_x", "LOCALHOST",
                              longest.c_str()};
    for (const char* host : accepted) EXPECT_TRUE(IsAcceptableHost(host)) << host;
    const char* refused[] = {"", "127.0.0.1&calc", "a|b", "a<b", "a>b", "a^b", "%temp%", "\"q\"",
                             "a b", "a\tb", "a\nb", "fe80::1%eth0", "a;b", "a,b", "a(b)",
                             "\xE9t\xE9", tooLong.c_str()};
    for (const char* host : refused) EXPECT_FALSE(IsAcceptableHost(host)) << host;
}

class HostCheck : public ::testing::Test {
protected:
    ScopedTempDir temp;
    StandinScript tool;
    ScopedCurrentDirectory cwd{StandinDirectory()};

    void PingPrints(const std::string& lines) { tool.Prints(lines); }
    std::string Result() { return ReadFileBytes(temp / "qopass.txt"); }
};

static std::string Replies(const char* host, int count)
{
    std::string lines = std::string("Pinging ") + "with 32 bytes of data:\r\n";
    for (int i = 0; i < count; ++i) lines += std::string("Reply from ") + host + ": bytes=32\r\n";
    return lines;
}

TEST_F(HostCheck, FourLinesNamingTheHostAreFoundThreeAreNot)
{
    PingPrints(Replies("10.1.2.3", 4));
    EXPECT_TRUE(CheckHost("10.1.2.3"));
    EXPECT_EQ("found 10.1.2.3\r\n", Result());
    EXPECT_FALSE(FileExists(temp / "RunSilent.txt")) << "the capture is deleted after reading";

    PingPrints(Replies("10.1.2.3", 3));
    EXPECT_FALSE(CheckHost("10.1.2.3"));
    EXPECT_EQ("failed\r\n", Result());
}

TEST_F(HostCheck, PassesTheHostAndRedirectionToPing)
{
    PingPrints("");
    CheckHost("10.1.2.3");
    EXPECT_NE(std::string::npos, tool.Log().find("10.1.2.3 ")) << tool.Log();
}

TEST_F(HostCheck, LinesInOtherLettersDoNotCount)
{
    PingPrints(Replies("HOST.EXAMPLE", 4));
    EXPECT_FALSE(CheckHost("host.example"));
    EXPECT_EQ("failed\r\n", Result());
}

TEST_F(HostCheck, LongLinesAreTestedIn254CharacterPieces)
{
    // The host straddles the first cut (characters 251 to 256): found in neither piece.
    std::string straddling = std::string(250, 'x') + "abcdef" + std::string(10, 'x') + "\r\n";
    PingPrints(straddling + straddling + straddling + straddling);
    EXPECT_FALSE(CheckHost("abcdef"));

    // One line of four pieces, each holding the host: four counts.
    std::string piece = "abcdef" + std::string(248, 'y');
    PingPrints(piece + piece + piece + piece + "\r\n");
    EXPECT_TRUE(CheckHost("abcdef"));
    EXPECT_EQ("found abcdef\r\n", Result());
}

TEST_F(HostCheck, OutputLandingOutsideTheCaptureIsAFailure)
{
    // GetTempPathA follows TMP; the interpreter's %temp% follows TEMP.
    ScratchDir elsewhere("elsewhere");
    ScopedEnv tempVar("TEMP", elsewhere.path().c_str());
    PingPrints(Replies("10.1.2.3", 4));
    EXPECT_FALSE(CheckHost("10.1.2.3"));
    EXPECT_EQ("failed\r\n", Result());
    EXPECT_TRUE(FileExists(elsewhere / "RunSilent.txt"));
}

TEST_F(HostCheck, HostileHostRunsNoToolAndReplacesTheOldVerdictAndCapture)
{
    WriteFileBytes(temp / "qopass.txt", "found 127.0.0.1\r\n");
    std::string tooLong(57, '1');
    const char* hostile[] = {"127.0.0.1&calc", "127.0.0.1 | x", "", tooLong.c_str()};
    for (const char* host : hostile) {
        WriteFileBytes(temp / "RunSilent.txt", "an earlier refresh's capture\r\n");
        EXPECT_FALSE(CheckHost(host));
        EXPECT_EQ("failed\r\n", Result()) << host;
        EXPECT_FALSE(FileExists(temp / "RunSilent.txt")) << host;
    }
    EXPECT_FALSE(tool.Ran()) << "ping.exe must not have run";
}

TEST_F(HostCheck, AnEarlierCaptureIsReadWhenTheInterpreterCannotStart)
{
    ScopedEnv comspec("COMSPEC", "C:\\no-such-folder\\cmd.exe");
    WriteFileBytes(temp / "RunSilent.txt", Replies("10.1.2.3", 4));
    EXPECT_TRUE(CheckHost("10.1.2.3"));
    EXPECT_FALSE(FileExists(temp / "RunSilent.txt"));
}

TEST_F(HostCheck, AResultPathTakenByAFolderGetsNoVerdict)
{
    CreateDirectoryA((temp / "qopass.txt").c_str(), nullptr);
    PingPrints(Replies("10.1.2.3", 4));
    EXPECT_FALSE(CheckHost("10.1.2.3"));
    EXPECT_TRUE(DirectoryExists(temp / "qopass.txt"));
}

TEST(HostCheckPaths, ADirectoryWithRoomForTheResultButNotTheCaptureRunsNothing)
{
    // 245 characters leave room for "qopass.txt" (10) but not "RunSilent.txt" (13).
    ScopedTempDir temp(245);
    StandinScript tool;
    ScopedCurrentDirectory cwd(StandinDirectory());
    WriteFileBytes(temp / "qopass.txt", "found 10.1.2.3\r\n");
    EXPECT_FALSE(CheckHost("10.1.2.3"));
    EXPECT_FALSE(FileExists(temp / "qopass.txt")) << "an old verdict must not pass for a fresh one";
    EXPECT_FALSE(tool.Ran());
}
