// Whole characters of the ANSI code page, and paths the ANSI file calls can reach.
// The wide path calls are looked up at run time: only NT needs them, and the import
// table names only what KERNEL32 of Windows 95 and NT 3.51 is known to export.
#include "base/codepage.h"
#include "base/library.h"
#include "base/text.h"

#include <windows.h>

namespace {

using GetShortPathNameWFunction = DWORD(WINAPI*)(LPCWSTR longPath, LPWSTR shortPath, DWORD size);

constexpr size_t AnsiPathSize = MAX_PATH;  // the short form's ANSI text + NUL

int ClampedSize(size_t size)
{
    return size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
}

// The short form of wide, in Unicode; 0 when the system has none for it (short names
// turned off, no such folder) or it does not fit.
DWORD ShortFormOf(const wchar_t* wide, wchar_t (&shortForm)[WidePathSize])
{
    auto getShortPathName = KernelEntry<GetShortPathNameWFunction>("GetShortPathNameW");
    DWORD length = getShortPathName ? getShortPathName(wide, shortForm, WidePathSize) : 0;
    return length < WidePathSize ? length : 0;
}

}  // namespace

bool IsAnsiLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != FALSE;
}

size_t WholeCharacterLength(const char* text, size_t length, size_t limit, LeadByteTest isLeadByte)
{
    if (length > limit) length = limit;
    size_t whole = 0;
    while (whole < length) {
        bool lead = isLeadByte(static_cast<unsigned char>(text[whole]));
        if (!lead) {
            ++whole;
            continue;
        }
        if (whole + 2 > length || text[whole + 1] == '\0') break;
        whole += 2;
    }
    return whole;
}

bool IsNtPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool SpellsExactly(const char* ansi, const wchar_t* wide, UINT codePage)
{
    wchar_t back[WidePathSize];
    int count = MultiByteToWideChar(codePage, 0, ansi, -1, back, ClampedSize(WidePathSize));
    if (count <= 0) return false;
    // back ends in its NUL at count - 1, so a shorter or longer wide differs before that.
    for (int at = 0; at < count; ++at) {
        if (back[at] != wide[at]) return false;
    }
    return true;
}

size_t ExactAnsiForm(char* ansi, size_t size, const wchar_t* wide, UINT codePage)
{
    if (size == 0) return 0;
    int bytes = WideCharToMultiByte(codePage, 0, wide, -1, ansi, ClampedSize(size), nullptr, nullptr);
    // A failed conversion may have filled the buffer without a terminator.
    if (bytes <= 0 || !SpellsExactly(ansi, wide, codePage)) {
        ansi[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(bytes - 1);
}

size_t ReachablePath(char* path, size_t size, size_t length, WidePathReport report)
{
    if (size < 2 || !IsNtPlatform()) return length;
    wchar_t wide[WidePathSize];
    DWORD wideLength = report(wide);
    if (wideLength == 0 || wideLength >= WidePathSize) return length;
    wide[wideLength] = L'\0';
    if (length > 0 && length < size - 1) {
        path[length] = '\0';
        if (SpellsExactly(path, wide, CP_ACP)) return length;
    }
    wchar_t shortForm[WidePathSize];
    if (ShortFormOf(wide, shortForm) == 0) return length;
    // As the ANSI call would have reported it whole: shorter than it was asked for.
    char ansi[AnsiPathSize];
    size_t limit = size - 1 < AnsiPathSize ? size - 1 : AnsiPathSize;
    size_t ansiLength = ExactAnsiForm(ansi, limit, shortForm, CP_ACP);
    if (ansiLength == 0) return length;
    CopyText(path, size, ansi);
    return ansiLength;
}
