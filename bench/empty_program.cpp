// The baseline of the benchmark: a Win32 GUI program that does nothing, built like
// korvadiag.exe. Every start costs at least this much.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
