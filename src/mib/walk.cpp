// The table walk: asks the agent for ifNumber, then walks seven columns of the
// interface and IP address tables in lock step with repeated GETNEXT queries, one
// record and two index entries per row. The agent is a platform library whose answers
// are not trusted: a value is read only as the kind it claims to be, and no answer can
// make the walk store past its tables or a record's fields.
#include "mib/agent.h"
#include "base/codepage.h"
#include "base/memory.h"

#include <cstring>

namespace {

// Constant, so they stay out of the writable data: the walk hands the agent copies
// (CopyOid) and only ever reads these.
const UINT IfNumberIds[] = {1, 3, 6, 1, 2, 1, 2, 1};
const UINT IfIndexIds[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 1};
const UINT IfDescrIds[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 2};
const UINT IfTypeIds[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 3};
const UINT IfPhysAddressIds[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 6};
const UINT IpAdEntAddrIds[] = {1, 3, 6, 1, 2, 1, 4, 20, 1, 1};
const UINT IpAdEntIfIndexIds[] = {1, 3, 6, 1, 2, 1, 4, 20, 1, 2};
const UINT IpAdEntNetMaskIds[] = {1, 3, 6, 1, 2, 1, 4, 20, 1, 3};

// The platform's identifier holds a writable array; these are never written through.
constexpr AsnObjectIdentifier ConstantOid(UINT length, const UINT* ids)
{
    return {length, const_cast<UINT*>(ids)};
}

constexpr uint32_t ColumnLength = 10;

// The seven columns walked at once, in varbind order.
enum Column { TypeColumn, PhysAddressColumn, AddressColumn, MaskColumn, DescrColumn,
              AddressIfIndexColumn, IfIndexColumn, ColumnCount };

const AsnObjectIdentifier IfNumberOid = ConstantOid(8, IfNumberIds);
const AsnObjectIdentifier WalkColumns[ColumnCount] = {
    ConstantOid(ColumnLength, IfTypeIds),      ConstantOid(ColumnLength, IfPhysAddressIds),
    ConstantOid(ColumnLength, IpAdEntAddrIds), ConstantOid(ColumnLength, IpAdEntNetMaskIds),
    ConstantOid(ColumnLength, IfDescrIds),     ConstantOid(ColumnLength, IpAdEntIfIndexIds),
    ConstantOid(ColumnLength, IfIndexIds),
};

bool InColumn(const SnmpVarBind& varBind, Column column)
{
    return NameInColumn(varBind.name, WalkColumns[column]);
}

// The string a value carries, or null: a value of another type carries none, and
// neither does one whose stream is missing behind a nonzero length.
const AsnOctetString* StringOf(const AsnAny& value)
{
    switch (value.asnType) {
    case ASN_OCTETSTRING:
    case ASN_IPADDRESS:
    case ASN_OPAQUE:
    case ASN_SEQUENCE:
    case ASN_BITS:
        if (value.asnValue.string.length > 0 && !value.asnValue.string.stream) return nullptr;
        return &value.asnValue.string;
    default:
        return nullptr;
    }
}

// A number-typed value's 32 bits; false for any other value.
bool NumberOf(const AsnAny& value, uint32_t* number)
{
    switch (value.asnType) {
    case ASN_INTEGER:
    case ASN_COUNTER32:
    case ASN_GAUGE32:
    case ASN_TIMETICKS:
    case ASN_UINTEGER32:
        *number = value.asnValue.unsigned32;
        return true;
    default:
        return false;
    }
}

// Four octets of an address value into dst; a shorter or missing string leaves dst.
void CopyAddressOctets(const AsnAny& value, uint8_t (&dst)[4])
{
    const AsnOctetString* string = StringOf(value);
    if (string && string->length >= 4) memcpy(dst, string->stream, 4);
}

}  // namespace

int CopyOid(AsnObjectIdentifier* dst, const AsnObjectIdentifier* src)
{
    UINT* ids = nullptr;
    if (src->idLength <= static_cast<UINT>(-1) / sizeof(UINT))
        ids = static_cast<UINT*>(GlobalAlloc(GPTR, src->idLength * sizeof(UINT)));
    if (!ids) {
        SetLastError(SNMP_MEM_ALLOC_ERROR);
        dst->ids = nullptr;
        return 0;
    }
    if (src->idLength > 0) memcpy(ids, src->ids, src->idLength * sizeof(UINT));
    dst->ids = ids;
    dst->idLength = src->idLength;
    return 1;
}

void FreeOid(AsnObjectIdentifier* oid)
{
    GlobalFree(oid->ids);
    oid->ids = nullptr;
    oid->idLength = 0;
}

