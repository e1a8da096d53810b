// The program's text mode against the C runtime's own, which these test programs link:
// the same file read piece by piece with fgets(piece, 255) in "rt" and with
// ReadTextPiece, the same text written with fputs in "wt" and with WriteText, and the
// same situations in which creating a file for writing fails.
#include "base/textfile.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char Poison = '\xAB';

// Every piece as the whole 255-byte buffer, poisoned before each read, so a piece
// holding a NUL, and every byte the read left alone, compare too.
using Pieces = std::vector<std::string>;

Pieces CrtPieces(const std::string& path)
{
    Pieces pieces;
    FILE* file = fopen(path.c_str(), "rt");
    if (!file) return {"(not opened)"};
    char piece[TextPieceSize];
    for (;;) {
        memset(piece, Poison, sizeof(piece));
        if (!fgets(piece, sizeof(piece), file)) break;
        pieces.emplace_back(piece, sizeof(piece));
    }
    fclose(file);
    return pieces;
}

Pieces OwnPieces(const std::string& path)
{
    Pieces pieces;
    TextReader file;
    if (!OpenTextFile(file, path.c_str())) return {"(not opened)"};
    char piece[TextPieceSize];
    for (;;) {
        memset(piece, Poison, sizeof(piece));
        if (!ReadTextPiece(file, piece)) break;
        pieces.emplace_back(piece, sizeof(piece));
    }
    CloseTextFile(file);
    return pieces;
}

std::string Visible(const std::string& bytes)
{
    std::string shown;
    for (unsigned char c : bytes.substr(0, 60)) {
        char hex[8];
        snprintf(hex, sizeof(hex), c >= ' ' && c < 127 ? "%c" : "<%02x>", c);
        shown += hex;
    }
    return shown + (bytes.size() > 60 ? "..." : "") + " (" + std::to_string(bytes.size()) + " bytes)";
}

}  // namespace

// Line ends, Ctrl-Z and NUL just before, on and after the 254-character edge of a
// piece, the 512-byte edge of the program's buffer and the 4,096-byte edge of the C
// runtime's, in the middle of a file and as its last bytes.
TEST(TextFile, ReadsThePiecesTheCRuntimesTextModeRead)
{
    ScratchDir dir("textread");
    const std::string path = dir / "capture.txt";
    const char* const specials[] = {"\r", "\n", "\r\n", "\x1a", "\0",
                                    "\r\r\n", "\r\x1a", "\n\r", "\r\0"};
    const size_t specialLengths[] = {1, 1, 2, 1, 1, 3, 2, 2, 2};
    std::vector<size_t> positions;
    for (size_t edge : {size_t(0), size_t(253), size_t(508), size_t(761), size_t(4092)})
        for (size_t at = edge; at < edge + 6; ++at) positions.push_back(at);

    int files = 0;
    for (size_t at : positions) {
        for (size_t s = 0; s < std::size(specials); ++s) {
            std::string special(specials[s], specialLengths[s]);
            std::string head(at, 'x');
            for (const std::string& bytes : {head + special, head + special + std::string(300, 'y') + "\r\n"}) {
                WriteFileBytes(path, bytes);
                ASSERT_EQ(CrtPieces(path), OwnPieces(path)) << "file " << Visible(bytes);
                ++files;
            }
        }
    }
    for (const std::string& bytes : {std::string(), std::string("\r"), std::string("\x1a" "after"),
                                     std::string(254, 'z') + "\r\n" + std::string(254, 'z') + "\n"}) {
        WriteFileBytes(path, bytes);
        EXPECT_EQ(CrtPieces(path), OwnPieces(path)) << "file " << Visible(bytes);
    }
    EXPECT_GT(files, 500);
}

