// The real korvadiag.exe started as a process: exit code 0 on every start, and the
// files it leaves in the temporary directory its environment names.
#include "support/ping_captures.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

class Product : public ::testing::Test {
protected:
    ScopedTempDir temp;
    ScratchDir scratch{"product"};
    StandinScript tool;

    DWORD Run(const std::string& text) { return RunProduct(text, StandinDirectory().c_str()); }
};

// The machine field of the exe's PE header, 0 when the file is no PE image.
static WORD ImageMachine(const std::string& bytes)
{
    if (bytes.size() < 0x40 || bytes.compare(0, 2, "MZ") != 0) return 0;
    DWORD offset = 0;
    memcpy(&offset, bytes.data() + 0x3C, sizeof(offset));
    if (offset > bytes.size() - 6 || bytes.compare(offset, 4, std::string("PE\0\0", 4)) != 0) return 0;
    WORD machine = 0;
    memcpy(&machine, bytes.data() + offset + 4, sizeof(machine));
    return machine;
}

// The exe these tests start is built for the same machine as the tests themselves: the
// 32-bit test build runs against the shipped i686 exe, never against the 64-bit one.
TEST(ProductImage, IsBuiltForTheMachineOfThisTestBuild)
{
    const WORD expected = sizeof(void*) == 4 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;
    const WORD machine = ImageMachine(ReadFileBytes(ProductPath()));
    EXPECT_EQ(expected, machine) << "expected machine 0x" << std::hex << expected << ", got 0x" << machine
                                 << " in " << ProductPath();
}

