// The capture file shared by the host check and the address refresh: its redirection,
// its deletion before a tool runs, and the scan of what the tool left in it.
#include "actions/capture.h"
#include "base/tempfiles.h"
#include "base/text.h"
#include "base/textfile.h"

#include <windows.h>

static bool NeedsQuotes(const char* path)
{
    for (; *path; ++path) {
        switch (*path) {
        case ' ': case '\t': case '&': case '|': case '<': case '>': case '^': case '(':
        case ')': case ',': case ';': case '=':
            return true;
        default:
            break;
        }
    }
    return false;
}

bool AppendCapturePath(char* arguments, size_t size, const char* capturePath)
{
    if (ContainsText(capturePath, "%") || ContainsText(capturePath, "\"")) return false;
    size_t used = BoundedLength(arguments, size);
    const char* quote = NeedsQuotes(capturePath) ? "\"" : "";
    bool whole = AppendText(arguments, size, quote) && AppendText(arguments, size, capturePath) &&
                 AppendText(arguments, size, quote);
    if (!whole && used < size) arguments[used] = '\0';
    return whole;
}

bool ClearCapture(const char* capturePath)
{
    return RemoveOwnFile(capturePath);
}

int CountPieces(const char* path, PieceTest test, void* context)
{
    TextReader file;
    if (!OpenTextFile(file, path)) return 0;
    int count = 0;
    char piece[TextPieceSize];
    while (size_t length = ReadTextPiece(file, piece)) {
        if (test(piece, length, context)) ++count;
    }
    CloseTextFile(file);
    return count;
}

static bool Contains(const char* piece, size_t, void* text)
{
    return ContainsText(piece, static_cast<const char*>(text));
}

int CountPiecesContaining(const char* path, const char* text)
{
    return CountPieces(path, Contains, const_cast<char*>(text));
}
