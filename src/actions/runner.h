// The hidden command runner: starts a console tool through the command interpreter,
// in a console of its own that is never shown, and waits for its exit code.
#pragma once

#include <cstddef>

constexpr size_t CommandLineSize = 4096;  // interpreter command line, NUL included

// Answered instead of a process exit code when the command line would pass 4,095
// characters: nothing is started then.
constexpr unsigned long RunnerRefusedCode = 206;  // ERROR_FILENAME_EXCED_RANGE

// Finds name in an environment block ("NAME=value\0...\0\0"), letters A to Z folded;
// answers the value, or null when no such variable exists. Entries that begin with "="
// (the per-drive directories) never match. Pure.
const char* FindEnvironmentValue(const char* block, const char* name);

// The interpreter named by COMSPEC in the environment block, "CMD.EXE" when the block
// holds no such variable; an empty value stays empty. Pure.
const char* InterpreterFromEnvironment(const char* block);

// Builds "<interpreter> /c <program> <arguments>" into line. Refuses, leaving line
// empty and answering false, when the result would pass 4,095 characters.
bool BuildRunnerCommandLine(char (&line)[CommandLineSize], const char* interpreter,
                            const char* program, const char* arguments);

// Runs program with arguments through the interpreter named by COMSPEC ("CMD.EXE" when
// the variable is absent), hidden, and waits without a time-out. Answers the tool's
// exit code, the system error code when the process cannot be created (or
// ERROR_NOT_ENOUGH_MEMORY when the command line cannot be had), or RunnerRefusedCode
// when the command line does not fit.
unsigned long RunHiddenCommand(const char* program, const char* arguments);
