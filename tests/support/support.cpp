// Test support shared by the unit and process suites.
#include "support/support.h"

#include <cstdio>
#include <cstring>

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

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& dir)
{
    GetCurrentDirectoryA(MAX_PATH, old_);
    SetCurrentDirectoryA(dir.c_str());
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() { SetCurrentDirectoryA(old_); }

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

void RemoveTree(const std::string& path)
{
    std::string dir = path;
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = dir + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

DWORD RunProcess(const std::string& commandLine, const char* currentDirectory, DWORD timeoutMs)
{
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        currentDirectory, &startup, &process))
        return 0xFFFFFFFF;
    DWORD exitCode = 0xFFFFFFFF;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, 0xFFFFFFFF);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

DWORD RunProduct(const std::string& commandText, const char* currentDirectory)
{
    return RunProcess("\"" + ProductPath() + "\" " + commandText, currentDirectory);
}
