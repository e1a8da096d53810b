// The adapter list the system report prints: a complete inventory behind a registry
// gate, its record-size protocol, and the count and description text made from the
// records.
#include "mib/adapters.h"
#include "mib/inventory.h"
#include "base/memory.h"
#include "base/registry.h"
#include "base/text.h"

#include <cstring>

namespace {

constexpr size_t SeparatorLength = 3;  // "[;]"

// A heap record buffer that frees itself on every way out.
class RecordBuffer {
public:
    explicit RecordBuffer(uint32_t size) : bytes(static_cast<unsigned char*>(AllocateZeroed(size, 1))) {}
    ~RecordBuffer() { FreeMemory(bytes); }
    RecordBuffer(const RecordBuffer&) = delete;
    RecordBuffer& operator=(const RecordBuffer&) = delete;
    unsigned char* bytes;
};

void ClearText(char* text, size_t capacity)
{
    if (text && capacity > 0) text[0] = '\0';
}

int PlatformInventory(uint32_t flags, void* buffer, uint32_t size)
{
    return GetAdapterRecords(flags, buffer, size);
}

bool PlatformGatePasses()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);  // 148
    GetVersionExA(&info);
    return PassesRegistryGate(info.dwMajorVersion, info.dwMinorVersion, HKEY_LOCAL_MACHINE,
                              TcpipKeyName);
}

}  // namespace

int GetAdapterRecords(uint32_t flags, void* buffer, uint32_t size, const char* agentLibrary)
{
    MibAgent agent(agentLibrary);
    if (agent.Start() != 0) return -1;
    int count = agent.WalkTables(flags);
    if (count <= 0) return count;
    // count is at most MaxTableRows, so its byte count is a positive 32-bit number.
    uint32_t needed = static_cast<uint32_t>(count) * AdapterRecordSize;
    if (!buffer || size < needed) return static_cast<int>(needed);
    int written = agent.CopyAdapters(static_cast<unsigned char*>(buffer));
    if (written < 0) return -1;
    return written * static_cast<int>(AdapterRecordSize);
}

void FormatAdapterText(const unsigned char* records, uint32_t count, char* text, size_t capacity)
{
    ClearText(text, capacity);
    if (!text) return;
    size_t used = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const char* description = reinterpret_cast<const char*>(
            records + static_cast<size_t>(i) * AdapterRecordSize + offsetof(AdapterRecord, description));
        size_t length = BoundedLength(description, DescriptionSize - 1);
        if (length == 0) continue;
        char entry[DescriptionSize + SeparatorLength];
        memcpy(entry, description, length);
        // The report is read line by line and the list split at "[;]": a control
        // character from the agent, or the ";" of a "[;]" inside a description, must not
        // split the line or the list, so it is written as a blank.
        for (size_t at = 0; at < length; ++at) {
            if (static_cast<unsigned char>(entry[at]) < ' ') entry[at] = ' ';
            bool separator = entry[at] == ';' && at >= 1 && entry[at - 1] == '[' &&
                             at + 1 < length && entry[at + 1] == ']';
            if (separator) entry[at] = ' ';
        }
        memcpy(entry + length, AdapterSeparator, SeparatorLength + 1);
        size_t entryLength = length + SeparatorLength;
        if (used + entryLength >= capacity) return;
        AppendText(text, capacity, entry);
        used += entryLength;
    }
}

int CollectAdapters(InventoryFunction inventory, char* text, size_t capacity)
{
    ClearText(text, capacity);
    uint32_t size = FirstTryRecords * AdapterRecordSize;
    for (int attempt = 0; attempt < MaxInventories; ++attempt) {
        RecordBuffer buffer(size);
        if (!buffer.bytes) return -1;
        int result = inventory(1, buffer.bytes, size);
        if (result <= 0) return result;
        uint32_t needed = static_cast<uint32_t>(result);
        if (needed <= size) {
            uint32_t count = needed / AdapterRecordSize;
            FormatAdapterText(buffer.bytes, count, text, capacity);
            return static_cast<int>(count);
        }
        // One record more than asked for: a multiple of 92 below 2^31 plus 92 fits.
        size = needed + AdapterRecordSize;
    }
    return -1;
}

bool NeedsTcpipKey(DWORD majorVersion, DWORD minorVersion)
{
    return majorVersion > 4 && minorVersion == 0;
}

bool PassesRegistryGate(DWORD majorVersion, DWORD minorVersion, HKEY root, const char* subkey)
{
    if (!NeedsTcpipKey(majorVersion, minorVersion)) return true;
    HKEY key = nullptr;
    if (OpenRegistryKey(root, subkey, &key) != ERROR_SUCCESS) return false;
    CloseRegistryKey(key);
    return true;
}

int ListAdapters(char* text, size_t capacity)
{
    ClearText(text, capacity);
    if (!PlatformGatePasses()) return -1;
    return CollectAdapters(PlatformInventory, text, capacity);
}
