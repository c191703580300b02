// The program's command line and its later starts. Files named on the
// command line are opened by the window; a start with files while the
// window is already open hands them to that window and ends, so a file
// manager that starts the program once per selected file still fills one
// window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorvex {

// WM_COPYDATA's dwData for files handed over: the data is the files' UTF-8
// paths, each ended by a zero byte.
inline constexpr ULONG_PTR kCopyDataFiles = 0x51564631;  // "QVF1"
// More than any real selection, so a forged message cannot ask for much.
inline constexpr DWORD kMaxCopyDataFiles = 4u << 20;

// The files named on a command line as GetCommandLineW gives it, after the
// program's own name: whole paths (relative ones taken from the current
// folder) in UTF-8.
std::vector<std::string> CommandLineFiles(const wchar_t* commandLine);

// The files' paths packed for WM_COPYDATA, and unpacked again (nothing from
// data that is too large or not ended by a zero byte).
std::string PackFiles(const std::vector<std::string>& files);
std::vector<std::string> UnpackFiles(const void* data, DWORD size);

// Sends the files to the window: true when it took them.
bool SendFilesToWindow(HWND window, const std::vector<std::string>& files);

// Marks this start of the program in the session; with files, and when
// another start came first, waits a few seconds for that start's window
// and sends them to it. True when they were sent: this start ends.
bool PassFilesToFirstStart(const std::vector<std::string>& files);

}  // namespace quorvex
