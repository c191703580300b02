// Where the program finds its own files. Run from its build folder or a
// portable folder it keeps them beside its executable; installed as
// <prefix>/bin/<name> it finds them in <prefix>/share/quorvex/.
#pragma once

#include <string>
#include <string_view>

namespace quorvex {

// "<prefix>/share/quorvex/" for a program in "<prefix>/bin/" whose prefix holds
// that folder; empty for any other program (on Windows always).
std::string InstalledDataDir(std::string_view exePath);

// The program's own file with the executable's name and extension `ext`
// (".html" for "/usr/bin/quorvex" names "quorvex.html"): beside the executable
// when it is there, else in the installed data folder when it is there, else
// the path beside the executable, so a missing file is reported there.
std::string FindProgramFile(std::string_view exePath, std::string_view ext);

}  // namespace quorvex
