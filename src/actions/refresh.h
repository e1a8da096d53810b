// The address refresh of "refresh" and "refresh:TEXT": releases and renews the IP
// address leases with IPConfig.exe, hidden, and confirms a successful renewal.
#pragma once

struct RefreshSwitches {
    const char* release;
    const char* renew;  // carries the redirection of the renewal's output
};

// True when the OS name string names Windows 95, 98 or ME, whose IPConfig takes the
// "_all" switches. Pure.
bool IsNineXFamily(const char* osName);

// The release and renew arguments for the family. Pure.
RefreshSwitches SwitchesFor(bool nineXFamily);

// Releases, renews into %temp%\RunSilent.txt, and on a renewal that exits with 0
// replaces the result file with "refresh found <text>\n" (text not empty and found in
// a piece of the capture) or "refresh\n". A failed renewal, or a temporary directory
// too long for the file names, leaves no result file. The capture stays. Answers
// whether the renewal succeeded.
bool RefreshAddress(const char* searchText);
