// The adapter list: the record-size protocol over the stand-in agent and over Wine's
// own agent, the grow-and-retry over a scripted inventory, the text cut at whole
// entries, and the registry gate.
#include "mib/inventory.h"
#include "support/agent_data.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> RecordsWithDescriptions(const std::vector<std::string>& descriptions)
{
    std::vector<unsigned char> bytes(descriptions.size() * AdapterRecordSize, 0);
    for (size_t i = 0; i < descriptions.size(); ++i) {
        AdapterRecord record = {};
        strncpy(record.description, descriptions[i].c_str(), sizeof(record.description) - 1);
        memcpy(bytes.data() + i * AdapterRecordSize, &record, sizeof(record));
    }
    return bytes;
}

std::string Text(const std::vector<std::string>& descriptions, size_t capacity)
{
    std::vector<unsigned char> records = RecordsWithDescriptions(descriptions);
    std::vector<char> text(capacity + 8, '#');
    FormatAdapterText(records.data(), static_cast<uint32_t>(descriptions.size()), text.data(), capacity);
    for (size_t at = capacity; at < text.size(); ++at) EXPECT_EQ('#', text[at]) << "overrun at " << at;
    return capacity > 0 ? std::string(text.data()) : std::string("<untouched>");
}

// A scripted inventory: the k-th call needs needs[k] records (the last entry repeats);
// a negative entry is answered as it stands.
struct ScriptedInventory {
    std::vector<int> needs;
    std::vector<uint32_t> sizes;
    std::vector<uint32_t> flags;
} script;

int Scripted(uint32_t flags, void* buffer, uint32_t size)
{
    size_t call = script.sizes.size();
    script.sizes.push_back(size);
    script.flags.push_back(flags);
    int need = script.needs[call < script.needs.size() ? call : script.needs.size() - 1];
    if (need <= 0) return need;
    uint32_t bytes = static_cast<uint32_t>(need) * AdapterRecordSize;
    if (buffer && size >= bytes) {
        std::vector<std::string> names;
        for (int i = 0; i < need; ++i) names.push_back("nic" + std::to_string(i));
        memcpy(buffer, RecordsWithDescriptions(names).data(), bytes);
    }
    return static_cast<int>(bytes);
}

std::string Names(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += "nic" + std::to_string(i) + "[;]";
    return text;
}

class Inventory : public ::testing::Test {
protected:
    ScopedAgentData agentData;
    MibData data;
    std::string full = AgentPath("full");

    void ServeIncluded(uint32_t count)
    {
        data.InterfaceCount(count);
        for (uint32_t i = 1; i <= count; ++i)
            data.Interface(i, 6, MibData::Mac(i), "nic " + std::to_string(i));
        data.Tail(count);
        ASSERT_TRUE(agentData.Serve(data));
    }
};

const char* const GateScratchKey = "Software\\korvadiag-test-tcpip-gate";

}  // namespace

