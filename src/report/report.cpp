// The system report writer. The probes run first; then the old report is deleted and
// the eight lines are written in text mode, so each ends in CR LF on disk. The Winsock 2
// probe runs between the NIC= and WS= lines.
#include "report/report.h"
#include "report/browser.h"
#include "report/osname.h"
#include "mib/adapters.h"
#include "base/codepage.h"
#include "base/library.h"
#include "base/tempfiles.h"
#include "base/text.h"
#include "base/textfile.h"

#include <windows.h>

namespace {

// Looked up at run time: the first releases of Windows 95 lack it.
using GetDiskFreeSpaceExAFunction = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                                  PULARGE_INTEGER);

// Free space on C: in MiB. Neither query's success is tested; a failed one leaves its
// zeroed outputs and so gives 0.
int32_t FreeMiBOnDriveC()
{
    auto getFreeSpaceEx = KernelEntry<GetDiskFreeSpaceExAFunction>("GetDiskFreeSpaceExA");
    if (getFreeSpaceEx) {
        ULARGE_INTEGER callerFree = {}, total = {}, totalFree = {};
        getFreeSpaceEx("C:\\", &callerFree, &total, &totalFree);
        return FreeMiBFromBytes(totalFree.QuadPart);
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    GetDiskFreeSpaceA("C:\\", &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters);
    return FreeMiBFromClusters(sectorsPerCluster, bytesPerSector, freeClusters);
}

using GetModuleFileNameWFunction = DWORD(WINAPI*)(HMODULE module, LPWSTR path, DWORD size);

DWORD ReportModulePathW(wchar_t (&path)[WidePathSize])
{
    auto getModuleFileName = KernelEntry<GetModuleFileNameWFunction>("GetModuleFileNameW");
    return getModuleFileName ? getModuleFileName(nullptr, path, WidePathSize) : 0;
}

// The version key of [STRING] in the settings file beside the executable; "none" when
// the file, the section or the key is missing, or the settings path does not fit. An
// executable folder whose name the ANSI code page cannot spell is taken in its short
// form.
void ReadSettingsVersion(char (&version)[SettingsVersionSize])
{
    char path[SettingsPathSize];
    static_assert(ModulePathRequestLength == SettingsPathSize - 1, "the request fills the buffer");
    DWORD length = GetModuleFileNameA(nullptr, path, ModulePathRequestLength);
    length = static_cast<DWORD>(ReachablePath(path, length, ReportModulePathW));
    if (!SettingsPathFromModulePath(path, length)) {
        CopyText(version, "none");
        return;
    }
    GetPrivateProfileStringA("STRING", "version", "none", version, SettingsVersionSize, path);
}

// Empties a path that a rule refuses to build.
bool Refuse(char* path)
{
    path[0] = '\0';
    return false;
}

void WriteLine(TextWriter& file, const char* key, const char* value, const char* more = "")
{
    WriteText(file, key);
    WriteText(file, value);
    WriteText(file, more);
    WriteText(file, "\n");
}

void WriteNumberLine(TextWriter& file, const char* key, long long value)
{
    char text[24] = "";
    AppendDecimal(text, value);
    WriteLine(file, key, text);
}

// What the report says, gathered before the old report is deleted.
struct ReportFacts {
    const char* processor;
    int32_t ramKiB;
    int32_t freeMiB;
    char osName[ReportOsNameSize];
    int adapterCount;
    char adapters[AdapterTextSize];
    char browser[BrowserTextSize];
    char settingsVersion[SettingsVersionSize];
};

void GatherFacts(ReportFacts& facts)
{
    auto statusEx = KernelEntry<GlobalMemoryStatusExFunction>("GlobalMemoryStatusEx");
    facts.ramKiB = RamKiB(TotalPhysicalBytes(statusEx));
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    facts.processor = ProcessorText(system.dwProcessorType);
    GetOsName(facts.osName);
    facts.adapters[0] = '\0';
    facts.adapterCount = ListAdapters(facts.adapters);
    facts.adapters[AdapterTextSize - 1] = '\0';  // the line stops inside the buffer, whatever it holds
    int browserKind, browserVersion;
    GetBrowserInfo(browserKind, browserVersion);
    FormatBrowserText(browserKind, browserVersion, facts.browser);
    facts.freeMiB = FreeMiBOnDriveC();
    ReadSettingsVersion(facts.settingsVersion);
}

// The eight lines; the Winsock 2 probe runs between NIC= and WS=.
void WriteReportLines(TextWriter& file, const ReportFacts& facts)
{
    WriteLine(file, "CPU=", facts.processor);
    WriteNumberLine(file, "RAM=", facts.ramKiB);
    WriteNumberLine(file, "HD=", facts.freeMiB);
    WriteLine(file, "OS=", facts.osName);
    char countAndBrace[24] = "";
    AppendDecimal(countAndBrace, facts.adapterCount);
    AppendText(countAndBrace, "{");
    WriteLine(file, "NIC=", countAndBrace, facts.adapters);
    WriteLine(file, "WS=", HasWinsock2() ? "1" : "0");
    WriteLine(file, "WEB=", facts.browser);
    WriteLine(file, "VER=", facts.settingsVersion);
}

}  // namespace

