// The hostile-input and fault suite: starts the real korvadiag.exe many times with
// generated command texts and in broken machine states, and checks after every start
// that the program kept its promises: exit code 0 (a crash shows as an exception code
// such as 0xC0000005), nothing touched outside the temporary directory, and every file
// it left well-formed. Seeded, so a run is reproducible.
//
//   korvadiag_fuzz.exe [--cases N] [--seed S] [--faults-only] [--no-faults]
//
// N command texts are generated, then every fault is tried with every command word,
// then N/4 hostile tables are served by the stand-in agent to "report".
//
// Prints one line per failure and a closing summary; exits non-zero on any failure.
#include "support/agent_data.h"
#include "support/support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

// xorshift64*: small, seeded, the same sequence on every machine.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next()
    {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
    bool Chance(int percent) { return Below(100) < static_cast<size_t>(percent); }
    template <size_t N> const char* Pick(const char* const (&items)[N]) { return items[Below(N)]; }
private:
    uint64_t state_;
};

const char* const Words[] = {"report", "delete:", "checkwinsock2", "refresh", "refresh:", "checkip:"};
const char* const Syntax[] = {"&", "|", "<", ">", "^", "%", "\"", "\r", "\n", "&&", "||", ">>",
                              "%temp%", "%COMSPEC%", "& echo x>escaped.txt", "| del /q *",
                              "\" & echo x>escaped.txt & \"", "^&", "%%", "!", "(", ")"};

// Who the result files may say, by the command word that the text passes.
enum class Word { None, Report, Delete, CheckWinsock2, Refresh, CheckIp };

bool EqualsFolded(const std::string& a, const char* b)
{
    if (a.size() != strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i]) return false;
    }
    return true;
}

// The words as the calling application is told of them: an oracle written apart from
// the product's own matcher.
Word WordOf(const std::string& text, std::string& argument)
{
    argument.clear();
    if (EqualsFolded(text, "report")) return Word::Report;
    if (text.compare(0, 7, "delete:") == 0) { argument = text.substr(7); return Word::Delete; }
    if (text == "checkwinsock2") return Word::CheckWinsock2;
    if (EqualsFolded(text, "refresh")) return Word::Refresh;
    if (text.size() >= 8 && EqualsFolded(text.substr(0, 8), "refresh:")) {
        argument = text.substr(8);
        return Word::Refresh;
    }
    if (text.compare(0, 8, "checkip:") == 0) { argument = text.substr(8); return Word::CheckIp; }
    return Word::None;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsHostText(const std::string& host)
{
    if (host.empty() || host.size() > 56) return false;
    for (char c : host) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '.' || c == '-' || c == '_' || c == ':';
        if (!ok) return false;
    }
    return true;
}

// "NIC=<count>{<text>": a count of -1 or more, and a text of whole "description[;]"
// entries without control characters that fits the report's 512-byte buffer, empty
// when the count is not above 0.
bool IsWellFormedNicLine(const std::string& line)
{
    size_t brace = line.find('{');
    if (line.compare(0, 4, "NIC=") != 0 || brace == std::string::npos || brace == 4) return false;
    std::string count = line.substr(4, brace - 4), text = line.substr(brace + 1);
    if (count != "-1" && count.find_first_not_of("0123456789") != std::string::npos) return false;
    if (text.size() > 511) return false;
    for (unsigned char c : text)
        if (c < ' ') return false;
    if (count == "-1" || count == "0") return text.empty();
    return text.empty() || EndsWith(text, "[;]");
}

// The eight report lines in their order, each ending in CR LF.
bool IsWellFormedReport(const std::string& report)
{
    const char* keys[] = {"CPU=", "RAM=", "HD=", "OS=", "NIC=", "WS=", "WEB=", "VER="};
    size_t at = 0;
    for (const char* key : keys) {
        if (report.compare(at, strlen(key), key) != 0) return false;
        size_t end = report.find("\r\n", at);
        if (end == std::string::npos) return false;
        if (strcmp(key, "NIC=") == 0 && !IsWellFormedNicLine(report.substr(at, end - at))) return false;
        at = end + 2;
    }
    return at == report.size();
}

