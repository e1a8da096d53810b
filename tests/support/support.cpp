// Test support shared by the unit and process suites.
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <memory>

std::string ExeDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::string ProductPath() { return ExeDirectory() + "korvadiag.exe"; }
std::string StandinDirectory() { return ExeDirectory() + "standin\\"; }
std::string AgentPath(const std::string& variant)
{
    return ExeDirectory() + "agents\\agent_" + variant + ".dll";
}
std::string ProbePath() { return ExeDirectory() + "inventory_probe.exe"; }
std::string PlantedExePath() { return ExeDirectory() + "planted\\planted.exe"; }
std::string PlantedDllPath() { return ExeDirectory() + "planted\\planted.dll"; }

std::string SystemDirectory()
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0) + "\\";
}

bool InstallSystemFile(const std::string& source, const char* name)
{
    return CopyFileA(source.c_str(), (SystemDirectory() + name).c_str(), FALSE) != FALSE;
}

static const char DllOverridesKey[] = "Software\\Wine\\DllOverrides";

ScopedStandinTools::ScopedStandinTools()
    : ping_(HKEY_CURRENT_USER, DllOverridesKey, "ping.exe"),
      ipconfig_(HKEY_CURRENT_USER, DllOverridesKey, "ipconfig.exe")
{
    installed_ = InstallSystemFile(StandinDirectory() + "ping.exe", "ping.exe") &&
                 InstallSystemFile(StandinDirectory() + "IPConfig.exe", "ipconfig.exe") &&
                 ping_.SetText("native,builtin") && ipconfig_.SetText("native,builtin");
}

namespace {

// Holds the stand-in tools for a whole GoogleTest program. Without them no test runs:
// a tool that a test starts must never be a real one.
class StandinToolsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        tools_.reset(new ScopedStandinTools);
        if (!tools_->Installed()) {
            fprintf(stderr, "cannot put the stand-in tools into %s; no test may run\n",
                    SystemDirectory().c_str());
            fflush(stderr);
            ExitProcess(3);
        }
    }
    void TearDown() override { tools_.reset(); }
private:
    std::unique_ptr<ScopedStandinTools> tools_;
};

::testing::Environment* const standinToolsEnvironment =
    ::testing::AddGlobalTestEnvironment(new StandinToolsEnvironment);

}  // namespace

ScopedAppDefaults::ScopedAppDefaults(const std::string& exeName)
    : key_("Software\\Wine\\AppDefaults\\" + exeName)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
}

ScopedAppDefaults::~ScopedAppDefaults() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

