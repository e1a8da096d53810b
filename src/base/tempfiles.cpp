// Paths into the temporary directory and the one-line result file. Every action that
// leaves a file builds its path here, so an overlong or missing directory is refused
// in one place.
#include "base/tempfiles.h"
#include "base/codepage.h"
#include "base/library.h"
#include "base/text.h"
#include "base/textfile.h"

#include <windows.h>

bool JoinTempFilePath(char* path, size_t size, const char* dir, unsigned dirLength,
                      const char* name)
{
    if (size == 0) return false;
    path[0] = '\0';
    if (dirLength == 0 || dirLength >= TempPathRequestLength) return false;
    if (BoundedLength(dir, dirLength + 1) != dirLength) return false;
    if (dirLength + BoundedLength(name, size) > size - 1) return false;
    CopyText(path, size, dir);
    AppendText(path, size, name);
    return true;
}

using GetTempPathWFunction = DWORD(WINAPI*)(DWORD size, LPWSTR path);

static DWORD ReportTempPathW(wchar_t (&path)[WidePathSize])
{
    auto getTempPath = KernelEntry<GetTempPathWFunction>("GetTempPathW");
    return getTempPath ? getTempPath(WidePathSize, path) : 0;
}

bool BuildTempFilePath(char* path, size_t size, const char* name)
{
    char dir[PathBufferSize];
    static_assert(TempPathRequestLength == PathBufferSize - 1, "the request fills the buffer");
    // GetTempPathA answers the length it needs, untouched buffer, when 255 is too few.
    DWORD length = GetTempPathA(TempPathRequestLength, dir);
    if (length >= TempPathRequestLength) length = 0;
    dir[length] = '\0';
    // A folder whose name the ANSI code page cannot spell is named by its short form.
    length = static_cast<DWORD>(ReachablePath(dir, length, ReportTempPathW));
    return JoinTempFilePath(path, size, dir, length, name);
}

// Opens the read-only file at path for the check, for reading and without delete
// sharing, so that while the handle is open nobody can rename, delete or replace the
// name: each of those needs delete access. An open without read access would not hold
// the name, since the system checks sharing only against opens that read, write or
// delete. Answers the handle when the file may lose its mark: no folder and no link by
// its own entry, and no name but this one, so that clearing the mark changes nothing
// elsewhere; INVALID_HANDLE_VALUE otherwise.
static HANDLE OpenLoneReadOnlyFile(const char* path, DWORD attributes)
{
    const DWORD refused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY) ||
        (attributes & refused))
        return INVALID_HANDLE_VALUE;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    BY_HANDLE_FILE_INFORMATION information = {};
    if (GetFileInformationByHandle(file, &information) && information.nNumberOfLinks == 1)
        return file;
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

// Closes a checked handle, if one is open; answers the handle that is left, none.
static HANDLE CloseChecked(HANDLE checked)
{
    if (checked != INVALID_HANDLE_VALUE) CloseHandle(checked);
    return INVALID_HANDLE_VALUE;
}

bool RemoveOwnFile(const char* path, SetAttributesFunction setAttributes, bool holdWhileUnmarking)
{
    if (DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    DWORD attributes = GetFileAttributesA(path);
    HANDLE checked = OpenLoneReadOnlyFile(path, attributes);
    if (checked == INVALID_HANDLE_VALUE) return false;
    if (!holdWhileUnmarking) checked = CloseChecked(checked);
    DWORD cleared = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    bool unmarked = setAttributes(path, cleared ? cleared : FILE_ATTRIBUTE_NORMAL);
    // The name is the checked file's until here; our own handle would make the delete fail.
    CloseChecked(checked);
    if (!unmarked) return false;
    if (DeleteFileA(path)) return true;
    setAttributes(path, attributes);  // held open: it stays, and stays read only
    return false;
}

bool RemoveOwnFile(const char* path)
{
    return RemoveOwnFile(path, SetFileAttributesA, IsNtPlatform());
}

bool RemoveTempFileBeyondPathBuffer(const char* name)
{
    char path[LongestPathSize];
    if (!BuildTempFilePath(path, name)) return false;
    RemoveOwnFile(path);
    return true;
}

bool RemoveResultFile()
{
    return RemoveTempFileBeyondPathBuffer(ResultFileName);
}

bool WriteResultFile(const char* words, const char* detail)
{
    char path[PathBufferSize];
    if (!BuildTempFilePath(path, ResultFileName)) {
        RemoveResultFile();
        return false;
    }
    RemoveOwnFile(path);
    TextWriter file;
    if (!CreateTextFile(file, path)) return false;
    WriteText(file, words);
    if (detail) {
        WriteText(file, " ");
        WriteText(file, detail);
    }
    WriteText(file, "\n");
    if (CloseTextFile(file)) return true;
    // A line cut short or never stored is no answer: the file goes.
    DeleteFileA(path);
    return false;
}
