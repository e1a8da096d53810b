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
    EXPECT_TRUE(RemoveResultFile());
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
