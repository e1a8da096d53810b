// Browser identification from the registry. Registry text is never trusted to end in a
// NUL: each value is read into a buffer one byte longer than what is offered and
// terminated behind the bytes the registry reports.
#include "report/browser.h"
#include "base/registry.h"
#include "base/text.h"

#include <windows.h>

namespace {

const char DdeApplicationKey[] = "http\\shell\\open\\ddeexec\\Application";
const char InternetExplorerKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";

struct KnownBrowser {
    const char* application;
    BrowserMatch match;
};

// Tested in this order; the first whole match wins.
const KnownBrowser KnownBrowsers[] = {
    {"IExplore", {InternetExplorerKind, 0}},
    {"NSShell", {NetscapeKind, 4}},
    {"Netscape", {NetscapeKind, 3}},
};

// True when the value's bytes spell name followed by a terminator; the bytes past
// length count as that terminator and are never read.
bool SpellsName(const char* value, size_t length, const char* name)
{
    for (size_t i = 0;; ++i) {
        char stored = i < length ? value[i] : '\0';
        if (stored != name[i]) return false;
        if (name[i] == '\0') return true;
    }
}

// Reads a value of root\subkey as raw bytes into text, offering capacity - 1 bytes,
// and terminates it behind them. Answers false, with text empty, when the key or the
// value is missing or the value needs more than capacity - 1 bytes.
bool ReadRegistryText(HKEY root, const char* subkey, const char* name, char* text,
                      size_t capacity, size_t& length)
{
    text[0] = '\0';
    length = 0;
    HKEY key;
    if (OpenRegistryKey(root, subkey, &key) != ERROR_SUCCESS) return false;
    DWORD offered = static_cast<DWORD>(capacity - 1);
    DWORD size = offered;
    LONG status = QueryRegistryValue(key, name, reinterpret_cast<BYTE*>(text), &size);
    CloseRegistryKey(key);
    if (status != ERROR_SUCCESS || size > offered) {
        text[0] = '\0';
        return false;
    }
    text[size] = '\0';
    length = size;
    return true;
}

template <size_t N>
bool ReadRegistryText(HKEY root, const char* subkey, const char* name, char (&text)[N], size_t& length)
{
    return ReadRegistryText(root, subkey, name, text, N, length);
}

}  // namespace

BrowserMatch BrowserOfApplication(const char* value, size_t length)
{
    for (const KnownBrowser& known : KnownBrowsers) {
        if (SpellsName(value, length, known.application)) return known.match;
    }
    return {UnknownBrowserKind, 0};
}

void FormatBrowserText(int kind, int version, char* text, size_t size)
{
    if (kind == InternetExplorerKind || kind == NetscapeKind) {
        CopyText(text, size, kind == InternetExplorerKind ? "IE " : "NS ");
        AppendDecimal(text, size, version);
    } else {
        CopyText(text, size, "Unknown");
    }
}

void GetBrowserInfo(int& kind, int& version)
{
    kind = UnknownBrowserKind;
    version = 0;
    char application[DdeApplicationValueSize + 1];
    size_t length;
    if (!ReadRegistryText(HKEY_CLASSES_ROOT, DdeApplicationKey, "", application, length)) return;
    BrowserMatch match = BrowserOfApplication(application, length);
    kind = match.kind;
    version = match.version;
    if (kind != InternetExplorerKind) return;

    char ieVersion[IeVersionValueSize + 1];
    // Terminated by the read, so the number's reading stops inside the buffer.
    if (ReadRegistryText(HKEY_LOCAL_MACHINE, InternetExplorerKey, "Version", ieVersion, length))
        version = ReadDecimal(ieVersion);
}
