// Whole characters of a double-byte code page, and which ANSI forms spell a Unicode
// path exactly, in the code pages of Wine's own tables.
#include "base/codepage.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Code page 936 (GBK): lead bytes 0x81 to 0xFE; a second byte may lie in that range too.
bool GbkLeadByte(unsigned char c) { return c >= 0x81 && c != 0xFF; }
bool NoLeadBytes(unsigned char) { return false; }

}  // namespace

TEST(WholeCharacters, ACutKeepsTheLastWholeCharacterWithin63Bytes)
{
    const std::string a = "\xB0\xA1";  // GBK "啊": both bytes in the lead-byte range
    std::string pairs;
    for (int i = 0; i < 31; ++i) pairs += a;  // 62 bytes
    struct Case { const char* what; std::string text; LeadByteTest test; size_t whole; } cases[] = {
        {"single-byte text of 80 bytes", std::string(80, 'x'), NoLeadBytes, 63},
        {"a character across the cut", pairs + a, GbkLeadByte, 62},
        {"the 63rd byte a second byte in the lead range", "x" + pairs + a, GbkLeadByte, 63},
        {"a last lead byte without its second", "x" + a + "\x81", GbkLeadByte, 3},
        {"a lead byte before the terminator", std::string("x\x81\0y", 4), GbkLeadByte, 1},
        {"a short text of whole characters", "x" + a, GbkLeadByte, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.whole, WholeCharacterLength(c.text.data(), c.text.size(), 63, c.test)) << c.what;
}

// Windows converts a character its ANSI code page lacks to "?" or to a look-alike
// (best fit: "Ł" to "L" in 1252); neither converts back.
TEST(AnsiForm, OnlyAFormThatConvertsBackSpellsThePath)
{
    struct Case { UINT codePage; const wchar_t* wide; bool exact; } cases[] = {
        {1252, L"C:\\users\\Lukasz\\Temp\\", true},
        {1252, L"C:\\users\\J\u00F6rg\\Temp\\", true},
        {1252, L"C:\\users\\\u0141ukasz\\Temp\\", false},  // look-alike "L"
        {1252, L"C:\\users\\\u674E\\Temp\\", false},       // "?"
        {1253, L"C:\\users\\\u0395\u03BB\u03AD\u03BD\u03B7\\", true},
        {936, L"C:\\users\\\u674E\\Temp\\", true},
        {1252, L"C:\\users\\_UKA~WQZ\\Temp\\", true},
    };
    for (const Case& c : cases) {
        char ansi[WidePathSize] = "stale";
        size_t length = ExactAnsiForm(ansi, sizeof(ansi), c.wide, c.codePage);
        EXPECT_EQ(c.exact, length > 0) << c.codePage << " " << ansi;
        EXPECT_EQ(length, std::string(ansi).size()) << c.codePage;
    }
    char small[8] = "stale";
    EXPECT_EQ(0u, ExactAnsiForm(small, sizeof(small), L"C:\\users\\", 1252)) << "9 characters in 8 bytes";
    EXPECT_STREQ("", small);
    EXPECT_FALSE(SpellsExactly("C:\\users", L"C:\\users\\", 1252)) << "a shorter text";
    EXPECT_FALSE(SpellsExactly("C:\\users\\x", L"C:\\users\\", 1252)) << "a longer text";
}
