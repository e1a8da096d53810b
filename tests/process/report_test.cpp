// The report as the real korvadiag.exe writes it: eight CR LF lines in their order,
// VER= from a settings file beside a copy of the exe, and the paths that do not fit.
#include "support/agent_data.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static const char* const ReportKeys[] = {"CPU=", "RAM=", "HD=", "OS=", "NIC=", "WS=", "WEB=", "VER="};

// The report's lines without their CR LF; a file holding a bare CR or LF, or whose
// last line is unterminated, gives no lines at all.
static std::vector<std::string> CrLfLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) return {};
        std::string line = bytes.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos) return {};
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

static std::vector<std::string> FolderEntries(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

static bool IsDecimal(const std::string& text)
{
    size_t digits = text.find_first_not_of('-') == 1 ? 1 : 0;
    if (text.size() <= digits) return false;
    return text.find_first_not_of("0123456789", digits) == std::string::npos;
}

class Report : public ::testing::Test {
protected:
    ScopedTempDir temp;

    std::vector<std::string> Lines() { return CrLfLines(ReadFileBytes(temp / "qoreport.txt")); }
    std::string Line(int index) { return Lines().at(index); }
};

TEST_F(Report, EightCrLfLinesInTheirOrderDescribingThisMachine)
{
    ScopedRegistryValue browser(HKEY_CLASSES_ROOT, "http\\shell\\open\\ddeexec\\Application", "");
    ASSERT_TRUE(browser.SetText("NSShell"));
    ASSERT_EQ(0u, RunProduct("report"));
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(8u, lines.size()) << ReadFileBytes(temp / "qoreport.txt");
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(0u, lines[i].find(ReportKeys[i])) << "line " << i + 1 << ": " << lines[i];
    auto value = [&](int i) { return lines[i].substr(std::string(ReportKeys[i]).size()); };

    std::string cpu = value(0);
    EXPECT_TRUE(cpu == "386" || cpu == "486" || cpu == "Pentium" || cpu == "Unknown") << cpu;

    // The figure a program of the exe's own bitness gets from GlobalMemoryStatusEx,
    // past the 2 GiB that GlobalMemoryStatus grants a 32-bit one. Through qemu-i386 it
    // is the machine's bytes modulo 4 GiB, the emulator's own limit.
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof(memory);
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    EXPECT_EQ(std::to_string(std::min(memory.ullTotalPhys >> 10, 2147483647ull)), value(1));

    ULARGE_INTEGER callerFree, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &callerFree, &total, &totalFree));
    ASSERT_TRUE(IsDecimal(value(2))) << value(2);
    long long measured = static_cast<long long>(totalFree.QuadPart >> 20);
    EXPECT_LE(std::llabs(atoll(value(2).c_str()) - measured), 1024) << "HD=" << value(2) << ", measured " << measured;

    std::string os = value(3);
    EXPECT_TRUE(os.rfind("Windows ", 0) == 0 || os.rfind("Unknown{", 0) == 0) << os;
    EXPECT_NE(std::string::npos, os.find('{')) << os;

    // Wine's own agent answers the first GETNEXT on ifPhysAddress (loopback, which has
    // no hardware address) with the ip group, so the walk ends at once: no adapter.
    std::string nic = value(4);
    size_t brace = nic.find('{');
    ASSERT_NE(std::string::npos, brace) << nic;
    ASSERT_TRUE(IsDecimal(nic.substr(0, brace))) << nic;
    if (atoi(nic.c_str()) <= 0) {
        EXPECT_EQ(brace + 1, nic.size()) << "no count, no text: " << nic;
    }
    EXPECT_EQ("NIC=0{", lines[4]);

    char systemDir[MAX_PATH];
    GetSystemDirectoryA(systemDir, MAX_PATH);
    EXPECT_EQ(FileExists(std::string(systemDir) + "\\WS2_32.DLL") ? "WS=1" : "WS=0", lines[5]);
    EXPECT_EQ("WEB=NS 4", lines[6]);
    EXPECT_EQ("VER=none", lines[7]);
}

TEST_F(Report, AnOldReportIsReplacedWhole)
{
    std::string old;
    for (int i = 0; i < 20; ++i) old += "CPU=old line that must go\r\n";
    WriteFileBytes(temp / "qoreport.txt", old);
    ASSERT_EQ(0u, RunProduct("REPORT"));
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(8u, lines.size());
    EXPECT_EQ(std::string::npos, ReadFileBytes(temp / "qoreport.txt").find("old line"));
}

