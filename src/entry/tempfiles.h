// The files the program leaves in the user's temporary directory, and the one way
// their paths are built. The calling application reads these names, so they live here.
#pragma once

#include <cstddef>

constexpr size_t PathBufferSize = 256;         // temporary-directory path + file name + NUL
constexpr unsigned TempPathRequestLength = 255; // the length GetTempPathA is asked with

constexpr const char CaptureFileName[] = "RunSilent.txt";
constexpr const char ResultFileName[] = "qopass.txt";
constexpr const char ReportFileName[] = "qoreport.txt";

// Pure part of the path rule: joins the directory the system reported (dirLength
// characters, 0 when it reported none or more than it was asked for) and name into
// path. Refuses, leaving path empty and answering false, when the directory is missing
// or directory and name together pass 255 characters.
bool JoinTempFilePath(char (&path)[PathBufferSize], const char* dir, unsigned dirLength,
                      const char* name);

// Asks the system for the temporary directory and joins name behind it. Refuses as
// JoinTempFilePath does.
bool BuildTempFilePath(char (&path)[PathBufferSize], const char* name);

// Deletes the result file; answers false when its path cannot be built.
bool RemoveResultFile();

// Replaces the result file with the one line words, then a blank and detail when
// detail is given, then "\n", written in text mode (CR LF on disk). Answers false when
// the path cannot be built or the file cannot be created; the old file is gone then.
bool WriteResultFile(const char* words, const char* detail);
