// The functions the compiler emits calls to for block copies, clears and text
// lengths, which the C runtime supplied before. Linked into korvadiag.exe alone: the
// test programs keep the C runtime's own. Built without the optimisation that turns
// these very loops into calls to themselves.
#include <cstddef>

extern "C" void* memcpy(void* destination, const void* source, size_t count)
{
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    while (count-- > 0) *to++ = *from++;
    return destination;
}

extern "C" void* memset(void* destination, int value, size_t count)
{
    unsigned char* to = static_cast<unsigned char*>(destination);
    while (count-- > 0) *to++ = static_cast<unsigned char>(value);
    return destination;
}

extern "C" size_t strlen(const char* text)
{
    size_t length = 0;
    while (text[length]) ++length;
    return length;
}
