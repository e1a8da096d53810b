// The host check: ping through the hidden runner, count the capture lines that name
// the host or the address ping resolved it to, write the verdict into the result file.
#include "actions/hostcheck.h"
#include "actions/capture.h"
#include "actions/runner.h"
#include "base/tempfiles.h"
#include "base/text.h"
#include "base/textfile.h"

#include <windows.h>

static bool IsHostCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '.' || c == '-' || c == '_' || c == ':';
}

bool IsAcceptableHost(const char* host)
{
    size_t length = BoundedLength(host, HostTextLimit + 1);
    if (length == 0 || length > HostTextLimit) return false;
    for (const char* p = host; *p; ++p) {
        if (!IsHostCharacter(*p)) return false;
    }
    return true;
}

static bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

static bool IsAddressCharacter(char c)
{
    return IsHexDigit(c) || c == '.' || c == ':' || c == '%';
}

static bool IsAsciiLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A byte that continues a name or an address on either side: a text with one of these
// beside it is part of a longer word ("192.168.1.1" in "192.168.1.10").
static bool IsWordByte(char c)
{
    return IsAsciiLetterOrDigit(c) || c == '-' || c == '_';
}

// A ":" continues an IPv6 address where a hex digit follows it, or a hex digit or
// another ":" stands before it: "2001:db8::1" in "2001:db8::1:5" or "fd00:2001:db8::1".
static bool StandsWhole(const char* piece, const char* at, size_t length)
{
    if (at > piece && (IsWordByte(at[-1]) || at[-1] == '.')) return false;
    if (at - piece >= 2 && at[-1] == ':' && (IsHexDigit(at[-2]) || at[-2] == ':')) return false;
    const char* behind = at + length;
    if (IsWordByte(behind[0])) return false;
    if (behind[0] == '.' && IsAsciiLetterOrDigit(behind[1])) return false;
    return !(behind[0] == ':' && IsHexDigit(behind[1]));
}

bool ContainsWholeText(const char* piece, const char* text)
{
    size_t length = BoundedLength(text, TextPieceSize);
    if (length == 0) return false;
    for (const char* at = FindText(piece, text); at; at = FindText(at + 1, text)) {
        if (StandsWhole(piece, at, length)) return true;
    }
    return false;
}

static bool HoldsMoreThanBlanks(const char* piece, size_t length)
{
    for (size_t at = 0; at < length; ++at) {
        if (piece[at] != ' ' && piece[at] != '\r' && piece[at] != '\n') return true;
    }
    return false;
}

// A piece ends its line with the line feed, or short of a full piece at the file's end.
static bool EndsLine(const char* piece, size_t length)
{
    return length < TextPieceSize - 1 || piece[length - 1] == '\n';
}

// Takes the first line's next byte. A "[" behind a blank opens a bracket; 1 to 45
// address characters and a "]" close it with the address; any other byte, or a 46th
// address character, gives the bracket up.
static void TakeFirstLineByte(HostScan& scan, char c)
{
    if (scan.inBracket) {
        if (c == ']' && scan.bracketLength > 0) {
            scan.bracket[scan.bracketLength] = '\0';
            CopyText(scan.address, scan.bracket);
        }
        if (IsAddressCharacter(c) && scan.bracketLength < ResolvedAddressLimit)
            scan.bracket[scan.bracketLength++] = c;
        else
            scan.inBracket = false;
    } else if (c == '[' && scan.previous == ' ') {
        scan.inBracket = true;
        scan.bracketLength = 0;
    }
    scan.previous = c;
}

// Learns the address from the pieces of the first line that holds more than blanks.
static void LearnAddress(HostScan& scan, const char* piece, size_t length)
{
    if (scan.firstLine == FirstLine::NotYet && HoldsMoreThanBlanks(piece, length))
        scan.firstLine = FirstLine::Reading;
    // Blank lines before it pass through the bracket scan too, which is harmless: they
    // hold only blanks and line ends, so they open no bracket, and the byte they leave
    // before the first line is the line feed that ends them, as at the capture's start.
    for (size_t at = 0; at < length && scan.address[0] == '\0'; ++at) TakeFirstLineByte(scan, piece[at]);
    if (scan.firstLine == FirstLine::Reading && EndsLine(piece, length)) scan.firstLine = FirstLine::Passed;
}

bool ScanHostPiece(HostScan& scan, const char* piece, size_t length)
{
    if (scan.firstLine != FirstLine::Passed) LearnAddress(scan, piece, length);
    return ContainsWholeText(piece, scan.host) ||
           (scan.address[0] != '\0' && ContainsWholeText(piece, scan.address));
}

static bool NamesTheHost(const char* piece, size_t length, void* scan)
{
    return ScanHostPiece(*static_cast<HostScan*>(scan), piece, length);
}

int CountPiecesNamingHost(const char* path, const char* host)
{
    HostScan scan = {host};
    return CountPieces(path, NamesTheHost, &scan);
}

// Pings the host and answers how many capture pieces name it or its address. Runs no
// tool, answering 0, when the capture path cannot stand on the interpreter's command
// line or an earlier capture cannot be deleted.
static int PingAndCount(const char* capturePath, const char* host)
{
    char arguments[HostArgumentSize];
    // An acceptable host has at most 56 characters, so " > " and the quoted path fit.
    CopyText(arguments, host);
    AppendText(arguments, " > ");
    if (!AppendCapturePath(arguments, capturePath) || !ClearCapture(capturePath)) return 0;
    RunHiddenCommand("ping.exe", arguments);
    return CountPiecesNamingHost(capturePath, host);
}

bool CheckHost(const char* host)
{
    char capturePath[PathBufferSize];
    if (!BuildTempFilePath(capturePath, CaptureFileName)) {
        // No verdict can be had; an old one must not pass for it.
        RemoveResultFile();
        return false;
    }
    int count = IsAcceptableHost(host) ? PingAndCount(capturePath, host) : 0;
    // The capture belongs to this action: after every check it is gone, a refused
    // host's included.
    RemoveOwnFile(capturePath);
    if (count >= FoundLineThreshold) return WriteResultFile("found", host);
    WriteResultFile("failed", nullptr);
    return false;
}
