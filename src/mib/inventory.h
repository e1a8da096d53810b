// The inventory's entry and the pieces of the adapter list: the record-size protocol
// of GetAdapterRecords, the registry gate, the grow-and-retry over inventories, and the
// adapter text. ListAdapters (adapters.h) joins them; tests drive each on its own.
#pragma once

#include "mib/agent.h"

#include <windows.h>
#include <cstddef>
#include <cstdint>

constexpr uint32_t FirstTryRecords = 10;  // the list's first record buffer
constexpr int MaxInventories = 4;         // the first try and three retries at most
constexpr const char* AdapterSeparator = "[;]";
constexpr const char* TcpipKeyName = "SOFTWARE\\Microsoft\\Tcpip";

// One complete inventory with a fresh agent. Answers -1 when the agent does not start
// or the heap fails, 0 when no row passes the inclusion rule, otherwise the bytes the
// included records need (count times 92). The records are copied only when buffer is
// non-null and size holds that many bytes; the answer is then the bytes written, which
// is less when the pairing yields fewer records than the walk counted (one record per
// adapter, its filter layers left out).
int GetAdapterRecords(uint32_t flags, void* buffer, uint32_t size,
                      const char* agentLibrary = AgentLibraryName);

// An inventory as ListAdapters calls it: GetAdapterRecords, or a test's stand-in.
using InventoryFunction = int (*)(uint32_t flags, void* buffer, uint32_t size);

// Asks inventory for the records with flags 1, first in room for ten, then, while the
// answer needs more room, in room for one record more than it asked; after
// MaxInventories it gives up. Writes the adapter text and answers the adapter count,
// 0 for none, or -1 (empty text) when an inventory fails, the heap fails, or the
// adapters kept growing.
int CollectAdapters(InventoryFunction inventory, char* text, size_t capacity);

// Writes "description[;]" for each of the count records in order whose description
// is not empty, control characters and the ";" of a "[;]" inside it written as blanks.
// Cuts: the text keeps whole entries only and stops before the first that does not
// fit. Text may be null when capacity is 0.
void FormatAdapterText(const unsigned char* records, uint32_t count, char* text, size_t capacity);

// Windows 2000 and every later version with minor number 0 require the TCP/IP key
// before an inventory. Pure.
bool NeedsTcpipKey(DWORD majorVersion, DWORD minorVersion);

// The gate: true when the version needs no key, or root\subkey opens.
bool PassesRegistryGate(DWORD majorVersion, DWORD minorVersion, HKEY root, const char* subkey);
