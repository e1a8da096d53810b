// The hidden command runner. The interpreter is found in the environment block and the
// command line built by pure functions; RunHiddenCommand only creates and waits.
#include "actions/runner.h"
#include "base/memory.h"
#include "base/text.h"

#include <windows.h>

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

bool BuildRunnerCommandLine(char (&line)[CommandLineSize], const char* interpreter,
                            const char* program, const char* arguments)
{
    line[0] = '\0';
    bool whole = CopyText(line, interpreter) && AppendText(line, " /c ") &&
                 AppendText(line, program) && AppendText(line, " ") &&
                 AppendText(line, arguments);
    if (!whole) line[0] = '\0';
    return whole;
}

const char* InterpreterFromEnvironment(const char* block)
{
    const char* interpreter = FindEnvironmentValue(block, "COMSPEC");
    return interpreter ? interpreter : "CMD.EXE";
}

// Copies the interpreter's command line into line; false when it does not fit.
static bool BuildInterpreterCommandLine(char (&line)[CommandLineSize], const char* program,
                                        const char* arguments)
{
    char* environment = GetEnvironmentStringsA();
    bool built = BuildRunnerCommandLine(line, InterpreterFromEnvironment(environment), program,
                                        arguments);
    if (environment) FreeEnvironmentStringsA(environment);
    return built;
}

// Starts the command line hidden and waits for its exit code.
static unsigned long RunCommandLine(char* line)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &process))
        return GetLastError();

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.hProcess, &exitCode)) exitCode = 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

// The command line comes from the heap: a page of it on the stack would make the
// frame larger than the one page that a stack without probes may grow by at once.
struct CommandLine {
    char text[CommandLineSize];
};

unsigned long RunHiddenCommand(const char* program, const char* arguments)
{
    CommandLine* line = static_cast<CommandLine*>(AllocateZeroed(1, sizeof(CommandLine)));
    if (!line) return ERROR_NOT_ENOUGH_MEMORY;
    unsigned long answer = BuildInterpreterCommandLine(line->text, program, arguments)
                               ? RunCommandLine(line->text)
                               : RunnerRefusedCode;
    FreeMemory(line);
    return answer;
}
