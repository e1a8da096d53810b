// Test support: scratch folders, environment and working-folder changes that undo
// themselves, file reading, and starting the real programs of the build.
#pragma once

#include <windows.h>
#include <cstring>
#include <string>

// The folder of the running test exe, ending in a backslash; korvadiag.exe is there.
std::string ExeDirectory();
std::string ProductPath();
// The stand-in tools (ping.exe, IPConfig.exe, interpreter.exe), ending in a backslash.
std::string StandinDirectory();
// The stand-in agent DLLs: agents\agent_<variant>.dll beside the test exes, variant
// full, noinit, noquery or refuse.
std::string AgentPath(const std::string& variant);
// The test-only driver of the inventory (inventory_probe.exe beside the test exes).
std::string ProbePath();
// The planted program and library (planted\planted.exe, planted\planted.dll), which
// append to the file KD_PLANTED_MARKER names whenever they run or load.
std::string PlantedExePath();
std::string PlantedDllPath();
// The system directory as this test program sees it, ending in a backslash: system32,
// or syswow64 for a 32-bit program in the 64-bit prefix.
std::string SystemDirectory();
// Copies source into the system directory as name, replacing what is there.
bool InstallSystemFile(const std::string& source, const char* name);


// A fresh folder under the test process's temporary directory, removed with all it
// holds on destruction. path() ends in a backslash.
class ScratchDir {
public:
    explicit ScratchDir(const char* tag = "kd");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }
private:
    std::string path_;
};

// Sets (or, with a null value, removes) an environment variable of this process and
// restores the old state on destruction.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
private:
    std::string name_, old_;
    bool hadOld_;
};

// Creates a folder inside base whose path, trailing backslash included, is exactly
// length characters long, and answers that path.
std::string MakeDirectoryOfLength(const std::string& base, size_t length);

// Points TMP and TEMP of this process (and so of the children it starts) at a scratch
// folder, which GetTempPathA then reports; with a length, a folder whose path, final
// backslash included, has exactly that many characters.
class ScopedTempDir {
public:
    explicit ScopedTempDir(size_t length = 0)
        : dir_("tmp"), path_(length ? MakeDirectoryOfLength(dir_.path(), length) : dir_.path()),
          tmp_("TMP", path_.c_str()), temp_("TEMP", path_.c_str())
    {
    }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }
private:
    ScratchDir dir_;
    std::string path_;
    ScopedEnv tmp_, temp_;
};

// What the stand-in tools do in one test: the bytes they print and the log of how they
// were started, in a scratch folder that KD_STANDIN_OUTPUT and KD_STANDIN_LOG name in
// this process's environment, and so in every child it starts.
class StandinScript {
public:
    StandinScript();
    void Prints(const std::string& bytes) const;
    std::string Log() const;
    bool Ran() const;  // whether any stand-in tool started
private:
    ScratchDir dir_;
    std::string output_, log_;
    ScopedEnv outputEnv_, logEnv_;
};

class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::string& dir);
    ~ScopedCurrentDirectory();
private:
    char old_[MAX_PATH];
};

// Gives one registry value a test's own content and puts back on destruction what was
// there before: the old value with its type, no value, or no key at all (the keys it
// had to create are deleted with all they hold).
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, const char* subkey, const char* name);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;
    // Stores exactly these bytes with this type, creating the key when needed.
    bool Set(DWORD type, const std::string& bytes);
    // Stores text and its terminator as REG_SZ.
    bool SetText(const char* text) { return Set(REG_SZ, std::string(text, strlen(text) + 1)); }
    void RemoveValue();
    // Removes the key; answers false, leaving it, when it existed before the test.
    bool RemoveKey();
private:
    HKEY root_;
    std::string subkey_, name_;
    std::string firstCreated_;  // the outermost key that did not exist; empty when the key did
    bool hadValue_ = false;
    DWORD oldType_ = REG_NONE;
    std::string oldBytes_;
};

// Wine's per-program settings, HKCU\Software\Wine\AppDefaults\<exe name>: the whole
// key is deleted on construction and again on destruction.
class ScopedAppDefaults {
public:
    explicit ScopedAppDefaults(const std::string& exeName);
    ~ScopedAppDefaults();
    ScopedAppDefaults(const ScopedAppDefaults&) = delete;
    ScopedAppDefaults& operator=(const ScopedAppDefaults&) = delete;
    // Sets a text value in the key itself (subkey "") or in a subkey of it.
    bool Set(const std::string& subkey, const char* name, const char* value);
private:
    std::string key_;
};

// Makes Wine report version (win95, win98, winme, nt351, nt40, win2k, winxp, win7,
// win10, ...) to programs named exeName while the object lives.
class ScopedWineVersion {
public:
    ScopedWineVersion(const char* exeName, const char* version) : defaults_(exeName)
    {
        defaults_.Set("", "Version", version);
    }
private:
    ScopedAppDefaults defaults_;
};

// The stand-in tools where the system keeps its own: ping.exe and ipconfig.exe in the
// system directory, picked over Wine's with DllOverrides "native,builtin" (under
// HKCU\Software\Wine\DllOverrides) while the object lives. Wine never reads a builtin
// tool from its file, so once the overrides go, Wine's own tools answer again. Every
// test program holds one from before its first test to after its last, so no test can
// start a real tool by mistake; a test that wants Wine's own ping overrides it back.
class ScopedStandinTools {
public:
    ScopedStandinTools();
    bool Installed() const { return installed_; }
private:
    ScopedRegistryValue ping_, ipconfig_;
    bool installed_ = false;
};

// The ANSI text as the system's ANSI code page reads it, in Unicode.
std::wstring Wide(const std::string& ansi);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void RemoveTree(const std::string& path);
// Files named in Unicode, in a folder the ANSI code page cannot spell.
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Starts commandLine (application found by the system), waits up to timeoutMs and
// answers its exit code; 0xFFFFFFFF when it could not start or did not end in time.
DWORD RunProcess(const std::string& commandLine, const char* currentDirectory = nullptr,
                 DWORD timeoutMs = 60000);

// Starts commandLine given in Unicode, as a caller with a path the ANSI code page cannot
// spell does: CreateProcessW with this process's environment as a Unicode block
// (CREATE_UNICODE_ENVIRONMENT). Answers as RunProcess does.
DWORD RunProcessW(const std::wstring& commandLine, const char* currentDirectory = nullptr,
                  DWORD timeoutMs = 60000);

// Starts the product with the given command text behind its quoted path.
DWORD RunProduct(const std::string& commandText, const char* currentDirectory = nullptr);
