// The registry functions of ADVAPI32, looked up on each use. The library, once loaded,
// stays until the process ends: one start reads a handful of values at most.
#include "base/registry.h"
#include "base/library.h"

namespace {

using RegOpenKeyAFunction = LONG(WINAPI*)(HKEY, LPCSTR, PHKEY);
using RegQueryValueExAFunction = LONG(WINAPI*)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using RegCloseKeyFunction = LONG(WINAPI*)(HKEY);

HMODULE advapi32 = nullptr;

HMODULE Advapi32()
{
    if (!advapi32) advapi32 = LoadSystemLibrary("advapi32.dll");
    return advapi32;
}

}  // namespace

LONG OpenRegistryKey(HKEY root, const char* subkey, HKEY* key)
{
    *key = nullptr;
    auto open = EntryOf<RegOpenKeyAFunction>(Advapi32(), "RegOpenKeyA");
    if (!open) return ERROR_PROC_NOT_FOUND;
    LONG status = open(root, subkey, key);
    if (status != ERROR_SUCCESS) *key = nullptr;
    return status;
}

LONG QueryRegistryValue(HKEY key, const char* name, BYTE* data, DWORD* size)
{
    auto query = EntryOf<RegQueryValueExAFunction>(Advapi32(), "RegQueryValueExA");
    if (!query) return ERROR_PROC_NOT_FOUND;
    return query(key, name, nullptr, nullptr, data, size);
}

void CloseRegistryKey(HKEY key)
{
    auto close = EntryOf<RegCloseKeyFunction>(Advapi32(), "RegCloseKey");
    if (key && close) close(key);
}
