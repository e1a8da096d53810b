// Paths into the temporary directory and the one-line result file. Every action that
// leaves a file builds its path here, so an overlong or missing directory is refused
// in one place.
#include "base/tempfiles.h"
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

bool BuildTempFilePath(char* path, size_t size, const char* name)
{
    char dir[PathBufferSize];
    // GetTempPathA answers the length it needs, untouched buffer, when 255 is too few.
    DWORD length = GetTempPathA(TempPathRequestLength, dir);
    if (length >= TempPathRequestLength) length = 0;
    dir[length] = '\0';
    return JoinTempFilePath(path, size, dir, length, name);
}

bool RemoveTempFileBeyondPathBuffer(const char* name)
{
    char path[LongestPathSize];
    if (!BuildTempFilePath(path, name)) return false;
    DeleteFileA(path);
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
    DeleteFileA(path);
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
