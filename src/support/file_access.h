// Opening existing files for reading by their UTF-8 path, in binary mode (a
// text-mode read on Windows would drop CR and stop at 0x1A).
#pragma once

#include <cstdio>
#include <string>

namespace quorvex {

// A C runtime descriptor open for reading, or -1 with errno set.
int OpenForReading(const std::string& path);
// A C stream in `mode` (binary is added), or null with errno set.
std::FILE* OpenStream(const std::string& path, const char* mode);
// Whether this process may write the file: an existing one as it stands, a
// missing one as a new file in its folder. Nothing is changed by asking.
bool CanWriteFile(const std::string& path);
// Removes a file, ignoring any failure (for cleaning up after oneself).
void RemoveFileQuietly(const std::string& path);

}  // namespace quorvex
