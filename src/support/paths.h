// Path routines on the system's own paths, which are UTF-8 on both systems:
// on Linux split at "/"; on Windows at "\", "/" or a drive's ":". UTF-8 never
// hides a separator inside a character, so no double-byte stepping is needed.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>
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
// What stands at a path where FileExists finds no file: nothing that can be
// reached, a folder, or symbolic links that lead round in a loop.
enum class TNoFile { Missing, Folder, LinkLoop };
TNoFile WhyNoFile(const std::string& path);
// Whether both paths name one existing file, however spelt.
bool IsSameExistingFile(const std::string& a, const std::string& b);

// What a path names for writing: an existing file (links followed) by its
// volume and index; a file not there yet by its folder's and its name (in
// upper case on Windows, whose names ignore case). Paths with equal
// identities write one file, however spelt. Nothing when neither the file nor
// its folder exists.
struct TFileIdentity {
    uint64_t Volume = 0;
    uint64_t Index = 0;
    std::string Name;  // empty for an existing file
    auto operator<=>(const TFileIdentity&) const = default;
};
std::optional<TFileIdentity> FileIdentity(const std::string& path);

// The library's path object for a UTF-8 path, and back. (On Windows a path
// built from a narrow string would be read in the ANSI code page.)
std::filesystem::path NativePath(std::string_view utf8);
std::string Utf8Path(const std::filesystem::path& path);

// Whether `c` separates folders in a path of this system.
constexpr bool IsPathDelim(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// The file in the directory of `path` whose name differs from the name of
// `path` only in the case of ASCII letters; the first in byte order when
// several do. Empty when there is none. Serves data written for systems whose
// file names ignore case.
std::string FindFileIgnoringCase(const std::string& path);

}  // namespace quorvex
