// The copy: pairs each address row of the walk with the interface it names and copies
// the included records out. The walk read both tables in lock step, so address row i
// sits beside interface row i; the pairing repairs that by interface index. An address
// row naming no interface takes the first interface that no address row names.
//
// Both searches go through one hash table of interface indexes, built once: the first
// interface row of every index, and whether some address row names it. An index only
// ever becomes named, never unnamed again (a row that takes an interface named none
// before), so the search for an unnamed interface resumes where it last stopped and the
// whole copy runs in time linear in the rows.
#include "mib/agent.h"
#include "base/memory.h"

#include <cstring>

namespace {

struct IndexSlot {
    uint32_t value;
    uint32_t firstRow;
    uint8_t present;
    uint8_t named;  // some address row names this index
};

// Open addressing with linear probing, at most half full.
class IndexTable {
public:
    ~IndexTable() { FreeMemory(slots); }

    bool Allocate(uint32_t entries)
    {
        uint32_t capacity = 2;
        while (capacity < entries * 2u) capacity *= 2;
        slots = static_cast<IndexSlot*>(AllocateZeroed(capacity, sizeof(IndexSlot)));
        mask = capacity - 1;
        return slots != nullptr;
    }

    // Adds value at row unless an earlier row holds it already.
    void Insert(uint32_t value, uint32_t row)
    {
        IndexSlot& slot = Probe(value);
        if (slot.present) return;
        slot.value = value;
        slot.firstRow = row;
        slot.present = 1;
    }

    IndexSlot* Find(uint32_t value)
    {
        IndexSlot& slot = Probe(value);
        return slot.present ? &slot : nullptr;
    }

private:
    static uint32_t Mix(uint32_t value)
    {
        value ^= value >> 16;
        value *= 0x85EBCA6Bu;
        value ^= value >> 13;
        value *= 0xC2B2AE35u;
        value ^= value >> 16;
        return value;
    }

    IndexSlot& Probe(uint32_t value)
    {
        uint32_t at = Mix(value) & mask;
        while (slots[at].present && slots[at].value != value) at = (at + 1) & mask;
        return slots[at];
    }

    IndexSlot* slots = nullptr;
    uint32_t mask = 0;
};

bool HasKnown(const AdapterTables& tables, uint32_t row, uint8_t bit)
{
    return row < tables.walkedRows && (tables.indexKnown[row] & bit) != 0;
}

// The interface fields of the working record, the physical address whole: past its
// length it is zero in every walked record.
void TakeInterfaceFields(AdapterRecord& working, const AdapterRecord& interfaceRecord)
{
    working.type = interfaceRecord.type;
    memcpy(working.description, interfaceRecord.description, sizeof(working.description));
    working.physicalAddressLength = interfaceRecord.physicalAddressLength;
    memcpy(working.physicalAddress, interfaceRecord.physicalAddress,
           sizeof(working.physicalAddress));
}

}  // namespace

int PairAdapters(AdapterTables& tables, unsigned char* buffer, uint32_t maxRecords)
{
    IndexTable interfaces;
    if (!interfaces.Allocate(tables.walkedRows)) return -1;
    for (uint32_t row = 0; row < tables.walkedRows; ++row) {
        if (HasKnown(tables, row, InterfaceIndexKnown))
            interfaces.Insert(tables.interfaceIndexes[row], row);
    }
    for (uint32_t row = 0; row < tables.walkedRows; ++row) {
        if (!HasKnown(tables, row, AddressIndexKnown)) continue;
        IndexSlot* slot = interfaces.Find(tables.addressInterfaceIndexes[row]);
        if (slot) slot->named = 1;
    }

    AdapterRecord working = {};
    uint32_t written = 0;
    uint32_t unnamedFrom = 0;  // no interface row before it is still unnamed
    for (uint32_t row = 0; row < tables.rowCount; ++row) {
        memcpy(working.ipAddress, tables.records[row].ipAddress, sizeof(working.ipAddress));
        memcpy(working.subnetMask, tables.records[row].subnetMask, sizeof(working.subnetMask));

        IndexSlot* slot = nullptr;
        if (HasKnown(tables, row, AddressIndexKnown))
            slot = interfaces.Find(tables.addressInterfaceIndexes[row]);
        if (!slot) {
            while (unnamedFrom < tables.walkedRows &&
                   !(HasKnown(tables, unnamedFrom, InterfaceIndexKnown) &&
                     !interfaces.Find(tables.interfaceIndexes[unnamedFrom])->named))
                ++unnamedFrom;
            // Rows past the walk differ in nothing: once no interface is left, no
            // later row finds one.
            if (unnamedFrom == tables.walkedRows) {
                if (row >= tables.walkedRows) break;
                continue;  // finds no interface: nothing of another row is emitted
            }
            slot = interfaces.Find(tables.interfaceIndexes[unnamedFrom]);
            slot->named = 1;
            tables.addressInterfaceIndexes[row] = slot->value;
            tables.indexKnown[row] |= AddressIndexKnown;
        }
        TakeInterfaceFields(working, tables.records[slot->firstRow]);
        if (written < maxRecords &&
            PassesInclusionRule(working.physicalAddress, working.physicalAddressLength,
                                tables.includeDest != 0, tables.includeEmpty != 0)) {
            memcpy(buffer + static_cast<size_t>(written) * AdapterRecordSize, &working,
                   AdapterRecordSize);
            ++written;
        }
    }
    return static_cast<int>(written);
}

int MibAgent::CopyAdapters(unsigned char* buffer)
{
    return PairAdapters(tables, buffer, includedCount > 0 ? static_cast<uint32_t>(includedCount) : 0);
}
