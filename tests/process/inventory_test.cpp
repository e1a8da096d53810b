// The adapter inventory as the product runs it, with the agent library found where the
// system keeps it: the inventory probe is copied into a scratch folder under a name of
// its own, a stand-in agent into the system directory as inetmib1.dll, and Wine's
// per-program settings for that name pick the stand-in (DllOverrides
// inetmib1=native,builtin; every other program keeps Wine's own), make the library
// missing (inetmib1=""), or set the Windows version the probe sees.
#include "mib/inventory.h"
#include "support/agent_data.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct ProbeAnswer {
    int result = -99;
    std::string text;
    std::string guard;
    std::vector<std::string> records;
    std::string version;
};

class InventoryProbe : public ::testing::Test {
protected:
    ScopedAgentData agentData;
    ScratchDir dir{"probe"};
    std::string exeName = ExeNameFor(dir);
    ScopedAppDefaults app{exeName};

    void SetUp() override
    {
        ASSERT_TRUE(CopyFileA(ProbePath().c_str(), (dir / exeName).c_str(), FALSE));
        ASSERT_TRUE(app.Set("", "Version", "winxp"));
    }

    void UseAgent(const char* variant)
    {
        ASSERT_TRUE(InstallSystemFile(AgentPath(variant), "inetmib1.dll"));
        ASSERT_TRUE(app.Set("DllOverrides", "inetmib1", "native,builtin"));
    }

    void UseNoAgent()
    {
        ASSERT_TRUE(app.Set("DllOverrides", "inetmib1", ""));
    }

    void ServeIncluded(uint32_t count, const std::string& descriptionStem)
    {
        MibData data;
        data.InterfaceCount(count);
        for (uint32_t i = 1; i <= count; ++i)
            data.Interface(i, 6, MibData::Mac(i), descriptionStem + std::to_string(i));
        data.Tail(count);
        ASSERT_TRUE(agentData.Serve(data));
    }

    ProbeAnswer Run(const std::string& arguments)
    {
        std::string out = dir / "answer.txt";
        DeleteFileA(out.c_str());
        DWORD code = RunProcess("\"" + (dir / exeName) + "\" \"" + out + "\" " + arguments, dir.path().c_str());
        EXPECT_EQ(0u, code) << arguments;
        ProbeAnswer answer;
        std::string lines = ReadFileBytes(out);
        for (size_t at = 0; at < lines.size();) {
            size_t end = lines.find('\n', at);
            std::string line = lines.substr(at, end == std::string::npos ? std::string::npos : end - at);
            at = end == std::string::npos ? lines.size() : end + 1;
            size_t equals = line.find('=');
            std::string key = line.substr(0, equals), value = line.substr(equals + 1);
            if (key == "result") answer.result = std::stoi(value);
            if (key == "text") answer.text = value;
            if (key == "guard") answer.guard = value;
            if (key == "record") answer.records.push_back(value);
            if (key == "version") answer.version = value;
        }
        return answer;
    }

    static std::string ExeNameFor(const ScratchDir& folder)
    {
        std::string path = folder.path().substr(0, folder.path().size() - 1);
        return path.substr(path.find_last_of('\\') + 1) + ".exe";
    }
};

// Splits an adapter text into its entries; false when it does not consist of whole
// "description[;]" entries.
bool WholeEntries(const std::string& text, std::vector<std::string>* entries)
{
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find("[;]", at);
        if (end == std::string::npos || end == at) return false;
        entries->push_back(text.substr(at, end - at));
        at = end + 3;
    }
    return true;
}

}  // namespace

TEST_F(InventoryProbe, AgentsThatDoNotStartGiveMinusOneAndAnEmptyText)
{
    ServeIncluded(3, "nic ");
    struct Case { const char* variant; int records, list; const char* text; } cases[] = {
        {nullptr, -1, -1, ""},
        {"noinit", -1, -1, ""},
        {"refuse", -1, -1, ""},
        {"noquery", 0, 0, ""},
        {"full", 276, 3, "nic 1[;]nic 2[;]nic 3[;]"},
    };
    for (const Case& c : cases) {
        if (c.variant)
            UseAgent(c.variant);
        else
            UseNoAgent();
        const char* name = c.variant ? c.variant : "missing";
        EXPECT_EQ(c.records, Run("records null 1").result) << name;
        ProbeAnswer list = Run("list 512");
        EXPECT_EQ(c.list, list.result) << name;
        EXPECT_EQ(c.text, list.text) << name;
        EXPECT_EQ("ok", list.guard) << name;
    }
}

