// The files the program leaves in the user's temporary directory, and the one way
// their paths are built. The calling application reads these names, so they live here.
#pragma once

#include <windows.h>
#include <cstddef>

constexpr size_t PathBufferSize = 256;         // temporary-directory path + file name + NUL
constexpr unsigned TempPathRequestLength = 255; // the length GetTempPathA is asked with
constexpr size_t LongestPathSize = 260;        // the longest path the ANSI file calls take + NUL

constexpr const char CaptureFileName[] = "RunSilent.txt";
constexpr const char ResultFileName[] = "qopass.txt";
constexpr const char ReportFileName[] = "qoreport.txt";

// Pure part of the path rule: joins the directory the system reported (dirLength
// characters, 0 when it reported none or more than it was asked for) and name into
// path (size bytes). Refuses, leaving path empty and answering false, when the
// directory is missing or directory and name together do not fit.
bool JoinTempFilePath(char* path, size_t size, const char* dir, unsigned dirLength,
                      const char* name);

// Asks the system for the temporary directory and joins name behind it. On NT a
// directory whose name the ANSI code page cannot spell is taken in its short form
// (ReachablePath). Refuses as JoinTempFilePath does.
bool BuildTempFilePath(char* path, size_t size, const char* name);

template <size_t N>
bool JoinTempFilePath(char (&path)[N], const char* dir, unsigned dirLength, const char* name)
{
    return JoinTempFilePath(path, N, dir, dirLength, name);
}
template <size_t N> bool BuildTempFilePath(char (&path)[N], const char* name)
{
    return BuildTempFilePath(path, N, name);
}

// Deletes one of the program's own files, path in the temporary directory. A plain
// file marked read only loses the mark and is deleted again, so an old answer cannot
// outlive the start that replaces it; a folder, a read-only link, a file with another
// name elsewhere (a hard link) or one held open stays as it was. On NT the file checked
// is held open until its mark is cleared, so no other file can take its name in between.
// Answers true when no file is left at path (also when there was none).
bool RemoveOwnFile(const char* path);

// How RemoveOwnFile sets attributes by name: SetFileAttributesA, or a test's own that
// acts on the name between the check and the change. holdWhileUnmarking is NT's way:
// the checked file stays open while its mark is cleared. Windows 95, 98 and ME keep
// the DOS sharing rules, which may refuse the change on a file open in a sharing mode,
// and have no hard links or reparse points for the held handle to guard against: they
// close the file first.
using SetAttributesFunction = BOOL(WINAPI*)(LPCSTR path, DWORD attributes);
bool RemoveOwnFile(const char* path, SetAttributesFunction setAttributes, bool holdWhileUnmarking);

// Deletes name from the temporary directory through a path of up to 259 characters,
// longer than the program's own file paths, so that an old file the program can no
// longer replace is still removed. Answers false when even that path does not fit.
bool RemoveTempFileBeyondPathBuffer(const char* name);

// Deletes the result file, through the longer path RemoveTempFileBeyondPathBuffer
// takes; answers false when even that path cannot be built.
bool RemoveResultFile();

// Replaces the result file with the one line words, then a blank and detail when
// detail is given, then "\n", written in text mode (CR LF on disk). Answers false when
// the path cannot be built, the file cannot be created, or the line cannot be written
// whole (a full disk): no result file is left then, wherever its path can be built.
bool WriteResultFile(const char* words, const char* detail);
