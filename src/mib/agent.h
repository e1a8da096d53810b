// The MIB extension agent: MibAgent loads the SNMP extension agent library, starts
// Windows Sockets 1.1 before it, walks the MIB-II interface and IP address tables
// through it and owns what the walk reads. The record layout, the inclusion rule and
// the identifier helpers live here too, since the walk, the copy and their tests share
// them.
#pragma once

#include <windows.h>
#include <snmp.h>
#include <cstddef>
#include <cstdint>

constexpr const char* AgentLibraryName = "inetmib1.dll";
constexpr const char* WinsockLibraryName = "wsock32.dll";  // Windows Sockets 1.1

// Bits of the inventory's flags word; every other bit is ignored.
constexpr uint32_t IncludeDestFlag = 2;   // dial-up addresses ("DEST", NDISWAN's) pass
constexpr uint32_t IncludeEmptyFlag = 4;  // addresses of length 0 pass

constexpr size_t PhysicalAddressSize = 14;
constexpr size_t DescriptionSize = 64;  // 63 bytes of ifDescr + NUL

// One interface row, 92 bytes, laid out byte for byte as callers step through record
// buffers: no field needs alignment beyond the leading 32-bit type.
struct AdapterRecord {
    int32_t type;                                    // ifType, machine byte order
    uint8_t physicalAddressLength;                   // 0 to 14
    uint8_t physicalAddress[PhysicalAddressSize];    // zero past the length
    uint8_t ipAddress[4];                            // first octet first; zero for none
    uint8_t subnetMask[4];
    char description[DescriptionSize];               // NUL-terminated, zero after it
    uint8_t reserved;
};

constexpr size_t AdapterRecordSize = 92;
static_assert(sizeof(AdapterRecord) == AdapterRecordSize, "an adapter record is 92 bytes");
static_assert(offsetof(AdapterRecord, type) == 0, "type at 0");
static_assert(offsetof(AdapterRecord, physicalAddressLength) == 4, "length at 4");
static_assert(offsetof(AdapterRecord, physicalAddress) == 5, "address at 5");
static_assert(offsetof(AdapterRecord, ipAddress) == 19, "IP address at 19");
static_assert(offsetof(AdapterRecord, subnetMask) == 23, "mask at 23");
static_assert(offsetof(AdapterRecord, description) == 27, "description at 27");
static_assert(offsetof(AdapterRecord, reserved) == 91, "reserved byte at 91");

// The most rows a walk takes on: their byte count must still be a positive 32-bit
// result of the inventory. A larger ifNumber fails the inventory.
constexpr uint32_t MaxTableRows = 0x7FFFFFFF / AdapterRecordSize;

// Per row, which of its two index entries the walk read from a usable value. An entry
// without its bit (a value of another kind, or a row the walk never reached) pairs
// with nothing.
constexpr uint8_t AddressIndexKnown = 1;
constexpr uint8_t InterfaceIndexKnown = 2;

// What the walk leaves for the copy. Entry i of every array belongs to the walk's row
// i: interface row i and address row i, read in lock step.
struct AdapterTables {
    uint32_t rowCount = 0;      // ifNumber; the arrays exist exactly when it is nonzero
    uint32_t walkedRows = 0;    // rows the walk filled, at most rowCount
    uint32_t* addressInterfaceIndexes = nullptr;
    uint32_t* interfaceIndexes = nullptr;
    uint8_t* indexKnown = nullptr;
    AdapterRecord* records = nullptr;
    int32_t includeDest = 0;
    int32_t includeEmpty = 0;
};

// The inclusion rule over a physical address of length bytes (bytes past the length
// count as zero, so a record and the value it came from always agree). A dial-up
// address, "DEST" or NDISWAN's (six bytes ending in 20 52 41 53, or 20 41 53 59 4E FF),
// passes only with includeDest. Pure.
bool PassesInclusionRule(const uint8_t* address, size_t length, bool includeDest,
                         bool includeEmpty);

// Whether two records carry the same physical address: the same length and the same
// 14 bytes, which are zero past the length in every walked record. Pure.
bool SamePhysicalAddress(const AdapterRecord& a, const AdapterRecord& b);

