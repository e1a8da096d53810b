// Reading a tool's captured console output back from the capture file.
#pragma once

// Whether one piece of a capture counts; context is the caller's.
using PieceTest = bool (*)(const char* piece, void* context);

// Reads the file in text mode, piece by piece (a line, or 254 characters of a longer
// one), to its end, and counts the pieces that test accepts. A file that does not open
// counts 0.
int CountPieces(const char* path, PieceTest test, void* context);

// Counts the pieces that contain text as a case-sensitive substring; a piece counts
// once however often it holds it.
int CountPiecesContaining(const char* path, const char* text);
