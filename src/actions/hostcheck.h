// The host check of "checkip:": pings the host hidden and writes the verdict.
#pragma once

#include "base/tempfiles.h"

#include <cstddef>

constexpr size_t HostTextLimit = 56;       // longest host text accepted
// ping's arguments: the host, " > ", the capture path in quotes, NUL.
constexpr size_t HostArgumentSize = HostTextLimit + 3 + 2 + (PathBufferSize - 1) + 1;
constexpr int FoundLineThreshold = 4;      // lines naming the host that mean "found"
constexpr size_t ResolvedAddressLimit = 45;  // longest address ping shows in brackets

// True for a host text that may stand on the interpreter's command line: 1 to 56
// characters, each a letter, digit, "." "-" "_" or ":" (host names, IPv4 and IPv6
// literals). Interpreter syntax, blanks and control characters are refused. Pure.
bool IsAcceptableHost(const char* host);

// Where the scan stands with the capture's first line that holds anything but blanks
// and line ends: the one line whose brackets can give the host's address.
enum class FirstLine { NotYet, Reading, Passed };

// What the scan of ping's output has found so far. Windows' ping names a host given by
// name only in its first line, "Pinging NAME [ADDRESS] ...", where NAME is the name as
// it resolved (a suffix appended, other capitals, an alias's canonical name, the
// computer's own name for localhost); the replies and the statistics name the address
// alone. So once the first line has shown the address, pieces holding it count as well.
// The first line is read whole, however many pieces it spans: an address cut between two
// pieces is gathered in bracket until its "]".
struct HostScan {
    const char* host;
    char address[ResolvedAddressLimit + 1] = "";  // empty until the first line shows it
    FirstLine firstLine = FirstLine::NotYet;
    char previous = '\n';                         // the byte before the next one taken
    bool inBracket = false;                       // behind a "[" that follows a blank
    size_t bracketLength = 0;                     // address characters gathered there
    char bracket[ResolvedAddressLimit + 1] = {};
};

// True when piece holds text standing whole: the byte before it is none of the ASCII
// letters and digits, "-", "_" and ".", nor a ":" with a hex digit or ":" before it; the
// byte after it is none of the ASCII letters and digits, "-" and "_", nor a "." followed
// by an ASCII letter or digit, nor a ":" followed by a hex digit (the last two continue
// an IPv6 address). Bytes of 0x80 and above, blanks, other ":" and the piece's ends are
// boundaries. An empty text stands nowhere. Case-sensitive. Pure.
bool ContainsWholeText(const char* piece, const char* text);

// Scans one piece of the capture (length bytes, as the reader gave it) and answers
// whether it counts: once when it holds the host text or the address whole. The address
// is learnt only from the first line that holds anything but blanks and line ends: the
// first "[" there that follows a blank and holds 1 to 45 hex digits, "." ":" and "%" up
// to a "]". That line ends where the reader ends a piece with a line feed, or short of
// a full piece; a NUL ends nothing. Pure.
bool ScanHostPiece(HostScan& scan, const char* piece, size_t length);

// Reads the capture at path piece by piece through ScanHostPiece and answers how many
// pieces count; 0 when the file does not open.
int CountPiecesNamingHost(const char* path, const char* host);

// Deletes the capture, runs "ping.exe <host> > <capture path>" through the hidden
// runner, counts the capture's pieces that name the host or the address it resolved
// to, each standing whole, and replaces the result file with "found <host>\n" (4 or
// more) or "failed\n". No tool runs, and the verdict is "failed\n", for a host text
// that is not acceptable, a capture path that the interpreter would read as its own
// syntax, or a capture that cannot be deleted first; either way the capture is deleted
// afterwards. A temporary directory too long for the file names runs nothing and
// removes an old result file. Answers true when it wrote "found" whole.
bool CheckHost(const char* host);