// Pairs every address row with its interface, as the walk's rows read them, and
// copies the included records one after another into buffer, never more than
// maxRecords of them. Rows that find no interface are left out, and so is a record
// whose physical address an earlier one listed (a filter layer of that adapter).
// Rewrites addressInterfaceIndexes where a row takes an interface that no address row
// names.
// Answers the number of records written, or -1 when the heap cannot supply its
// lookup table (nothing written then). Runs in time linear in the rows.
int PairAdapters(AdapterTables& tables, unsigned char* buffer, uint32_t maxRecords);

// Identifier helpers over platform global memory, as the agent expects them.
// CopyOid answers 1, or 0 with the last error SNMP_MEM_ALLOC_ERROR and dst's array
// null (its count unchanged) when memory runs out.
int CopyOid(AsnObjectIdentifier* dst, const AsnObjectIdentifier* src);
void FreeOid(AsnObjectIdentifier* oid);
// a[k] - b[k] (wrapping) at the first difference among the first min(n, counts)
// sub-identifiers, else 0. An identifier with a null array counts as empty.
int32_t CompareOidPrefix(const AsnObjectIdentifier* a, const AsnObjectIdentifier* b,
                         uint32_t n);
// Whether name lies in column: it begins with the column's identifier and goes on with
// a row's. A name cut short, or one with no sub-identifiers, names no row.
bool NameInColumn(const AsnObjectIdentifier& name, const AsnObjectIdentifier& column);
// Frees the name and the value's dynamic parts; the value's type becomes ASN_NULL.
void FreeVarBind(SnmpVarBind* varBind);

// The index value of a varbind: the number of an ASN_INTEGER, or the first four bytes
// of a string value of at least four bytes. Answers false for anything else. Pure.
bool IndexValueOf(const AsnAny& value, uint32_t* index);

class MibAgent {
public:
    // Loads the agent library (the system directory's by default; tests name a
    // stand-in by its full path), then loads and starts the system's Windows Sockets 1.1. Never fails visibly: Start tells, with -2
    // when Windows Sockets is missing or does not start.
    explicit MibAgent(const char* libraryName = AgentLibraryName);
    ~MibAgent();
    MibAgent(const MibAgent&) = delete;
    MibAgent& operator=(const MibAgent&) = delete;

    bool IsLoaded() const { return library != nullptr; }

    // -1 library not loaded, -2 Windows Sockets failed, -3 the agent refused or lacks
    // SnmpExtensionInit, 0 started.
    int Start();

    // Guarded forwarders: false without calling anything when the entry is missing.
    BOOL Init(DWORD upTimeReference, HANDLE* trapEvent, AsnObjectIdentifier* firstRegion);
    BOOL Query(BYTE pduType, SnmpVarBindList* list, AsnInteger32* errorStatus,
               AsnInteger32* errorIndex);

    // Walks the tables with the flags word's IncludeDestFlag and IncludeEmptyFlag.
    // Answers the number of walked rows that pass the inclusion rule, or -1 when the
    // heap cannot supply the tables (or ifNumber passes MaxTableRows).
    int WalkTables(uint32_t flags);

    // After a walk that counted above 0: copies the included records into buffer,
    // which holds at least that count. Answers the records written, never more than
    // the walk's count, or -1 when the heap fails.
    int CopyAdapters(unsigned char* buffer);

    const AdapterTables& Tables() const { return tables; }

private:
    using WsaCleanupFunction = int(WINAPI*)();

    void LoadAgent(const char* name);
    void StartWinsock();
    void UnloadAgent();
    int ReadTables(int32_t includeDest, int32_t includeEmpty);
    bool AllocateTables(uint32_t rows);
    void WalkRows(SnmpVarBindList& list);
    void FreeTables();

    HMODULE library = nullptr;
    PFNSNMPEXTENSIONINIT initEntry = nullptr;
    PFNSNMPEXTENSIONINITEX initExEntry = nullptr;
    PFNSNMPEXTENSIONQUERY queryEntry = nullptr;
    PFNSNMPEXTENSIONTRAP trapEntry = nullptr;
    HMODULE winsockLibrary = nullptr;
    WsaCleanupFunction winsockCleanup = nullptr;
    int winsockStatus = -1;
    AdapterTables tables;
    int includedCount = 0;
};
