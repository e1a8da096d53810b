// The hidden runner: the interpreter lookup, the command line, and real child
// processes started through Wine's cmd.exe or the stand-in interpreter.
#include "actions/runner.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

static const char Block[] = "=C:=C:\\dir\0PATH=C:\\windows\0COMSPECX=wrong\0ComSpec=C:\\x\\cmd.exe\0\0";

TEST(RunnerEnvironment, FindsComSpecWhateverItsCapitals)
{
    EXPECT_STREQ("C:\\x\\cmd.exe", FindEnvironmentValue(Block, "COMSPEC"));
    EXPECT_STREQ("C:\\windows", FindEnvironmentValue(Block, "path"));
    EXPECT_EQ(nullptr, FindEnvironmentValue(Block, "C:"));
    EXPECT_EQ(nullptr, FindEnvironmentValue(Block, "COMSPE"));
    EXPECT_EQ(nullptr, FindEnvironmentValue(nullptr, "COMSPEC"));
    EXPECT_STREQ("", FindEnvironmentValue("COMSPEC=\0\0", "COMSPEC"));
}

static OSVERSIONINFOA Version(DWORD platformId, DWORD major)
{
    return {sizeof(OSVERSIONINFOA), major, 0, 0, platformId, ""};
}

static const OSVERSIONINFOA Nt40 = Version(VER_PLATFORM_WIN32_NT, 4);

// CreateProcess takes an unquoted path with a blank word by word, C:\Program.exe first,
// and searches a bare name in the exe's and the current folder before the system's.
TEST(RunnerCommand, NamesTheInterpreterSoThatNoOtherFileCanStart)
{
    const char* sys = "C:\\windows\\system32";
    struct Case { const char* comspec; const char* application; const char* line; } cases[] = {
        {nullptr, "C:\\windows\\system32\\CMD.EXE", "CMD.EXE /c ping.exe host > C:\\t\\RunSilent.txt"},
        {"C:\\x\\cmd.exe", "", "C:\\x\\cmd.exe /c ping.exe host > C:\\t\\RunSilent.txt"},
        {"C:\\WINDOWS\\COMMAND.COM", "", "C:\\WINDOWS\\COMMAND.COM /c ping.exe host > C:\\t\\RunSilent.txt"},
        {"C:\\Program Files\\cmd.exe", "", "\"C:\\Program Files\\cmd.exe\" /c ping.exe host > C:\\t\\RunSilent.txt"},
        {"C:\\tab\there\\cmd.exe", "", "\"C:\\tab\there\\cmd.exe\" /c ping.exe host > C:\\t\\RunSilent.txt"},
    };
    InterpreterCommand command;
    for (const Case& c : cases) {
        const char* name = c.comspec ? c.comspec : "(no COMSPEC)";
        EXPECT_TRUE(BuildInterpreterCommand(command, c.comspec, sys, Nt40, "ping.exe", "host > C:\\t\\RunSilent.txt")) << name;
        EXPECT_STREQ(c.application, command.application) << name;
        EXPECT_STREQ(c.line, command.line) << name;
    }
}

// cmd of 2000 and later runs the registry's AutoRun commands before "/c" unless "/d"
// comes first. The process tests run each family; these are the names they do not.
TEST(RunnerCommand, SwitchesAutoRunOffForCmdOfWindows2000AndLater)
{
    const OSVERSIONINFOA win2000 = Version(VER_PLATFORM_WIN32_NT, 5), win10 = Version(VER_PLATFORM_WIN32_NT, 10);
    struct Case { const char* comspec; OSVERSIONINFOA version; const char* start; } cases[] = {
        {nullptr, win2000, "CMD.EXE /d /c"},
        {nullptr, Nt40, "CMD.EXE /c"},
        {"C:/x/cmd.exe", win10, "C:/x/cmd.exe /d /c"},
        {"C:\\tools\\mycmd.exe", win10, "C:\\tools\\mycmd.exe /c"},
        {"C:\\cmd.exe\\sh.exe", win10, "C:\\cmd.exe\\sh.exe /c"},
        {"C:\\x\\cmd.exe.bak", win10, "C:\\x\\cmd.exe.bak /c"},
        {"C:cmd.exe", win10, "C:cmd.exe /d /c"},  // drive-relative
        {"C:mycmd.exe", win10, "C:mycmd.exe /c"},
    };
    InterpreterCommand command;
    for (const Case& c : cases) {
        const char* name = c.comspec ? c.comspec : "(no COMSPEC)";
        EXPECT_TRUE(BuildInterpreterCommand(command, c.comspec, "C:\\s", c.version, "p", "h")) << name;
        EXPECT_EQ(std::string(c.start) + " p h", command.line) << name << " on " << c.version.dwMajorVersion;
    }
}