TEST_F(Product, CheckIpWritesFoundThroughTheHiddenPing)
{
    std::string lines;
    for (int i = 0; i < 4; ++i) lines += "Reply from 192.0.2.7: bytes=32\r\n";
    tool.Prints(lines);
    EXPECT_EQ(0u, Run("checkip:192.0.2.7"));
    EXPECT_EQ("found 192.0.2.7\r\n", ReadFileBytes(temp / "qopass.txt"));
    EXPECT_FALSE(FileExists(temp / "RunSilent.txt"));

    // A read-only capture left behind goes first, and ping runs all the same.
    WriteFileBytes(temp / "RunSilent.txt", "an earlier capture\r\n");
    ASSERT_TRUE(SetFileAttributesA((temp / "RunSilent.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(0u, Run("checkip:192.0.2.7"));
    EXPECT_EQ("found 192.0.2.7\r\n", ReadFileBytes(temp / "qopass.txt")) << "after a read-only capture";
    EXPECT_FALSE(FileExists(temp / "RunSilent.txt"));
}

// Ping names a host given by name once, in its first line, right before the address
// it resolved the name to; the replies and the statistics carry only the address.
TEST_F(Product, CheckIpOfAHostByNameCountsTheLinesOfTheAddressItResolvedTo)
{
    auto replies = [](const std::string& line) { return line + line + line + line; };
    const std::string statistics = "\r\nPing statistics for 10.1.2.3:\r\n"
                                   "    Packets: Sent = 4, Received = 0, Lost = 4 (100% loss),\r\n";
    struct Case { const char* what; std::string output; bool found; } cases[] = {
        {"NT wording", "Pinging myhost [10.1.2.3] with 32 bytes of data:\r\n" +
             replies("Reply from 10.1.2.3: bytes=32 time<1ms TTL=128\r\n"), true},
        {"9x wording", "\r\nPinging myhost [10.1.2.3] with 32 bytes of data:\r\n\r\n" +
             replies("Reply from 10.1.2.3: bytes=32 time=1ms TTL=128\r\n"), true},
        {"German", "Ping wird ausgef\xFChrt f\xFCr myhost [10.1.2.3] mit 32 Bytes Daten:\r\n" +
             replies("Antwort von 10.1.2.3: Bytes=32 Zeit<1ms TTL=128\r\n"), true},
        {"IPv6 with a zone", "Pinging myhost [fe80::1%11] with 32 bytes of data:\r\n" +
             replies("Reply from fe80::1%11: time<1ms \r\n"), true},
        {"time-outs", "Pinging myhost [10.1.2.3] with 32 bytes of data:\r\n" +
             replies("Request timed out.\r\n") + statistics, false},
        {"a router's unreachable replies", "Pinging myhost [10.1.2.3] with 32 bytes of data:\r\n" +
             replies("Reply from 10.9.9.1: Destination host unreachable.\r\n") + statistics, false},
        {"a name that does not resolve",
         "Ping request could not find host myhost. Please check the name and try again.\r\n", false},
        {"a bracket on a later line", "Pinging myhost with 32 bytes of data:\r\n [10.1.2.3]\r\n" +
             replies("Reply from 10.1.2.3: bytes=32 time<1ms TTL=128\r\n"), false},
        {"no address in the brackets", "Pinging myhost [10.1.2.3 x] with 32 bytes of data:\r\n" +
             replies("Reply from 10.1.2.3: bytes=32 time<1ms TTL=128\r\n"), false},
    };
    for (const Case& c : cases) {
        tool.Prints(c.output);
        EXPECT_EQ(0u, Run("checkip:myhost")) << c.what;
        EXPECT_EQ(c.found ? "found myhost\r\n" : "failed\r\n", ReadFileBytes(temp / "qopass.txt")) << c.what;
    }
}

// What Windows' own ping prints, in other languages too, replayed through the stand-in:
// the name as it resolved, an address inside another one, bytes of other code pages.
TEST_F(Product, CheckIpReadsWindowsOwnPing)
{
    const char* replays[] = {
        "Windows 7, English: the gateway down on the local network",
        "Windows 10, French: the gateway down on the local network",
        "Windows 10, Japanese: a live host by short name",
        "Windows 10, Simplified Chinese: a live host by alias",
    };
    std::vector<PingCapture> captures = WindowsPingCaptures();
    for (const char* what : replays) {
        auto c = std::find_if(captures.begin(), captures.end(), [&](const PingCapture& p) { return p.what == what; });
        ASSERT_NE(captures.end(), c) << what;
        tool.Prints(c->output);
        EXPECT_EQ(0u, Run("checkip:" + c->host)) << what;
        EXPECT_EQ(c->found ? "found " + c->host + "\r\n" : "failed\r\n", ReadFileBytes(temp / "qopass.txt")) << what;
    }
}

// The platform's own ping, found by the interpreter in the system directory as on
// Windows, names a host given by name only in its first line; the replies name the
// address it resolved to.
TEST(RealPing, ALiveHostGivenByNameIsFound)
{
    if (sizeof(void*) == 4) GTEST_SKIP() << "ICMP cannot be sent inside the 32-bit stage's namespace";
    ScopedTempDir temp;
    ScopedRegistryValue winePing(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "ping.exe");
    ASSERT_TRUE(winePing.SetText("builtin"));  // Wine's own ping, to localhost alone
    EXPECT_EQ(0u, RunProduct("checkip:localhost"));
    EXPECT_EQ("found localhost\r\n", ReadFileBytes(temp / "qopass.txt"));
}

// A tool writes its output where the program reads it, into the temporary directory
// that GetTempPathA reports (from TMP), even when TEMP names another folder and the path
// holds a blank that the interpreter would otherwise split.
TEST_F(Product, ToolsWriteWhereTheProgramReads)
{
    ScratchDir base("temp");
    std::string dir = base / "with blank\\";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ScratchDir elsewhere("elsewhere");
    ScopedEnv tmp("TMP", dir.c_str());
    ScopedEnv tempVar("TEMP", elsewhere.path().c_str());
    std::string replies;
    for (int i = 0; i < 4; ++i) replies += "Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n";
    tool.Prints(replies + "   IP Address. . . : 10.0.0.5\r\n");
    EXPECT_EQ(0u, Run("checkip:127.0.0.1"));
    EXPECT_EQ("found 127.0.0.1\r\n", ReadFileBytes(dir + "qopass.txt"));
    EXPECT_EQ(0u, Run("refresh:10.0.0.5"));
    EXPECT_EQ("refresh found 10.0.0.5\r\n", ReadFileBytes(dir + "qopass.txt"));
    EXPECT_TRUE(FileExists(dir + "RunSilent.txt"));
    EXPECT_FALSE(FileExists(elsewhere / "RunSilent.txt"));
}

// Users whose names the ANSI code page cannot spell. NT hands an ANSI program such a
// temporary folder with "?" for "李" and the look-alike "L" for "Ł": a path to nowhere,
// or to another user's "Lukasz". The answers land in the folder itself, where the
// calling application reads them. Wine keeps such names on disk under the UTF-8
// locale the tests' Wine starts with, and gives the folder a short name as Windows does.
TEST_F(Product, AnswersLandInATemporaryFolderTheCodePageCannotSpell)
{
    std::string replies;
    for (int i = 0; i < 4; ++i) replies += "Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n";
    tool.Prints(replies + "   IP Address. . . : 10.0.0.5\r\n");
    ScratchDir base("unicode");
    ASSERT_TRUE(CreateDirectoryA((base / "Lukasz").c_str(), nullptr));
    const wchar_t* const names[] = {L"\u0141ukasz \u674E", L"\u0141ukasz"};
    for (int which = 0; which < 2; ++which) {
        std::wstring dir = Wide(base.path()) + names[which] + L"\\";
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
        // The fixture's ScopedTempDir puts TMP and TEMP back at its end.
        ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", dir.c_str()) && SetEnvironmentVariableW(L"TEMP", dir.c_str()));
        auto run = [&](const char* text) {
            return RunProcessW(L"\"" + Wide(ProductPath()) + L"\" " + Wide(text), StandinDirectory().c_str());
        };
        EXPECT_EQ(0u, run("checkip:127.0.0.1"));
        EXPECT_EQ("found 127.0.0.1\r\n", ReadFileBytes(dir + L"qopass.txt")) << which;
        EXPECT_EQ(0u, run("refresh:10.0.0.5"));
        EXPECT_EQ("refresh found 10.0.0.5\r\n", ReadFileBytes(dir + L"qopass.txt")) << which;
        EXPECT_EQ(replies.substr(0, 10), ReadFileBytes(dir + L"RunSilent.txt").substr(0, 10)) << which;
        EXPECT_EQ(0u, run("report"));
        EXPECT_EQ(0u, ReadFileBytes(dir + L"qoreport.txt").find("CPU=")) << which;
    }
    for (const char* file : {"qopass.txt", "RunSilent.txt", "qoreport.txt"})
        EXPECT_FALSE(FileExists(base / "Lukasz\\" + file)) << "another user's folder got " << file;
}

TEST_F(Product, CheckIpWithInterpreterSyntaxFailsWithoutRunningAnything)
{
    tool.Prints("Reply from 127.0.0.1\r\n");
    WriteFileBytes(temp / "RunSilent.txt", "an earlier refresh's capture\r\n");
    EXPECT_EQ(0u, Run("checkip:127.0.0.1&echo>escaped.txt"));
    EXPECT_EQ("failed\r\n", ReadFileBytes(temp / "qopass.txt"));
    EXPECT_FALSE(tool.Ran());
    EXPECT_FALSE(FileExists(SystemDirectory() + "escaped.txt"));
    EXPECT_FALSE(FileExists(temp / "RunSilent.txt")) << "the capture is gone after a refused host too";
}

TEST_F(Product, DeleteRemovesOneFileWithBlanksInItsName)
{
    WriteFileBytes(temp / "my file.txt", "x");
    WriteFileBytes(scratch / "sentinel.txt", "x");
    EXPECT_EQ(0u, Run("delete:my file.txt"));
    EXPECT_FALSE(FileExists(temp / "my file.txt"));
    std::string escape = "delete:..\\" + scratch.path().substr(scratch.path().find_last_of('\\', scratch.path().size() - 2) + 1) + "sentinel.txt";
    EXPECT_EQ(0u, Run(escape));
    EXPECT_TRUE(FileExists(scratch / "sentinel.txt"));
}

TEST_F(Product, EveryStartEndsWithExitCodeZero)
{
    const char* texts[] = {"", "nonsense", "report ", "Delete:x", "CHECKIP:host", "checkwinsock2",
                           "Checkwinsock2", "delete:", "checkip:", "delete:*"};
    for (const char* text : texts) EXPECT_EQ(0u, Run(text)) << text;
}

TEST_F(Product, QuotedProgramPathWithBlanksAndTabsBeforeTheWord)
{
    ScratchDir folder("with blank");
    std::string copy = folder / "korva diag.exe";
    ASSERT_TRUE(CopyFileA(ProductPath().c_str(), copy.c_str(), FALSE));
    tool.Prints("");
    EXPECT_EQ(0u, RunProcess("\"" + copy + "\"  \t checkip:192.0.2.7", StandinDirectory().c_str()));
    EXPECT_EQ("failed\r\n", ReadFileBytes(temp / "qopass.txt"));
}
