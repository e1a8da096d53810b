// Bounded text helpers. Every copy, append and number format into one of the
// program's fixed buffers goes through these, so no write can pass a buffer's end.
#pragma once

#include <cstddef>

// Copies src into dst (size bytes, terminator included). When src does not fit, the
// part that fits is kept, dst is terminated, and the answer is false (cut).
bool CopyText(char* dst, size_t size, const char* src);

// Appends src behind the text already in dst. Cuts like CopyText and answers false
// when src did not fit whole.
bool AppendText(char* dst, size_t size, const char* src);

// Appends value as a signed decimal, padded with zeros to at least minDigits
// characters, the sign counted, as "%0Nd" does. Cuts like AppendText.
bool AppendDecimal(char* dst, size_t size, long long value, int minDigits = 1);

// Length of text, counting at most limit bytes: a text stored without its
// terminator is never read past limit.
size_t BoundedLength(const char* text, size_t limit);

// Whole-text equality with the letters A to Z folded onto a to z and nothing else.
bool EqualsFolded(const char* text, const char* word);

// True when text begins with word, byte for byte, or with letters A to Z folded.
bool StartsWith(const char* text, const char* word);
bool StartsWithFolded(const char* text, const char* word);

// The first place where text holds part, byte for byte and case-sensitive, or null;
// the empty part is found at the start of every text.
const char* FindText(const char* text, const char* part);
inline bool ContainsText(const char* text, const char* part) { return FindText(text, part) != nullptr; }

// The last c in text, or null when text holds none.
char* FindLastCharacter(char* text, char c);

// The leading decimal number of text as the C runtime's atoi read it: white space
// (blank, tab, and line feed to carriage return) skipped, one sign, then digits up to
// the first other character; no digits give 0. A number past 32 bits wraps.
int ReadDecimal(const char* text);

// Array forms: the size comes from the array itself.
template <size_t N> bool CopyText(char (&dst)[N], const char* src) { return CopyText(dst, N, src); }
template <size_t N> bool AppendText(char (&dst)[N], const char* src) { return AppendText(dst, N, src); }
template <size_t N> bool AppendDecimal(char (&dst)[N], long long value, int minDigits = 1)
{
    return AppendDecimal(dst, N, value, minDigits);
}
