// Text mode done by the program itself. Writing stores "\n" as CR LF through a small
// buffer. Reading turns the file's bytes into characters one at a time: CR LF becomes
// LF (the CR looks one byte ahead, across a refill of the buffer if need be), and
// Ctrl-Z ends the file, as the C runtime's text mode did for a disk file.
#include "base/textfile.h"

namespace {

constexpr int EndOfText = -1;
constexpr unsigned char CtrlZ = 0x1A;

// A write that the system refuses, or that takes fewer bytes than it was given, marks
// the file as not whole.
void Flush(TextWriter& writer)
{
    DWORD written = 0;
    if (writer.used > 0 && !writer.failed &&
        (!WriteFile(writer.file, writer.buffer, static_cast<DWORD>(writer.used), &written, nullptr) ||
         written != writer.used))
        writer.failed = true;
    writer.used = 0;
}

void Put(TextWriter& writer, char c)
{
    if (writer.used == sizeof(writer.buffer)) Flush(writer);
    writer.buffer[writer.used++] = c;
}

// Makes sure a byte is buffered; false at the end of the file or on a read error.
bool HasByte(TextReader& reader)
{
    if (reader.next < reader.count) return true;
    DWORD got = 0;
    if (!ReadFile(reader.file, reader.buffer, sizeof(reader.buffer), &got, nullptr) || got == 0)
        return false;
    reader.count = got;
    reader.next = 0;
    return true;
}

int NextCharacter(TextReader& reader)
{
    if (reader.ended || !HasByte(reader)) {
        reader.ended = true;
        return EndOfText;
    }
    unsigned char c = reader.buffer[reader.next++];
    if (c == CtrlZ) {
        reader.ended = true;
        return EndOfText;
    }
    if (c == '\r' && HasByte(reader) && reader.buffer[reader.next] == '\n') {
        ++reader.next;
        return '\n';
    }
    return c;
}

}  // namespace

bool CreateTextFile(TextWriter& writer, const char* path)
{
    writer.used = 0;
    writer.failed = false;
    writer.file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return writer.file != INVALID_HANDLE_VALUE;
}

void WriteText(TextWriter& writer, const char* text)
{
    for (; *text; ++text) {
        if (*text == '\n') Put(writer, '\r');
        Put(writer, *text);
    }
}

bool CloseTextFile(TextWriter& writer)
{
    if (writer.file == INVALID_HANDLE_VALUE) return false;
    Flush(writer);
    if (!CloseHandle(writer.file)) writer.failed = true;
    writer.file = INVALID_HANDLE_VALUE;
    return !writer.failed;
}

bool OpenTextFile(TextReader& reader, const char* path)
{
    reader.count = 0;
    reader.next = 0;
    reader.ended = false;
    reader.file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return reader.file != INVALID_HANDLE_VALUE;
}

size_t ReadTextPiece(TextReader& reader, char (&piece)[TextPieceSize])
{
    size_t length = 0;
    while (length < TextPieceSize - 1) {
        int c = NextCharacter(reader);
        if (c == EndOfText) break;
        piece[length++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    piece[length] = '\0';
    return length;
}

void CloseTextFile(TextReader& reader)
{
    if (reader.file != INVALID_HANDLE_VALUE) CloseHandle(reader.file);
    reader.file = INVALID_HANDLE_VALUE;
}
