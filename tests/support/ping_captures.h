// Test data for the checkip: scan: what Windows' own ping.exe writes into a redirected
// file (the capture), byte for byte in the console's OEM code page, for Windows XP, 7
// and 10 in English, German, French, Japanese and Simplified Chinese, each with the
// verdict the scan must give. Plain C++, no Windows headers, so host tools can use it.
#pragma once
#include <string>
#include <vector>

struct PingCapture {
    std::string what;    // e.g. "Windows 10, German: a live host by short name"
    std::string host;    // the host text of checkip: as typed, e.g. "dc1"
    std::string output;  // the exact bytes ping.exe writes into a redirected file
    bool found;          // true when the host answered (the verdict the scan must give)
};

// Every case below, for every Windows version and language wording.
std::vector<PingCapture> WindowsPingCaptures();