// A listing of names, sizes and write times: what must not change outside the
// temporary directory.
using Snapshot = std::map<std::string, std::string>;

void TakeSnapshot(const std::string& dir, Snapshot& into, bool recurse)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = dir + name;
        char facts[64];
        snprintf(facts, sizeof(facts), "%lu:%lu:%lu:%lx", found.nFileSizeLow,
                 found.ftLastWriteTime.dwLowDateTime, found.ftLastWriteTime.dwHighDateTime,
                 found.dwFileAttributes);
        into[path] = facts;
        if (recurse && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) TakeSnapshot(path + "\\", into, true);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text.substr(0, 120)) {
        if (c >= 32 && c < 127 && c != '\\') { out += static_cast<char>(c); continue; }
        char hex[8];
        snprintf(hex, sizeof(hex), "\\x%02X", c);
        out += hex;
    }
    if (text.size() > 120) out += "...(" + std::to_string(text.size()) + " bytes)";
    return out;
}

struct Counts {
    unsigned tried = 0, crashes = 0, escapes = 0, malformed = 0, failedCases = 0;
    unsigned Failures() const { return crashes + escapes + malformed; }
};

// What text mode makes of a line written by the program: every "\n" becomes CR LF.
std::string InTextMode(const std::string& text)
{
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

class Sandbox {
public:
    Sandbox()
        : root_("fuzz"), temp_(root_ / "temp\\"), elsewhere_(root_ / "elsewhere\\"),
          toolOutput_(root_ / "tool-output.txt")
    {
        CreateDirectoryA(temp_.c_str(), nullptr);
        CreateDirectoryA(elsewhere_.c_str(), nullptr);
        CreateDirectoryA((root_ / "sibling").c_str(), nullptr);
        WriteFileBytes(root_ / "sentinel-above.txt", "above");
        WriteFileBytes(root_ / "sibling\\sentinel-beside.txt", "beside");
        std::string replies;
        for (int i = 0; i < 4; ++i) replies += "Reply from 10.0.0.1: bytes=32 time<1ms\r\n";
        WriteFileBytes(toolOutput_, replies + "IP Address. . . . : 10.0.0.1\r\n");
    }
    const std::string& root() const { return root_.path(); }
    const std::string& temp() const { return temp_; }
    const std::string& elsewhere() const { return elsewhere_; }
    const std::string& toolOutput() const { return toolOutput_; }

    // Everything outside the temporary directory that a start could reach.
    Snapshot Outside() const
    {
        Snapshot snapshot;
        TakeSnapshot(root_.path(), snapshot, true);
        TakeSnapshot(StandinDirectory(), snapshot, false);
        TakeSnapshot(ExeDirectory(), snapshot, false);
        // The interpreter's current folder, where a command that escaped would write.
        TakeSnapshot(SystemDirectory(), snapshot, false);
        for (auto it = snapshot.begin(); it != snapshot.end();) {
            // The interpreter writes where TEMP points, which one fault moves elsewhere.
            bool inside = it->first.compare(0, temp_.size(), temp_) == 0 ||
                          it->first + "\\" == temp_ || it->first == toolOutput_ ||
                          it->first.compare(0, elsewhere_.size() - 1, elsewhere_, 0, elsewhere_.size() - 1) == 0;
            it = inside ? snapshot.erase(it) : std::next(it);
        }
        return snapshot;
    }

    void ClearTemp() const
    {
        RemoveTree(temp_);
        CreateDirectoryA(temp_.c_str(), nullptr);
    }

private:
    ScratchDir root_;
    std::string temp_, elsewhere_, toolOutput_;
};

// One start of the product with a command text; answers the list of what went wrong.
class Checker {
public:
    Checker(const Sandbox& sandbox, Counts& counts) : sandbox_(sandbox), counts_(counts) {}

    void Start(const std::string& label, const std::string& text, bool expectVerdict = true)
    {
        StartExe(ProductPath(), label, text, expectVerdict);
    }

    void StartExe(const std::string& exe, const std::string& label, const std::string& text,
                  bool expectVerdict = true)
    {
        ++counts_.tried;
        unsigned failuresBefore = counts_.Failures();
        Snapshot before = sandbox_.Outside();
        DWORD code = RunProcess("\"" + exe + "\" " + text, StandinDirectory().c_str());
        if (code != 0) {
            ++counts_.crashes;
            Report("crash", label, text, "exit code 0x" + Hex(code));
        }
        Snapshot after = sandbox_.Outside();
        if (after != before) {
            ++counts_.escapes;
            Report("escape", label, text, Difference(before, after));
        }
        CheckFiles(label, text, expectVerdict);
        if (counts_.Failures() != failuresBefore) ++counts_.failedCases;
    }

private:
    static std::string Hex(DWORD value)
    {
        char text[16];
        snprintf(text, sizeof(text), "%08lX", static_cast<unsigned long>(value));
        return text;
    }

    static std::string Difference(const Snapshot& before, const Snapshot& after)
    {
        for (const auto& entry : after)
            if (!before.count(entry.first)) return "appeared: " + entry.first;
        for (const auto& entry : before) {
            auto it = after.find(entry.first);
            if (it == after.end()) return "vanished: " + entry.first;
            if (it->second != entry.second) return "changed: " + entry.first;
        }
        return "changed";
    }

    void Report(const char* kind, const std::string& label, const std::string& text,
                const std::string& detail)
    {
        printf("FAIL %s [%s] text \"%s\": %s\n", kind, label.c_str(), Printable(text).c_str(),
               detail.c_str());
        fflush(stdout);
    }

    void Malformed(const std::string& label, const std::string& text, const std::string& detail)
    {
        ++counts_.malformed;
        Report("malformed", label, text, detail);
    }

    // The files left in the temporary directory must be the ones the word may leave,
    // each in its one form.
    void CheckFiles(const std::string& label, const std::string& text, bool expectVerdict)
    {
        std::string argument;
        Word word = WordOf(text, argument);
        const std::string& temp = sandbox_.temp();
        std::string result = temp + "qopass.txt", report = temp + "qoreport.txt";
        bool hasResult = FileExists(result), hasReport = FileExists(report);

        Snapshot left;
        TakeSnapshot(temp, left, false);
        for (const auto& entry : left) {
            std::string name = entry.first.substr(temp.size());
            DWORD attributes = GetFileAttributesA(entry.first.c_str());
            // A read-only file is the scenario's own. The words that answer in it remove it
            // all the same: one left behind would pass for this start's answer.
            if (attributes & FILE_ATTRIBUTE_READONLY) {
                bool answers = name == "qopass.txt" ? word == Word::CheckIp || word == Word::Refresh
                                                    : name == "qoreport.txt" && word == Word::Report;
                if (answers) Malformed(label, text, "a read-only old " + name + " outlived the start");
                if (name == "qopass.txt") hasResult = false;
                if (name == "qoreport.txt") hasReport = false;
                continue;
            }
            if (name != "qopass.txt" && name != "qoreport.txt" && name != "RunSilent.txt")
                Malformed(label, text, "unexpected file " + name);
        }
        if (hasReport && word != Word::Report) Malformed(label, text, "a report from another word");
        if (hasReport && !IsWellFormedReport(ReadFileBytes(report)))
            Malformed(label, text, "report: " + Printable(ReadFileBytes(report)));
        if (!hasResult) {
            if (expectVerdict && word == Word::CheckIp) Malformed(label, text, "checkip left no verdict");
            return;
        }
        std::string line = ReadFileBytes(result);
        if (word == Word::CheckIp) {
            bool found = line == "found " + argument + "\r\n" && IsHostText(argument);
            if (line != "failed\r\n" && !found) Malformed(label, text, "verdict " + Printable(line));
        } else if (word == Word::Refresh) {
            bool found = !argument.empty() && line == "refresh found " + InTextMode(argument) + "\r\n";
            if (line != "refresh\r\n" && !found) Malformed(label, text, "confirmation " + Printable(line));
        } else {
            Malformed(label, text, "a result from another word: " + Printable(line));
        }
    }

    const Sandbox& sandbox_;
    Counts& counts_;
};

// Generated command texts: random bytes, the words in random case with random tails,
// overlong arguments, interpreter syntax, and path tricks for delete:.
std::string RandomBytes(Random& random, size_t length)
{
    std::string text;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>(1 + random.Below(255));
    return text;
}

std::string RandomCase(Random& random, const std::string& word)
{
    std::string text = word;
    for (char& c : text)
        if (c >= 'a' && c <= 'z' && random.Chance(30)) c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string Tail(Random& random)
{
    switch (random.Below(8)) {
    case 0: return "";
    case 1: return "10.0.0.1";
    case 2: return std::string(79 + random.Below(3), 'a');  // 79, 80, 81
    case 3: return std::string(4096 + random.Below(600), 'h');
    case 4: return RandomBytes(random, 1 + random.Below(40));
    case 5: return "10.0.0.1" + std::string(random.Pick(Syntax)) + "echo x>escaped.txt";
    case 6: return std::string(random.Pick(Syntax)) + RandomBytes(random, random.Below(5));
    default: return "host-" + std::to_string(random.Below(1000)) + ".example";
    }
}

std::string PathTrick(Random& random, const Sandbox& sandbox)
{
    const char* const tricks[] = {"..\\sentinel-above.txt", "..\\sibling\\sentinel-beside.txt",
                                  "../sentinel-above.txt", "..", ".", "...", "*", "*.*", "?",
                                  "NUL", "CON", "AUX", "COM1", "LPT1", "qopass.txt\\..\\..\\sentinel-above.txt",
                                  "C:\\", "C:sentinel-above.txt", "\\\\?\\C:\\x", "sentinel-above.txt:stream",
                                  ".. ", "..\\", "/", "\\", "x\\..\\..\\sentinel-above.txt"};
    switch (random.Below(4)) {
    case 0: return sandbox.root() + "sentinel-above.txt";  // absolute path
    case 1: return sandbox.root() + "sibling\\sentinel-beside.txt";
    default: return random.Pick(tricks);
    }
}

std::string GenerateText(Random& random, const Sandbox& sandbox)
{
    switch (random.Below(6)) {
    case 0: return RandomBytes(random, random.Below(120));
    case 1: return RandomCase(random, random.Pick(Words)) + Tail(random);
    case 2: return std::string(random.Pick(Words)) + Tail(random);
    case 3: return "delete:" + PathTrick(random, sandbox);
    case 4: {
        std::string word = random.Pick(Words);
        return word + std::string(random.Pick(Syntax)) + Tail(random);
    }
    default: return RandomCase(random, random.Pick(Words));
    }
}

void RunGenerated(Random& random, const Sandbox& sandbox, Checker& checker, unsigned cases)
{
    for (unsigned i = 0; i < cases; ++i) {
        std::string text = GenerateText(random, sandbox);
        // A host the stand-in ping names four times, often enough to see "found".
        if (random.Chance(10)) text = "checkip:10.0.0.1";
        sandbox.ClearTemp();
        checker.Start("generated " + std::to_string(i), text);
    }
}

// Broken machine states, each tried with every command word.
void RunFaults(const Sandbox& sandbox, Checker& checker)
{
    const char* const texts[] = {"report", "checkip:10.0.0.1", "refresh:10.0.0.1", "refresh",
                                 "delete:qopass.txt", "checkwinsock2"};
    const std::string& temp = sandbox.temp();
    auto forEveryWord = [&](const std::string& label, bool expectVerdict, auto&& prepare) {
        for (const char* text : texts) {
            sandbox.ClearTemp();
            prepare();
            checker.Start(label, text, expectVerdict);
        }
    };

    forEveryWord("result paths are folders", false, [&] {
        for (const char* name : {"qopass.txt", "qoreport.txt", "RunSilent.txt"})
            CreateDirectoryA((temp + name).c_str(), nullptr);
    });
    forEveryWord("result paths are read-only files", false, [&] {
        for (const char* name : {"qopass.txt", "qoreport.txt"}) {
            std::string path = temp + name;
            WriteFileBytes(path, name == std::string("qopass.txt") ? "failed\r\n" : "");
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        }
    });
    {
        ScopedEnv tmp("TMP", (sandbox.root() + "no-such-folder\\").c_str());
        ScopedEnv tempVar("TEMP", (sandbox.root() + "no-such-folder\\").c_str());
        forEveryWord("temporary directory missing", false, [] {});
    }
    {
        // Root ignores permissions under Wine; a file where the folder should be makes
        // every create fail the same way.
        WriteFileBytes(sandbox.root() + "temp-is-a-file", "x");
        ScopedEnv tmp("TMP", (sandbox.root() + "temp-is-a-file").c_str());
        ScopedEnv tempVar("TEMP", (sandbox.root() + "temp-is-a-file").c_str());
        forEveryWord("temporary directory is a file", false, [] {});
        DeleteFileA((sandbox.root() + "temp-is-a-file").c_str());
    }
    {
        ScopedEnv comspec("COMSPEC", nullptr);
        forEveryWord("COMSPEC missing", true, [] {});
    }
    {
        ScopedEnv comspec("COMSPEC", "");
        forEveryWord("COMSPEC empty", true, [] {});
    }
    {
        ScopedEnv comspec("COMSPEC", "C:\\no-such-folder\\nothing.exe");
        forEveryWord("COMSPEC names nothing", true, [] {});
    }
    {
        ScopedEnv comspec("COMSPEC", (sandbox.root() + "sentinel-above.txt").c_str());
        forEveryWord("COMSPEC names a text file", true, [] {});
    }
    {
        ScopedEnv tempVar("TEMP", sandbox.elsewhere().c_str());
        forEveryWord("TEMP elsewhere", true, [] {});
        RemoveTree(sandbox.elsewhere());
        CreateDirectoryA(sandbox.elsewhere().c_str(), nullptr);
    }
    {
        // Eight megabytes of tool output, in long lines and short.
        std::string big;
        std::string longLine = std::string(100000, 'z') + "10.0.0.1\r\n";
        while (big.size() < 4u << 20) big += longLine;
        while (big.size() < 8u << 20) big += "Reply from 10.0.0.1: bytes=32\r\n";
        std::string path = sandbox.root() + "big-output.txt";
        WriteFileBytes(path, big);
        ScopedEnv output("KD_STANDIN_OUTPUT", path.c_str());
        forEveryWord("tool prints megabytes", true, [] {});
        DeleteFileA(path.c_str());
    }
}

// A hostile MIB table: announced row counts that are zero, small, huge or negative;
// rows of any count, with repeated indexes, values of the wrong type, streams without
// bytes, over-long addresses and descriptions with any bytes; and tables that end in
// the middle of the walk, where the agent refuses the next query.
MibData HostileTable(Random& random)
{
    const long long announced[] = {0, 1, 2, 3, 7, 50, 1000, 0x7FFFFFFF, 0xFFFFFFFFll, -1, 100000000};
    MibData data;
    long long ifNumber = announced[random.Below(std::size(announced))];
    if (random.Chance(10)) data.String(MibData::IfNumber, 0x04, "12");
    else data.Number(MibData::IfNumber, 0x02, ifNumber);

    unsigned rows = static_cast<unsigned>(random.Below(25));
    auto value = [&](const std::string& name, bool stringColumn) {
        switch (random.Below(stringColumn ? 8 : 6)) {
        case 0: data.Number(name, 0x02, static_cast<long long>(random.Below(6))); break;
        case 1: data.Number(name, 0x41, static_cast<long long>(random.Next() & 0xFFFFFFFF)); break;
        case 2: data.Null(name); break;
        case 3: data.NoStream(name, 0x04, static_cast<unsigned>(random.Below(2000))); break;
        case 4: data.String(name, 0x40, RandomBytes(random, random.Below(9))); break;
        default: {
            size_t length = random.Chance(20) ? 64 + random.Below(5000) : random.Below(70);
            std::string bytes;
            for (size_t i = 0; i < length; ++i) bytes += static_cast<char>(random.Below(256));
            data.String(name, 0x04, bytes);
        }
        }
    };
    for (int column : {1, 2, 3, 6}) {
        for (unsigned i = 0; i < rows; ++i) {
            unsigned row = random.Chance(20) ? 1 : i + 1;  // repeated indexes now and then
            value(MibData::Column(MibData::IfEntry, column) + "." + std::to_string(row),
                  column == 2 || column == 6);
        }
    }
    unsigned addresses = static_cast<unsigned>(random.Below(8));
    for (int column = 1; column <= 3; ++column) {
        for (unsigned i = 0; i < addresses; ++i)
            value(MibData::Column(MibData::IpAddrEntry, column) + ".10.0.0." + std::to_string(i), column != 2);
    }
    if (random.Chance(70)) data.Tail(rows + 2);  // otherwise the walk runs off the end
    return data;
}

// "report" through the stand-in agent serving hostile tables: a copy of the exe under
// a name of its own, the agent in the system directory as inetmib1.dll.
void RunHostileAgent(Random& random, const Sandbox& sandbox, Checker& checker, unsigned cases)
{
    std::string folder = sandbox.root() + "agent\\";
    const char* exeName = "korvadiag-fuzz.exe";
    CreateDirectoryA(folder.c_str(), nullptr);
    if (!CopyFileA(ProductPath().c_str(), (folder + exeName).c_str(), FALSE) ||
        !InstallSystemFile(AgentPath("full"), "inetmib1.dll")) {
        printf("FAIL setup: cannot place the exe in %s and the stand-in agent in the system directory\n",
               folder.c_str());
        return;
    }
    ScopedAppDefaults app(exeName);
    app.Set("", "Version", "winxp");
    app.Set("DllOverrides", "inetmib1", "native,builtin");
    ScopedAgentData agent;
    for (unsigned i = 0; i < cases; ++i) {
        agent.Serve(HostileTable(random));
        sandbox.ClearTemp();
        checker.StartExe(folder + exeName, "hostile agent " + std::to_string(i), "report");
    }
}

unsigned ArgumentValue(int argc, char** argv, const char* name, unsigned fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], name) == 0) return static_cast<unsigned>(strtoul(argv[i + 1], nullptr, 10));
    return fallback;
}

