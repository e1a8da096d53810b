// The host check of "checkip:": pings the host hidden and writes the verdict.
#pragma once

#include <cstddef>

constexpr size_t HostTextLimit = 56;       // longest host text accepted
constexpr size_t HostArgumentSize = 80;    // host, blank, redirection, NUL
constexpr int FoundLineThreshold = 4;      // lines naming the host that mean "found"

// True for a host text that may stand on the interpreter's command line: 1 to 56
// characters, each a letter, digit, "." "-" "_" or ":" (host names, IPv4 and IPv6
// literals). Interpreter syntax, blanks and control characters are refused. Pure.
bool IsAcceptableHost(const char* host);

// Runs "ping.exe <host> > %temp%\RunSilent.txt" through the hidden runner, counts the
// capture's pieces that contain the host, deletes the capture, and replaces the result
// file with "found <host>\n" (4 or more) or "failed\n". A host text that is not
// acceptable runs no tool and gets "failed\n"; a temporary directory too long for the
// file names runs nothing and removes an old result file. Answers true when it wrote
// "found".
bool CheckHost(const char* host);
