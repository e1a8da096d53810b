// Entry points of system libraries that the program loads at run time, only in the
// action that needs them: a start that does not need a library never pays for loading
// it, and a system that lacks it still starts the program.
#pragma once

#include <windows.h>

// The entry point name of module as a Function; null when module is null or lacks it.
template <typename Function> Function EntryOf(HMODULE module, const char* name)
{
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
