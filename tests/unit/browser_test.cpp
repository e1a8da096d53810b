// Browser identification: the name table over raw value bytes, the WEB= text, and the
// two registry values as the test sets them under Wine (and puts back afterwards).
#include "report/browser.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <utility>

TEST(BrowserName, WholeNamesOnlyWithTheirCase)
{
    struct Case { std::string value; int kind; int version; } cases[] = {
        {std::string("IExplore", 9), InternetExplorerKind, 0},
        {std::string("NSShell", 8), NetscapeKind, 4},
        {std::string("Netscape", 9), NetscapeKind, 3},
        {std::string("iexplore", 9), UnknownBrowserKind, 0},
        {std::string("IExplore.exe", 13), UnknownBrowserKind, 0},
        {std::string("IExplor", 8), UnknownBrowserKind, 0},
        {std::string("NETSCAPE", 9), UnknownBrowserKind, 0},
        {std::string(" IExplore", 10), UnknownBrowserKind, 0},
        {std::string("", 1), UnknownBrowserKind, 0},
        {std::string(), UnknownBrowserKind, 0},
        // What follows the first terminator is not part of the name.
        {std::string("IExplore\0junk", 14), InternetExplorerKind, 0},
        // Stored without a terminator: the value ends where its length does.
        {std::string("IExplore", 8), InternetExplorerKind, 0},
        {std::string("Netscape", 8), NetscapeKind, 3},
    };
    for (const Case& c : cases) {
        BrowserMatch match = BrowserOfApplication(c.value.data(), c.value.size());
        EXPECT_EQ(c.kind, match.kind) << "value '" << c.value << "' of " << c.value.size();
        EXPECT_EQ(c.version, match.version) << "value '" << c.value << "' of " << c.value.size();
    }
}

TEST(BrowserName, NoByteBeyondTheLengthIsRead)
{
    // The bytes behind the length would complete the name; they must not count.
    const char bytes[] = "IExplor" "e";
    EXPECT_EQ(UnknownBrowserKind, BrowserOfApplication(bytes, 7).kind);
    const char longer[] = "NSShellX";
    EXPECT_EQ(NetscapeKind, BrowserOfApplication(longer, 7).kind);
}

TEST(BrowserText, EachKind)
{
    struct Case { int kind; int version; const char* text; } cases[] = {
        {InternetExplorerKind, 6, "IE 6"},
        {InternetExplorerKind, 0, "IE 0"},
        {InternetExplorerKind, -3, "IE -3"},
        {NetscapeKind, 4, "NS 4"},
        {NetscapeKind, 3, "NS 3"},
        {UnknownBrowserKind, 0, "Unknown"},
        {UnknownBrowserKind, 9, "Unknown"},
        {7, 5, "Unknown"},
    };
    for (const Case& c : cases) {
        char text[BrowserTextSize];
        memset(text, '#', sizeof(text));
        FormatBrowserText(c.kind, c.version, text);
        EXPECT_STREQ(c.text, text) << "kind " << c.kind << " version " << c.version;
    }
}

