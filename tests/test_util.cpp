#include "test_util.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "support/paths.h"

#ifdef _WIN32
#include <windows.h>

#include "support/win32_text.h"
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quorvex::test {

TempDir::TempDir() {
    std::random_device seed;
    std::mt19937_64 rng(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = std::filesystem::temp_directory_path() /
                               ("quorvex-test-" + std::to_string(rng() % 1000000000));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::operator/(std::string_view name) const {
    return Utf8Path(path_ / NativePath(name));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(NativePath(path), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(NativePath(path), ec);
}

std::vector<std::string> ListDir(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(NativePath(dir)))
        names.push_back(Utf8Path(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string ExternalDataDir() {
    const std::string dir = QUORVEX_EXTERNAL_TESTDATA;
    std::error_code ec;
    return std::filesystem::is_directory(NativePath(dir), ec) ? dir : std::string();
}

#ifdef _WIN32

namespace {

// One argument as the C runtime's command-line parser reads it back.
std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring q = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        q.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        q.push_back(c);
    }
    q.append(backslashes * 2, L'\\');
    return q + L"\"";
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env) {
    // The child inherits this process's environment, changed for its start
    // and put back afterwards.
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved;
    for (const std::string& e : env) {
        const size_t eq = e.find('=');
        const std::wstring name = Utf8ToWide(e.substr(0, eq));
        wchar_t old[32767];
        const DWORD n = ::GetEnvironmentVariableW(name.c_str(), old, 32767);
        saved.push_back(
            {name, n ? std::optional<std::wstring>(std::wstring(old, n)) : std::nullopt});
        const std::wstring value = Utf8ToWide(e.substr(eq + 1));
        ::SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
    struct TRestore {
        decltype(saved)& s;
        ~TRestore() {
            for (auto& [name, value] : s)
                ::SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
        }
    } restore{saved};
    std::wstring cmd = QuoteArgument(Utf8ToWide(program));
    for (const std::string& a : args)
        cmd += L" " + QuoteArgument(Utf8ToWide(a));
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0)) throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                               OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE,
                                          CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    ::CloseHandle(writeEnd);
    ::CloseHandle(nul);
    if (!started) {
        ::CloseHandle(readEnd);
        throw std::runtime_error("cannot start " + program);
    }
    ProgramResult r{-1, {}};
    char buf[4096];
    DWORD n;
    while (::ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0)
        r.out.append(buf, n);
    ::CloseHandle(readEnd);
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(pi.hProcess, &code)) r.status = static_cast<int>(code);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return r;
}

#else

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        ::close(fds[0]);
        ::close(fds[1]);
        for (const std::string& e : env) {
            const size_t eq = e.find('=');
            const std::string name = e.substr(0, eq);
            if (eq + 1 < e.size())
                ::setenv(name.c_str(), e.c_str() + eq + 1, 1);
            else
                ::unsetenv(name.c_str());
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    ProgramResult r{-1, {}};
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        r.out.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int st = 0;
    ::waitpid(pid, &st, 0);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

#endif

#ifdef _WIN32
namespace {
constexpr const wchar_t* kProgramKey = L"Software\\Quorvex\\Quorvex Converter";
}  // namespace

RegisteredInstallDir::RegisteredInstallDir(const std::string& dir) {
    const std::wstring value = Utf8ToWide(dir);
    ok_ =
        RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"InstallDir", REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

RegisteredInstallDir::~RegisteredInstallDir() {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"InstallDir");
    // The keys the registration created go too (each only while empty of subkeys).
    RegDeleteKeyW(HKEY_CURRENT_USER, kProgramKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Quorvex");
}

bool RegisteredInstallDir::Exists() {
    return RegGetValueW(HKEY_CURRENT_USER, kProgramKey, L"InstallDir", RRF_RT_ANY, nullptr, nullptr,
                        nullptr) == ERROR_SUCCESS;
}
#endif

}  // namespace quorvex::test