TEST(AdapterText, WholeEntriesOfNonEmptyDescriptionsOnly)
{
    EXPECT_EQ("first[;]third[;]", Text({"first", "", "third"}, 512));
    struct Case { size_t capacity; const char* expected; } cases[] = {
        {12, "abc[;]de[;]"}, {11, "abc[;]"}, {7, "abc[;]"}, {6, ""}, {1, ""}, {0, "<untouched>"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, Text({"abc", "de", "f"}, c.capacity)) << c.capacity;
    // It stops at the first entry that does not fit, even when a later one would.
    EXPECT_EQ("abc[;]", Text({"abc", "much longer", "f"}, 14));
}

TEST(AdapterText, ControlCharactersCannotBreakTheReportLine)
{
    EXPECT_EQ("eth  0[;]tab here[;]", Text({"eth\r\n0", "tab\there"}, 512));
    EXPECT_EQ("caf\xE9 \x7F[;]", Text({"caf\xE9\x1B\x7F"}, 512)) << "only bytes below 32 change";
    // The calling application splits the list at "[;]": one separator per adapter.
    // A "[;" or ";]" at a description's end or start joins no separator of its own.
    EXPECT_EQ("Fake NIC[ ]Injected NIC[ ][;]a;b[c]; [;[;];][;][ ]first[;]",
              Text({"Fake NIC[;]Injected NIC[;]", "a;b[c]; [;", ";]", "[;]first"}, 512));
}

TEST(AdapterText, TheReportBufferHoldsSevenFullEntries)
{
    std::vector<std::string> longest(8, std::string(63, 'x'));
    std::string text = Text(longest, 512);
    EXPECT_EQ(7u * 66u, text.size());
    FormatAdapterText(nullptr, 0, nullptr, 0);  // no buffer at all: nothing happens
}

TEST(CollectAdapters, ARetryAsksForOneRecordMoreAndStopsAfterFourInventories)
{
    struct Case { std::vector<int> needs; int result; std::vector<uint32_t> sizes; std::string text; } cases[] = {
        {{0}, 0, {920}, ""},
        {{-1}, -1, {920}, ""},
        {{10}, 10, {920}, Names(10)},
        {{11}, 11, {920, 1104}, Names(11)},
        {{11, -1}, -1, {920, 1104}, ""},
        {{11, 13, 13}, 13, {920, 1104, 1288}, Names(13)},
        {{11, 13, 15, 17, 19}, -1, {920, 1104, 1288, 1472}, ""},
    };
    for (const Case& c : cases) {
        script = ScriptedInventory{c.needs, {}, {}};
        char text[2048];
        memset(text, '#', sizeof(text));
        EXPECT_EQ(c.result, CollectAdapters(Scripted, text, sizeof(text))) << c.needs[0];
        EXPECT_EQ(c.sizes, script.sizes) << c.needs[0];
        EXPECT_EQ(c.text, text) << c.needs[0];
        for (uint32_t flags : script.flags) EXPECT_EQ(1u, flags);
    }
}

TEST(CollectAdapters, TheCountKeepsAdaptersWhoseTextWasCut)
{
    script = ScriptedInventory{{9}, {}, {}};
    char text[20];
    EXPECT_EQ(9, CollectAdapters(Scripted, text, sizeof(text)));
    EXPECT_STREQ("nic0[;]nic1[;]", text);
}

TEST(RegistryGate, OnlyMinorVersionZeroAfterNt4NeedsTheKey)
{
    struct Case { DWORD major, minor; bool needs; } cases[] = {
        {5, 0, true}, {6, 0, true}, {10, 0, true}, {5, 1, false}, {5, 2, false},
        {4, 0, false}, {4, 10, false}, {4, 90, false}, {3, 51, false}, {0, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.needs, NeedsTcpipKey(c.major, c.minor)) << c.major << "." << c.minor;
}

TEST(RegistryGate, TheKeyIsOpenedOnlyWhenTheVersionNeedsIt)
{
    // A scratch key stands in for the TCP/IP key, which this test must not remove.
    RegDeleteTreeA(HKEY_CURRENT_USER, GateScratchKey);
    EXPECT_FALSE(PassesRegistryGate(5, 0, HKEY_CURRENT_USER, GateScratchKey));
    EXPECT_TRUE(PassesRegistryGate(5, 1, HKEY_CURRENT_USER, GateScratchKey));
    EXPECT_TRUE(PassesRegistryGate(4, 0, HKEY_CURRENT_USER, GateScratchKey));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, GateScratchKey, &key));
    RegCloseKey(key);
    EXPECT_TRUE(PassesRegistryGate(5, 0, HKEY_CURRENT_USER, GateScratchKey));
    RegDeleteTreeA(HKEY_CURRENT_USER, GateScratchKey);
}

TEST_F(Inventory, TheNeededSizeComesBackWhenTheBufferIsNullOrShort)
{
    ServeIncluded(3);
    std::vector<unsigned char> buffer(4 * AdapterRecordSize, 0xAB);
    EXPECT_EQ(276, GetAdapterRecords(1, nullptr, 276, full.c_str()));
    EXPECT_EQ(276, GetAdapterRecords(1, nullptr, 0xFFFFFFFF, full.c_str()));
    EXPECT_EQ(276, GetAdapterRecords(1, buffer.data(), 275, full.c_str()));
    for (unsigned char byte : buffer) ASSERT_EQ(0xAB, byte);
    EXPECT_EQ(276, GetAdapterRecords(1, buffer.data(), 276, full.c_str()));
    AdapterRecord third;
    memcpy(&third, buffer.data() + 2 * AdapterRecordSize, sizeof(third));
    EXPECT_STREQ("nic 3", third.description);
    EXPECT_EQ(0xAB, buffer[276]);
    EXPECT_EQ(4, agentData.Inits());  // every call a complete inventory
}

