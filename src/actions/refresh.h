// The address refresh of "refresh" and "refresh:TEXT": releases and renews the IP
// address leases with IPConfig.exe, hidden, and confirms a successful renewal.
#pragma once

#include "base/tempfiles.h"

#include <cstddef>

// The renewal's arguments: its switch (at most 10 characters), " >", the capture path
// in quotes, NUL.
constexpr size_t RenewArgumentSize = 10 + 2 + 2 + (PathBufferSize - 1) + 1;

struct RefreshSwitches {
    const char* release;
    const char* renew;  // the renewal's output is redirected into the capture behind it
};

// True when the OS name string names Windows 95, 98 or ME, whose IPConfig takes the
// "_all" switches. Pure.
bool IsNineXFamily(const char* osName);

// The release and renew switches for the family. Pure.
RefreshSwitches SwitchesFor(bool nineXFamily);

// "<renew switch> ><capture path>", the path quoted as AppendCapturePath says. Refuses,
// leaving arguments empty and answering false, where AppendCapturePath refuses. Pure.
bool BuildRenewArguments(char (&arguments)[RenewArgumentSize], const char* renewSwitch,
                         const char* capturePath);

// Deletes the capture, releases, renews into the capture, and on a renewal that exits
// with 0 replaces the result file with "refresh found <text>\n" (text not empty and
// found in a piece of the capture) or "refresh\n". A failed renewal, a temporary
// directory too long for the file names, a capture path that the interpreter would
// read as its own syntax, or a capture that cannot be deleted first runs no further
// tool and leaves no result file. The capture stays. Answers whether the renewal
// succeeded and its confirmation was stored whole.
bool RefreshAddress(const char* searchText);
