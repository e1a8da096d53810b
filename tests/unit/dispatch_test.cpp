// The command line split, the six command words and the delete action.
#include "entry/dispatch.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <string>

static bool NoLeadBytes(unsigned char) { return false; }
static bool HighBytesLead(unsigned char c) { return c >= 0x81 && c <= 0x9F; }

TEST(CommandText, ProgramNameAndTheBlanksBehindItAreCut)
{
    struct Case { const char* line; const char* text; } cases[] = {
        {"\"C:\\Program Files\\k\\korvadiag.exe\"  \t checkip:host", "checkip:host"},
        {"korvadiag.exe report", "report"},
        {"korvadiag.exe\treport", "report"},
        {"korvadiag.exe\x01\x1Freport", "report"},
        {"korvadiag.exe", ""},
        {"\"unclosed name report", ""},
        {"\"a\"report", "report"},
        {"k.exe  delete:my file.txt  ", "delete:my file.txt  "},
        {"k.exe \"quoted\" text", "\"quoted\" text"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.text, CommandTextOf(c.line, NoLeadBytes)) << "line " << c.line;
    EXPECT_STREQ("", CommandTextOf(nullptr, NoLeadBytes));
}

TEST(CommandText, ALeadByteInsideQuotesTakesTheQuoteBehindItAlong)
{
    EXPECT_STREQ("report", CommandTextOf("\"C:\\\x81\"x.exe\" report", HighBytesLead));
    EXPECT_STREQ("x.exe\" report", CommandTextOf("\"C:\\\x81\"x.exe\" report", NoLeadBytes));
    // A lead byte at the very end never steps over the terminator.
    EXPECT_STREQ("", CommandTextOf("\"C:\\\x81", HighBytesLead));
}

TEST(CommandWords, MatchByTheirOwnRules)
{
    struct Case { const char* text; CommandWord word; const char* argument; } cases[] = {
        {"report", CommandWord::Report, ""},
        {"REPORT", CommandWord::Report, ""},
        {"RePoRt", CommandWord::Report, ""},
        {"report ", CommandWord::None, ""},
        {"reportx", CommandWord::None, ""},
        {"delete:x", CommandWord::Delete, "x"},
        {"delete:", CommandWord::Delete, ""},
        {"delete:my file.txt", CommandWord::Delete, "my file.txt"},
        {"Delete:x", CommandWord::None, ""},
        {"DELETE:x", CommandWord::None, ""},
        {"checkwinsock2", CommandWord::CheckWinsock2, ""},
        {"Checkwinsock2", CommandWord::None, ""},
        {"checkwinsock2 ", CommandWord::None, ""},
        {"checkwinsock", CommandWord::None, ""},
        {"refresh", CommandWord::Refresh, ""},
        {"ReFrEsH", CommandWord::Refresh, ""},
        {"refresh ", CommandWord::None, ""},
        {"refresh:", CommandWord::RefreshText, ""},
        {"REFRESH:abc", CommandWord::RefreshText, "abc"},
        {"checkip:host", CommandWord::CheckIp, "host"},
        {"checkip: host ", CommandWord::CheckIp, " host "},
        {"CHECKIP:host", CommandWord::None, ""},
        {"Checkip:host", CommandWord::None, ""},
        {"checkip", CommandWord::None, ""},
        {"", CommandWord::None, ""},
    };
    for (const Case& c : cases) {
        CommandMatch match = MatchCommand(c.text);
        EXPECT_EQ(static_cast<int>(c.word), static_cast<int>(match.word)) << "text '" << c.text << "'";
        EXPECT_STREQ(c.argument, match.argument) << "text '" << c.text << "'";
    }
}

TEST(DeleteName, OnlyPlainNamesInsideTheTemporaryDirectory)
{
    std::string longest(79, 'n'), tooLong(80, 'n');
    const char* plain[] = {"x", "my file.txt", "qopass.txt", ".hidden", "a..b", "NUL",
                           longest.c_str()};
    for (const char* name : plain) EXPECT_TRUE(IsPlainTempName(name)) << name;
    const char* refused[] = {"", ".", "..", "...", ". .", "..\\x", "../x", "a\\b", "a/b",
                             "C:x", "C:\\x", "file:stream", "*", "*.txt", "a?",
                             "tab\there", "line\nend", tooLong.c_str()};
    for (const char* name : refused) EXPECT_FALSE(IsPlainTempName(name)) << name;
}

TEST(DeleteTempFile, DeletesThePlainNameAndNothingElse)
{
    ScopedTempDir temp;
    WriteFileBytes(temp / "my file.txt", "x");
    WriteFileBytes(temp / "other.txt", "x");
    DeleteTempFile("my file.txt");
    EXPECT_FALSE(FileExists(temp / "my file.txt"));
    EXPECT_TRUE(FileExists(temp / "other.txt"));
    DeleteTempFile("*.txt");
    DeleteTempFile("..\\other.txt");
    DeleteTempFile("");
    EXPECT_TRUE(FileExists(temp / "other.txt"));
    EXPECT_TRUE(DirectoryExists(temp.path()));
}

TEST(Dispatch, AnswersZeroForEveryText)
{
    ScopedTempDir temp;
    const char* texts[] = {"", "nonsense", "delete:nothing-here", "checkwinsock2", "report "};
    for (const char* text : texts) EXPECT_EQ(0, DispatchCommand(text)) << text;
}
