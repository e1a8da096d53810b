// Paths into the temporary directory and the result file's exact bytes.
#include "base/tempfiles.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

TEST(TempFiles, JoinsDirectoryAndNameUpTo255Characters)
{
    char path[PathBufferSize];
    std::string dir = "C:\\" + std::string(241, 'd') + "\\";  // 245 characters
    EXPECT_TRUE(JoinTempFilePath(path, dir.c_str(), 245, "qopass.txt"));
    EXPECT_EQ(255u, strlen(path));
    EXPECT_FALSE(JoinTempFilePath(path, dir.c_str(), 245, "RunSilent.txt"));
    EXPECT_STREQ("", path);
}

TEST(TempFiles, RefusesADirectoryTheSystemCouldNotReport)
{
    char path[PathBufferSize] = "stale";
    EXPECT_FALSE(JoinTempFilePath(path, "", 0, "qopass.txt"));
    EXPECT_STREQ("", path);
    std::string dir(254, 'd');
    EXPECT_FALSE(JoinTempFilePath(path, dir.c_str(), 255, "x"));
}

TEST(TempFiles, ResultFileIsOneLineEndingInCrLf)
{
    ScopedTempDir temp;
    EXPECT_TRUE(WriteResultFile("found", "host.example"));
    EXPECT_EQ("found host.example\r\n", ReadFileBytes(temp / "qopass.txt"));
    EXPECT_TRUE(WriteResultFile("failed", nullptr));
    EXPECT_EQ("failed\r\n", ReadFileBytes(temp / "qopass.txt"));
    ASSERT_TRUE(SetFileAttributesA((temp / "qopass.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(RemoveResultFile()) << "a read-only old answer goes too";
    EXPECT_FALSE(FileExists(temp / "qopass.txt"));
}

TEST(TempFiles, ResultPathOccupiedByAFolderWritesNothing)
{
    ScopedTempDir temp;
    CreateDirectoryA((temp / "qopass.txt").c_str(), nullptr);
    EXPECT_FALSE(WriteResultFile("failed", nullptr));
    EXPECT_TRUE(DirectoryExists(temp / "qopass.txt"));
}

TEST(TempFiles, ATemporaryDirectoryTooLongForTheNameIsRefused)
{
    // GetTempPathA reports TMP as it is; 250 characters leave no room for the names.
    std::string longDir = "C:\\" + std::string(246, 'd');
    ScopedEnv tmp("TMP", longDir.c_str());
    char path[PathBufferSize];
    EXPECT_FALSE(BuildTempFilePath(path, ResultFileName));
    EXPECT_FALSE(WriteResultFile("failed", nullptr));
}

static bool ReadOnly(const std::string& path)
{
    return (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY) != 0;
}

// Between the check and the change, another program tries to rename the answer away and
// put a hard link to a read-only file elsewhere in its place.
static std::string SwapTarget;
static BOOL WINAPI SwapThenSetAttributes(LPCSTR path, DWORD attributes)
{
    if (!(attributes & FILE_ATTRIBUTE_READONLY) && MoveFileA(path, (std::string(path) + ".moved").c_str()))
        CreateHardLinkA(path, SwapTarget.c_str(), nullptr);
    return SetFileAttributesA(path, attributes);
}

// The DOS sharing rules of Windows 95, 98 and ME may refuse an attribute change on a
// file open in a sharing mode (Wine does not imitate this; this setter does).
static BOOL WINAPI SetAttributesOfAFileNoOneHolds(LPCSTR path, DWORD attributes)
{
    HANDLE probe = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return FALSE;
    CloseHandle(probe);
    return SetFileAttributesA(path, attributes);
}

// Clearing the mark of a file that is also named elsewhere, or that another program
// holds open, would reach past the program's own answer: the file elsewhere keeps its
// mark in every case. NT holds the checked file open while its mark is cleared; the 9x
// platform closes it first.
TEST(TempFiles, RemoveOwnFileClearsTheMarkOfALoneReadOnlyFileOnly)
{
    ScopedTempDir temp;
    ScratchDir elsewhere("elsewhere");
    std::string path = temp / "qopass.txt";
    SwapTarget = elsewhere / "kept.txt";
    WriteFileBytes(SwapTarget, "kept");
    ASSERT_TRUE(SetFileAttributesA(SwapTarget.c_str(), FILE_ATTRIBUTE_READONLY));
    struct Case {
        const char* what;
        bool linked, held;
        SetAttributesFunction setter;
        bool nt, gone;
    } cases[] = {
        {"a lone read-only file", false, false, SetFileAttributesA, true, true},
        {"a hard link to a read-only file elsewhere", true, false, SetFileAttributesA, true, false},
        {"a read-only file another program holds open", false, true, SetFileAttributesA, true, false},
        {"a read-only file someone tries to swap for a link", false, false, SwapThenSetAttributes, true, true},
        {"a lone read-only file on 95, 98 and ME", false, false, SetAttributesOfAFileNoOneHolds, false, true},
    };
    for (const Case& c : cases) {
        if (c.linked) ASSERT_TRUE(CreateHardLinkA(path.c_str(), SwapTarget.c_str(), nullptr)) << c.what;
        else WriteFileBytes(path, "refresh\r\n");
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << c.what;
        HANDLE held = c.held ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
        EXPECT_EQ(c.gone, RemoveOwnFile(path.c_str(), c.setter, c.nt)) << c.what;
        EXPECT_EQ(!c.gone, FileExists(path)) << c.what;
        EXPECT_TRUE(c.gone || ReadOnly(path)) << c.what << " lost its mark";
        EXPECT_TRUE(ReadOnly(SwapTarget)) << c.what << ": the file elsewhere lost its mark";
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        ASSERT_TRUE(SetFileAttributesA(SwapTarget.c_str(), FILE_ATTRIBUTE_READONLY));
    }
}
