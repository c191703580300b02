// Helpers shared by the tests: scratch directories and whole-file bytes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvex::test {

// A fresh directory that is removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);

// Folder of the real-world MIF/MID files; empty when it is absent.
std::string ExternalDataDir();

}  // namespace quorvex::test