TEST_F(Report, AFolderInTheReportsPlaceLeavesEverythingAsItWas)
{
    std::string folder = temp / "qoreport.txt";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    WriteFileBytes(folder + "\\inside.txt", "kept");
    ASSERT_EQ(0u, RunProduct("report"));
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_EQ("kept", ReadFileBytes(folder + "\\inside.txt"));
    EXPECT_EQ(std::vector<std::string>{"inside.txt"}, FolderEntries(folder + "\\"));
    EXPECT_EQ(std::vector<std::string>{"qoreport.txt"}, FolderEntries(temp.path()));
}

TEST_F(Report, ProcessorAndMemoryAsTheBuildSeesThem)
{
    ASSERT_EQ(0u, RunProduct("report"));
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(8u, lines.size());
    if (sizeof(void*) == 4) {
        // A 32-bit program is told processor type 586 on any x86 processor, and its
        // memory status stops at 4 GiB (at 2 GiB unless it is large-address aware).
        EXPECT_EQ("CPU=Pentium", lines[0]);
        EXPECT_LE(atoll(lines[1].c_str() + 4), 4194303LL) << lines[1];
    } else {
        // A 64-bit program is told PROCESSOR_AMD_X8664 (8664), which the report calls Unknown.
        EXPECT_EQ("CPU=Unknown", lines[0]);
    }
}

// The Winsock 2 probe sees the system directory as the program sees it. A 32-bit
// program on 64-bit Windows is shown syswow64 there, the 32-bit DLLs, not the 64-bit
// system32; the program cannot start without its WS2_32.DLL, so WS=1 there.
TEST_F(Report, TheWinsock2ProbeLooksWhereTheProgramIsRedirected)
{
    using IsWow64Function = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (!isWow64 || !isWow64(GetCurrentProcess(), &wow64)) wow64 = FALSE;
    char systemDir[MAX_PATH];
    GetSystemDirectoryA(systemDir, MAX_PATH);
    std::string seen = std::string(systemDir) + "\\WS2_32.DLL";
    ASSERT_EQ(0u, RunProduct("report"));
    EXPECT_EQ(FileExists(seen) ? "WS=1" : "WS=0", Line(5));
    if (wow64) {
        char windowsDir[MAX_PATH];
        GetWindowsDirectoryA(windowsDir, MAX_PATH);
        std::string native = ReadFileBytes(std::string(windowsDir) + "\\sysnative\\WS2_32.DLL");
        ASSERT_FALSE(native.empty());
        EXPECT_NE(native, ReadFileBytes(seen)) << "the 32-bit program's system32 is syswow64";
        EXPECT_EQ("WS=1", Line(5));
    }
}

TEST_F(Report, CheckWinsock2LeavesNoFile)
{
    ASSERT_EQ(0u, RunProduct("checkwinsock2"));
    EXPECT_EQ(std::vector<std::string>{}, FolderEntries(temp.path()));
}

TEST_F(Report, ATemporaryDirectoryTooLongForTheReportGetsNoReportAndLosesTheOldOne)
{
    ScratchDir base("longtmp");
    // 243 characters and "qoreport.txt" make 255: the longest path that is written.
    std::string fits = MakeDirectoryOfLength(base.path(), 243);
    {
        ScopedEnv tmp("TMP", fits.c_str()), tempVar("TEMP", fits.c_str());
        ASSERT_EQ(0u, RunProduct("report"));
    }
    EXPECT_EQ(8u, CrLfLines(ReadFileBytes(fits + "qoreport.txt")).size());
    RemoveTree(fits);

    std::string tooLong = MakeDirectoryOfLength(base.path(), 244);
    WriteFileBytes(tooLong + "qoreport.txt", "CPU=stale\r\n");
    ASSERT_TRUE(FileExists(tooLong + "qoreport.txt")) << "the test needs a 256-character path";
    {
        ScopedEnv tmp("TMP", tooLong.c_str()), tempVar("TEMP", tooLong.c_str());
        ASSERT_EQ(0u, RunProduct("report"));
    }
    EXPECT_EQ(std::vector<std::string>{}, FolderEntries(tooLong));
}

