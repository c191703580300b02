// Where the program finds its own files. Run from its build folder or a
// portable folder it keeps them beside its executable; installed as
// <prefix>/bin/<name> it finds them in <prefix>/share/quorvex/. Installed on
// Windows (by the installer, which registers its folder) they lie beside it
// too, but the program then counts as installed: its settings go to the
// user's profile.
#pragma once

#include <string>
#include <string_view>

namespace quorvex {

// The installed program's data folder, empty for a program that is not
// installed: "<prefix>/share/quorvex/" for a program in "<prefix>/bin/" whose
// prefix holds that folder; on Windows the program's own folder (with its
// trailing separator) when the installer registered it (see
// RegisteredInstallDir).
std::string InstalledDataDir(std::string_view exePath);

// The folder of `exePath` with its trailing separator when `registered`, the
// folder an installation registered, names it; else empty. Windows folder
// names: "/" and "\" are the same, a trailing separator does not count and
// ASCII letters match either case.
std::string RegisteredInstallDir(std::string_view exePath, std::string_view registered);

// The program's own file with the executable's name and extension `ext`
// (".html" for "/usr/bin/quorvex" names "quorvex.html"): beside the executable
// when it is there, else in the installed data folder when it is there, else
// the path beside the executable, so a missing file is reported there.
std::string FindProgramFile(std::string_view exePath, std::string_view ext);

}  // namespace quorvex