int32_t CompareOidPrefix(const AsnObjectIdentifier* a, const AsnObjectIdentifier* b, uint32_t n)
{
    uint32_t m = n;
    uint32_t countA = a->ids ? a->idLength : 0;
    uint32_t countB = b->ids ? b->idLength : 0;
    if (countA < m) m = countA;
    if (countB < m) m = countB;
    for (uint32_t k = 0; k < m; ++k) {
        if (a->ids[k] != b->ids[k]) return static_cast<int32_t>(a->ids[k] - b->ids[k]);
    }
    return 0;
}

bool NameInColumn(const AsnObjectIdentifier& name, const AsnObjectIdentifier& column)
{
    return name.ids && name.idLength > column.idLength &&
           CompareOidPrefix(&name, &column, column.idLength) == 0;
}

void FreeVarBind(SnmpVarBind* varBind)
{
    FreeOid(&varBind->name);
    AsnAny& value = varBind->value;
    switch (value.asnType) {
    case ASN_OBJECTIDENTIFIER:
        FreeOid(&value.asnValue.object);
        break;
    case ASN_OCTETSTRING:
    case ASN_IPADDRESS:
    case ASN_OPAQUE:
    case ASN_SEQUENCE:
        if (value.asnValue.string.dynamic) GlobalFree(value.asnValue.string.stream);
        break;
    default:
        break;
    }
    value.asnType = ASN_NULL;
}

bool IndexValueOf(const AsnAny& value, uint32_t* index)
{
    if (value.asnType == ASN_INTEGER) {
        *index = static_cast<uint32_t>(value.asnValue.number);
        return true;
    }
    const AsnOctetString* string = StringOf(value);
    if (string && string->length >= 4) {
        memcpy(index, string->stream, 4);
        return true;
    }
    return false;
}

static bool SameBytes(const uint8_t* a, const uint8_t* b, size_t count)
{
    for (size_t at = 0; at < count; ++at) {
        if (a[at] != b[at]) return false;
    }
    return true;
}

// The addresses NDISWAN gives its miniports since Vista: six bytes ending in " RAS"
// ("WAN Miniport (IP)", "(IPv6)", "(Network Monitor)"; the first two bytes differ from
// machine to machine), and the RAS Async Adapter's " ASYN" and 0xFF on every machine.
static bool IsDialUpAddress(const uint8_t* address, size_t length)
{
    static const uint8_t RasTail[] = {0x20, 0x52, 0x41, 0x53};
    static const uint8_t AsyncAddress[] = {0x20, 0x41, 0x53, 0x59, 0x4E, 0xFF};
    return length == sizeof(AsyncAddress) && (SameBytes(address + 2, RasTail, sizeof(RasTail)) ||
                                              SameBytes(address, AsyncAddress, sizeof(AsyncAddress)));
}

bool PassesInclusionRule(const uint8_t* address, size_t length, bool includeDest, bool includeEmpty)
{
    if (length == 0 || !address) return includeEmpty;
    uint8_t first[6] = {};
    memcpy(first, address, length < sizeof(first) ? length : sizeof(first));
    // The dial-up interfaces: "DEST" up to XP, NDISWAN's miniports since Vista.
    if (first[0] == 'D' && first[1] == 'E' && first[2] == 'S' && first[3] == 'T') return includeDest;
    if (IsDialUpAddress(address, length)) return includeDest;
    for (uint8_t byte : first) {
        if (byte != 0) return true;
    }
    return false;
}

int MibAgent::WalkTables(uint32_t flags)
{
    return ReadTables(static_cast<int32_t>(flags & IncludeDestFlag),
                      static_cast<int32_t>(flags & IncludeEmptyFlag));
}

bool MibAgent::AllocateTables(uint32_t rows)
{
    if (rows > MaxTableRows) return false;
    // Cleared, so rows the walk never reaches hold zero records and no known index.
    tables.records = static_cast<AdapterRecord*>(AllocateZeroed(rows, sizeof(AdapterRecord)));
    tables.addressInterfaceIndexes = static_cast<uint32_t*>(AllocateZeroed(rows, sizeof(uint32_t)));
    tables.interfaceIndexes = static_cast<uint32_t*>(AllocateZeroed(rows, sizeof(uint32_t)));
    tables.indexKnown = static_cast<uint8_t*>(AllocateZeroed(rows, 1));
    if (!tables.records || !tables.addressInterfaceIndexes || !tables.interfaceIndexes ||
        !tables.indexKnown) {
        FreeTables();
        return false;
    }
    tables.rowCount = rows;
    return true;
}

