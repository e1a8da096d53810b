// The table walk: the identifier helpers, the inclusion rule and index values as
// tables of cases, and walks over chosen MIB data served by the stand-in agent,
// hostile answers included.
#include "mib/agent.h"
#include "support/agent_data.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

const uint8_t ZeroBytes[14] = {};

std::string RecordText(const AdapterRecord& record)
{
    return std::string(record.description);
}

// Walks data with the full stand-in and hands the agent to check. The address columns
// walk in lock step with the interface columns, so data with few address rows needs
// objects behind the address table (MibData::Tail), as a real MIB has them.
class Walk : public ::testing::Test {
protected:
    ScopedAgentData agentData;
    MibData data;

    // Starts an agent over data and walks it with flags.
    int WalkWith(MibAgent& agent, uint32_t flags)
    {
        EXPECT_TRUE(agentData.Serve(data));
        EXPECT_EQ(0, agent.Start());
        return agent.WalkTables(flags);
    }
};

}  // namespace

TEST(Oid, CopyAndFreeUseGlobalMemory)
{
    UINT ids[] = {1, 3, 6, 1, 2, 1, 2, 1};
    AsnObjectIdentifier source = {8, ids};
    AsnObjectIdentifier copy = {0, nullptr};
    ASSERT_EQ(1, CopyOid(&copy, &source));
    ASSERT_EQ(8u, copy.idLength);
    EXPECT_NE(ids, copy.ids);
    EXPECT_EQ(0, memcmp(ids, copy.ids, sizeof(ids)));
    EXPECT_EQ(sizeof(ids), GlobalSize(copy.ids));
    FreeOid(&copy);
    EXPECT_EQ(nullptr, copy.ids);
    EXPECT_EQ(0u, copy.idLength);
}

TEST(Oid, ComparePrefixAnswersTheFirstDifference)
{
    UINT ifType[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 3};
    UINT group[] = {1, 3, 6, 1, 2, 1, 2};
    UINT row[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 3, 7};
    UINT next[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 6, 1};
    UINT high[] = {0xFFFFFFFF};
    UINT low[] = {1};
    AsnObjectIdentifier column = {10, ifType};
    struct Case { AsnObjectIdentifier a, b; uint32_t n; int32_t expected; } cases[] = {
        {{7, group}, column, 10, 0},        // shorter and agreeing counts as equal
        {{11, row}, column, 10, 0},
        {{11, next}, column, 10, 3},
        {column, {11, next}, 10, -3},
        {{11, next}, column, 9, 0},
        {{11, next}, column, 0, 0},
        {{1, high}, {1, low}, 1, -2},       // 0xFFFFFFFF - 1 wraps to a negative
        {{5, nullptr}, column, 10, 0},      // a null array counts as empty
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, CompareOidPrefix(&c.a, &c.b, c.n));
}

