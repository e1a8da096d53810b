// The command dispatcher. The split of the command line and the matching of the
// command words are pure functions; DispatchCommand connects a match to its action.
#include "entry/dispatch.h"
#include "base/tempfiles.h"
#include "base/text.h"
#include "actions/hostcheck.h"
#include "actions/refresh.h"
#include "report/report.h"

#include <windows.h>

const char* CommandTextOf(const char* commandLine, LeadByteTest isLeadByte)
{
    if (!commandLine) return "";
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') {
            // A lead byte takes its trail byte along, so that byte never closes the name.
            if (isLeadByte(*p) && p[1] != '\0') ++p;
            ++p;
        }
        if (*p == '"') ++p;
    } else {
        while (*p > ' ') ++p;
    }
    while (*p >= 1 && *p <= ' ') ++p;
    return reinterpret_cast<const char*>(p);
}

CommandMatch MatchCommand(const char* text)
{
    if (EqualsFolded(text, "report")) return {CommandWord::Report, ""};
    if (StartsWith(text, "delete:")) return {CommandWord::Delete, text + 7};
    if (StartsWith(text, "checkwinsock2") && text[13] == '\0') return {CommandWord::CheckWinsock2, ""};
    if (EqualsFolded(text, "refresh")) return {CommandWord::Refresh, ""};
    if (StartsWithFolded(text, "refresh:")) return {CommandWord::RefreshText, text + 8};
    if (StartsWith(text, "checkip:")) return {CommandWord::CheckIp, text + 8};
    return {CommandWord::None, ""};
}

bool IsPlainTempName(const char* name)
{
    size_t length = BoundedLength(name, ArgumentBufferSize);
    if (length == 0 || length >= ArgumentBufferSize) return false;
    bool onlyDotsAndBlanks = true;
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < ' ' || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?') return false;
        if (c != '.' && c != ' ') onlyDotsAndBlanks = false;
    }
    return !onlyDotsAndBlanks;
}

void DeleteTempFile(const char* name)
{
    char path[PathBufferSize];
    if (!IsPlainTempName(name)) return;
    if (!BuildTempFilePath(path, name)) return;
    DeleteFileA(path);
}

int DispatchCommand(const char* commandText)
{
    CommandMatch match = MatchCommand(commandText);
    switch (match.word) {
    case CommandWord::Delete:
        DeleteTempFile(match.argument);
        break;
    case CommandWord::CheckIp:
        CheckHost(match.argument);
        break;
    case CommandWord::Report:
        WriteSystemReport();
        break;
    case CommandWord::CheckWinsock2:
        HasWinsock2();  // the answer reaches neither a file nor the exit code
        break;
    case CommandWord::Refresh:
    case CommandWord::RefreshText:
        RefreshAddress(match.argument);
        break;
    case CommandWord::None:
        break;
    }
    return 0;
}
