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
    EXPECT_STREQ("C:\\x\\cmd.exe", InterpreterFromEnvironment(Block));
    EXPECT_STREQ("C:\\windows", FindEnvironmentValue(Block, "path"));
    EXPECT_EQ(nullptr, FindEnvironmentValue(Block, "C:"));
    EXPECT_EQ(nullptr, FindEnvironmentValue(Block, "COMSPE"));
}

TEST(RunnerEnvironment, AbsentComSpecMeansCmdAndAnEmptyOneStaysEmpty)
{
    EXPECT_STREQ("CMD.EXE", InterpreterFromEnvironment("PATH=x\0\0"));
    EXPECT_STREQ("CMD.EXE", InterpreterFromEnvironment(nullptr));
    EXPECT_STREQ("", InterpreterFromEnvironment("COMSPEC=\0\0"));
}

TEST(RunnerCommandLine, InterpreterSlashCProgramArguments)
{
    char line[CommandLineSize];
    EXPECT_TRUE(BuildRunnerCommandLine(line, "CMD.EXE", "ping.exe", "host > %temp%\\RunSilent.txt"));
    EXPECT_STREQ("CMD.EXE /c ping.exe host > %temp%\\RunSilent.txt", line);
    EXPECT_TRUE(BuildRunnerCommandLine(line, "", "IPConfig.exe", "/release"));
    EXPECT_STREQ(" /c IPConfig.exe /release", line);
    EXPECT_TRUE(BuildRunnerCommandLine(line, "C:\\Program Files\\cmd.exe", "p", "a"));
    EXPECT_STREQ("C:\\Program Files\\cmd.exe /c p a", line);
}

TEST(RunnerCommandLine, RefusesALineOver4095Characters)
{
    char line[CommandLineSize];
    // "X /c p " is 7 characters; 4088 more make exactly 4095.
    std::string arguments(4088, 'a');
    EXPECT_TRUE(BuildRunnerCommandLine(line, "X", "p", arguments.c_str()));
    EXPECT_EQ(4095u, strlen(line));
    arguments += 'a';
    EXPECT_FALSE(BuildRunnerCommandLine(line, "X", "p", arguments.c_str()));
    EXPECT_STREQ("", line);
}

// The stand-in interpreter records the command line and start-up information the
// runner gave it, and exits with KD_STANDIN_EXIT.
class RunnerWithStandinInterpreter : public ::testing::Test {
protected:
    StandinScript tool;
    std::string interpreter = StandinDirectory() + "interpreter.exe";
    ScopedEnv exitEnv{"KD_STANDIN_EXIT", "7"};
};

TEST_F(RunnerWithStandinInterpreter, StartsTheInterpreterHiddenAndAnswersItsExitCode)
{
    ScopedEnv comspec("COMSPEC", interpreter.c_str());
    EXPECT_EQ(7u, RunHiddenCommand("ping.exe", "host > %temp%\\RunSilent.txt"));
    std::string expected = "cmd=" + interpreter + " /c ping.exe host > %temp%\\RunSilent.txt\n" +
                           "show=0 flags=1\n";  // SW_HIDE, STARTF_USESHOWWINDOW alone
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
    EXPECT_EQ("cmd=" + interpreter + " /c IPConfig.exe /release\nshow=0 flags=1\n", tool.Log());
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
    ScopedCurrentDirectory cwd(StandinDirectory());
    EXPECT_EQ(1u, RunHiddenCommand("ping.exe", "host > %temp%\\RunSilent.txt"));
    EXPECT_EQ("line one\r\nline two\r\n", ReadFileBytes(temp / "RunSilent.txt"));
}
