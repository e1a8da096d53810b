// Process entry of the windowless utility: takes the command text from the process
// command line and hands it to the dispatcher. The exit code is always 0.
#include "entry/dispatch.h"

#include <windows.h>

// The C runtime must not expand wildcards in its own argument split: the program never
// uses it, and "delete:*" is a name to refuse, not a pattern to list.
extern "C" int _dowildcard;
int _dowildcard = 0;

static bool IsAnsiLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != FALSE;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return DispatchCommand(CommandTextOf(GetCommandLineA(), IsAnsiLeadByte));
}