bool HasFlag(int argc, char** argv, const char* name)
{
    for (int i = 1; i < argc; ++i)
        if (strcmp(argv[i], name) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned cases = ArgumentValue(argc, argv, "--cases", 200);
    unsigned seed = ArgumentValue(argc, argv, "--seed", 1);

    Sandbox sandbox;
    ScopedEnv tmp("TMP", sandbox.temp().c_str());
    ScopedEnv temp("TEMP", sandbox.temp().c_str());
    ScopedEnv output("KD_STANDIN_OUTPUT", sandbox.toolOutput().c_str());
    // The stand-ins answer for ping.exe and IPConfig.exe: never a real tool, never the network.
    ScopedStandinTools tools;
    if (!tools.Installed()) {
        printf("FAIL setup: cannot put the stand-in tools into %s\n", SystemDirectory().c_str());
        return 1;
    }

    Counts counts;
    Checker checker(sandbox, counts);
    Random random(seed);
    DWORD started = GetTickCount();
    if (!HasFlag(argc, argv, "--faults-only")) RunGenerated(random, sandbox, checker, cases);
    if (!HasFlag(argc, argv, "--no-faults")) RunFaults(sandbox, checker);
    RunHostileAgent(random, sandbox, checker, cases / 4 > 0 ? cases / 4 : 1);
    DWORD seconds = (GetTickCount() - started) / 1000;

    printf("fuzz seed=%u: cases tried %u, crashes %u, escapes %u, malformed results %u (%lu s)\n", seed,
           counts.tried, counts.crashes, counts.escapes, counts.malformed, static_cast<unsigned long>(seconds));
    printf("%u passed, %u failed\n", counts.tried - counts.failedCases, counts.failedCases);
    return counts.failedCases == 0 ? 0 : 1;
}
