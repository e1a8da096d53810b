// Process entry of the windowless utility. The system starts the program here, with no
// C runtime before it: the entry takes the command text from the process command
// line, hands it to the dispatcher and ends the process with its answer, always 0.
#include "entry/dispatch.h"
#include "base/codepage.h"

#include <windows.h>

// Named as the image's entry point by the link; it never returns.
extern "C" void KorvadiagEntry()
{
    // No one can answer a box from a program without a window: the loader's for a
    // library whose own imports are missing, and the system's for an empty drive. The
    // hidden children inherit the mode.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ExitProcess(static_cast<UINT>(DispatchCommand(CommandTextOf(GetCommandLineA(), IsAnsiLeadByte))));
}
