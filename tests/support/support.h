// Test support: scratch folders, environment and working-folder changes that undo
// themselves, file reading, and starting the real programs of the build.
#pragma once

#include <windows.h>
#include <string>

// The folder of the running test exe, ending in a backslash; korvadiag.exe is there.
std::string ExeDirectory();
std::string ProductPath();
// The stand-in tools (ping.exe, IPConfig.exe, interpreter.exe), ending in a backslash.
std::string StandinDirectory();

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

// Points TMP and TEMP of this process (and so of the children it starts) at a scratch
// folder, which GetTempPathA then reports.
class ScopedTempDir {
public:
    ScopedTempDir() : dir_("tmp"), tmp_("TMP", dir_.path().c_str()), temp_("TEMP", dir_.path().c_str()) {}
    const std::string& path() const { return dir_.path(); }
    std::string operator/(const std::string& name) const { return dir_ / name; }
private:
    ScratchDir dir_;
    ScopedEnv tmp_, temp_;
};

class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::string& dir);
    ~ScopedCurrentDirectory();
private:
    char old_[MAX_PATH];
};

// Makes Wine report version (win95, win98, winme, nt351, nt40, win2k, winxp, win7,
// win10, ...) to programs named exeName while the object lives: the value Version under
// HKCU\Software\Wine\AppDefaults\<exeName>, removed again at both ends.
class ScopedWineVersion {
public:
    ScopedWineVersion(const char* exeName, const char* version);
    ~ScopedWineVersion();
    ScopedWineVersion(const ScopedWineVersion&) = delete;
    ScopedWineVersion& operator=(const ScopedWineVersion&) = delete;
private:
    void Remove();
    std::string key_;
};

// Creates a folder inside base whose path, trailing backslash included, is exactly
// length characters long, and answers that path.
std::string MakeDirectoryOfLength(const std::string& base, size_t length);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void RemoveTree(const std::string& path);

// Starts commandLine (application found by the system), waits up to timeoutMs and
// answers its exit code; 0xFFFFFFFF when it could not start or did not end in time.
DWORD RunProcess(const std::string& commandLine, const char* currentDirectory = nullptr,
                 DWORD timeoutMs = 60000);

// Starts the product with the given command text behind its quoted path.
DWORD RunProduct(const std::string& commandText, const char* currentDirectory = nullptr);
