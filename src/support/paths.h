// Path routines on the system's own paths: on Linux UTF-8 bytes split at "/";
// on Windows code page 932 bytes split at "\" or ":", stepping over
// double-byte characters so a trail byte 0x5C is never taken for a separator.
#pragma once

#include <string>
#include <string_view>

namespace quorvex {

#ifdef _WIN32
inline constexpr char kPathDelim = '\\';
#else
inline constexpr char kPathDelim = '/';
#endif

// Directory part of a path, ending in a separator unless empty.
std::string GetFileDir(std::string_view path);
// File name without directory and extension.
std::string GetBaseName(std::string_view path);
// File name part (after the last separator).
std::string_view GetFileName(std::string_view path);
// Path with the extension of its file name replaced by `ext` (which includes
// the dot); a name without extension gets `ext` appended.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// Full path of the running executable.
std::string GetExePath();
// Directory of the running executable, ending in a separator.
std::string GetAppDir();

// Existence of a regular file (or anything that is not a directory).
bool FileExists(const std::string& path);

// The file in the directory of `path` whose name differs from the name of
// `path` only in the case of ASCII letters; the first in byte order when
// several do. Empty when there is none. Serves data written for systems whose
// file names ignore case.
std::string FindFileIgnoringCase(const std::string& path);

}  // namespace quorvex