// Windows Sockets is loaded with the agent, not by the program's start: a system
// without it still runs the program, and its inventory fails before the agent starts.
TEST_F(InventoryProbe, WithoutWindowsSocketsTheInventoryFailsBeforeTheAgentStarts)
{
    ServeIncluded(3, "nic ");
    UseAgent("full");
    ASSERT_TRUE(app.Set("DllOverrides", "wsock32", ""));
    EXPECT_EQ(-1, Run("records null 1").result);
    ProbeAnswer list = Run("list 512");
    EXPECT_EQ(-1, list.result);
    EXPECT_EQ("", list.text);
    EXPECT_EQ(0, agentData.Inits());
}

TEST_F(InventoryProbe, TenAdaptersTakeOneInventoryElevenTakeTwo)
{
    UseAgent("full");
    ServeIncluded(10, "n");
    ProbeAnswer ten = Run("list 512");
    EXPECT_EQ(10, ten.result);
    EXPECT_EQ(1, agentData.Inits());
    ServeIncluded(11, "n");
    ProbeAnswer eleven = Run("list 512");
    EXPECT_EQ(11, eleven.result);
    EXPECT_EQ(3, agentData.Inits());
    std::vector<std::string> entries;
    ASSERT_TRUE(WholeEntries(eleven.text, &entries));
    ASSERT_EQ(11u, entries.size());
    EXPECT_EQ("n11", entries[10]);
}

TEST_F(InventoryProbe, TheTextStopsBeforeTheFirstEntryThatDoesNotFit)
{
    UseAgent("full");
    ServeIncluded(8, std::string(61, 'd'));  // 62 and 63 characters
    ProbeAnswer answer = Run("list 512");
    EXPECT_EQ(8, answer.result);
    EXPECT_EQ("ok", answer.guard);
    std::vector<std::string> entries;
    ASSERT_TRUE(WholeEntries(answer.text, &entries));
    EXPECT_EQ(7u, entries.size());
}

TEST_F(InventoryProbe, Windows2000AloneWaitsForTheTcpipKey)
{
    // The test reads the key and never changes it; Wine's prefix has none.
    HKEY key;
    bool keyPresent = RegOpenKeyA(HKEY_LOCAL_MACHINE, TcpipKeyName, &key) == ERROR_SUCCESS;
    if (keyPresent) RegCloseKey(key);
    UseAgent("full");
    ServeIncluded(1, "nic");
    struct Case { const char* version; const char* numbers; bool gated; } cases[] = {
        {"win2k", "5.0", !keyPresent}, {"winxp", "5.1", false}, {"nt40", "4.0", false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(app.Set("", "Version", c.version));
        EXPECT_EQ(c.numbers, Run("version").version) << c.version;
        int inits = agentData.Inits();
        ProbeAnswer answer = Run("list 512");
        EXPECT_EQ(c.gated ? -1 : 1, answer.result) << c.version;
        EXPECT_EQ(c.gated ? "" : "nic1[;]", answer.text) << c.version;
        EXPECT_EQ(c.gated ? 0 : 1, agentData.Inits() - inits) << c.version;
    }
}

TEST_F(InventoryProbe, WineOwnAgentKeepsCountAndTextInAgreement)
{
    // No override: the platform's own agent. Under Wine it finds no adapter, since its
    // answer to the bare ifPhysAddress column already lies in the ip group.
    ProbeAnswer records = Run("records " + std::to_string(64 * AdapterRecordSize) + " 1");
    ASSERT_GE(records.result, 0);
    EXPECT_EQ(0, records.result % static_cast<int>(AdapterRecordSize));
    EXPECT_EQ(static_cast<size_t>(records.result / AdapterRecordSize), records.records.size());
    EXPECT_EQ("ok", records.guard);

    ProbeAnswer list = Run("list 512");
    ASSERT_GE(list.result, 0);
    std::vector<std::string> entries;
    EXPECT_TRUE(WholeEntries(list.text, &entries)) << list.text;
    EXPECT_LE(entries.size(), static_cast<size_t>(list.result));
    EXPECT_EQ("ok", list.guard);
    RecordProperty("adapters", list.result);
}
