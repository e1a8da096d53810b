// Browser identification: which browser the shell opens http addresses with by DDE,
// and its major version, read from two registry values.
#pragma once

#include <cstddef>

constexpr int UnknownBrowserKind = 0;
constexpr int InternetExplorerKind = 1;
constexpr int NetscapeKind = 2;

constexpr size_t DdeApplicationValueSize = 80;  // bytes offered for the DDE application name
constexpr size_t IeVersionValueSize = 40;       // bytes offered for Internet Explorer's version
constexpr size_t BrowserTextSize = 80;          // the WEB= text + NUL

struct BrowserMatch {
    int kind;
    int version;  // fixed by the name for Netscape; 0 for Internet Explorer, read apart
};

// Names the browser from the DDE application value: its length bytes, compared with
// "IExplore", "NSShell" and "Netscape" byte for byte, case-sensitive, the names'
// terminators included. A value stored without a terminator ends at length; no byte
// past length is read. Pure.
BrowserMatch BrowserOfApplication(const char* value, size_t length);

// "IE <version>" for Internet Explorer, "NS <version>" for Netscape, "Unknown"
// otherwise, cut to size bytes. Pure.
void FormatBrowserText(int kind, int version, char* text, size_t size);

template <size_t N> void FormatBrowserText(int kind, int version, char (&text)[N])
{
    FormatBrowserText(kind, version, text, N);
}

// Reads the DDE application of the http open verb and, for Internet Explorer, the
// leading number of its Version value as the C runtime's atoi read it. Kind and version are 0 when
// the key or value is missing or longer than its buffer; an unreadable Internet
// Explorer version leaves version 0.
void GetBrowserInfo(int& kind, int& version);