// A copy of the exe in a folder of its own, with or without korvalink.ini beside it.
class ReportSettings : public Report {
protected:
    ScratchDir folder{"settings"};

    std::string VersionLine(const std::string& exeFolder, const char* settings)
    {
        std::string exe = exeFolder + "k.exe";
        if (!FileExists(exe) && !CopyFileA(ProductPath().c_str(), exe.c_str(), FALSE)) return "copy failed";
        std::string ini = exeFolder + "korvalink.ini";
        DeleteFileA(ini.c_str());
        if (settings) WriteFileBytes(ini, settings);
        if (RunProcess("\"" + exe + "\" report") != 0) return "exit code not 0";
        std::vector<std::string> lines = Lines();
        return lines.size() == 8 ? lines[7] : "no report";
    }
};

TEST_F(ReportSettings, VersionFromTheStringSection)
{
    std::string longValue(100, 'v');
    std::string longSettings = "[STRING]\r\nversion=" + longValue + "\r\n";
    struct Case { const char* settings; std::string line; } cases[] = {
        {nullptr, "VER=none"},
        {"[STRING]\r\nversion=3.1.4\r\n", "VER=3.1.4"},
        {"[OTHER]\r\nversion=2\r\n[STRING]\r\nbuild=7\r\n", "VER=none"},
        {"[STRING]\r\nversion=\r\n", "VER="},
        {"", "VER=none"},
        {longSettings.c_str(), "VER=" + longValue.substr(0, 79)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.line, VersionLine(folder.path(), c.settings)) << (c.settings ? c.settings : "(no file)");
}

TEST_F(ReportSettings, ASettingsPathThatWouldNotFitGivesNone)
{
    // An exe folder of 241 characters puts the settings path at exactly 255.
    std::string fits = MakeDirectoryOfLength(folder.path(), 242);
    EXPECT_EQ("VER=7", VersionLine(fits, "[STRING]\r\nversion=7\r\n"));
    // One more and it is refused; a cut path would find the decoy file.
    std::string tooLong = MakeDirectoryOfLength(folder.path(), 243);
    WriteFileBytes((tooLong + "korvalink.ini").substr(0, 255), "[STRING]\r\nversion=8\r\n");
    EXPECT_EQ("VER=none", VersionLine(tooLong, "[STRING]\r\nversion=7\r\n"));
}

// An install folder whose name the ANSI code page cannot spell ("?" for Greek, the
// look-alike "L" for "Ł"): the settings file is read through the folder's short name,
// never from another folder the ANSI form names.
TEST_F(ReportSettings, VersionFromAFolderTheCodePageCannotSpell)
{
    ASSERT_TRUE(CreateDirectoryA((folder / "Lukasz").c_str(), nullptr));
    WriteFileBytes(folder / "Lukasz\\korvalink.ini", "[STRING]\r\nversion=another user's\r\n");
    for (const wchar_t* name : {L"\u0395\u03BB\u03AD\u03BD\u03B7", L"\u0141ukasz"}) {
        std::wstring dir = Wide(folder.path()) + name + L"\\";
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(Wide(ProductPath()).c_str(), (dir + L"korvadiag.exe").c_str(), FALSE));
        WriteFileBytes(dir + L"korvalink.ini", "[STRING]\r\nversion=5.2\r\n");
        ASSERT_EQ(0u, RunProcessW(L"\"" + dir + L"korvadiag.exe\" report"));
        EXPECT_EQ("VER=5.2", Line(7)) << "a folder beginning with U+" << std::hex << int(name[0]);
    }
}

// A copy of the exe under a name of its own loads the stand-in agent from the system
// directory; every other program keeps Wine's own.
class ReportWithStandinAgent : public Report {
protected:
    ScopedAgentData agent;
    ScratchDir dir{"nic"};
    std::string exe = dir / "korvadiag-agent.exe";
    ScopedAppDefaults app{"korvadiag-agent.exe"};

    void SetUp() override
    {
        ASSERT_TRUE(app.Set("", "Version", "winxp"));
        ASSERT_TRUE(app.Set("DllOverrides", "inetmib1", "native,builtin"));
        ASSERT_TRUE(CopyFileA(ProductPath().c_str(), exe.c_str(), FALSE));
        ASSERT_TRUE(InstallSystemFile(AgentPath("full"), "inetmib1.dll"));
    }
};

