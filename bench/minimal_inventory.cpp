// What "report" cannot avoid: load the SNMP extension agent, start Windows Sockets and
// the agent, and walk the interface table with GETNEXT queries until the walk leaves
// it. Nothing is kept or written. The benchmark sets "report" beside this program.
#include <windows.h>
#include <winsock.h>
#include <snmp.h>

using InitEntry = BOOL(WINAPI*)(DWORD, HANDLE*, AsnObjectIdentifier*);
using QueryEntry = BOOL(WINAPI*)(BYTE, SnmpVarBindList*, AsnInteger32*, AsnInteger32*);

static UINT* CopyIds(const UINT* ids, UINT count)
{
    UINT* copy = static_cast<UINT*>(GlobalAlloc(GPTR, count * sizeof(UINT)));
    if (copy) CopyMemory(copy, ids, count * sizeof(UINT));
    return copy;
}

static void Walk(QueryEntry query)
{
    static const UINT ifNumber[] = {1, 3, 6, 1, 2, 1, 2, 1};
    static const UINT columns[7][10] = {
        {1, 3, 6, 1, 2, 1, 2, 2, 1, 3}, {1, 3, 6, 1, 2, 1, 2, 2, 1, 6}, {1, 3, 6, 1, 2, 1, 4, 20, 1, 1},
        {1, 3, 6, 1, 2, 1, 4, 20, 1, 3}, {1, 3, 6, 1, 2, 1, 2, 2, 1, 2}, {1, 3, 6, 1, 2, 1, 4, 20, 1, 2},
        {1, 3, 6, 1, 2, 1, 2, 2, 1, 1}};
    SnmpVarBind binds[7] = {};
    SnmpVarBindList list = {binds, 1};
    AsnInteger32 status = 0, index = 0;
    binds[0].name.ids = CopyIds(ifNumber, 8);
    binds[0].name.idLength = 8;
    query(SNMP_PDU_GETNEXT, &list, &status, &index);
    DWORD rows = binds[0].value.asnValue.number;
    GlobalFree(binds[0].name.ids);

    list.len = 7;
    for (int i = 0; i < 7; ++i) {
        binds[i] = SnmpVarBind{};
        binds[i].name.ids = CopyIds(columns[i], 10);
        binds[i].name.idLength = 10;
    }
    for (DWORD row = 0; row < rows; ++row) {
        if (!query(SNMP_PDU_GETNEXT, &list, &status, &index)) break;
        if (binds[0].name.idLength < 10 || binds[0].name.ids[9] != 3 || binds[0].name.ids[7] != 2) break;
    }
    for (SnmpVarBind& bind : binds) {
        GlobalFree(bind.name.ids);
        BYTE type = bind.value.asnType;
        if ((type == ASN_OCTETSTRING || type == ASN_IPADDRESS) && bind.value.asnValue.string.dynamic)
            GlobalFree(bind.value.asnValue.string.stream);
    }
}

static UINT Run()
{
    HMODULE agent = LoadLibraryA("inetmib1.dll");
    if (!agent) return 1;
    auto init = reinterpret_cast<InitEntry>(reinterpret_cast<void*>(GetProcAddress(agent, "SnmpExtensionInit")));
    auto query = reinterpret_cast<QueryEntry>(reinterpret_cast<void*>(GetProcAddress(agent, "SnmpExtensionQuery")));
    WSADATA data;
    WSAStartup(0x0101, &data);
    HANDLE trap = nullptr;
    AsnObjectIdentifier region = {};
    if (init && query && init(GetTickCount(), &trap, &region)) Walk(query);
    WSACleanup();
    FreeLibrary(agent);
    return 0;
}

// The entry the product's link options name: no C runtime starts the program.
extern "C" void KorvadiagEntry()
{
    ExitProcess(Run());
}