const char* ProcessorText(unsigned long processorType)
{
    switch (processorType) {
    case PROCESSOR_INTEL_386: return "386";
    case PROCESSOR_INTEL_486: return "486";
    case PROCESSOR_INTEL_PENTIUM: return "Pentium";
    default: return "Unknown";
    }
}

unsigned long long TotalPhysicalBytes(GlobalMemoryStatusExFunction statusEx)
{
    MEMORYSTATUSEX extended = {};
    extended.dwLength = sizeof(extended);
    if (statusEx && statusEx(&extended)) return extended.ullTotalPhys;
    MEMORYSTATUS memory = {};
    memory.dwLength = sizeof(memory);
    GlobalMemoryStatus(&memory);
    return memory.dwTotalPhys;
}

int32_t RamKiB(unsigned long long totalPhys)
{
    unsigned long long kiB = totalPhys >> 10;
    return kiB > static_cast<unsigned long long>(RamKiBLimit) ? RamKiBLimit : static_cast<int32_t>(kiB);
}

int32_t FreeMiBFromBytes(unsigned long long totalFreeBytes)
{
    uint32_t high = static_cast<uint32_t>(totalFreeBytes >> 32);
    uint32_t low = static_cast<uint32_t>(totalFreeBytes);
    return static_cast<int32_t>((high << 12) + (low >> 20));
}

int32_t FreeMiBFromClusters(uint32_t sectorsPerCluster, uint32_t bytesPerSector,
                            uint32_t freeClusters)
{
    uint32_t freeBytes = sectorsPerCluster * bytesPerSector * freeClusters;
    return static_cast<int32_t>(freeBytes >> 20);
}

bool SettingsPathFromModulePath(char (&path)[SettingsPathSize], unsigned length)
{
    // A path of 255 characters or more may have been cut, and left unterminated.
    if (length == 0 || length >= ModulePathRequestLength) return Refuse(path);
    path[length] = '\0';
    char* lastBackslash = FindLastCharacter(path, '\\');
    if (!lastBackslash) return true;
    lastBackslash[1] = '\0';
    return AppendText(path, SettingsFileName) || Refuse(path);
}

bool Winsock2PathFromSystemDirectory(char (&path)[Winsock2PathSize], unsigned length)
{
    // GetSystemDirectoryA answers the size it needs, NUL included, when the buffer is short.
    if (length == 0 || length >= Winsock2PathSize) return Refuse(path);
    path[length] = '\0';
    return AppendText(path, "\\WS2_32.DLL") || Refuse(path);
}

bool HasWinsock2()
{
    char path[Winsock2PathSize];
    UINT length = GetSystemDirectoryA(path, Winsock2PathSize);
    if (!Winsock2PathFromSystemDirectory(path, length)) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

void WriteSystemReport()
{
    char reportPath[PathBufferSize];
    if (!BuildTempFilePath(reportPath, ReportFileName)) {
        // No report can be written; an old one must not pass for this start's.
        RemoveTempFileBeyondPathBuffer(ReportFileName);
        return;
    }
    ReportFacts facts;
    GatherFacts(facts);
    RemoveOwnFile(reportPath);
    TextWriter file;
    if (!CreateTextFile(file, reportPath)) return;
    WriteReportLines(file, facts);
    // A report cut short by a full disk is no report: the file goes.
    if (!CloseTextFile(file)) DeleteFileA(reportPath);
}