// Machines as Windows' own agent serves them, descriptions and indexes as Windows
// shows them. Since Vista every filter layer bound to an adapter has an interface row
// of its own with the adapter's physical address; an adapter is listed once all the
// same. Past the address table the agent serves routes and ARP entries whose integers
// name real interfaces.
const char* const FilterLayers[] = {"-WFP Native MAC Layer LightWeight Filter-0000",
                                    "-QoS Packet Scheduler-0000",
                                    "-WFP 802.3 MAC Layer LightWeight Filter-0000"};

static std::string Mac(int last) { return MibData::Bytes({0x00, 0x50, 0x56, 0x8A, 0x10, last}); }

static void AdapterWithLayers(MibData& data, uint32_t index, uint32_t firstLayer, int mac,
                              const std::string& name)
{
    data.Interface(index, 6, Mac(mac), name);
    for (const char* layer : FilterLayers) data.Interface(firstLayer++, 6, Mac(mac), name + layer);
}

// What Windows 10 lists besides the adapters, at indexes 1 to 10 and 12: none of them
// has a physical address that makes an adapter.
static void Windows10Interfaces(MibData& data)
{
    data.Interface(1, 24, "", "Software Loopback Interface 1");
    data.Interface(2, 6, "", "Microsoft Kernel Debug Network Adapter");
    const char* const wan[] = {"SSTP", "IKEv2", "L2TP", "PPTP", "PPPOE", "IPv6", "Network Monitor", "IP"};
    for (uint32_t i = 0; i < 8; ++i)
        data.Interface(3 + i, 23, "", std::string("WAN Miniport (") + wan[i] + ")");
    data.Interface(12, 131, MibData::Bytes({0, 0, 0, 0, 0, 0, 0, 0xE0}),
                   "Microsoft Teredo Tunneling Adapter");
    data.Address(MibData::Bytes({127, 0, 0, 1}), 1, MibData::Bytes({255, 0, 0, 0}));
}

static void Windows10OneAdapter(MibData& data)
{
    data.InterfaceCount(15);
    Windows10Interfaces(data);
    AdapterWithLayers(data, 11, 13, 1, "Intel(R) 82574L Gigabit Network Connection");
    data.Address(MibData::Bytes({192, 168, 1, 23}), 11, MibData::Bytes({255, 255, 255, 0}));
    for (int host : {0, 23, 255}) data.Route(MibData::Bytes({192, 168, 1, host}), 11);
    data.Neighbour(11, MibData::Bytes({192, 168, 1, 1}));
}

// Two connected adapters, the second one's address first, and a disconnected one.
static void Server2019ThreeAdapters(MibData& data)
{
    data.InterfaceCount(23);
    Windows10Interfaces(data);
    AdapterWithLayers(data, 11, 15, 1, "vmxnet3 Ethernet Adapter");
    AdapterWithLayers(data, 13, 18, 2, "vmxnet3 Ethernet Adapter #2");
    AdapterWithLayers(data, 14, 21, 3, "vmxnet3 Ethernet Adapter #3");
    data.Address(MibData::Bytes({192, 168, 10, 20}), 11, MibData::Bytes({255, 255, 255, 0}));
    data.Address(MibData::Bytes({10, 0, 0, 5}), 13, MibData::Bytes({255, 0, 0, 0}));
    data.Route(MibData::Bytes({0, 0, 0, 0}), 11);
    data.Route(MibData::Bytes({10, 0, 0, 0}), 13);
    data.Route(MibData::Bytes({127, 0, 0, 0}), 1);
    data.Neighbour(11, MibData::Bytes({192, 168, 10, 1}));
    data.Neighbour(13, MibData::Bytes({10, 0, 0, 1}));
}

// Windows XP: one adapter with two addresses, one disconnected.
static void WindowsXpTwoAddresses(MibData& data)
{
    data.InterfaceCount(3);
    data.Interface(1, 24, "", "MS TCP Loopback interface");
    data.Interface(65539, 6, Mac(1), "Intel(R) PRO/1000 MT Network Connection - Packet Scheduler Miniport");
    data.Interface(65540, 6, Mac(2), "Realtek RTL8139 Family PCI Fast Ethernet NIC - Packet Scheduler Miniport");
    data.Address(MibData::Bytes({127, 0, 0, 1}), 1, MibData::Bytes({255, 0, 0, 0}));
    for (int host : {10, 11})
        data.Address(MibData::Bytes({192, 168, 1, host}), 65539, MibData::Bytes({255, 255, 255, 0}));
}

