// The capture scan shared by the host check and the address refresh.
#include "actions/capture.h"

#include <cstdio>
#include <cstring>

int CountPiecesContaining(const char* path, const char* text)
{
    FILE* file = fopen(path, "rt");
    if (!file) return 0;
    int count = 0;
    char piece[CapturePieceSize];
    while (fgets(piece, CapturePieceSize, file)) {
        if (strstr(piece, text)) ++count;
    }
    fclose(file);
    return count;
}
