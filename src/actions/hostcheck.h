// The host check of "checkip:": pings the host hidden and writes the verdict.
#pragma once

#include <cstddef>

constexpr size_t HostTextLimit = 56;       // longest host text accepted
constexpr size_t HostArgumentSize = 80;    // host, blank, redirection, NUL
constexpr int FoundLineThreshold = 4;      // lines naming the host that mean "found"
constexpr size_t ResolvedAddressLimit = 45;  // longest address ping shows in brackets

// True for a host text that may stand on the interpreter's command line: 1 to 56
// characters, each a letter, digit, "." "-" "_" or ":" (host names, IPv4 and IPv6
// literals). Interpreter syntax, blanks and control characters are refused. Pure.
bool IsAcceptableHost(const char* host);

// What the scan of ping's output has found so far. Ping names a host given by name
// only in its first line, "Pinging NAME [ADDRESS] ...", and the replies and the
// statistics by the address alone; so once a piece has shown the address, pieces
// holding it count as well.
struct HostScan {
    const char* host;
    char address[ResolvedAddressLimit + 1] = "";  // empty until a piece shows it
};

// Scans one piece of the capture and answers whether it counts: once when it holds
// the host text or the address. The address is learnt from the host text followed by
// one blank and "[", as the text up to the next "]" when that is 1 to 45 hex digits,
// "." ":" and "%"; an address in brackets anywhere else is none. Pure.
bool ScanHostPiece(HostScan& scan, const char* piece);

// Runs "ping.exe <host> > %temp%\RunSilent.txt" through the hidden runner, counts the
// capture's pieces that name the host or the address it resolved to, and replaces the
// result file with "found <host>\n" (4 or more) or "failed\n". A host text that is not
// acceptable runs no tool and gets "failed\n"; either way the capture is deleted
// afterwards. A temporary directory too long for the file names runs nothing and
// removes an old result file. Answers true when it wrote "found".
bool CheckHost(const char* host);
