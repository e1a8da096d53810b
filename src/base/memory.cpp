// GlobalAlloc serves every allocation: it exists on every system the program runs on,
// needs no C runtime, and is the allocator the SNMP agent's identifiers already use, so
// the program imports no other.
#include "base/memory.h"

#include <windows.h>

void* AllocateZeroed(size_t count, size_t size)
{
    if (size != 0 && count > static_cast<size_t>(-1) / size) return nullptr;
    return GlobalAlloc(GPTR, count * size);
}

void FreeMemory(void* block)
{
    if (block) GlobalFree(block);
}
