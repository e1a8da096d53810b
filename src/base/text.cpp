// Bounded text helpers: copies, appends and decimal formats that never pass the end
// of the buffer they are given, and the few searches and reads the program makes.
#include "base/text.h"

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

// Divides value by 10 and answers the remainder, in 32-bit steps of 16 bits each, so
// that the 32-bit build needs no 64-bit division helper: every partial dividend stays
// below 10 * 2^16.
static unsigned DivideByTen(unsigned long long& value)
{
    unsigned high = static_cast<unsigned>(value >> 32);
    unsigned low = static_cast<unsigned>(value);
    unsigned highQuotient = high / 10;
    unsigned upper = ((high % 10) << 16) | (low >> 16);
    unsigned lower = ((upper % 10) << 16) | (low & 0xFFFFu);
    value = (static_cast<unsigned long long>(highQuotient) << 32) | ((upper / 10) << 16) | (lower / 10);
    return lower % 10;
}

bool AppendDecimal(char* dst, size_t size, long long value, int minDigits)
{
    // 20 digits hold any 64-bit magnitude; the sign and the zero padding come apart.
    char digits[24];
    int count = 0;
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    do {
        digits[count++] = static_cast<char>('0' + DivideByTen(magnitude));
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

const char* FindText(const char* text, const char* part)
{
    for (;; ++text) {
        size_t matched = 0;
        while (part[matched] && text[matched] == part[matched]) ++matched;
        if (part[matched] == '\0') return text;
        // The text ran out before the part did: no later start can hold it either.
        if (text[matched] == '\0') return nullptr;
    }
}

char* FindLastCharacter(char* text, char c)
{
    char* last = nullptr;
    for (; *text; ++text) {
        if (*text == c) last = text;
    }
    return last;
}

static bool IsWhiteSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int ReadDecimal(const char* text)
{
    while (IsWhiteSpace(*text)) ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    unsigned value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + static_cast<unsigned>(*text - '0');
    return static_cast<int>(negative ? 0u - value : value);
}
