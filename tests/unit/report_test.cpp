// The report's computations driven with chosen numbers and paths, and the Winsock 2
// probe on Wine's own system directory.
#include "report/report.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

TEST(ReportProcessor, FourNamedTypesAndTheRest)
{
    struct Case { unsigned long type; const char* text; } cases[] = {
        {386, "386"}, {486, "486"}, {586, "Pentium"}, {0, "Unknown"}, {686, "Unknown"},
        {8664, "Unknown"}, {2200, "Unknown"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.text, ProcessorText(c.type)) << c.type;
}

// GlobalMemoryStatus stops a 32-bit program at 2 GiB (4 GiB when large-address aware);
// GlobalMemoryStatusEx counts every byte.
TEST(ReportMemory, WholeKiBBoundAt2TiB)
{
    struct Case { unsigned long long total; int32_t kiB; } cases[] = {
        {0xFFFFFFFFull, 4194303},            // 4 GiB less one byte
        {1023, 0}, {2047, 1},
        {0x7FFFFFFFull, 2097151},            // the 2 GiB cap of the older call
        {24ull << 30, 25165824},
        {(2ull << 40) - 1024, 2147483647},   // 2 TiB less 1 KiB, printed whole
        {2ull << 40, 2147483647}, {~0ull, 2147483647},
    };
    for (const Case& c : cases) EXPECT_EQ(c.kiB, RamKiB(c.total)) << c.total;
}

// Wine has the Ex call under every version it imitates, so the systems before 2000 are
// imitated by handing in none, or one that fails after writing a figure of its own.
static BOOL WINAPI Answers24GiB(LPMEMORYSTATUSEX status) { status->ullTotalPhys = (24ull << 30) + 5; return TRUE; }
static BOOL WINAPI FailsWithAFigure(LPMEMORYSTATUSEX status) { status->ullTotalPhys = 7; return FALSE; }

TEST(ReportMemory, TheOlderCallAnswersWhereTheExCallIsMissingOrFails)
{
    MEMORYSTATUS memory = {};
    memory.dwLength = sizeof(memory);
    GlobalMemoryStatus(&memory);
    struct Case { const char* what; GlobalMemoryStatusExFunction statusEx; unsigned long long total; } cases[] = {
        {"no Ex call", nullptr, memory.dwTotalPhys},
        {"a failing Ex call", FailsWithAFigure, memory.dwTotalPhys},
        {"an answering Ex call", Answers24GiB, (24ull << 30) + 5},
    };
    for (const Case& c : cases) EXPECT_EQ(c.total, TotalPhysicalBytes(c.statusEx)) << c.what;
}

TEST(ReportFreeSpace, FiveGiBByBothWays)
{
    const unsigned long long fiveGiB = 5ull << 30;
    EXPECT_EQ(5120, FreeMiBFromBytes(fiveGiB));
    // 8 sectors of 512 bytes in 1,310,720 clusters is 5 GiB; 32 bits keep 1 GiB of it.
    EXPECT_EQ(1024, FreeMiBFromClusters(8, 512, 1310720));
}

TEST(ReportFreeSpace, BytesAreTruncatedToWholeMiBAndKeptTo32Bits)
{
    struct Case { unsigned long long bytes; int32_t mib; } cases[] = {
        {0, 0}, {(1ull << 20) - 1, 0}, {1ull << 20, 1}, {(3ull << 30) + (1ull << 20) - 1, 3072},
        {0xFFFFFFFFull, 4095}, {1ull << 32, 4096},
        {(1ull << 51) - (1ull << 20), 0x7FFFFFFF},   // the largest count printed positive
        {1ull << 51, INT32_MIN},                     // 2 PiB: bit 31 set, printed signed
        {(1ull << 52) + (7ull << 20), 7},            // 4 PiB and 7 MiB: the count wraps
    };
    for (const Case& c : cases) EXPECT_EQ(c.mib, FreeMiBFromBytes(c.bytes)) << c.bytes;
}

TEST(ReportFreeSpace, ClusterProductWrapsAt4GiB)
{
    EXPECT_EQ(4095, FreeMiBFromClusters(64, 512, 131071));  // 4 GiB less 32 KiB
    EXPECT_EQ(0, FreeMiBFromClusters(64, 512, 131072));     // exactly 4 GiB
    EXPECT_EQ(0, FreeMiBFromClusters(0, 0, 0));             // a query that failed
}

// Leaves text in a poisoned buffer as the system call would, with the length it
// answered, and runs the path rule over it; a refusal must leave the buffer empty.
template <size_t N>
static std::string CompletePath(bool (*rule)(char (&)[N], unsigned), const std::string& text,
                                unsigned length)
{
    char path[N];
    memset(path, '#', sizeof(path));
    memcpy(path, text.data(), text.size() < sizeof(path) ? text.size() : sizeof(path));
    bool built = rule(path, length);
    EXPECT_EQ(built, path[0] != '\0') << text;
    return path;
}

static std::string SettingsPath(const std::string& module, unsigned length)
{
    return CompletePath(SettingsPathFromModulePath, module, length);
}

static std::string SettingsPath(const std::string& module)
{
    return SettingsPath(module, static_cast<unsigned>(module.size()));
}

TEST(ReportSettingsPath, BesideTheExecutable)
{
    EXPECT_EQ("C:\\Program Files\\korva\\korvalink.ini", SettingsPath("C:\\Program Files\\korva\\korvadiag.exe"));
    EXPECT_EQ("C:\\korvalink.ini", SettingsPath("C:\\korvadiag.exe"));
    EXPECT_EQ("\\\\server\\share\\korvalink.ini", SettingsPath("\\\\server\\share\\k.exe"));
    EXPECT_EQ("C:\\a.b\\korvalink.ini", SettingsPath("C:\\a.b\\x"));
    EXPECT_EQ("korvadiag.exe", SettingsPath("korvadiag.exe")) << "no backslash: used unchanged";
    EXPECT_EQ("C:/x/korvadiag.exe", SettingsPath("C:/x/korvadiag.exe"));
}

TEST(ReportSettingsPath, RefusedWhenItWouldNotFit)
{
    // A folder of 241 characters: 241 + "\korvalink.ini" makes exactly 255.
    std::string folder = "C:\\" + std::string(238, 'f');
    EXPECT_EQ(folder + "\\korvalink.ini", SettingsPath(folder + "\\k.exe"));
    EXPECT_EQ("", SettingsPath(folder + "f\\k.exe"));
    // The executable path itself cut by the system (255 characters reported, maybe
    // unterminated), or not reported at all.
    std::string cut = "C:\\" + std::string(252, 'x');
    EXPECT_EQ("", SettingsPath(cut, 255));
    EXPECT_EQ("", SettingsPath(cut + "yyyyy", 256));
    EXPECT_EQ("", SettingsPath("C:\\k.exe", 0));
    // 254 characters are whole: the settings path is shorter.
    EXPECT_EQ("C:\\korvalink.ini", SettingsPath("C:\\" + std::string(251, 'x'), 254));
}

static std::string Winsock2Path(const std::string& dir, unsigned length)
{
    return CompletePath(Winsock2PathFromSystemDirectory, dir, length);
}

TEST(ReportWinsock2, PathUpTo79Characters)
{
    EXPECT_EQ("C:\\WINDOWS\\SYSTEM\\WS2_32.DLL", Winsock2Path("C:\\WINDOWS\\SYSTEM", 17));
    std::string longest = "C:\\" + std::string(65, 's');  // 68 + 11 = 79
    EXPECT_EQ(longest + "\\WS2_32.DLL", Winsock2Path(longest, 68));
    EXPECT_EQ("", Winsock2Path(longest + "s", 69));
    // The system answers the size it needs when 80 bytes are too few.
    EXPECT_EQ("", Winsock2Path(std::string(80, 's'), 81));
    EXPECT_EQ("", Winsock2Path(std::string(80, 's'), 80));
    EXPECT_EQ("", Winsock2Path("", 0));
}

TEST(ReportWinsock2, FoundInWinesSystemDirectory)
{
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    bool present = FileExists(std::string(dir) + "\\ws2_32.dll");
    ASSERT_TRUE(present) << "Wine installs ws2_32.dll in " << dir;
    EXPECT_TRUE(HasWinsock2());
}
