// Bounded copies and formats: what fits is kept, the end of the buffer is never passed.
#include "base/text.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

TEST(Text, CopyKeepsWhatFitsAndSaysItCut)
{
    // The copy is told of 8 bytes; the 4 behind them are poisoned and must stay so.
    char buffer[12];
    memset(buffer, '#', sizeof(buffer));
    EXPECT_TRUE(CopyText(buffer, 8, "1234567"));
    EXPECT_STREQ("1234567", buffer);
    EXPECT_FALSE(CopyText(buffer, 8, "123456789"));
    EXPECT_STREQ("1234567", buffer);
    EXPECT_EQ(std::string(4, '#'), std::string(buffer + 8, 4));
}

TEST(Text, AppendStopsAtTheBufferEnd)
{
    char buffer[6] = "ab";
    EXPECT_TRUE(AppendText(buffer, "cd"));
    EXPECT_FALSE(AppendText(buffer, "efgh"));
    EXPECT_STREQ("abcde", buffer);
    // A buffer whose text has no terminator is treated as full, never read past.
    char full[4] = {'w', 'x', 'y', 'z'};
    EXPECT_FALSE(AppendText(full, "q"));
    EXPECT_EQ('\0', full[3]);
}

TEST(Text, DecimalFormatsAsPercentZeroNd)
{
    struct Case { long long value; int minDigits; const char* expected; } cases[] = {
        {0, 2, "00"}, {1, 2, "01"}, {10, 2, "10"}, {51, 2, "51"}, {100, 2, "100"},
        {-1, 2, "-1"}, {-5, 3, "-05"}, {2600, 1, "2600"},
        {67766223, 1, "67766223"}, {-2147483647 - 1, 1, "-2147483648"},
        {4294967296, 1, "4294967296"}, {9223372036854775807, 1, "9223372036854775807"},
        {-9223372036854775807 - 1, 1, "-9223372036854775808"},
    };
    for (const Case& c : cases) {
        char buffer[32] = "";
        EXPECT_TRUE(AppendDecimal(buffer, c.value, c.minDigits));
        EXPECT_STREQ(c.expected, buffer) << "value " << c.value << " width " << c.minDigits;
    }
    char small[4] = "";
    EXPECT_FALSE(AppendDecimal(small, 12345));
    EXPECT_STREQ("123", small);
}

TEST(Text, FoldingTouchesOnlyTheLettersAToZ)
{
    EXPECT_TRUE(EqualsFolded("RePoRt", "report"));
    EXPECT_FALSE(EqualsFolded("report ", "report"));
    EXPECT_FALSE(EqualsFolded("repor", "report"));
    // '[' and '{' differ by the same bit as 'A' and 'a' but are not letters.
    EXPECT_FALSE(EqualsFolded("[", "{"));
    EXPECT_FALSE(EqualsFolded("\xC9", "\xE9"));
    EXPECT_TRUE(StartsWithFolded("REFRESH:x", "refresh:"));
    EXPECT_FALSE(StartsWithFolded("refres", "refresh:"));
    EXPECT_TRUE(StartsWith("checkip:h", "checkip:"));
    EXPECT_FALSE(StartsWith("Checkip:h", "checkip:"));
}

// The reading of Internet Explorer's version against the C runtime's atoi, which these
// test programs link: white space, signs, digits and what stops them, in combination.
TEST(Text, ReadsADecimalAsTheCRuntimesAtoiDid)
{
    const char* leads[] = {"", " ", "\t", "\n\v\f\r ", "\xA0", "x"};
    const char* signs[] = {"", "+", "-", "+-", "--", " -"};
    const char* numbers[] = {"", "0", "6", "007", "11.0.9600.16384", "5.50.4807", "2147483647",
                             "2147483648", "4294967295", "4294967296", "99999999999"};
    const char* tails[] = {"", "a", " 7", "\t"};
    for (const char* lead : leads)
        for (const char* sign : signs)
            for (const char* number : numbers)
                for (const char* tail : tails) {
                    std::string text = std::string(lead) + sign + number + tail;
                    EXPECT_EQ(atoi(text.c_str()), ReadDecimal(text.c_str())) << "\"" << text << "\"";
                }
}

// The capture scans' substring search against strstr on every pair of short texts.
TEST(Text, FindsWhereStrstrFinds)
{
    std::vector<std::string> texts = {""};
    for (size_t from = 0; texts[from].size() < 5; ++from)
        for (char c : {'a', 'b'}) texts.push_back(texts[from] + c);
    for (const std::string& text : texts)
        for (const std::string& part : texts)
            EXPECT_EQ(strstr(text.c_str(), part.c_str()), FindText(text.c_str(), part.c_str()))
                << "\"" << part << "\" in \"" << text << "\"";
}
