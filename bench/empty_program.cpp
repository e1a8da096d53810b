// The baseline of the benchmark: a program that does nothing, built exactly as
// korvadiag.exe is (its own entry point, no C runtime). Every start costs at least this.
#include <windows.h>

// The entry the product's link options name.
extern "C" void KorvadiagEntry()
{
    ExitProcess(0);
}
