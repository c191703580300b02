// Helpers shared by the tests: scratch directories, whole-file bytes and
// running a program, on Linux and on Windows alike. Paths are UTF-8.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::test {

// Built with the address sanitizer, whose shadow memory makes a bound on the
// address space meaningless.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

// A fresh directory that is removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // UTF-8 path of `name` inside the directory.
    std::string operator/(std::string_view name) const;

  private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);
bool Exists(const std::string& path);
// Names in a directory, sorted (UTF-8).
std::vector<std::string> ListDir(const std::string& dir);

// Folder of the real-world MIF/MID files; empty when it is absent.
std::string ExternalDataDir();

struct ProgramResult {
    int status;       // exit code; -1 when it did not exit normally
    std::string out;  // standard output and standard error together
};
// Runs `program` with `args` (passed as they are, without a shell) and the
// environment changed by `env`: "NAME=VALUE" sets, "NAME=" removes.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {});

#ifdef _WIN32
// The installer's registration of its folder (value InstallDir of the
// program's key in HKEY_CURRENT_USER), for the object's lifetime.
class RegisteredInstallDir {
  public:
    explicit RegisteredInstallDir(const std::string& dir);
    ~RegisteredInstallDir();
    RegisteredInstallDir(const RegisteredInstallDir&) = delete;
    bool ok() const { return ok_; }
    // Whether a registration exists already (a test would then change it).
    static bool Exists();

  private:
    bool ok_ = false;
};
#endif

}  // namespace quorvex::test