TEST(TextFile, WritesTheBytesTheCRuntimesTextModeWrote)
{
    ScratchDir dir("textwrite");
    const std::string texts[] = {"", "found 10.1.2.3\n", "a\nb\n\n", "cr\r alone\r\n", "z\x1a" "z\n",
                                 std::string(511, 'w') + "\n" + std::string(700, 'v') + "\n"};
    for (const std::string& text : texts) {
        FILE* crt = fopen((dir / "crt.txt").c_str(), "wt");
        ASSERT_NE(nullptr, crt);
        fputs(text.c_str(), crt);
        fclose(crt);
        TextWriter own;
        ASSERT_TRUE(CreateTextFile(own, (dir / "own.txt").c_str()));
        WriteText(own, text.c_str());
        EXPECT_TRUE(CloseTextFile(own)) << Visible(text);
        EXPECT_EQ(ReadFileBytes(dir / "crt.txt"), ReadFileBytes(dir / "own.txt")) << Visible(text);
    }
}

// A write the system refuses, in the buffer's first flush or at the close, is a file
// that is not whole: the caller hears of it. (A handle without write access refuses
// every write, as a full disk does.)
TEST(TextFile, ARefusedWriteIsReportedAtTheClose)
{
    ScratchDir dir("textrefused");
    WriteFileBytes(dir / "file.txt", "");
    for (size_t length : {size_t(10), size_t(TextBufferSize + 10)}) {
        TextWriter writer;
        writer.file = CreateFileA((dir / "file.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, writer.file);
        WriteText(writer, std::string(length, 'x').c_str());
        EXPECT_FALSE(CloseTextFile(writer)) << length << " characters";
        EXPECT_EQ(INVALID_HANDLE_VALUE, writer.file);
    }
}

// Creating for writing succeeds and fails where the C runtime's "wt" did, and a
// failure leaves the old file as it was.
TEST(TextFile, CreatingFailsWhereTheCRuntimeFailed)
{
    struct Situation {
        const char* name;
        DWORD attributes;   // of an old file; 0 for no old file
        bool folder;        // a folder in the file's place
        DWORD openSharing;  // an open handle elsewhere with this sharing; ~0u for none
    } situations[] = {
        {"no old file", 0, false, ~0u},
        {"an old file", FILE_ATTRIBUTE_NORMAL, false, ~0u},
        {"a read-only file", FILE_ATTRIBUTE_READONLY, false, ~0u},
        {"a hidden file", FILE_ATTRIBUTE_HIDDEN, false, ~0u},
        {"a system file", FILE_ATTRIBUTE_SYSTEM, false, ~0u},
        {"a folder", 0, true, ~0u},
        {"a file open unshared", FILE_ATTRIBUTE_NORMAL, false, 0},
        {"a file open for reading only", FILE_ATTRIBUTE_NORMAL, false, FILE_SHARE_READ},
        {"a file open for reading and writing", FILE_ATTRIBUTE_NORMAL, false,
         FILE_SHARE_READ | FILE_SHARE_WRITE},
    };
    for (const Situation& situation : situations) {
        bool created[2];
        for (int own = 0; own < 2; ++own) {
            ScratchDir dir("textcreate");
            const std::string path = dir / "qopass.txt";
            if (situation.folder) {
                ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
            }
            if (situation.attributes) {
                WriteFileBytes(path, "old\r\n");
                SetFileAttributesA(path.c_str(), situation.attributes);
            }
            HANDLE other = INVALID_HANDLE_VALUE;
            if (situation.openSharing != ~0u)
                other = CreateFileA(path.c_str(), GENERIC_READ, situation.openSharing, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
            if (own) {
                TextWriter file;
                created[own] = CreateTextFile(file, path.c_str());
                CloseTextFile(file);
            } else {
                FILE* file = fopen(path.c_str(), "wt");
                created[own] = file != nullptr;
                if (file) fclose(file);
            }
            if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
            if (!created[own] && situation.attributes) {
                EXPECT_EQ("old\r\n", ReadFileBytes(path)) << situation.name;
            }
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        EXPECT_EQ(created[0], created[1]) << situation.name << ": the C runtime "
                                          << (created[0] ? "created" : "failed");
    }
}