// The two registry places, as this test sets them. Wine's prefix has an Internet
// Explorer Version value of its own and no DDE key for http; both are put back.
class BrowserRegistry : public ::testing::Test {
protected:
    ScopedRegistryValue application{HKEY_CLASSES_ROOT, "http\\shell\\open\\ddeexec\\Application", ""};
    ScopedRegistryValue ieVersion{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", "Version"};

    std::pair<int, int> Read()
    {
        int kind = -1, version = -1;
        GetBrowserInfo(kind, version);
        return {kind, version};
    }
};

static std::pair<int, int> KindVersion(int kind, int version) { return {kind, version}; }

TEST_F(BrowserRegistry, InternetExplorerWithItsVersionReadAsAtoiReadsIt)
{
    ASSERT_TRUE(application.SetText("IExplore"));
    struct Case { const char* version; int expected; } cases[] = {
        {"6.0.2900.2180", 6}, {"5.50.4807.2300", 5}, {"11", 11}, {"  7.1", 7}, {"+8.0", 8},
        {"-2.0", -2}, {"x6.0", 0}, {"", 0}, {".5", 0},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(ieVersion.SetText(c.version));
        EXPECT_EQ(KindVersion(InternetExplorerKind, c.expected), Read()) << "Version '" << c.version << "'";
    }
    ieVersion.RemoveValue();
    EXPECT_EQ(KindVersion(InternetExplorerKind, 0), Read()) << "no Version value";
}

TEST_F(BrowserRegistry, ApplicationNamesAsStored)
{
    ASSERT_TRUE(ieVersion.SetText("6.0.2900.2180"));
    struct Case { const char* application; std::pair<int, int> expected; } cases[] = {
        {"iexplore", KindVersion(UnknownBrowserKind, 0)},
        {"IExplore.exe", KindVersion(UnknownBrowserKind, 0)},
        {"NSShell", KindVersion(NetscapeKind, 4)},
        {"Netscape", KindVersion(NetscapeKind, 3)},
        {"", KindVersion(UnknownBrowserKind, 0)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(application.SetText(c.application));
        EXPECT_EQ(c.expected, Read()) << "Application '" << c.application << "'";
    }
}

TEST_F(BrowserRegistry, AMissingDdeKeyOrValueIsUnknown)
{
    ASSERT_TRUE(ieVersion.SetText("6.0"));
    ASSERT_TRUE(application.SetText("IExplore"));
    application.RemoveValue();
    EXPECT_EQ(KindVersion(UnknownBrowserKind, 0), Read()) << "key without its default value";
    if (!application.RemoveKey()) GTEST_SKIP() << "the prefix has a DDE key of its own";
    EXPECT_EQ(KindVersion(UnknownBrowserKind, 0), Read()) << "no key";
}

TEST_F(BrowserRegistry, ValuesStoredWithoutTerminatorEndAtTheirLength)
{
    ASSERT_TRUE(ieVersion.Set(REG_SZ, "7.0"));
    ASSERT_TRUE(application.Set(REG_SZ, "IExplore"));
    EXPECT_EQ(KindVersion(InternetExplorerKind, 7), Read());
    ASSERT_TRUE(application.Set(REG_BINARY, "NSShell"));
    EXPECT_EQ(KindVersion(NetscapeKind, 4), Read()) << "the type is not tested";

    // Exactly as long as what is offered, with no room for a terminator behind it.
    ASSERT_TRUE(application.Set(REG_SZ, "IExplore"));
    ASSERT_TRUE(ieVersion.Set(REG_BINARY, "7." + std::string(IeVersionValueSize - 2, '0')));
    EXPECT_EQ(KindVersion(InternetExplorerKind, 7), Read());
    ASSERT_TRUE(application.Set(REG_BINARY, std::string(DdeApplicationValueSize, 'N')));
    EXPECT_EQ(KindVersion(UnknownBrowserKind, 0), Read());
}

TEST_F(BrowserRegistry, ValuesLongerThanTheirBuffersAreNotRead)
{
    ASSERT_TRUE(application.SetText("IExplore"));
    ASSERT_TRUE(ieVersion.Set(REG_BINARY, "8" + std::string(IeVersionValueSize, '0')));
    EXPECT_EQ(KindVersion(InternetExplorerKind, 0), Read());
    ASSERT_TRUE(ieVersion.SetText(("6" + std::string(IeVersionValueSize - 2, '.')).c_str()));
    EXPECT_EQ(KindVersion(InternetExplorerKind, 6), Read()) << "39 characters and the NUL fit";

    std::string longName = "IExplore" + std::string(DdeApplicationValueSize - 8, '\0');
    ASSERT_TRUE(application.Set(REG_BINARY, longName));
    EXPECT_EQ(InternetExplorerKind, Read().first) << "80 bytes fit";
    ASSERT_TRUE(application.Set(REG_BINARY, longName + '\0'));
    EXPECT_EQ(KindVersion(UnknownBrowserKind, 0), Read()) << "81 bytes do not";
}
