// The hidden command runner. The interpreter is found in the environment block and its
// start built by pure functions; RunHiddenCommand only creates and waits.
#include "actions/runner.h"
#include "base/memory.h"
#include "base/text.h"

#include <windows.h>

// The interpreter where COMSPEC names none, and the one whose AutoRun "/d" turns off.
static const char* const CmdName = "CMD.EXE";

static bool NameMatches(const char* entry, const char* name)
{
    // The entry's name ends at its first "=" after the first character.
    return StartsWithFolded(entry, name) && entry[BoundedLength(name, CommandLineSize)] == '=';
}

const char* FindEnvironmentValue(const char* block, const char* name)
{
    if (!block) return nullptr;
    size_t nameLength = BoundedLength(name, CommandLineSize);
    for (const char* entry = block; *entry; ) {
        size_t entryLength = 0;
        while (entry[entryLength]) ++entryLength;
        if (entry[0] != '=' && NameMatches(entry, name)) return entry + nameLength + 1;
        entry += entryLength + 1;
    }
    return nullptr;
}

static bool HoldsBlank(const char* text)
{
    return ContainsText(text, " ") || ContainsText(text, "\t");
}

// The interpreter as the command line names it: quoted where a blank would split it.
static bool AppendInterpreter(char (&line)[CommandLineSize], const char* interpreter)
{
    if (!HoldsBlank(interpreter)) return AppendText(line, interpreter);
    return AppendText(line, "\"") && AppendText(line, interpreter) && AppendText(line, "\"");
}

static bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The file name of an interpreter path: what follows its last backslash or slash, or
// the colon of a drive-relative path ("C:cmd.exe").
static const char* FileNameOf(const char* path)
{
    const char* name = path;
    if (IsAsciiLetter(path[0]) && path[1] == ':') name = path + 2;
    for (const char* p = name; *p; ++p) {
        if (*p == '\\' || *p == '/') name = p + 1;
    }
    return name;
}

bool TurnsAutoRunOff(const char* interpreter, const OSVERSIONINFOA& version)
{
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5 &&
           EqualsFolded(FileNameOf(interpreter), CmdName);
}

static bool Refuse(InterpreterCommand& command)
{
    command.application[0] = '\0';
    command.line[0] = '\0';
    return false;
}

bool BuildInterpreterCommand(InterpreterCommand& command, const char* comspec,
                             const char* systemDirectory, const OSVERSIONINFOA& version,
                             const char* program, const char* arguments)
{
    command.application[0] = '\0';
    command.line[0] = '\0';
    if (comspec) {
        // An empty value names nothing; a quote in it could close the quoting early.
        if (comspec[0] == '\0' || ContainsText(comspec, "\"")) return Refuse(command);
        if (!AppendInterpreter(command.line, comspec)) return Refuse(command);
    } else {
        unsigned dirLength = static_cast<unsigned>(BoundedLength(systemDirectory, SystemPathSize));
        if (!JoinSystemFilePath(command.application, SystemPathSize, systemDirectory, dirLength,
                                CmdName) ||
            !AppendText(command.line, CmdName))
            return Refuse(command);
    }
    const char* interpreter = comspec ? comspec : CmdName;
    const char* switches = TurnsAutoRunOff(interpreter, version) ? " /d /c " : " /c ";
    bool whole = AppendText(command.line, switches) && AppendText(command.line, program) &&
                 AppendText(command.line, " ") && AppendText(command.line, arguments);
    return whole || Refuse(command);
}

// Builds the interpreter's start from this process's environment and the system's
// version; false when refused.
static bool BuildPlatformCommand(InterpreterCommand& command, const char* systemDirectory,
                                 const char* program, const char* arguments)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);  // a failed call leaves a zeroed record: "/c" alone
    char* environment = GetEnvironmentStringsA();
    bool built = BuildInterpreterCommand(command, FindEnvironmentValue(environment, "COMSPEC"),
                                         systemDirectory, version, program, arguments);
    if (environment) FreeEnvironmentStringsA(environment);
    return built;
}

// Starts the interpreter hidden in the system directory and waits for its exit code.
static unsigned long RunInterpreter(InterpreterCommand& command, const char* systemDirectory)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    const char* application = command.application[0] ? command.application : nullptr;
    if (!CreateProcessA(application, command.line, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, systemDirectory, &startup, &process))
        return GetLastError();

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.hProcess, &exitCode)) exitCode = 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

unsigned long RunHiddenCommand(const char* program, const char* arguments)
{
    char systemDirectory[SystemPathSize];
    if (GetSystemDirectoryPath(systemDirectory) == 0) return RunnerRefusedCode;
    // The command comes from the heap: a page of it on the stack would make the frame
    // larger than the one page that a stack without probes may grow by at once.
    InterpreterCommand* command =
        static_cast<InterpreterCommand*>(AllocateZeroed(1, sizeof(InterpreterCommand)));
    if (!command) return ERROR_NOT_ENOUGH_MEMORY;
    unsigned long answer = BuildPlatformCommand(*command, systemDirectory, program, arguments)
                               ? RunInterpreter(*command, systemDirectory)
                               : RunnerRefusedCode;
    FreeMemory(command);
    return answer;
}