// A name the walk reads as a row of a column: the column's identifier and more.
TEST(Oid, ANameLiesInAColumnOnlyWithARowPart)
{
    UINT ids[] = {1, 3, 6, 1, 2, 1, 4, 20, 1, 2, 192, 0, 2, 7};
    const AsnObjectIdentifier column = {10, ids};
    struct Case { const char* what; AsnObjectIdentifier name; bool inColumn; } cases[] = {
        {"a row of the column", {14, ids}, true},
        {"the column's own identifier", {10, ids}, false},
        {"a name cut short", {8, ids}, false},
        {"no sub-identifiers", {0, ids}, false},
        {"no array", {14, nullptr}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.inColumn, NameInColumn(c.name, column)) << c.what;
    UINT next[] = {1, 3, 6, 1, 2, 1, 4, 20, 1, 3, 192, 0, 2, 7};
    EXPECT_FALSE(NameInColumn({14, next}, column)) << "the next column";
}

TEST(Oid, FreeVarBindReleasesOnlyWhatIsDynamic)
{
    UINT ids[] = {1, 3, 6};
    AsnObjectIdentifier source = {3, ids};
    BYTE fixed[] = {1, 2, 3};
    SnmpVarBind varBind = {};
    ASSERT_EQ(1, CopyOid(&varBind.name, &source));
    varBind.value.asnType = ASN_OCTETSTRING;
    varBind.value.asnValue.string = {fixed, 3, FALSE};
    FreeVarBind(&varBind);
    EXPECT_EQ(nullptr, varBind.name.ids);
    EXPECT_EQ(ASN_NULL, varBind.value.asnType);
    EXPECT_EQ(fixed, varBind.value.asnValue.string.stream);  // left as it was

    ASSERT_EQ(1, CopyOid(&varBind.name, &source));
    varBind.value.asnType = ASN_OBJECTIDENTIFIER;
    ASSERT_EQ(1, CopyOid(&varBind.value.asnValue.object, &source));
    FreeVarBind(&varBind);
    EXPECT_EQ(nullptr, varBind.value.asnValue.object.ids);
    EXPECT_EQ(ASN_NULL, varBind.value.asnType);
}

TEST(InclusionRule, FlagsDecideOnlyForDestAndEmptyAddresses)
{
    const uint8_t dest[] = {0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
    const uint8_t zeros[] = {0, 0, 0, 0, 0, 0, 0x7F};
    const uint8_t mac[] = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
    const uint8_t des[] = {0x44, 0x45, 0x53};
    const uint8_t lateByte[] = {0, 0, 0, 0, 0, 1};
    // NDISWAN's miniports since Vista: "WAN Miniport (IP)" and its kind, " RAS" behind two
    // bytes of the machine's own, and the RAS Async Adapter.
    const uint8_t wanMiniport[] = {0x88, 0xE2, 0x20, 0x52, 0x41, 0x53};
    const uint8_t rasAsync[] = {0x20, 0x41, 0x53, 0x59, 0x4E, 0xFF};
    const uint8_t rasLonger[] = {0x88, 0xE2, 0x20, 0x52, 0x41, 0x53, 0x00, 0x01};
    const uint8_t rasElsewhere[] = {0x20, 0x52, 0x41, 0x53, 0x88, 0xE2};
    const uint8_t rasLastDiffers[] = {0x88, 0xE2, 0x20, 0x52, 0x41, 0x54};
    const uint8_t asyncOtherLast[] = {0x20, 0x41, 0x53, 0x59, 0x4E, 0xFE};
    struct Case { const uint8_t* bytes; size_t length; bool plain, withDest, withEmpty; } cases[] = {
        {mac, 0, false, false, true},
        {dest, 6, false, true, false},
        {dest, 4, false, true, false},
        {des, 3, true, true, true},       // "DES" and nothing: not DEST, not all zero
        {zeros, 7, false, false, false},  // six zero bytes fail whatever follows
        {zeros, 2, false, false, false},  // a short all-zero address fails too
        {lateByte, 6, true, true, true},
        {mac, 6, true, true, true},
        {wanMiniport, 6, false, true, false},
        {rasAsync, 6, false, true, false},
        {rasLonger, 8, true, true, true},      // " RAS" in an address of another length
        {rasElsewhere, 6, true, true, true},   // " RAS" at another place
        {rasLastDiffers, 6, true, true, true},
        {asyncOtherLast, 6, true, true, true},
        {rasAsync, 5, true, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.plain, PassesInclusionRule(c.bytes, c.length, false, false)) << c.length;
        EXPECT_EQ(c.withDest, PassesInclusionRule(c.bytes, c.length, true, false)) << c.length;
        EXPECT_EQ(c.withEmpty, PassesInclusionRule(c.bytes, c.length, false, true)) << c.length;
    }
}

TEST(IndexValue, IntegersAndFourByteStringsOnly)
{
    BYTE four[] = {1, 0, 0, 0};
    BYTE three[] = {1, 0, 0};
    struct Case { BYTE type; AsnOctetString string; AsnInteger32 number; bool known; uint32_t value; } cases[] = {
        {ASN_INTEGER, {}, 7, true, 7},
        {ASN_INTEGER, {}, -1, true, 0xFFFFFFFF},
        {ASN_GAUGE32, {}, 7, false, 0},
        {ASN_IPADDRESS, {four, 4, FALSE}, 0, true, 1},
        {ASN_OCTETSTRING, {three, 3, FALSE}, 0, false, 0},
        {ASN_OCTETSTRING, {nullptr, 4, FALSE}, 0, false, 0},
        {ASN_NULL, {}, 0, false, 0},
    };
    for (const Case& c : cases) {
        AsnAny value = {};
        value.asnType = c.type;
        if (c.type == ASN_INTEGER)
            value.asnValue.number = c.number;
        else
            value.asnValue.string = c.string;
        uint32_t index = 0xDEADBEEF;
        EXPECT_EQ(c.known, IndexValueOf(value, &index)) << int(c.type);
        if (c.known) {
            EXPECT_EQ(c.value, index) << int(c.type);
        }
    }
}

TEST_F(Walk, IfNumberZeroMakesNoTablesAndStoresNoFlags)
{
    data.InterfaceCount(0);
    data.Interface(1, 6, MibData::Mac(1), "nic");
    MibAgent agent(AgentPath("full").c_str());
    EXPECT_EQ(0, WalkWith(agent, IncludeDestFlag | IncludeEmptyFlag));
    EXPECT_EQ(0u, agent.Tables().rowCount);
    EXPECT_EQ(nullptr, agent.Tables().records);
    EXPECT_EQ(0, agent.Tables().includeDest);
}

TEST_F(Walk, AnIfNumberThatIsNoNumberOrMissingAnnouncesNoRows)
{
    data.String(MibData::IfNumber, ASN_OCTETSTRING, "12345678");
    MibAgent stringAgent(AgentPath("full").c_str());
    EXPECT_EQ(0, WalkWith(stringAgent, 0));
    EXPECT_EQ(0u, stringAgent.Tables().rowCount);

    data = MibData();  // nothing to answer: the query fails
    MibAgent emptyAgent(AgentPath("full").c_str());
    EXPECT_EQ(0, WalkWith(emptyAgent, 0));
    EXPECT_EQ(0u, emptyAgent.Tables().rowCount);
}

TEST_F(Walk, AnIfNumberTheHeapCannotHoldFailsTheWalk)
{
    for (long long count : {0xFFFFFFFFll, -1ll, static_cast<long long>(MaxTableRows) + 1}) {
        data = MibData();
        data.InterfaceCount(count);
        data.Interface(1, 6, MibData::Mac(1), "nic");
        MibAgent agent(AgentPath("full").c_str());
        EXPECT_EQ(-1, WalkWith(agent, 0)) << count;
        EXPECT_EQ(0u, agent.Tables().rowCount) << count;
    }
}

TEST_F(Walk, EveryRowGetsItsRecordButOnlyIncludedRowsCount)
{
    data.InterfaceCount(2);
    data.Interface(1, 24, MibData::Bytes({0, 0, 0, 0, 0, 0}), "loopback");
    data.Interface(2, 6, MibData::Bytes({0x02, 0x11, 0x22, 0x33, 0x44, 0x55}), "ethernet");
    data.Tail(8);
    MibAgent agent(AgentPath("full").c_str());
    EXPECT_EQ(1, WalkWith(agent, 0));
    const AdapterTables& tables = agent.Tables();
    ASSERT_EQ(2u, tables.walkedRows);
    EXPECT_EQ(24, tables.records[0].type);
    EXPECT_EQ("loopback", RecordText(tables.records[0]));
    EXPECT_EQ(6, tables.records[1].type);
    EXPECT_EQ(6, tables.records[1].physicalAddressLength);
    EXPECT_EQ(0x55, tables.records[1].physicalAddress[5]);
    EXPECT_EQ(0, memcmp(tables.records[1].physicalAddress + 6, ZeroBytes, 8));
    EXPECT_EQ("ethernet", RecordText(tables.records[1]));
    EXPECT_EQ(1u, tables.interfaceIndexes[0]);
    EXPECT_EQ(2u, tables.interfaceIndexes[1]);
}

TEST_F(Walk, DestAndEmptyAddressesCountOnlyWithTheirFlags)
{
    data.InterfaceCount(4);
    data.Interface(1, 6, MibData::Bytes({0, 0, 0, 0, 0, 0}), "zero");
    data.Interface(2, 6, MibData::Bytes({0x44, 0x45, 0x53, 0x54, 0, 0}), "dest");
    data.Interface(3, 6, "", "empty");
    data.Interface(4, 6, MibData::Mac(4), "plain");
    data.Tail(8);
    struct Case { uint32_t flags; int count; } cases[] = {
        {0, 1}, {1, 1}, {IncludeDestFlag, 2}, {IncludeEmptyFlag, 2},
        {IncludeDestFlag | IncludeEmptyFlag, 3}, {0xFFFFFFF9, 1},
    };
    for (const Case& c : cases) {
        MibAgent agent(AgentPath("full").c_str());
        EXPECT_EQ(c.count, WalkWith(agent, c.flags)) << c.flags;
    }
}

TEST_F(Walk, DescriptionsKeepAtMost63BytesAndTheirZero)
{
    std::string exact(63, 'a');
    std::string longer = std::string(63, 'b') + std::string(17, 'c');
    data.InterfaceCount(2);
    data.Interface(1, 6, MibData::Mac(1), exact);
    data.Interface(2, 6, MibData::Mac(2), longer);
    data.Tail(8);
    MibAgent agent(AgentPath("full").c_str());
    EXPECT_EQ(2, WalkWith(agent, 0));
    EXPECT_EQ(exact, RecordText(agent.Tables().records[0]));
    EXPECT_EQ(std::string(63, 'b'), RecordText(agent.Tables().records[1]));
    EXPECT_EQ(0, agent.Tables().records[1].description[63]);
}

TEST_F(Walk, AShortAddressTableLeavesLaterRowsWithoutAddresses)
{
    data.InterfaceCount(3);
    for (uint32_t i = 1; i <= 3; ++i) data.Interface(i, 6, MibData::Mac(i), "nic");
    data.Address(MibData::Bytes({192, 0, 2, 7}), 1, MibData::Bytes({255, 255, 255, 0}));
    data.Tail(8);
    MibAgent agent(AgentPath("full").c_str());
    EXPECT_EQ(3, WalkWith(agent, 0));
    const AdapterTables& tables = agent.Tables();
    ASSERT_EQ(3u, tables.walkedRows);
    const uint8_t address[] = {192, 0, 2, 7}, mask[] = {255, 255, 255, 0};
    EXPECT_EQ(0, memcmp(address, tables.records[0].ipAddress, 4));
    EXPECT_EQ(0, memcmp(mask, tables.records[0].subnetMask, 4));
    // Past the address table the index column's varbind reads the mask and the
    // broadcast flag (1, the first interface's index): those rows name no interface.
    for (int row = 1; row < 3; ++row) {
        EXPECT_EQ(0, memcmp(ZeroBytes, tables.records[row].ipAddress, 4)) << row;
        EXPECT_EQ(0, memcmp(ZeroBytes, tables.records[row].subnetMask, 4)) << row;
        EXPECT_EQ(0, tables.indexKnown[row] & AddressIndexKnown) << row;
    }
    EXPECT_EQ(1u, tables.addressInterfaceIndexes[0]);
}

TEST_F(Walk, ALongPhysicalAddressKeepsItsFirst14Bytes)
{
    std::string physical;
    for (int i = 1; i <= 20; ++i) physical += static_cast<char>(i);
    data.InterfaceCount(1);
    data.Interface(1, 6, physical, "wide");
    data.Tail(8);
    MibAgent agent(AgentPath("full").c_str());
    EXPECT_EQ(1, WalkWith(agent, 0));
    const AdapterRecord& record = agent.Tables().records[0];
    EXPECT_EQ(14, record.physicalAddressLength);
    EXPECT_EQ(14, record.physicalAddress[13]);
    EXPECT_EQ(0, memcmp(ZeroBytes, record.ipAddress, 4));
    EXPECT_EQ("wide", RecordText(record));
}

TEST_F(Walk, TheWalkStoresTheLesserOfIfNumberAndTheInterfaceRows)
{
    // Rows the walk never reached hold zero records and no known index.
    struct Case { long long announced; uint32_t present, walked; } cases[] = {{2, 4, 2}, {5, 2, 2}};
    for (const Case& c : cases) {
        data = MibData();
        data.InterfaceCount(c.announced);
        for (uint32_t i = 1; i <= c.present; ++i) data.Interface(i, 6, MibData::Mac(i), "nic");
        data.Tail(8);
        MibAgent agent(AgentPath("full").c_str());
        EXPECT_EQ(static_cast<int>(c.walked), WalkWith(agent, 0)) << c.announced;
        const AdapterTables& tables = agent.Tables();
        EXPECT_EQ(c.announced, tables.rowCount);
        EXPECT_EQ(c.walked, tables.walkedRows);
        for (uint32_t row = c.walked; row < tables.rowCount; ++row) {
            EXPECT_EQ(0, tables.indexKnown[row]) << row;
            EXPECT_EQ(0, tables.records[row].type) << row;
            EXPECT_EQ(0, tables.records[row].description[0]) << row;
        }
    }
}

TEST_F(Walk, IndexesOfOtherKindsAreMarkedUnknown)
{
    data.InterfaceCount(4);
    std::string row[] = {".1", ".2", ".3", ".4"};
    for (int i = 0; i < 4; ++i) {
        data.String(MibData::Column(MibData::IfEntry, 2) + row[i], ASN_OCTETSTRING, "nic");
        data.Number(MibData::Column(MibData::IfEntry, 3) + row[i], ASN_INTEGER, 6);
        data.String(MibData::Column(MibData::IfEntry, 6) + row[i], ASN_OCTETSTRING, MibData::Mac(i + 1));
    }
    std::string index = MibData::Column(MibData::IfEntry, 1);
    data.Number(index + row[0], ASN_GAUGE32, 1);
    data.String(index + row[1], ASN_OCTETSTRING, MibData::Bytes({2, 0}));
    data.String(index + row[2], ASN_OCTETSTRING, MibData::Bytes({3, 0, 0, 0}));
    data.Null(index + row[3]);
    data.Tail(8);
    MibAgent agent(AgentPath("full").c_str());
    EXPECT_EQ(4, WalkWith(agent, 0));
    const AdapterTables& tables = agent.Tables();
    const uint8_t expectedKnown[] = {0, 0, InterfaceIndexKnown, 0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(expectedKnown[i], tables.indexKnown[i] & InterfaceIndexKnown) << i;
    EXPECT_EQ(3u, tables.interfaceIndexes[2]);
}

TEST_F(Walk, StringsWithoutAStreamAreReadAsEmpty)
{
    std::string descr = MibData::Column(MibData::IfEntry, 2);
    std::string physical = MibData::Column(MibData::IfEntry, 6);
    data.InterfaceCount(2);
    for (uint32_t i = 1; i <= 2; ++i) {
        data.Number(MibData::Column(MibData::IfEntry, 1) + "." + std::to_string(i), ASN_INTEGER, i);
        data.Number(MibData::Column(MibData::IfEntry, 3) + "." + std::to_string(i), ASN_INTEGER, 6);
    }
    data.String(descr + ".1", ASN_OCTETSTRING, "first");
    data.NoStream(descr + ".2", ASN_OCTETSTRING, 40);
    data.NoStream(physical + ".1", ASN_OCTETSTRING, 6);
    data.String(physical + ".2", ASN_OCTETSTRING, MibData::Mac(2));
    data.Tail(8);
    MibAgent agent(AgentPath("full").c_str());
    EXPECT_EQ(2, WalkWith(agent, IncludeEmptyFlag));
    const AdapterTables& tables = agent.Tables();
    EXPECT_EQ(0, tables.records[0].physicalAddressLength);
    EXPECT_EQ("first", RecordText(tables.records[0]));
    EXPECT_EQ(6, tables.records[1].physicalAddressLength);
    EXPECT_EQ("", RecordText(tables.records[1]));
}
