// The capture scan shared by the host check and the address refresh.
#include "actions/capture.h"
#include "base/text.h"
#include "base/textfile.h"

int CountPiecesContaining(const char* path, const char* text)
{
    TextReader file;
    if (!OpenTextFile(file, path)) return 0;
    int count = 0;
    char piece[TextPieceSize];
    while (ReadTextPiece(file, piece)) {
        if (ContainsText(piece, text)) ++count;
    }
    CloseTextFile(file);
    return count;
}
