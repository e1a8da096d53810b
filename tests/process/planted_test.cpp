// Nothing planted runs or loads. Windows looks for a program or library named without a
// path in the exe's own folder and in the current folder before the system's copy (the
// interpreter looks in its current folder first of all), and CreateProcess takes an
// unquoted path with a blank word by word, C:\Program.exe first. A planted program or
// library leaves a marker whenever it runs or is loaded; after every start there is
// none, and the system's own tools (the stand-ins in the system directory) answered.
#include "support/support.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace {

const std::string FourReplies = "Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n"
                                "Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n"
                                "Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n"
                                "Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n";

class Planted : public ::testing::Test {
protected:
    ScopedTempDir temp;
    StandinScript tool;
    ScratchDir exeDir{"exe"};
    ScratchDir currentDir{"current"};
    ScratchDir markerDir{"marker"};
    std::string markerPath = markerDir / "marker.txt";
    ScopedEnv marker{"KD_PLANTED_MARKER", markerPath.c_str()};
    std::string exe = exeDir / "korvadiag-planted.exe";
    ScopedAppDefaults app{"korvadiag-planted.exe"};

    void SetUp() override { ASSERT_TRUE(CopyFileA(ProductPath().c_str(), exe.c_str(), FALSE)); }

    // Windows loads the file it finds first; Wine loads its own copy of a library it
    // implements wherever it finds the file, unless DllOverrides ask for the file. The
    // exe's overrides make Wine load as Windows does: a planted file found would load.
    void LoadAsWindowsDoes()
    {
        for (const char* library : {"inetmib1", "wsock32", "advapi32"})
            ASSERT_TRUE(app.Set("DllOverrides", library, "native,builtin"));
    }

    static void Plant(const std::string& source, const std::string& target)
    {
        ASSERT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE)) << target;
    }

    void PlantBesideTheExeAndInTheCurrentFolder(const std::string& source, const char* name)
    {
        Plant(source, exeDir / name);
        Plant(source, currentDir / name);
    }

    // What ran or loaded of the planted files: one line each time.
    std::string Marker() const { return ReadFileBytes(markerPath); }

    DWORD Run(const std::string& text)
    {
        return RunProcess("\"" + exe + "\" " + text, currentDir.path().c_str());
    }
};

TEST_F(Planted, NoToolAndNoInterpreterComesFromTheExesOrTheCurrentFolder)
{
    for (const char* name : {"ping.exe", "IPConfig.exe", "CMD.EXE"})
        PlantBesideTheExeAndInTheCurrentFolder(PlantedExePath(), name);
    tool.Prints(FourReplies + "   IP Address. . . : 10.0.0.5\r\n");
    // With COMSPEC as the system sets it, and without it (CMD.EXE then).
    for (bool withComspec : {true, false}) {
        ScopedEnv comspec("COMSPEC", withComspec ? (SystemDirectory() + "cmd.exe").c_str() : nullptr);
        const char* what = withComspec ? "with COMSPEC" : "without COMSPEC";
        EXPECT_EQ(0u, Run("checkip:127.0.0.1")) << what;
        EXPECT_EQ("found 127.0.0.1\r\n", ReadFileBytes(temp / "qopass.txt")) << what;
        EXPECT_EQ(0u, Run("refresh:10.0.0.5")) << what;
        EXPECT_EQ("refresh found 10.0.0.5\r\n", ReadFileBytes(temp / "qopass.txt")) << what;
    }
    EXPECT_EQ("", Marker());
    EXPECT_TRUE(tool.Ran()) << "the system directory's tools should have answered";
}

TEST_F(Planted, AnUnquotedInterpreterPathStartsNoPrefixOfIt)
{
    ScratchDir base("prefix");
    std::string interpreter = base / "Program Files\\cmd.exe";
    ASSERT_TRUE(CreateDirectoryA((base / "Program Files").c_str(), nullptr));
    Plant(StandinDirectory() + "interpreter.exe", interpreter);
    Plant(PlantedExePath(), base / "Program.exe");
    ScopedEnv comspec("COMSPEC", interpreter.c_str());
    EXPECT_EQ(0u, Run("checkip:127.0.0.1"));
    EXPECT_EQ("", Marker());
    // Wine's default version is later than 2000, so a cmd.exe gets "/d".
    EXPECT_EQ(0u, tool.Log().find("cmd=\"" + interpreter + "\" /d /c ping.exe 127.0.0.1 > " + temp.path() +
                                  "RunSilent.txt\n"))
        << tool.Log();
}

TEST_F(Planted, NoLibraryComesFromTheExesOrTheCurrentFolder)
{
    LoadAsWindowsDoes();
    for (const char* name : {"inetmib1.dll", "wsock32.dll", "advapi32.dll"})
        PlantBesideTheExeAndInTheCurrentFolder(PlantedDllPath(), name);
    EXPECT_EQ(0u, Run("report"));
    std::string report = ReadFileBytes(temp / "qoreport.txt");
    EXPECT_EQ(8, std::count(report.begin(), report.end(), '\n')) << report;
    EXPECT_EQ("", Marker());
}

// Windows 95 to 2000, NT and XP before SP2 search the current folder second, before the
// system directory: SafeDllSearchMode off.
TEST_F(Planted, NoLibraryComesFromTheCurrentFolderWithoutSafeSearch)
{
    ScopedRegistryValue safeSearch(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                   "SafeDllSearchMode");
    DWORD off = 0;
    ASSERT_TRUE(safeSearch.Set(REG_DWORD, std::string(reinterpret_cast<const char*>(&off), sizeof(off))));
    LoadAsWindowsDoes();
    for (const char* name : {"inetmib1.dll", "wsock32.dll", "advapi32.dll"})
        Plant(PlantedDllPath(), currentDir / name);
    EXPECT_EQ(0u, Run("report"));
    EXPECT_TRUE(FileExists(temp / "qoreport.txt"));
    EXPECT_EQ("", Marker());
}

}  // namespace
