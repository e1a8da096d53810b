// The host check: ping through the hidden runner, count the capture lines that name
// the host or the address ping resolved it to, write the verdict into the result file.
#include "actions/hostcheck.h"
#include "actions/capture.h"
#include "actions/runner.h"
#include "base/tempfiles.h"
#include "base/text.h"

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

static bool IsAddressCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
           c == '.' || c == ':' || c == '%';
}

// Copies the address that starts at text and ends at "]" into address; false, leaving
// address alone, when the text there is no address or is longer than 45 characters.
static bool ReadBracketedAddress(const char* text, char (&address)[ResolvedAddressLimit + 1])
{
    size_t length = 0;
    while (length <= ResolvedAddressLimit && IsAddressCharacter(text[length])) ++length;
    if (length == 0 || length > ResolvedAddressLimit || text[length] != ']') return false;
    for (size_t at = 0; at < length; ++at) address[at] = text[at];
    address[length] = '\0';
    return true;
}

bool ScanHostPiece(HostScan& scan, const char* piece)
{
    size_t hostLength = 0;
    while (scan.host[hostLength]) ++hostLength;
    if (scan.address[0] == '\0' && hostLength > 0) {
        for (const char* at = FindText(piece, scan.host); at; at = FindText(at + 1, scan.host)) {
            const char* behind = at + hostLength;
            if (behind[0] == ' ' && behind[1] == '[' && ReadBracketedAddress(behind + 2, scan.address))
                break;
        }
    }
    return ContainsText(piece, scan.host) || (scan.address[0] != '\0' && ContainsText(piece, scan.address));
}

static bool NamesTheHost(const char* piece, void* scan)
{
    return ScanHostPiece(*static_cast<HostScan*>(scan), piece);
}

// Pings the host and answers how many capture pieces name it or its address.
static int CountHostLines(const char* capturePath, const char* host)
{
    char arguments[HostArgumentSize];
    // An acceptable host has at most 56 characters, so the 22 of the redirection fit.
    CopyText(arguments, host);
    AppendText(arguments, " > %temp%\\RunSilent.txt");
    RunHiddenCommand("ping.exe", arguments);

    HostScan scan = {host};
    return CountPieces(capturePath, NamesTheHost, &scan);
}

bool CheckHost(const char* host)
{
    char capturePath[PathBufferSize];
    if (!BuildTempFilePath(capturePath, CaptureFileName)) {
        // No verdict can be had; an old one must not pass for it.
        RemoveResultFile();
        return false;
    }
    int count = IsAcceptableHost(host) ? CountHostLines(capturePath, host) : 0;
    // The capture belongs to this action: after every check it is gone, a refused
    // host's included.
    DeleteFileA(capturePath);
    if (count >= FoundLineThreshold) return WriteResultFile("found", host);
    WriteResultFile("failed", nullptr);
    return false;
}