TEST_F(Inventory, AgentsThatDoNotStartFailTheInventory)
{
    ServeIncluded(2);
    for (const char* variant : {"noinit", "refuse", "absent"})
        EXPECT_EQ(-1, GetAdapterRecords(1, nullptr, 0, AgentPath(variant).c_str())) << variant;
    EXPECT_EQ(0, GetAdapterRecords(1, nullptr, 0, AgentPath("noquery").c_str()));
}

TEST_F(Inventory, TablesTheHeapCannotHoldFailTheInventory)
{
    data.InterfaceCount(0xFFFFFFFFll);
    data.Interface(1, 6, MibData::Mac(1), "nic");
    ASSERT_TRUE(agentData.Serve(data));
    std::vector<unsigned char> buffer(AdapterRecordSize);
    EXPECT_EQ(-1, GetAdapterRecords(1, buffer.data(), AdapterRecordSize, full.c_str()));
}

TEST_F(Inventory, FewerPairedRecordsThanCountedReportTheBytesWritten)
{
    // Two included interfaces share index 1; the second row finds no interface of
    // its own, so one record is copied although the walk counted two.
    data.InterfaceCount(2);
    data.Interface(1, 6, MibData::Mac(1), "first");
    data.Number(MibData::Column(MibData::IfEntry, 1) + ".2", ASN_INTEGER, 1);
    data.String(MibData::Column(MibData::IfEntry, 2) + ".2", ASN_OCTETSTRING, "second");
    data.Number(MibData::Column(MibData::IfEntry, 3) + ".2", ASN_INTEGER, 6);
    data.String(MibData::Column(MibData::IfEntry, 6) + ".2", ASN_OCTETSTRING, MibData::Mac(2));
    data.Address(MibData::Bytes({10, 0, 0, 1}), 7, MibData::Bytes({255, 0, 0, 0}));
    ASSERT_TRUE(agentData.Serve(data));
    std::vector<unsigned char> buffer(2 * AdapterRecordSize, 0xAB);
    EXPECT_EQ(184, GetAdapterRecords(1, nullptr, 0, full.c_str()));
    EXPECT_EQ(92, GetAdapterRecords(1, buffer.data(), 184, full.c_str()));
    AdapterRecord first;
    memcpy(&first, buffer.data(), sizeof(first));
    EXPECT_STREQ("first", first.description);
    EXPECT_EQ(10, first.ipAddress[0]);
    EXPECT_EQ(0xAB, buffer[AdapterRecordSize]);
}

TEST(WineOwnAgent, TheCountAgreesWithTheRecordsCopied)
{
    // What holds on any machine. Under Wine the walk ends at its first query: the
    // loopback interface has no hardware address, and the next object after the bare
    // ifPhysAddress column is in the ip group.
    MibAgent agent;
    int start = agent.Start();
    if (start == 0) {
        int count = agent.WalkTables(IncludeDestFlag | IncludeEmptyFlag);
        const AdapterTables& tables = agent.Tables();
        EXPECT_LE(tables.walkedRows, tables.rowCount);
        EXPECT_GE(count, 0);
        EXPECT_LE(static_cast<uint32_t>(count), tables.walkedRows);
        RecordProperty("ifNumber", static_cast<int>(tables.rowCount));
        RecordProperty("walkedRows", static_cast<int>(tables.walkedRows));
    }
    const uint32_t room = 64;
    std::vector<unsigned char> buffer((room + 1) * AdapterRecordSize, 0xAB);
    int result = GetAdapterRecords(1, buffer.data(), room * AdapterRecordSize);
    ASSERT_GE(result, -1);
    EXPECT_EQ(0, result % static_cast<int>(AdapterRecordSize));
    ASSERT_LE(result, static_cast<int>(room * AdapterRecordSize));
    for (int at = 0; at < result; at += AdapterRecordSize) {
        AdapterRecord record;
        memcpy(&record, buffer.data() + at, sizeof(record));
        EXPECT_LE(record.physicalAddressLength, PhysicalAddressSize);
        EXPECT_EQ(0, record.description[DescriptionSize - 1]);
    }
    for (size_t at = result > 0 ? result : 0; at < buffer.size(); ++at) ASSERT_EQ(0xAB, buffer[at]);
}
