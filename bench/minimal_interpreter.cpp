// What "checkip:" and "refresh" cannot avoid: start the command interpreter once,
// hidden, in the system directory, with a tool and a redirection into the temporary
// directory, and wait for it. The tool is the system directory's (the benchmark puts
// its stand-ins there).
#include <windows.h>

static UINT Run()
{
    char line[] = "CMD.EXE /c ping.exe 127.0.0.1 > %temp%\\RunSilent.txt";
    char interpreter[MAX_PATH];
    if (GetEnvironmentVariableA("COMSPEC", interpreter, MAX_PATH) == 0) lstrcpyA(interpreter, "CMD.EXE");
    char full[512];
    lstrcpyA(full, interpreter);
    lstrcatA(full, line + 7);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    char system[MAX_PATH];
    if (GetSystemDirectoryA(system, MAX_PATH) == 0) return 1;
    if (!CreateProcessA(nullptr, full, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, system,
                        &startup, &process))
        return 1;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

// The entry the product's link options name: no C runtime starts the program.
extern "C" void KorvadiagEntry()
{
    ExitProcess(Run());
}
