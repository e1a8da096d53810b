// Reading the registry through ADVAPI32, which is loaded when a key is first opened:
// only "report" reads the registry, so the other command words start without it.
#pragma once

#include <windows.h>

// RegOpenKeyA. Answers ERROR_SUCCESS with key open, or an error code with key null,
// ERROR_PROC_NOT_FOUND when ADVAPI32 or the function cannot be found.
LONG OpenRegistryKey(HKEY root, const char* subkey, HKEY* key);

// RegQueryValueExA, the value's type not asked for.
LONG QueryRegistryValue(HKEY key, const char* name, BYTE* data, DWORD* size);

// RegCloseKey; a null key is ignored.
void CloseRegistryKey(HKEY key);