bool ScopedAppDefaults::Set(const std::string& subkey, const char* name, const char* value)
{
    std::string path = subkey.empty() ? key_ : key_ + "\\" + subkey;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                 static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// The temporary directory the test process started with: scratch folders stay there
// even while a test points TMP elsewhere.
static const std::string& BaseTempDirectory()
{
    static std::string base = [] {
        char path[MAX_PATH];
        DWORD length = GetTempPathA(MAX_PATH, path);
        return std::string(path, length);
    }();
    return base;
}

static const std::string& StartupTempDirectory = BaseTempDirectory();

ScratchDir::ScratchDir(const char* tag)
{
    static unsigned serial = 0;
    const std::string& base = StartupTempDirectory;
    for (;;) {
        path_ = base + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial) + "\\";
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name)
{
    char old[32768];
    SetLastError(0);
    DWORD length = GetEnvironmentVariableA(name, old, sizeof(old));
    hadOld_ = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    old_.assign(old, length < sizeof(old) ? length : 0);
    SetEnvironmentVariableA(name, value);
}

ScopedEnv::~ScopedEnv()
{
    SetEnvironmentVariableA(name_.c_str(), hadOld_ ? old_.c_str() : nullptr);
}

StandinScript::StandinScript()
    : dir_("standin"), output_(dir_ / "output.txt"), log_(dir_ / "log.txt"),
      outputEnv_("KD_STANDIN_OUTPUT", output_.c_str()), logEnv_("KD_STANDIN_LOG", log_.c_str())
{
}

void StandinScript::Prints(const std::string& bytes) const { WriteFileBytes(output_, bytes); }
std::string StandinScript::Log() const { return ReadFileBytes(log_); }
bool StandinScript::Ran() const { return FileExists(log_); }

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& dir)
{
    GetCurrentDirectoryA(MAX_PATH, old_);
    SetCurrentDirectoryA(dir.c_str());
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() { SetCurrentDirectoryA(old_); }

static bool KeyExists(HKEY root, const std::string& subkey)
{
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const char* subkey, const char* name)
    : root_(root), subkey_(subkey), name_(name)
{
    for (size_t end = 0; end != std::string::npos;) {
        end = subkey_.find('\\', end + 1);
        std::string prefix = subkey_.substr(0, end);
        if (!KeyExists(root_, prefix)) {
            firstCreated_ = prefix;
            return;
        }
    }
    HKEY key;
    if (RegOpenKeyExA(root_, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
        oldBytes_.resize(size);
        hadValue_ = RegQueryValueExA(key, name, nullptr, &oldType_,
                                     reinterpret_cast<BYTE*>(&oldBytes_[0]), &size) == ERROR_SUCCESS;
        oldBytes_.resize(size);
    }
    RegCloseKey(key);
}

ScopedRegistryValue::~ScopedRegistryValue()
{
    if (!firstCreated_.empty()) {
        RegDeleteTreeA(root_, firstCreated_.c_str());
        return;
    }
    HKEY key;
    if (RegCreateKeyExA(root_, subkey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (hadValue_)
        RegSetValueExA(key, name_.c_str(), 0, oldType_,
                       reinterpret_cast<const BYTE*>(oldBytes_.data()), oldBytes_.size());
    else
        RegDeleteValueA(key, name_.c_str());
    RegCloseKey(key);
}

bool ScopedRegistryValue::Set(DWORD type, const std::string& bytes)
{
    HKEY key;
    if (RegCreateKeyExA(root_, subkey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    // RegSetValueExA counts a forgotten terminator in when the byte behind the data is a
    // NUL; a copy with a non-zero byte there stores exactly the bytes given.
    std::string data = bytes + 'X';
    LONG status = RegSetValueExA(key, name_.c_str(), 0, type,
                                 reinterpret_cast<const BYTE*>(data.data()), bytes.size());
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void ScopedRegistryValue::RemoveValue()
{
    HKEY key;
    if (RegOpenKeyExA(root_, subkey_.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name_.c_str());
    RegCloseKey(key);
}

bool ScopedRegistryValue::RemoveKey()
{
    if (firstCreated_.empty()) return false;
    RegDeleteTreeA(root_, firstCreated_.c_str());
    return true;
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, got);
    fclose(file);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

std::wstring Wide(const std::string& ansi)
{
    int count = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(count, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], count);
    return wide;
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// Through the wide calls, so that a folder the ANSI code page cannot spell goes too.
static void RemoveTreeW(const std::wstring& path)
{
    std::wstring dir = path;
    if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = dir + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTreeW(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

void RemoveTree(const std::string& path) { RemoveTreeW(Wide(path)); }

// Creates a process with start, retrying where Wine fails a start on a busy machine with
// ERROR_INTERNAL_ERROR (the platform's hiccup, not the program's: a second start
// succeeds), then waits up to timeoutMs and answers its exit code.
template <typename Start>
static DWORD StartAndWait(Start start, const std::string& what, DWORD timeoutMs)
{
    PROCESS_INFORMATION process = {};
    for (int attempt = 1;; ++attempt) {
        if (start(process)) break;
        DWORD error = GetLastError();
        fprintf(stderr, "RunProcess: cannot start (error %lu, attempt %d): %.200s\n", error, attempt,
                what.c_str());
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) return 0xFFFFFFFF;
        Sleep(200);
    }
    DWORD exitCode = 0xFFFFFFFF;
    DWORD waited = WaitForSingleObject(process.hProcess, timeoutMs);
    if (waited != WAIT_OBJECT_0) {
        fprintf(stderr, "RunProcess: no end within %lu ms (wait %lu): %.200s\n", timeoutMs, waited,
                what.c_str());
        TerminateProcess(process.hProcess, 0xFFFFFFFF);
    } else if (!GetExitCodeProcess(process.hProcess, &exitCode)) {
        fprintf(stderr, "RunProcess: exit code unreadable (error %lu)\n", GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

DWORD RunProcess(const std::string& commandLine, const char* currentDirectory, DWORD timeoutMs)
{
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return StartAndWait([&](PROCESS_INFORMATION& process) {
        return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, currentDirectory,
                              &startup, &process) != FALSE;
    }, commandLine, timeoutMs);
}

DWORD RunProcessW(const std::wstring& commandLine, const char* currentDirectory, DWORD timeoutMs)
{
    std::wstring line = commandLine;
    std::wstring directory = currentDirectory ? Wide(currentDirectory) : L"";
    wchar_t* environment = GetEnvironmentStringsW();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::string what(commandLine.begin(), commandLine.end());  // for messages only
    DWORD exitCode = StartAndWait([&](PROCESS_INFORMATION& process) {
        return CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                              environment, currentDirectory ? directory.c_str() : nullptr, &startup,
                              &process) != FALSE;
    }, what, timeoutMs);
    FreeEnvironmentStringsW(environment);
    return exitCode;
}

DWORD RunProduct(const std::string& commandText, const char* currentDirectory)
{
    return RunProcess("\"" + ProductPath() + "\" " + commandText, currentDirectory);
}

std::string MakeDirectoryOfLength(const std::string& base, size_t length)
{
    // Nested folders of at most 100 characters each, the last one padded to the length.
    std::string path = base;
    while (path.size() + 101 < length) {
        path += std::string(100, 'd') + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
    }
    path += std::string(length - path.size() - 1, 'e') + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}
