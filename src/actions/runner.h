// The hidden command runner: starts a console tool through the command interpreter,
// in a console of its own that is never shown, and waits for its exit code. The
// interpreter and its tools come from the system: the interpreter starts in the system
// directory, so it never finds a tool that someone put in the caller's folder.
#pragma once

#include "base/library.h"

#include <cstddef>

constexpr size_t CommandLineSize = 4096;  // interpreter command line, NUL included

// Answered instead of a process exit code when no interpreter may be started: the
// command line would pass 4,095 characters, COMSPEC is empty or holds a double quote,
// or the system directory cannot be had. Nothing is started then.
constexpr unsigned long RunnerRefusedCode = 206;  // ERROR_FILENAME_EXCED_RANGE

// Finds name in an environment block ("NAME=value\0...\0\0"), letters A to Z folded;
// answers the value, or null when no such variable exists. Entries that begin with "="
// (the per-drive directories) never match. Pure.
const char* FindEnvironmentValue(const char* block, const char* name);

// How CreateProcessA is to start the interpreter.
struct InterpreterCommand {
    char application[SystemPathSize];  // empty: the command line alone names it
    char line[CommandLineSize];
};

// True where "/d" goes before "/c": the interpreter's file name is cmd.exe (in any
// capitals) and the system is Windows NT 5.0 (2000) or later, whose cmd otherwise runs
// the AutoRun commands of the registry's "Command Processor" keys before every command.
// COMMAND.COM of 95, 98 and ME reads "/D" as something else, the cmd of NT 3.51 and 4.0
// documents no "/d", and another interpreter may not know it: they get "/c" alone. Pure.
bool TurnsAutoRunOff(const char* interpreter, const OSVERSIONINFOA& version);

// Builds the start of "<interpreter> /c <program> <arguments>" ("/d /c" where
// TurnsAutoRunOff says so for version) from COMSPEC's value (null when the
// environment has none) and the system directory:
// - COMSPEC names the interpreter, in double quotes when it holds a blank or a tab (so
//   that no prefix of it, "C:\Program.exe", can start), and no application name is
//   given: Windows 9x's COMMAND.COM is a 16-bit program, which CreateProcess takes from
//   the command line alone;
// - without COMSPEC the line begins with CMD.EXE and the application is the system
//   directory's CMD.EXE by its full path, never one from the exe's or current folder.
// Refuses, leaving both empty and answering false, when COMSPEC is empty or holds a
// double quote, the system directory is empty (without COMSPEC) or a text does not fit.
// Pure.
bool BuildInterpreterCommand(InterpreterCommand& command, const char* comspec,
                             const char* systemDirectory, const OSVERSIONINFOA& version,
                             const char* program, const char* arguments);

// Runs program with arguments through the interpreter, hidden, with the system
// directory as its current folder, and waits without a time-out. Answers the tool's
// exit code, the system error code when the process cannot be created (or
// ERROR_NOT_ENOUGH_MEMORY when the command cannot be had), or RunnerRefusedCode.
unsigned long RunHiddenCommand(const char* program, const char* arguments);
