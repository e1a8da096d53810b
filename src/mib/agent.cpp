// The agent object's life: loading the extension agent library and looking up its
// entry points, the Windows Sockets start-up that must precede the agent's
// initialisation, the two guarded forwarders, and the tear-down on every way out.
// Windows Sockets is loaded here, at run time: only the inventory needs it, and a
// system without it fails the inventory, not the program's start.
#include "mib/agent.h"
#include "base/library.h"
#include "base/memory.h"

#include <winsock.h>
#include <cstdint>

namespace {

using WsaStartupFunction = int(WINAPI*)(WORD, LPWSADATA);

}  // namespace

MibAgent::MibAgent(const char* libraryName)
{
    LoadAgent(libraryName);
    tables.rowCount = 0;
    StartWinsock();
}

MibAgent::~MibAgent()
{
    if (winsockCleanup) winsockCleanup();
    FreeTables();
    UnloadAgent();
    if (winsockLibrary) FreeLibrary(winsockLibrary);
}

void MibAgent::StartWinsock()
{
    winsockLibrary = LoadSystemLibrary(WinsockLibraryName);
    auto startup = EntryOf<WsaStartupFunction>(winsockLibrary, "WSAStartup");
    winsockCleanup = EntryOf<WsaCleanupFunction>(winsockLibrary, "WSACleanup");
    WSADATA data;
    winsockStatus = startup ? startup(0x0101, &data) : WSASYSNOTREADY;
}

void MibAgent::LoadAgent(const char* name)
{
    initEntry = nullptr;
    initExEntry = nullptr;
    queryEntry = nullptr;
    trapEntry = nullptr;
    HMODULE handle = LoadSystemLibrary(name);
    // The 16-bit era's error codes come back as handles below 32.
    if (reinterpret_cast<uintptr_t>(handle) < 32) {
        library = nullptr;
        return;
    }
    library = handle;
    initEntry = EntryOf<PFNSNMPEXTENSIONINIT>(library, "SnmpExtensionInit");
    initExEntry = EntryOf<PFNSNMPEXTENSIONINITEX>(library, "SnmpExtensionInitEx");
    queryEntry = EntryOf<PFNSNMPEXTENSIONQUERY>(library, "SnmpExtensionQuery");
    trapEntry = EntryOf<PFNSNMPEXTENSIONTRAP>(library, "SnmpExtensionTrap");
}

void MibAgent::UnloadAgent()
{
    if (library) FreeLibrary(library);
    library = nullptr;
}

void MibAgent::FreeTables()
{
    FreeMemory(tables.records);
    FreeMemory(tables.addressInterfaceIndexes);
    FreeMemory(tables.interfaceIndexes);
    FreeMemory(tables.indexKnown);
    tables = AdapterTables();
}

int MibAgent::Start()
{
    if (!IsLoaded()) return -1;
    if (winsockStatus != 0) return -2;
    // The agent's trap event and first region are not used; like the agent's other
    // answers they are left to it.
    HANDLE trapEvent = nullptr;
    AsnObjectIdentifier firstRegion = {0, nullptr};
    return Init(GetTickCount(), &trapEvent, &firstRegion) ? 0 : -3;
}

BOOL MibAgent::Init(DWORD upTimeReference, HANDLE* trapEvent, AsnObjectIdentifier* firstRegion)
{
    if (!library || !initEntry) return FALSE;
    return initEntry(upTimeReference, trapEvent, firstRegion);
}

BOOL MibAgent::Query(BYTE pduType, SnmpVarBindList* list, AsnInteger32* errorStatus,
                     AsnInteger32* errorIndex)
{
    if (!library || !queryEntry) return FALSE;
    return queryEntry(pduType, list, errorStatus, errorIndex);
}
