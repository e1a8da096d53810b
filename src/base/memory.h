// Memory from the system's global allocator, the program's one allocator. Every block
// comes zeroed, so a table that is only partly filled reads as zero past what was
// written.
#pragma once

#include <cstddef>

// A zeroed block of count elements of size bytes each. Null when count times size
// does not fit a size_t or the system cannot supply it.
void* AllocateZeroed(size_t count, size_t size);

// Returns a block from AllocateZeroed; null is ignored.
void FreeMemory(void* block);