// Windows 7: NDISWAN's miniports have addresses of their own, " RAS" behind two bytes
// of the machine's own for "WAN Miniport (IP)", "(IPv6)" and "(Network Monitor)", up and
// of the ethernet type, and " ASYN" with 0xFF for the RAS Async Adapter; like the
// adapter, each has its filter layer.
static void Windows7OneAdapter(MibData& data)
{
    data.InterfaceCount(18);
    data.Interface(1, 24, "", "Software Loopback Interface 1");
    const char* const tunnels[] = {"SSTP", "IKEv2", "L2TP", "PPTP", "PPPOE"};
    for (uint32_t i = 0; i < 5; ++i) data.Interface(2 + i, 23, "", std::string("WAN Miniport (") + tunnels[i] + ")");
    struct Miniport { const char* name; int first, second; } miniports[] = {
        {"WAN Miniport (IPv6)", 0x5E, 0x0C}, {"WAN Miniport (Network Monitor)", 0x7A, 0x3B},
        {"WAN Miniport (IP)", 0x88, 0xE2}};
    for (uint32_t i = 0; i < 3; ++i) {
        std::string ras = MibData::Bytes({miniports[i].first, miniports[i].second, 0x20, 0x52, 0x41, 0x53});
        data.Interface(7 + i, 6, ras, miniports[i].name);
        data.Interface(14 + i, 6, ras, std::string(miniports[i].name) + "-QoS Packet Scheduler-0000");
    }
    data.Interface(10, 23, MibData::Bytes({0x20, 0x41, 0x53, 0x59, 0x4E, 0xFF}), "RAS Async Adapter");
    const std::string intel = "Intel(R) PRO/1000 MT Network Connection";
    data.Interface(11, 6, Mac(1), intel);
    data.Interface(12, 131, MibData::Bytes({0, 0, 0, 0, 0, 0, 0, 0xE0}), "isatap.{5B2D7A64-1C5E-4A2B-9F0E-2D3C4B5A6978}");
    data.Interface(13, 131, MibData::Bytes({0, 0, 0, 0, 0, 0, 0, 0xE0}), "Teredo Tunneling Pseudo-Interface");
    data.Interface(17, 6, Mac(1), intel + "-WFP LightWeight Filter-0000");
    data.Interface(18, 6, Mac(1), intel + "-QoS Packet Scheduler-0000");
    data.Address(MibData::Bytes({127, 0, 0, 1}), 1, MibData::Bytes({255, 0, 0, 0}));
    data.Address(MibData::Bytes({192, 168, 1, 23}), 11, MibData::Bytes({255, 255, 255, 0}));
    data.Route(MibData::Bytes({0, 0, 0, 0}), 11);
    data.Neighbour(11, MibData::Bytes({192, 168, 1, 1}));
}

// Descriptions past 63 bytes in code page 936 (GBK), whose lead bytes are 0x81 to 0xFE
// and whose second bytes may lie in that range too: "啊" is B0 A1 and "李" C0 EE.
static std::string Gbk(int count, const char* one)
{
    std::string text;
    while (count-- > 0) text += one;
    return text;
}
static const std::string GbkAcrossTheCut = Gbk(31, "\xB0\xA1") + "\xC0\xEE" + "X";
static const std::string GbkSecondByteAt63 = "x" + Gbk(31, "\xB0\xA1") + "\xC0\xEE";

static void TwoGbkDescriptions(MibData& data)
{
    data.InterfaceCount(2);
    data.Interface(1, 6, MibData::Mac(1), GbkAcrossTheCut);
    data.Interface(2, 6, MibData::Mac(2), GbkSecondByteAt63);
    data.Address(MibData::Bytes({10, 0, 0, 2}), 1, MibData::Bytes({255, 0, 0, 0}));
}

static void LoopbackAndTwoAdapters(MibData& data)
{
    data.InterfaceCount(3);
    data.Interface(1, 24, "", "loopback");  // no hardware address: not an adapter
    data.Interface(2, 6, MibData::Mac(2), "Ethernet adapter");
    data.Interface(3, 6, MibData::Mac(3), "");  // an adapter that adds no text
    data.Address(MibData::Bytes({10, 0, 0, 2}), 2, MibData::Bytes({255, 0, 0, 0}));
}

