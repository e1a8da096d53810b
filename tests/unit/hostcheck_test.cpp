// The host check against a stand-in ping.exe run through Wine's real cmd.exe: the
// interpreter starts in the system directory and finds the stand-in there, and carries
// out the redirection into the capture path. The capture scan is driven over what
// Windows' own ping prints.
#include "actions/hostcheck.h"
#include "support/ping_captures.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

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

TEST(HostScan, TextCountsOnlyWhereItStandsWhole)
{
    struct Case { const char* piece; const char* text; bool whole; } cases[] = {
        {"Reply from 192.168.1.1: bytes=32", "192.168.1.1", true},
        {"Reply from 192.168.1.10: Destination host unreachable.", "192.168.1.1", false},
        {"Reply from 110.0.0.1: Destination net unreachable.", "10.0.0.1", false},
        {"Pinging kd-host-2.example [192.0.2.5]", "kd-host", false},
        {"Pinging kd-host.corp.example [192.0.2.5]", "kd-host", false},
        {"could not find host kd-host. Please", "kd-host", true},
        {"host kd-host.", "kd-host", true},
        {"Pinging kd_host", "kd", false},
        {"x.kd-host", "kd-host", false},
        {"Reply from ::1: time<1ms", "::1", true},
        {"Reply from fe80::1%11: time<1ms", "::1", false},
        {"Reply from fe80::1%11: time<1ms", "fe80::1", true},
        {"Reply from 2001:db8::1:5: Destination host unreachable.", "2001:db8::1", false},
        {"Reply from fd00:2001:db8::1: time=1ms", "2001:db8::1", false},
        {"Reply from 2001:db8::1: time=1ms", "2001:db8::1", true},
        {"Ping statistics for 2001:db8::1:", "2001:db8::1", true},
        {"[192.0.2.10]", "192.0.2.10", true},
        {"(192.0.2.10)", "192.0.2.10", true},
        {"\t192.0.2.10\t", "192.0.2.10", true},
        {"\x82\xa9" "192.0.2.10\x82\xcc", "192.0.2.10", true},  // among double-byte letters
        {"R\x82ponse de 192.0.2.10\xff: octets=32", "192.0.2.10", true},
        {"192.0.2.10", "192.0.2.10", true},
        {"a 192.0.2.10 and 192.0.2.100", "192.0.2.10", true},  // one whole is enough
        {"Reply from 192.0.2.10", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.whole, ContainsWholeText(c.piece, c.text)) << "'" << c.text << "' in '" << c.piece << "'";
}

class CaptureScan : public ::testing::Test {
protected:
    ScratchDir dir{"scan"};
    int Count(const std::string& capture, const char* host)
    {
        WriteFileBytes(dir / "RunSilent.txt", capture);
        return CountPiecesNamingHost((dir / "RunSilent.txt").c_str(), host);
    }
};

// Windows' ping names a host given by name in its first line as it resolved it, the
// address in brackets; the replies name the address alone.
TEST_F(CaptureScan, WindowsOwnPingGetsTheRightVerdict)
{
    std::vector<PingCapture> captures = WindowsPingCaptures();
    ASSERT_GE(captures.size(), 140u);
    for (const PingCapture& c : captures) {
        int count = Count(c.output, c.host.c_str());
        EXPECT_EQ(c.found, count >= FoundLineThreshold) << c.what << ": " << count << " lines counted";
    }
}

TEST_F(CaptureScan, OnlyTheFirstLineWithTextGivesTheAddress)
{
    const std::string replies = "Reply from 10.1.2.3: time<1ms\r\n";
    const std::string four = replies + replies + replies + replies;
    const std::string longName(260, 'n');
    const std::string unreachable = "Reply from 2001:db8::1:5: Destination host unreachable.\r\n";
    const std::string longest(45, '1'), reply45 = "Reply from " + longest + ": time<1ms\r\n";
    struct Case { const char* what; std::string capture; int count; } cases[] = {
        {"after blank lines", "\r\n   \r\n\r\nPinging dc1 [10.1.2.3] with 32 bytes:\r\n" + four, 5},
        {"whatever name stands before it", "Pinging DC1.corp.example [10.1.2.3] with:\r\n" + four, 5},
        {"brackets on a later line", "Pinging dc9 with 32 bytes:\r\nx [10.1.2.3]\r\n" + four, 1},
        {"no blank before the bracket", "Pinging dc9[10.1.2.3] with 32 bytes:\r\n" + four, 1},
        {"no address in the brackets", "Pinging dc9 [10.1.2.3 x] with:\r\n" + four, 1},
        {"the first valid pair", "Pinging dc9 [x] [10.1.2.3] with:\r\n" + four, 5},
        // The replies name the 45-character address, which a 46th character must not cut to.
        {"an address of 45 characters", "Pinging dc9 [" + longest + "]\r\n" + reply45 + reply45 + reply45 + reply45, 5},
        {"an address of 46 characters", "Pinging dc9 [" + longest + "1]\r\n" + reply45 + reply45 + reply45 + reply45, 1},
        {"the second piece of a long first line", "Pinging " + longName + " [10.1.2.3] with:\r\n" + four, 5},
        // A first piece of 254: "Pinging ", the name, then the cut.
        {"cut inside the bracket", "Pinging " + std::string(241, 'n') + " [10.1.2.3] with:\r\n" + four, 4},
        {"cut right after the blank", "Pinging " + std::string(245, 'n') + " [10.1.2.3] with:\r\n" + four, 5},
        {"a NUL in a full first piece", "Pinging n" + std::string(1, '\0') + longName + " [10.1.2.3]\r\n" + four, 5},
        {"an IPv6 neighbour answering for it", "Pinging dc9 [2001:db8::1] with:\r\n" + unreachable +
                                               unreachable + unreachable + unreachable, 1},
        {"the computer's name for localhost", "Pinging KDPC [::1] from ::1 with 32 bytes of data:\r\n"
                                              "Reply from ::1: time<1ms\r\nReply from ::1: time<1ms\r\n"
                                              "Reply from ::1: time<1ms\r\nReply from ::1: time<1ms\r\n", 5},
    };
    // The first line names dc9 itself in the cases that learn no address: it counts once.
    for (const Case& c : cases) EXPECT_EQ(c.count, Count(c.capture, "dc9")) << c.what;
}

class HostCheck : public ::testing::Test {
protected:
    ScopedTempDir temp;
    StandinScript tool;

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

// The interpreter gets the capture's path as the program reads it, never %temp% to
// expand from its own TEMP.
TEST_F(HostCheck, RedirectsPingIntoTheCapturePathItself)
{
    std::string interpreter = StandinDirectory() + "interpreter.exe";
    ScopedEnv comspec("COMSPEC", interpreter.c_str());
    CheckHost("10.1.2.3");
    std::string expected = "cmd=" + interpreter + " /c ping.exe 10.1.2.3 > " + temp.path() + "RunSilent.txt\n";
    EXPECT_EQ(0u, tool.Log().find(expected)) << tool.Log();
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
    std::string straddling = std::string(250, ' ') + "abcdef" + std::string(10, ' ') + "\r\n";
    PingPrints(straddling + straddling + straddling + straddling);
    EXPECT_FALSE(CheckHost("abcdef"));

    // One line of four pieces, each holding the host: four counts.
    std::string piece = "abcdef" + std::string(248, ' ');
    PingPrints(piece + piece + piece + piece + "\r\n");
    EXPECT_TRUE(CheckHost("abcdef"));
    EXPECT_EQ("found abcdef\r\n", Result());
}

// GetTempPathA follows TMP, which the program reads from; the tool writes there too,
// whatever TEMP says, and whatever the path holds that the interpreter reads as syntax.
TEST_F(HostCheck, PingWritesWhereTheProgramReads)
{
    ScratchDir elsewhere("elsewhere");
    ScopedEnv tempVar("TEMP", elsewhere.path().c_str());
    PingPrints(Replies("10.1.2.3", 4));
    EXPECT_TRUE(CheckHost("10.1.2.3"));
    EXPECT_EQ("found 10.1.2.3\r\n", Result());
    EXPECT_FALSE(FileExists(elsewhere / "RunSilent.txt"));

    ScratchDir base("paths");
    for (const char* name : {"with blank\\", "a&echo escaped&b\\", "(x)^y;z=1,2\\"}) {
        std::string dir = base / name;
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
        ScopedEnv tmp("TMP", dir.c_str());
        EXPECT_TRUE(CheckHost("10.1.2.3")) << dir;
        EXPECT_EQ("found 10.1.2.3\r\n", ReadFileBytes(dir + "qopass.txt")) << dir;
    }
    EXPECT_FALSE(FileExists(SystemDirectory() + "escaped")) << "a command escaped the redirection";
}

// The interpreter expands "%" and ends quoting at '"' even inside quotes.
TEST_F(HostCheck, ATemporaryPathThatTheInterpreterWouldExpandRunsNoTool)
{
    ScratchDir base("percent");
    std::string dir = base / "100%COMSPEC%\\";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ScopedEnv tmp("TMP", dir.c_str());
    ScopedEnv tempVar("TEMP", dir.c_str());
    PingPrints(Replies("10.1.2.3", 4));
    EXPECT_FALSE(CheckHost("10.1.2.3"));
    EXPECT_EQ("failed\r\n", ReadFileBytes(dir + "qopass.txt"));
    EXPECT_FALSE(tool.Ran());
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

// An earlier refresh leaves its capture; a planted one may wait there too. Neither is
// ever read as ping's answer.
TEST_F(HostCheck, AnEarlierCaptureIsNeverTakenForPingsAnswer)
{
    ScopedEnv comspec("COMSPEC", "C:\\no-such-folder\\cmd.exe");
    WriteFileBytes(temp / "RunSilent.txt", Replies("10.1.2.3", 4));
    EXPECT_FALSE(CheckHost("10.1.2.3"));
    EXPECT_EQ("failed\r\n", Result());
    EXPECT_FALSE(FileExists(temp / "RunSilent.txt"));
}

TEST_F(HostCheck, ACaptureThatCannotBeDeletedRunsNoTool)
{
    PingPrints(Replies("10.1.2.3", 4));
    std::string capture = temp / "RunSilent.txt";
    ASSERT_TRUE(CreateDirectoryA(capture.c_str(), nullptr));
    EXPECT_FALSE(CheckHost("10.1.2.3"));
    EXPECT_EQ("failed\r\n", Result()) << "a folder";
    EXPECT_TRUE(DirectoryExists(capture));
    RemoveDirectoryA(capture.c_str());

    WriteFileBytes(capture, Replies("10.1.2.3", 4));
    HANDLE held = CreateFileA(capture.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(CheckHost("10.1.2.3"));
    EXPECT_EQ("failed\r\n", Result()) << "held open without delete sharing";
    CloseHandle(held);
    EXPECT_FALSE(tool.Ran());
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
    WriteFileBytes(temp / "qopass.txt", "found 10.1.2.3\r\n");
    EXPECT_FALSE(CheckHost("10.1.2.3"));
    EXPECT_FALSE(FileExists(temp / "qopass.txt")) << "an old verdict must not pass for a fresh one";
    EXPECT_FALSE(tool.Ran());
}
