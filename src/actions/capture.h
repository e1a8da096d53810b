// The capture file: how a tool's console output is sent into it, and how it is read
// back. The interpreter is given the capture's path exactly as the program reads it,
// never a variable of its own to expand.
#pragma once

#include <cstddef>

// Appends the capture path as a redirection names it: in double quotes where it holds
// a blank, a tab or a character of the interpreter's syntax (& | < > ^ ( ) , ; =),
// which inside quotes are plain characters. Refuses, leaving arguments as they were and
// answering false, when the path holds "%" or a double quote, which the interpreter
// reads as its own even there, or when the text does not fit the size bytes.
bool AppendCapturePath(char* arguments, size_t size, const char* capturePath);

template <size_t N> bool AppendCapturePath(char (&arguments)[N], const char* capturePath)
{
    return AppendCapturePath(arguments, N, capturePath);
}

// Deletes the capture before a tool writes it, a read-only one too (RemoveOwnFile).
// False when something stays at the path (a file held open, a folder or directory
// junction, a read-only link): no tool may run then, or its answer could be an old or
// planted file, or be written through a planted link. A link that is not read only is
// deleted like a file, and only the link goes.
bool ClearCapture(const char* capturePath);

// Whether one piece of a capture counts; length is the piece's as the reader gave it,
// NUL bytes included. context is the caller's.
using PieceTest = bool (*)(const char* piece, size_t length, void* context);

// Reads the file in text mode, piece by piece (a line, or 254 characters of a longer
// one), to its end, and counts the pieces that test accepts. A file that does not open
// counts 0.
int CountPieces(const char* path, PieceTest test, void* context);

// Counts the pieces that contain text as a case-sensitive substring; a piece counts
// once however often it holds it.
int CountPiecesContaining(const char* path, const char* text);
