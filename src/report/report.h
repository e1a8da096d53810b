// The system report of "report": eight KEY=value lines describing the machine in
// qoreport.txt, and the Winsock 2 probe that fills its WS= line and serves
// "checkwinsock2".
#pragma once

#include <windows.h>
#include <cstddef>
#include <cstdint>

constexpr size_t ReportOsNameSize = 256;       // OS name string + NUL
constexpr size_t AdapterTextSize = 512;        // adapter descriptions + NUL
constexpr size_t SettingsPathSize = 256;       // executable path, then settings path, + NUL
constexpr unsigned ModulePathRequestLength = 255;  // the length GetModuleFileNameA is asked with
constexpr size_t SettingsVersionSize = 80;     // the VER= value + NUL
constexpr size_t Winsock2PathSize = 80;        // system directory + "\WS2_32.DLL" + NUL

constexpr const char SettingsFileName[] = "korvalink.ini";

// The CPU= text for SYSTEM_INFO's dwProcessorType: "386", "486", "Pentium" or "Unknown".
// Pure.
const char* ProcessorText(unsigned long processorType);

constexpr int32_t RamKiBLimit = 2147483647;    // RAM= is a signed 32-bit decimal: 2 TiB

// GlobalMemoryStatusEx as looked up at run time: Windows 95, 98 and ME and NT before
// 2000 lack it.
using GlobalMemoryStatusExFunction = BOOL(WINAPI*)(LPMEMORYSTATUSEX);

// The machine's total physical bytes: statusEx's where it is given (not null) and
// answers, else GlobalMemoryStatus's, which stops at 2 or 4 GiB.
unsigned long long TotalPhysicalBytes(GlobalMemoryStatusExFunction statusEx);

// The RAM= value: totalPhys in whole KiB, a larger count cut to RamKiBLimit. Pure.
int32_t RamKiB(unsigned long long totalPhys);

// The HD= value from GetDiskFreeSpaceExA's total free bytes of the volume: whole MiB,
// kept to their low 32 bits and printed signed. Pure.
int32_t FreeMiBFromBytes(unsigned long long totalFreeBytes);

// The HD= value from GetDiskFreeSpaceA: the three factors multiplied in 32-bit
// arithmetic, which wraps at 4 GiB, then whole MiB (at most 4095). Pure.
int32_t FreeMiBFromClusters(uint32_t sectorsPerCluster, uint32_t bytesPerSector,
                            uint32_t freeClusters);

// Turns the executable path GetModuleFileNameA left in path (it answered length) into
// the settings file path: everything from the last backslash on becomes
// "\korvalink.ini"; a path without a backslash stays as it is. Refuses, leaving path
// empty and answering false, when the executable path was not reported whole or the
// settings path does not fit. Pure.
bool SettingsPathFromModulePath(char (&path)[SettingsPathSize], unsigned length);

// Appends "\WS2_32.DLL" to the system directory GetSystemDirectoryA left in path (it
// answered length). Refuses, leaving path empty and answering false, when the
// directory was not reported whole or the name does not fit behind it. Pure.
bool Winsock2PathFromSystemDirectory(char (&path)[Winsock2PathSize], unsigned length);

// True when a directory entry named WS2_32.DLL exists in the system directory; false
// also when the system directory is too long for the probe's path.
bool HasWinsock2();

// Gathers the machine description and replaces the report file with its eight lines.
// When the report's path does not fit, writes nothing and removes an old report at
// that path if the file calls can still name it; when the file cannot be created,
// writes nothing; when the lines cannot be written whole (a full disk), removes the
// file again, so that a report is either all eight lines or absent.
void WriteSystemReport();
