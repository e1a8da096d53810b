// The copy: pairs each address row of the walk with the interface it names and copies
// the included records out. The walk read both tables in lock step, so address row i
// sits beside interface row i; the pairing repairs that by interface index. An address
// row naming no interface, or one that an earlier row already took (an adapter's second
// address), takes the first interface that no address row names, so that an adapter
// without an address (a disconnected one) still gets its place.
//
// Since Windows Vista the interface table has a row for every filter layer bound to an
// adapter ("...-QoS Packet Scheduler-0000"), each with the adapter's own physical
// address. A record whose physical address was listed already is such a layer: only
// the first record of each address is listed. An empty address is no adapter's.
//
// The searches go through hash tables built once: the interface indexes (the first
// interface row of every index, whether some address row names it, whether a row took
// it), and the physical addresses listed. An index only ever becomes named, never
// unnamed again (a row that takes an interface named none before), so the search for an
// unnamed interface resumes where it last stopped and the whole copy runs in time
// linear in the rows.
#include "mib/agent.h"
#include "base/memory.h"

#include <cstring>

namespace {

uint32_t Mix(uint32_t value)
{
    value ^= value >> 16;
    value *= 0x85EBCA6Bu;
    value ^= value >> 13;
    value *= 0xC2B2AE35u;
    value ^= value >> 16;
    return value;
}

struct IndexSlot {
    uint32_t value;
    uint32_t firstRow;
    uint8_t present;
    uint8_t named;  // some address row names this index
    uint8_t taken;  // a row of the copy has taken this interface

    static uint32_t Hash(uint32_t key) { return Mix(key); }
    bool Holds(uint32_t key) const { return value == key; }
};

// The interface record first listed with a physical address.
struct PhysicalSlot {
    const AdapterRecord* record;
    uint8_t present;

    static uint32_t Hash(const AdapterRecord& key)
    {
        uint32_t hash = key.physicalAddressLength;
        for (uint8_t byte : key.physicalAddress) hash = hash * 31 + byte;
        return Mix(hash);
    }
    bool Holds(const AdapterRecord& key) const { return SamePhysicalAddress(*record, key); }
};

// Open addressing with linear probing, at most half full: Slot says which key it holds.
template <typename Slot>
class SlotTable {
public:
    ~SlotTable() { FreeMemory(slots); }

    bool Allocate(uint32_t entries)
    {
        uint32_t capacity = 2;
        while (capacity < entries * 2u) capacity *= 2;
        slots = static_cast<Slot*>(AllocateZeroed(capacity, sizeof(Slot)));
        mask = capacity - 1;
        return slots != nullptr;
    }

    // The slot that holds key, or the empty slot where it belongs.
    template <typename Key>
    Slot& Probe(const Key& key)
    {
        uint32_t at = Slot::Hash(key) & mask;
        while (slots[at].present && !slots[at].Holds(key)) at = (at + 1) & mask;
        return slots[at];
    }

    template <typename Key>
    Slot* Find(const Key& key)
    {
        Slot& slot = Probe(key);
        return slot.present ? &slot : nullptr;
    }

private:
    Slot* slots = nullptr;
    uint32_t mask = 0;
};

using IndexTable = SlotTable<IndexSlot>;

// Adds value at row unless an earlier row holds it already.
void InsertIndex(IndexTable& interfaces, uint32_t value, uint32_t row)
{
    IndexSlot& slot = interfaces.Probe(value);
    if (slot.present) return;
    slot.value = value;
    slot.firstRow = row;
    slot.present = 1;
}

// True the first time an interface record's physical address is seen; an empty one is
// always new, since it is no adapter's.
bool ListsNewAdapter(SlotTable<PhysicalSlot>& listed, const AdapterRecord& record)
{
    if (record.physicalAddressLength == 0) return true;
    PhysicalSlot& slot = listed.Probe(record);
    if (slot.present) return false;
    slot.record = &record;
    slot.present = 1;
    return true;
}

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

bool SamePhysicalAddress(const AdapterRecord& a, const AdapterRecord& b)
{
    if (a.physicalAddressLength != b.physicalAddressLength) return false;
    for (size_t at = 0; at < PhysicalAddressSize; ++at) {
        if (a.physicalAddress[at] != b.physicalAddress[at]) return false;
    }
    return true;
}

int PairAdapters(AdapterTables& tables, unsigned char* buffer, uint32_t maxRecords)
{
    IndexTable interfaces;
    SlotTable<PhysicalSlot> listed;
    if (!interfaces.Allocate(tables.walkedRows) || !listed.Allocate(tables.walkedRows)) return -1;
    for (uint32_t row = 0; row < tables.walkedRows; ++row) {
        if (HasKnown(tables, row, InterfaceIndexKnown))
            InsertIndex(interfaces, tables.interfaceIndexes[row], row);
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
        if (slot && slot->taken) slot = nullptr;  // taken already: an adapter's second address
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
        slot->taken = 1;
        const AdapterRecord& interfaceRecord = tables.records[slot->firstRow];
        TakeInterfaceFields(working, interfaceRecord);
        if (written < maxRecords &&
            PassesInclusionRule(working.physicalAddress, working.physicalAddressLength,
                                tables.includeDest != 0, tables.includeEmpty != 0) &&
            ListsNewAdapter(listed, interfaceRecord)) {
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
