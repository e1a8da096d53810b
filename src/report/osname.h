// Operating-system identification: the OS name string, a product name followed
// directly by "{" and the raw version numbers, e.g. "Windows XP{5.01 2600 Service Pack 2".
#pragma once

#include <windows.h>
#include <cstddef>

constexpr size_t OsSuffixSize = 40;  // "{major.minor build service-pack" + NUL
constexpr size_t OsNameSize = 55;    // longest product name (15) + suffix (39) + NUL

// Turns the version record into the OS name string in name (size bytes). The suffix
// keeps at most 39 characters: an overlong service-pack text is cut there, and the
// whole string is cut to the buffer. Pure.
void FormatOsName(const OSVERSIONINFOA& info, char* name, size_t size);

// FormatOsName over what GetVersionExA reports; its result is not tested, so a failed
// call formats a zeroed record.
void GetOsName(char* name, size_t size);

template <size_t N> void GetOsName(char (&name)[N]) { GetOsName(name, N); }
