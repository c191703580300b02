// The command line's arguments and standard streams, the same on both
// systems: arguments arrive as UTF-8, standard output carries bytes exactly
// as written, and messages on standard error read correctly in a console.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvex::cli {

// The arguments in UTF-8 (on Windows read as UTF-16, never through the ANSI
// code page); puts standard output and standard error into binary mode.
std::vector<std::string> StartConsole(int argc, char** argv);

// `utf8` in the terminal's encoding, for standard output: UTF-8 on POSIX
// systems; on Windows the console's output code page (the ANSI code page
// without a console), characters it lacks as '?'.
std::string ForTerminal(std::string_view utf8);

// Writes `utf8` to standard error: as UTF-16 when it is a Windows console,
// as UTF-8 bytes otherwise.
void WriteMessage(std::string_view utf8);

}  // namespace quorvex::cli
