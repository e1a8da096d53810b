// Full paths into the system directory, and libraries loaded from there alone.
#include "base/library.h"
#include "base/text.h"

bool JoinSystemFilePath(char* path, size_t size, const char* dir, unsigned dirLength,
                        const char* name)
{
    if (size == 0) return false;
    path[0] = '\0';
    // GetSystemDirectoryA answers the size it needs, NUL included, when it is short.
    if (dirLength == 0 || dirLength >= size) return false;
    if (BoundedLength(dir, dirLength + 1) != dirLength) return false;
    bool whole = CopyText(path, size, dir) && AppendText(path, size, "\\") &&
                 AppendText(path, size, name);
    if (!whole) path[0] = '\0';
    return whole;
}

unsigned GetSystemDirectoryPath(char (&path)[SystemPathSize])
{
    UINT length = GetSystemDirectoryA(path, SystemPathSize);
    if (length == 0 || length >= SystemPathSize) length = 0;
    path[length] = '\0';
    return length;
}

bool BuildSystemFilePath(char (&path)[SystemPathSize], const char* name)
{
    char dir[SystemPathSize];
    unsigned length = GetSystemDirectoryPath(dir);
    return JoinSystemFilePath(path, SystemPathSize, dir, length, name);
}

// Windows 8 and later, and 7 and Vista with their loader update, export AddDllDirectory;
// only they understand LOAD_LIBRARY_SEARCH_SYSTEM32 (the others fail the load).
static DWORD SystemLoadFlags()
{
    if (KernelEntry<FARPROC>("AddDllDirectory")) return LOAD_LIBRARY_SEARCH_SYSTEM32;
    return LOAD_WITH_ALTERED_SEARCH_PATH;
}

HMODULE LoadSystemLibrary(const char* name)
{
    char path[SystemPathSize];
    if (ContainsText(name, "\\")) {  // a full path already
        if (!CopyText(path, name)) return nullptr;
    } else if (!BuildSystemFilePath(path, name)) {
        return nullptr;
    }
    return LoadLibraryExA(path, nullptr, SystemLoadFlags());
}