int MibAgent::ReadTables(int32_t includeDest, int32_t includeEmpty)
{
    FreeTables();  // an agent walks once; a second walk starts afresh
    // Names empty and values ASN_NULL before the first query: the agent replaces both.
    SnmpVarBind varBinds[ColumnCount] = {};
    for (SnmpVarBind& varBind : varBinds) varBind.value.asnType = ASN_NULL;
    SnmpVarBindList list = {varBinds, 1};
    AsnInteger32 errorStatus = 0;
    AsnInteger32 errorIndex = 0;

    // A failed ifNumber query, or an answer that is no number, announces no rows.
    uint32_t rows = 0;
    CopyOid(&varBinds[0].name, &IfNumberOid);
    if (!Query(SNMP_PDU_GETNEXT, &list, &errorStatus, &errorIndex) ||
        !NumberOf(varBinds[0].value, &rows))
        rows = 0;
    FreeVarBind(&varBinds[0]);
    if (rows == 0) return 0;
    if (!AllocateTables(rows)) return -1;
    tables.includeDest = includeDest;
    tables.includeEmpty = includeEmpty;

    for (int column = 0; column < ColumnCount; ++column)
        CopyOid(&varBinds[column].name, &WalkColumns[column]);
    list.len = ColumnCount;
    WalkRows(list);
    for (SnmpVarBind& varBind : varBinds) FreeVarBind(&varBind);
    return includedCount;
}

// Fills row of the tables from one answer of the seven columns. A longer physical
// address keeps its first 14 bytes and its length says 14, so every byte the length
// names lies in the field.
static void StoreRow(AdapterTables& tables, uint32_t row, const SnmpVarBind* varBinds)
{
    AdapterRecord& record = tables.records[row];
    uint32_t number = 0;
    if (NumberOf(varBinds[TypeColumn].value, &number)) record.type = static_cast<int32_t>(number);

    const AsnOctetString* physical = StringOf(varBinds[PhysAddressColumn].value);
    size_t length = physical ? physical->length : 0;
    if (length > PhysicalAddressSize) length = PhysicalAddressSize;
    record.physicalAddressLength = static_cast<uint8_t>(length);
    if (length > 0) memcpy(record.physicalAddress, physical->stream, length);

    // Past the address table the varbind runs on through the objects that follow it
    // (broadcast flags, route and ARP tables), whose numbers would name interfaces by
    // chance: a row there names none, as it carries no address or mask.
    uint32_t index = 0;
    if (InColumn(varBinds[AddressIfIndexColumn], AddressIfIndexColumn) &&
        IndexValueOf(varBinds[AddressIfIndexColumn].value, &index)) {
        tables.addressInterfaceIndexes[row] = index;
        tables.indexKnown[row] |= AddressIndexKnown;
    }
    if (IndexValueOf(varBinds[IfIndexColumn].value, &index)) {
        tables.interfaceIndexes[row] = index;
        tables.indexKnown[row] |= InterfaceIndexKnown;
    }
    if (InColumn(varBinds[AddressColumn], AddressColumn))
        CopyAddressOctets(varBinds[AddressColumn].value, record.ipAddress);
    if (InColumn(varBinds[MaskColumn], MaskColumn))
        CopyAddressOctets(varBinds[MaskColumn].value, record.subnetMask);

    // Whole characters of the ANSI code page only: a lead byte whose second byte the cut
    // dropped would take the separator behind the description for its second byte.
    const AsnOctetString* description = StringOf(varBinds[DescrColumn].value);
    if (description && description->length > 0) {
        const char* text = reinterpret_cast<const char*>(description->stream);
        memcpy(record.description, text,
               WholeCharacterLength(text, description->length, DescriptionSize - 1, IsAnsiLeadByte));
    }
}

// One GETNEXT per row until the agent refuses, the interface table's type or address
// column ends, or the tables are full: a longer interface table than ifNumber said
// is not stored.
void MibAgent::WalkRows(SnmpVarBindList& list)
{
    const SnmpVarBind* varBinds = list.list;
    AsnInteger32 errorStatus = 0;
    AsnInteger32 errorIndex = 0;
    includedCount = 0;
    uint32_t row = 0;
    while (row < tables.rowCount) {
        if (!Query(SNMP_PDU_GETNEXT, &list, &errorStatus, &errorIndex)) break;
        if (!InColumn(varBinds[TypeColumn], TypeColumn)) break;
        if (!InColumn(varBinds[PhysAddressColumn], PhysAddressColumn)) break;
        const AsnOctetString* physical = StringOf(varBinds[PhysAddressColumn].value);
        if (PassesInclusionRule(physical ? physical->stream : nullptr, physical ? physical->length : 0,
                                tables.includeDest != 0, tables.includeEmpty != 0))
            ++includedCount;
        StoreRow(tables, row, varBinds);
        ++row;
    }
    tables.walkedRows = row;
}
