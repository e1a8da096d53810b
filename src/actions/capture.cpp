// The capture scan shared by the host check and the address refresh.
#include "actions/capture.h"
#include "base/text.h"
#include "base/textfile.h"

int CountPieces(const char* path, PieceTest test, void* context)
{
    TextReader file;
    if (!OpenTextFile(file, path)) return 0;
    int count = 0;
    char piece[TextPieceSize];
    while (ReadTextPiece(file, piece)) {
        if (test(piece, context)) ++count;
    }
    CloseTextFile(file);
    return count;
}

static bool Contains(const char* piece, void* text)
{
    return ContainsText(piece, static_cast<const char*>(text));
}

int CountPiecesContaining(const char* path, const char* text)
{
    return CountPieces(path, Contains, const_cast<char*>(text));
}
