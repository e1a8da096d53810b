// System libraries and programs, found where the system keeps its own: the program
// loads every library at run time, only in the action that needs it, so that a start
// that does not need a library never pays for loading it and a system that lacks it
// still starts the program. A library or program is never taken from the exe's folder
// or the current folder, where anyone may have put a file of that name.
#pragma once

#include <windows.h>
#include <cstddef>

constexpr size_t SystemPathSize = MAX_PATH;  // system directory + "\" + file name + NUL

// Joins the system directory (dirLength characters, as GetSystemDirectoryA answered)
// and "\" name into path (size bytes). Refuses, leaving path empty and answering
// false, when the directory was not reported whole or the two do not fit. Pure.
bool JoinSystemFilePath(char* path, size_t size, const char* dir, unsigned dirLength,
                        const char* name);

// The system directory's file name, as JoinSystemFilePath builds it.
bool BuildSystemFilePath(char (&path)[SystemPathSize], const char* name);

// The system directory itself, without a trailing backslash; answers its length, or 0
// (path empty) when the system does not report it whole.
unsigned GetSystemDirectoryPath(char (&path)[SystemPathSize]);

// Loads the system's copy of the library name from the system directory by its full
// path. Where kernel32 has AddDllDirectory, the library's own imports come from the
// system directory too; elsewhere the full path with LOAD_WITH_ALTERED_SEARCH_PATH
// makes them come from the library's folder first. A name that is already a full path
// (a test's stand-in) is loaded from there the same way. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// The entry point name of module as a Function; null when module is null or lacks it.
template <typename Function> Function EntryOf(HMODULE module, const char* name)
{
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// An entry point of the loaded KERNEL32 that not every system has; null where it lacks it.
template <typename Function> Function KernelEntry(const char* name)
{
    return EntryOf<Function>(GetModuleHandleA("kernel32.dll"), name);
}