TEST(RunnerCommand, RefusesWhatWouldStartNothingOrTheWrongFile)
{
    std::string fits(4096 - 1 - strlen("X /c p "), 'a');
    std::string over = fits + 'a';
    struct Case { const char* what; const char* comspec; const char* sys; const char* arguments; bool built; } cases[] = {
        {"a line of exactly 4,095 characters", "X", "C:\\s", fits.c_str(), true},
        {"a line of 4,096 characters", "X", "C:\\s", over.c_str(), false},
        {"an empty COMSPEC", "", "C:\\s", "a", false},
        {"a quote in COMSPEC", "C:\\a\" b\\cmd.exe", "C:\\s", "a", false},
        {"no COMSPEC and no system directory", nullptr, "", "a", false},
    };
    InterpreterCommand command;
    for (const Case& c : cases) {
        EXPECT_EQ(c.built, BuildInterpreterCommand(command, c.comspec, c.sys, Nt40, "p", c.arguments)) << c.what;
        if (c.built) EXPECT_EQ(4095u, strlen(command.line)) << c.what;
        else EXPECT_STREQ("", command.line) << c.what;
    }
}

// The stand-in interpreter records the command line and start-up information the
// runner gave it, and exits with KD_STANDIN_EXIT.
class RunnerWithStandinInterpreter : public ::testing::Test {
protected:
    StandinScript tool;
    std::string interpreter = StandinDirectory() + "interpreter.exe";
    ScopedEnv exitEnv{"KD_STANDIN_EXIT", "7"};
};

TEST_F(RunnerWithStandinInterpreter, StartsTheInterpreterHiddenInTheSystemDirectory)
{
    ScopedEnv comspec("COMSPEC", interpreter.c_str());
    EXPECT_EQ(7u, RunHiddenCommand("ping.exe", "host > C:\\t\\RunSilent.txt"));
    std::string system = SystemDirectory();
    std::string expected = "cmd=" + interpreter + " /c ping.exe host > C:\\t\\RunSilent.txt\n" +
                           "show=0 flags=1\n" +  // SW_HIDE, STARTF_USESHOWWINDOW alone
                           "dir=" + system.substr(0, system.size() - 1) + "\n";
    EXPECT_EQ(expected, tool.Log());
}

TEST_F(RunnerWithStandinInterpreter, HonoursAComSpecWrittenInMixedCase)
{
    ScopedEnv upper("COMSPEC", nullptr);
    ScopedEnv mixed("ComSpec", interpreter.c_str());
    char* environment = GetEnvironmentStringsA();
    std::string entry = "ComSpec=" + interpreter;
    bool found = false;
    for (const char* p = environment; *p; p += strlen(p) + 1) found = found || entry == p;
    FreeEnvironmentStringsA(environment);
    ASSERT_TRUE(found) << "the environment block should spell the name ComSpec";

    EXPECT_EQ(7u, RunHiddenCommand("IPConfig.exe", "/release"));
    EXPECT_EQ(0u, tool.Log().find("cmd=" + interpreter + " /c IPConfig.exe /release\n")) << tool.Log();
}

TEST_F(RunnerWithStandinInterpreter, RefusedLineStartsNothing)
{
    std::string longInterpreter = interpreter + std::string(4096, ' ');
    ScopedEnv comspec("COMSPEC", longInterpreter.c_str());
    EXPECT_EQ(RunnerRefusedCode, RunHiddenCommand("ping.exe", "host"));
    EXPECT_FALSE(tool.Ran());
}

TEST(Runner, AnInterpreterThatCannotStartGivesTheSystemErrorCode)
{
    ScopedEnv comspec("COMSPEC", "C:\\no-such-folder\\no-such-interpreter.exe");
    unsigned long code = RunHiddenCommand("ping.exe", "host");
    EXPECT_TRUE(code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) << "got " << code;
}

TEST(Runner, RealInterpreterRedirectsTheToolsOutputAndPassesItsExitCode)
{
    ScopedTempDir temp;
    StandinScript tool;
    tool.Prints("line one\r\nline two\r\n");
    ScopedEnv exitCode("KD_STANDIN_EXIT", "1");
    std::string arguments = "host > " + temp.path() + "RunSilent.txt";
    EXPECT_EQ(1u, RunHiddenCommand("ping.exe", arguments.c_str()));
    EXPECT_EQ("line one\r\nline two\r\n", ReadFileBytes(temp / "RunSilent.txt"));

    // Without COMSPEC the system directory's CMD.EXE runs, by its full path.
    ScopedEnv noComspec("COMSPEC", nullptr);
    DeleteFileA((temp / "RunSilent.txt").c_str());
    EXPECT_EQ(1u, RunHiddenCommand("ping.exe", arguments.c_str()));
    EXPECT_EQ("line one\r\nline two\r\n", ReadFileBytes(temp / "RunSilent.txt"));
}
