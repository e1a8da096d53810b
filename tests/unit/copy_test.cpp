// The copy's pairing of address rows with interfaces: chosen cases, and a comparison
// with the pairing done the plain way (a search over all rows for every row, quadratic
// and for unnamed interfaces cubic) on many generated tables.
#include "mib/agent.h"

#include <gtest/gtest.h>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Tables owned by the test, in the layout the walk leaves.
struct TestTables {
    std::vector<uint32_t> addressIndexes, interfaceIndexes;
    std::vector<uint8_t> known;
    std::vector<AdapterRecord> records;
    AdapterTables view;

    explicit TestTables(uint32_t rows, uint32_t walked)
        : addressIndexes(rows), interfaceIndexes(rows), known(rows), records(rows)
    {
        memset(records.data(), 0, rows * sizeof(AdapterRecord));
        view.rowCount = rows;
        view.walkedRows = walked;
        view.addressInterfaceIndexes = addressIndexes.data();
        view.interfaceIndexes = interfaceIndexes.data();
        view.indexKnown = known.data();
        view.records = records.data();
    }

    void Row(uint32_t row, uint32_t interfaceIndex, uint32_t addressIndex, uint8_t physical,
             uint8_t address, const char* description)
    {
        interfaceIndexes[row] = interfaceIndex;
        addressIndexes[row] = addressIndex;
        known[row] = AddressIndexKnown | InterfaceIndexKnown;
        AdapterRecord& record = records[row];
        record.type = static_cast<int32_t>(100 + row);
        record.physicalAddressLength = physical ? 6 : 0;
        memset(record.physicalAddress, physical, record.physicalAddressLength);
        memset(record.ipAddress, address, 4);
        memset(record.subnetMask, address ? 255 : 0, 4);
        strncpy(record.description, description, sizeof(record.description) - 1);
    }
};

struct Copied {
    int written;
    std::vector<AdapterRecord> records;
};

Copied Pair(TestTables& tables, uint32_t maxRecords)
{
    std::vector<unsigned char> buffer((maxRecords + 1) * AdapterRecordSize, 0xAB);
    Copied copied;
    copied.written = PairAdapters(tables.view, buffer.data(), maxRecords);
    for (int i = 0; i < copied.written; ++i) {
        AdapterRecord record;
        memcpy(&record, buffer.data() + i * AdapterRecordSize, sizeof(record));
        copied.records.push_back(record);
    }
    for (size_t at = (copied.written > 0 ? copied.written : 0) * AdapterRecordSize; at < buffer.size(); ++at)
        EXPECT_EQ(0xAB, buffer[at]) << "written past the records at " << at;
    return copied;
}

// The pairing as first described, one search over every row for every row, with the
// same rules for rows that find no interface, interfaces taken already, physical
// addresses listed already and the record limit.
int PairThePlainWay(AdapterTables& t, unsigned char* buffer, uint32_t maxRecords)
{
    auto knownAddress = [&](uint32_t row) { return row < t.walkedRows && (t.indexKnown[row] & AddressIndexKnown); };
    auto knownInterface = [&](uint32_t row) { return row < t.walkedRows && (t.indexKnown[row] & InterfaceIndexKnown); };
    std::vector<bool> assigned(t.rowCount, false);  // rows given an interface in step 3
    std::vector<bool> taken(t.rowCount, false);     // interface rows a row has taken
    std::vector<AdapterRecord> listed;
    AdapterRecord working = {};
    uint32_t written = 0;
    for (uint32_t i = 0; i < t.rowCount; ++i) {
        memcpy(working.ipAddress, t.records[i].ipAddress, 4);
        memcpy(working.subnetMask, t.records[i].subnetMask, 4);
        long found = -1;
        if (knownAddress(i)) {
            for (uint32_t j = 0; j < t.rowCount && found < 0; ++j)
                if (knownInterface(j) && t.interfaceIndexes[j] == t.addressInterfaceIndexes[i]) found = j;
            if (found >= 0 && taken[found]) found = -1;
        }
        if (found < 0) {
            for (uint32_t k = 0; k < t.rowCount && found < 0; ++k) {
                if (!knownInterface(k)) continue;
                bool named = false;
                for (uint32_t m = 0; m < t.rowCount && !named; ++m)
                    named = (knownAddress(m) || assigned[m]) && t.addressInterfaceIndexes[m] == t.interfaceIndexes[k];
                if (!named) {
                    t.addressInterfaceIndexes[i] = t.interfaceIndexes[k];
                    assigned[i] = true;
                    found = k;
                }
            }
        }
        if (found < 0) continue;
        taken[found] = true;
        const AdapterRecord& chosen = t.records[found];
        working.type = chosen.type;
        memcpy(working.description, chosen.description, sizeof(working.description));
        working.physicalAddressLength = chosen.physicalAddressLength;
        memcpy(working.physicalAddress, chosen.physicalAddress, sizeof(working.physicalAddress));
        bool layer = false;
        for (const AdapterRecord& other : listed)
            layer = layer || (working.physicalAddressLength > 0 &&
                              other.physicalAddressLength == working.physicalAddressLength &&
                              memcmp(other.physicalAddress, working.physicalAddress, PhysicalAddressSize) == 0);
        if (written < maxRecords && !layer &&
            PassesInclusionRule(working.physicalAddress, working.physicalAddressLength,
                                t.includeDest != 0, t.includeEmpty != 0)) {
            memcpy(buffer + written * AdapterRecordSize, &working, AdapterRecordSize);
            listed.push_back(working);
            ++written;
        }
    }
    return static_cast<int>(written);
}

}  // namespace

