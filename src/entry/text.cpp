// Bounded text helpers: copies, appends and decimal formats that never pass the end
// of the buffer they are given.
#include "entry/text.h"

bool CopyText(char* dst, size_t size, const char* src)
{
    if (size == 0) return false;
    dst[0] = '\0';
    return AppendText(dst, size, src);
}

bool AppendText(char* dst, size_t size, const char* src)
{
    if (size == 0) return false;
    size_t used = BoundedLength(dst, size - 1);
    while (*src && used < size - 1) dst[used++] = *src++;
    dst[used] = '\0';
    return *src == '\0';
}

bool AppendDecimal(char* dst, size_t size, long long value, int minDigits)
{
    // 20 digits hold any 64-bit magnitude; the sign and the zero padding come apart.
    char digits[24];
    int count = 0;
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    char text[48];
    int length = 0;
    if (value < 0) text[length++] = '-';
    for (int pad = length + count; pad < minDigits && pad < 40; ++pad) text[length++] = '0';
    while (count > 0) text[length++] = digits[--count];
    text[length] = '\0';
    return AppendText(dst, size, text);
}

size_t BoundedLength(const char* text, size_t limit)
{
    size_t length = 0;
    while (length < limit && text[length] != '\0') ++length;
    return length;
}

static char FoldLetter(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsFolded(const char* text, const char* word)
{
    while (*word && FoldLetter(*text) == FoldLetter(*word)) {
        ++text;
        ++word;
    }
    return *word == '\0' && *text == '\0';
}

bool StartsWith(const char* text, const char* word)
{
    while (*word && *text == *word) {
        ++text;
        ++word;
    }
    return *word == '\0';
}

bool StartsWithFolded(const char* text, const char* word)
{
    while (*word && FoldLetter(*text) == FoldLetter(*word)) {
        ++text;
        ++word;
    }
    return *word == '\0';
}
