// What the ANSI code page can spell. The program works in 8-bit ANSI text, but the
// system keeps every path in Unicode on NT and hands an ANSI program the ANSI form,
// with "?" or a look-alike letter ("L" for "Ł") for each character the code page
// lacks: such a form names no folder, or another one. The same folder's short (8.3)
// name is plain ASCII wherever the volume keeps short names, as the system volume does
// by default. Windows 95, 98 and ME keep their paths in the ANSI code page itself.
// On Chinese, Japanese and Korean Windows a character may take two bytes, and a text
// cut between them runs into whatever follows it.
#pragma once

#include <windows.h>
#include <cstddef>

constexpr size_t WidePathSize = MAX_PATH + 1;  // a path the wide calls report + NUL

// A test for a lead byte of a double-byte code page (IsAnsiLeadByte in the product).
using LeadByteTest = bool (*)(unsigned char);

// IsDBCSLeadByte: a lead byte of the system's ANSI code page.
bool IsAnsiLeadByte(unsigned char c);

// How many of text's first length bytes, at most limit, make whole characters,
// counted from the first byte: a lead byte takes the byte behind it along, and is cut
// off when that byte lies past the bound or is the terminator. Pure.
size_t WholeCharacterLength(const char* text, size_t length, size_t limit, LeadByteTest isLeadByte);

// Whether the program runs on the NT platform, where the system keeps paths in Unicode.
bool IsNtPlatform();

// True when ansi, read in codePage, is exactly wide: a "?" or a look-alike letter that
// stands for a character the code page lacks makes it false.
bool SpellsExactly(const char* ansi, const wchar_t* wide, UINT codePage);

// Writes wide's form in codePage into ansi (size bytes) and answers its length when
// it spells wide exactly and fits whole; otherwise answers 0, ansi left empty.
size_t ExactAnsiForm(char* ansi, size_t size, const wchar_t* wide, UINT codePage);

// A wide call that reports the path an ANSI call reported: its length, or 0 when the
// system lacks the call or the path does not fit WidePathSize.
using WidePathReport = DWORD (*)(wchar_t (&path)[WidePathSize]);

// Makes path (size bytes), which an ANSI call asked with size - 1 characters filled
// with length characters (0 for none), a path the ANSI file calls can open. On NT,
// where path does not spell the path that report gives in Unicode, path becomes the
// short form of that path when its ANSI form is exact and shorter than size - 1
// characters; otherwise, and on the 9x platform, path stays as the call left it.
// Answers the length of what path then holds.
size_t ReachablePath(char* path, size_t size, size_t length, WidePathReport report);

template <size_t N> size_t ReachablePath(char (&path)[N], size_t length, WidePathReport report)
{
    return ReachablePath(path, N, length, report);
}
