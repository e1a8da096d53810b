// Paths into the temporary directory and the one-line result file. Every action that
// leaves a file builds its path here, so an overlong or missing directory is refused
// in one place.
#include "entry/tempfiles.h"
#include "entry/text.h"

#include <windows.h>
#include <cstdio>

bool JoinTempFilePath(char (&path)[PathBufferSize], const char* dir, unsigned dirLength,
                      const char* name)
{
    path[0] = '\0';
    if (dirLength == 0 || dirLength >= TempPathRequestLength) return false;
    if (BoundedLength(dir, dirLength + 1) != dirLength) return false;
    if (dirLength + BoundedLength(name, PathBufferSize) > PathBufferSize - 1) return false;
    CopyText(path, dir);
    AppendText(path, name);
    return true;
}

bool BuildTempFilePath(char (&path)[PathBufferSize], const char* name)
{
    char dir[PathBufferSize];
    // GetTempPathA answers the length it needs, untouched buffer, when 255 is too few.
    DWORD length = GetTempPathA(TempPathRequestLength, dir);
    if (length >= TempPathRequestLength) length = 0;
    dir[length] = '\0';
    return JoinTempFilePath(path, dir, length, name);
}

bool RemoveResultFile()
{
    char path[PathBufferSize];
    if (!BuildTempFilePath(path, ResultFileName)) return false;
    DeleteFileA(path);
    return true;
}

bool WriteResultFile(const char* words, const char* detail)
{
    char path[PathBufferSize];
    if (!BuildTempFilePath(path, ResultFileName)) return false;
    DeleteFileA(path);
    FILE* file = fopen(path, "wt");
    if (!file) return false;
    fputs(words, file);
    if (detail) {
        fputc(' ', file);
        fputs(detail, file);
    }
    fputc('\n', file);
    fclose(file);
    return true;
}