TEST(PairAdapters, AnAddressRowTakesTheInterfaceItNames)
{
    TestTables tables(2, 2);
    tables.Row(0, 1, 2, 0x11, 10, "first");
    tables.Row(1, 2, 1, 0x22, 20, "second");
    Copied copied = Pair(tables, 2);
    ASSERT_EQ(2, copied.written);
    EXPECT_STREQ("second", copied.records[0].description);
    EXPECT_EQ(101, copied.records[0].type);
    EXPECT_EQ(0x22, copied.records[0].physicalAddress[0]);
    EXPECT_EQ(10, copied.records[0].ipAddress[0]);
    EXPECT_STREQ("first", copied.records[1].description);
    EXPECT_EQ(20, copied.records[1].ipAddress[0]);
}

TEST(PairAdapters, AnUnnamedInterfaceTakesTheRowThatNamesNone)
{
    // Interfaces 1 and 2, one address row naming 2; the second walked row's address
    // index came from past the address table and names nothing.
    TestTables tables(2, 2);
    tables.Row(0, 1, 2, 0x11, 10, "first");
    tables.Row(1, 2, 0x00FFFFFF, 0x22, 0, "second");
    Copied copied = Pair(tables, 2);
    ASSERT_EQ(2, copied.written);
    EXPECT_STREQ("second", copied.records[0].description);
    EXPECT_EQ(10, copied.records[0].ipAddress[0]);
    EXPECT_STREQ("first", copied.records[1].description);
    EXPECT_EQ(0, copied.records[1].ipAddress[0]);
    EXPECT_EQ(0, copied.records[1].subnetMask[0]);
    EXPECT_EQ(1u, tables.addressIndexes[1]);
}

TEST(PairAdapters, ARowThatFindsNoInterfaceIsLeftOut)
{
    // Two interfaces share index 1, so the second row can find none: it is not
    // emitted with the fields of the row before it.
    TestTables tables(2, 2);
    tables.Row(0, 1, 1, 0x11, 10, "first");
    tables.Row(1, 1, 9, 0x22, 20, "second");
    Copied copied = Pair(tables, 2);
    ASSERT_EQ(1, copied.written);
    EXPECT_STREQ("first", copied.records[0].description);
}

TEST(PairAdapters, NeverMoreRecordsThanTheLimit)
{
    TestTables tables(2, 2);
    tables.Row(0, 1, 1, 0x11, 10, "first");
    tables.Row(1, 2, 2, 0x22, 20, "second");
    Copied copied = Pair(tables, 1);
    ASSERT_EQ(1, copied.written);
    EXPECT_EQ(10, copied.records[0].ipAddress[0]);
    EXPECT_EQ(0, Pair(tables, 0).written);
}

