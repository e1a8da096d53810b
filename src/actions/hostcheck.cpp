// The host check: ping through the hidden runner, count the capture lines that name
// the host, write the verdict into the result file.
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

// Pings the host and answers how many capture pieces name it; the capture is gone
// afterwards.
static int CountHostLines(const char* capturePath, const char* host)
{
    char arguments[HostArgumentSize];
    // An acceptable host has at most 56 characters, so the 22 of the redirection fit.
    CopyText(arguments, host);
    AppendText(arguments, " > %temp%\\RunSilent.txt");
    RunHiddenCommand("ping.exe", arguments);

    int count = CountPiecesContaining(capturePath, host);
    DeleteFileA(capturePath);
    return count;
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
    if (count >= FoundLineThreshold) return WriteResultFile("found", host);
    WriteResultFile("failed", nullptr);
    return false;
}
