// The empty program as a C-runtime build makes it: WinMain behind the runtime's start-up
// code, linked statically. Set beside the self-contained empty program, it shows what
// the runtime alone costs each start.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