TEST(PairAdapters, EveryInterfaceHasOnePlaceAndRowsPastTheWalkNone)
{
    // The second row names the interface the first took: it takes the one no row
    // names, and the rows past the walk find none left.
    TestTables tables(5, 2);
    tables.Row(0, 7, 8, 0x11, 10, "seven");
    tables.Row(1, 8, 8, 0x22, 20, "eight");
    Copied copied = Pair(tables, 5);
    ASSERT_EQ(2, copied.written);
    EXPECT_STREQ("eight", copied.records[0].description);
    EXPECT_EQ(10, copied.records[0].ipAddress[0]);
    EXPECT_STREQ("seven", copied.records[1].description);
    EXPECT_EQ(20, copied.records[1].ipAddress[0]);
}

TEST(PairAdapters, SamePhysicalAddressIsTheSameLengthAndBytes)
{
    const std::string Mac("\x00\x50\x56\x8A\x10\x01", 6), wide(13, '\x02');
    struct Case { std::string a, b; bool same; } cases[] = {
        {Mac, Mac, true},
        {Mac, Mac.substr(0, 5) + "\x02", false},  // two ports of one card
        {wide + "\x01", wide + "\x02", false},
        {Mac, Mac + std::string(2, '\0'), false},  // the same bytes, another length
    };
    for (const Case& c : cases) {
        AdapterRecord a = {}, b = {};
        a.physicalAddressLength = static_cast<uint8_t>(c.a.size());
        memcpy(a.physicalAddress, c.a.data(), c.a.size());
        b.physicalAddressLength = static_cast<uint8_t>(c.b.size());
        memcpy(b.physicalAddress, c.b.data(), c.b.size());
        EXPECT_EQ(c.same, SamePhysicalAddress(a, b)) << c.a.size() << " and " << c.b.size() << " bytes";
    }
}

TEST(PairAdapters, AgreesWithThePlainPairingOnGeneratedTables)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        uint32_t rows = random() % 24;
        uint32_t walked = rows == 0 ? 0 : random() % (rows + 1);
        uint32_t spread = 1 + random() % 12;  // small spreads repeat indexes
        TestTables tables(rows, walked);
        tables.view.includeDest = random() % 2;
        tables.view.includeEmpty = random() % 2;
        for (uint32_t row = 0; row < walked; ++row) {
            static const uint8_t physicalKinds[] = {0, 0x11, 0x12, 0x13, 0x44, 0};
            uint8_t physical = physicalKinds[random() % 6];
            uint32_t interfaceIndex = random() % spread;
            uint32_t addressIndex = random() % (spread + 3);
            uint8_t address = static_cast<uint8_t>(random() % 3);
            tables.Row(row, interfaceIndex, addressIndex, physical, address,
                       ("row " + std::to_string(row)).c_str());
            if (physical == 0x44) memcpy(tables.records[row].physicalAddress, "DEST", 4);
            if (physical && random() % 4 == 0) tables.records[row].physicalAddressLength = 8;
            if (random() % 3 == 0) tables.known[row] = static_cast<uint8_t>(random() % 3);
        }
        TestTables plain = tables;
        plain.view.addressInterfaceIndexes = plain.addressIndexes.data();
        plain.view.interfaceIndexes = plain.interfaceIndexes.data();
        plain.view.indexKnown = plain.known.data();
        plain.view.records = plain.records.data();
        uint32_t limit = random() % (rows + 2);

        std::vector<unsigned char> fast((limit + 1) * AdapterRecordSize, 0xAB);
        std::vector<unsigned char> slow((limit + 1) * AdapterRecordSize, 0xAB);
        int fastWritten = PairAdapters(tables.view, fast.data(), limit);
        int slowWritten = PairThePlainWay(plain.view, slow.data(), limit);
        ASSERT_EQ(slowWritten, fastWritten) << "round " << round;
        ASSERT_EQ(slow, fast) << "round " << round;
        for (uint32_t row = 0; row < walked; ++row)
            ASSERT_EQ(plain.addressIndexes[row], tables.addressIndexes[row]) << "round " << round;
    }
}