// The process tests run again with Wine's ANSI code page 936 (tests/CMakeLists.txt),
// naming it in KD_EXPECT_CODE_PAGE; a row for a code page runs only under it.
TEST_F(ReportWithStandinAgent, NicLineCountsAndNamesTheAdaptersTheAgentServes)
{
    char expectedCodePage[16] = "";
    if (GetEnvironmentVariableA("KD_EXPECT_CODE_PAGE", expectedCodePage, sizeof(expectedCodePage))) {
        ASSERT_EQ(std::string(expectedCodePage), std::to_string(GetACP())) << "the locale did not take";
    }
    // The walk's count of included rows, layers and all, decides whether a second,
    // larger inventory runs: twelve rows of Server 2019 need more than room for ten.
    const std::string gbkWhole = "NIC=2{" + GbkAcrossTheCut.substr(0, 62) + "[;]" + GbkSecondByteAt63.substr(0, 63) + "[;]";
    const std::string gbkBytes = "NIC=2{" + GbkAcrossTheCut.substr(0, 63) + "[;]" + GbkSecondByteAt63.substr(0, 63) + "[;]";
    struct Case { UINT codePage; void (*serve)(MibData&); std::string expected; int inventories; } cases[] = {
        {0, LoopbackAndTwoAdapters, "NIC=2{Ethernet adapter[;]", 1},
        {0, Windows10OneAdapter, "NIC=1{Intel(R) 82574L Gigabit Network Connection[;]", 1},
        {0, Server2019ThreeAdapters,
         "NIC=3{vmxnet3 Ethernet Adapter #2[;]vmxnet3 Ethernet Adapter[;]vmxnet3 Ethernet Adapter #3[;]", 2},
        {0, WindowsXpTwoAddresses,  // descriptions keep their first 63 bytes
         "NIC=2{Intel(R) PRO/1000 MT Network Connection - Packet Scheduler Mini[;]"
         "Realtek RTL8139 Family PCI Fast Ethernet NIC - Packet Scheduler[;]", 1},
        {0, Windows7OneAdapter, "NIC=1{Intel(R) PRO/1000 MT Network Connection[;]", 1},
        {936, TwoGbkDescriptions, gbkWhole, 1},   // whole characters within 63 bytes
        {1252, TwoGbkDescriptions, gbkBytes, 1},  // a single-byte code page cuts at 63
    };
    for (const Case& c : cases) {
        if (c.codePage != 0 && c.codePage != GetACP()) continue;
        MibData data;
        c.serve(data);
        data.IcmpCounters();
        ASSERT_TRUE(agent.Serve(data));
        int inits = agent.Inits();
        ASSERT_EQ(0u, RunProcess("\"" + exe + "\" report"));
        EXPECT_EQ(c.expected, Line(4));
        EXPECT_EQ(c.inventories, agent.Inits() - inits) << c.expected;
    }
}

// The loader of Windows 95 to XP shows a box for a library whose own imports are
// missing, and the system one for an empty drive C:; no one could answer either. The
// mode is set before anything is loaded: the agent finds it when it is loaded.
TEST_F(ReportWithStandinAgent, LibrariesAreLoadedWithTheSystemsBoxesTurnedOff)
{
    ASSERT_EQ(0u, RunProcess("\"" + exe + "\" report"));
    std::string log = agent.Log();
    size_t at = log.find("loaded errormode=");
    ASSERT_NE(std::string::npos, at) << log;
    unsigned long mode = strtoul(log.c_str() + at + strlen("loaded errormode="), nullptr, 10);
    EXPECT_EQ(static_cast<unsigned long>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
              mode & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) << log;
}

TEST_F(Report, NicLineIsMinusOneWhenTheAgentIsMissing)
{
    ScratchDir dir("nic");
    const char* exeName = "korvadiag-noagent.exe";
    ScopedAppDefaults app(exeName);
    ASSERT_TRUE(app.Set("DllOverrides", "inetmib1", ""));
    ASSERT_TRUE(CopyFileA(ProductPath().c_str(), (dir / exeName).c_str(), FALSE));
    ASSERT_EQ(0u, RunProcess("\"" + (dir / exeName) + "\" report"));
    EXPECT_EQ("NIC=-1{", Line(4));
}
