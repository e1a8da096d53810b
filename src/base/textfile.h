// Text-mode files, byte for byte as the C runtime's text mode wrote and read them: the
// calling application parses every written byte, and the capture scans count the
// pieces read.
#pragma once

#include <windows.h>
#include <cstddef>

constexpr size_t TextPieceSize = 255;   // a piece: at most 254 characters + NUL
constexpr size_t TextBufferSize = 512;  // bytes held between the file and the caller

// A file created for writing in text mode: every "\n" written is stored as CR LF, and
// no other byte changes.
struct TextWriter {
    HANDLE file = INVALID_HANDLE_VALUE;
    size_t used = 0;
    bool failed = false;  // a write was refused or cut short: the file is not whole
    char buffer[TextBufferSize];
};

// Creates path, or empties it when it exists, as the C runtime's "wt" did: shared for
// reading and writing, normal attributes. So a read-only or hidden file, a folder of
// that name, or a file open elsewhere without write sharing makes it fail; nothing is
// changed then.
bool CreateTextFile(TextWriter& writer, const char* path);
void WriteText(TextWriter& writer, const char* text);
// Writes what is buffered and closes the file. Answers true only when every byte
// written reached the file (a full disk refuses or cuts a write); the caller removes a
// file that is not whole, so that nothing half-written passes for an answer.
bool CloseTextFile(TextWriter& writer);

// A file opened for reading in text mode.
struct TextReader {
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD count = 0;     // bytes in buffer
    DWORD next = 0;      // the next of them to take
    bool ended = false;  // the end of the file or a Ctrl-Z was reached
    unsigned char buffer[TextBufferSize];
};

// Opens an existing file for reading, shared for reading and writing.
bool OpenTextFile(TextReader& reader, const char* path);

// The next piece, as the C runtime's fgets with a size of 255 gave it in text mode:
// the characters up to and including a line feed, at most 254 of them. CR LF reads as
// one line feed, a CR without LF is kept, and a Ctrl-Z byte (0x1A) ends the file. NUL
// bytes are read like any other; a search of the piece stops at the first, but the
// piece is as long as the answer says. Answers 0, with piece empty, when the file has
// no character left.
size_t ReadTextPiece(TextReader& reader, char (&piece)[TextPieceSize]);
void CloseTextFile(TextReader& reader);
