// The command dispatcher: from the process command line to the command text, from the
// command text to one of the six command words, and from the word to its action.
#pragma once

#include "base/codepage.h"

#include <cstddef>

enum class CommandWord {
    None,
    Report,          // "report", whole text, letters folded
    Delete,          // "delete:", prefix, case-sensitive
    CheckWinsock2,   // "checkwinsock2", whole text, case-sensitive
    Refresh,         // "refresh", whole text, letters folded
    RefreshText,     // "refresh:", prefix, letters folded
    CheckIp,         // "checkip:", prefix, case-sensitive
};

struct CommandMatch {
    CommandWord word;
    const char* argument;  // the text behind the colon, in place; "" for words without one
};

constexpr size_t ArgumentBufferSize = 80;  // "delete:" name + NUL

// Cuts the program name and the blanks behind it off a command line; a null command
// line gives the empty text. Pure: the lead-byte test is passed in.
const char* CommandTextOf(const char* commandLine, LeadByteTest isLeadByte);

// Tests the command text against the six command words in their fixed order.
CommandMatch MatchCommand(const char* commandText);

// True for a name that stays inside the temporary directory: 1 to 79 characters, no
// path separator, drive colon, wildcard or control character, and not made of dots
// and blanks alone (".", "..", "..." and the like name the directory or its parent).
bool IsPlainTempName(const char* name);

// Deletes the named file from the temporary directory. A name that is not plain, or a
// path that does not fit, deletes nothing.
void DeleteTempFile(const char* name);

// Runs the action of the command text; answers 0, whatever the action did.
int DispatchCommand(const char* commandText);
