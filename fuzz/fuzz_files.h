// Helpers of the fuzz targets that go through real files: one private folder
// per process, removed at its end, files written whole into it, and the
// switches of a run drawn from the input.
#pragma once

#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/convert_settings.h"

namespace quorvex::fuzz {

inline const std::string& Folder() {
    struct TFolder {
        std::string path;
        TFolder() {
            const char* base = std::getenv("TMPDIR");
            path = std::string(base && *base ? base : "/tmp") + "/quorvex-fuzz-XXXXXX";
            if (!::mkdtemp(path.data())) std::abort();
        }
        ~TFolder() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    };
    static const TFolder folder;
    return folder.path;
}

inline std::string Put(const std::string& name, std::string_view bytes) {
    const std::string path = Folder() + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return path;
}

inline std::string Get(const std::string& path) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) std::abort();
    char buf[1 << 16];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) != 0;) {
        if (n < 0) std::abort();
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

// The four switches and an attribute column from -1 (none) to `maxAttr`.
inline void ConsumeSwitches(FuzzedDataProvider& fdp, TConvertSettings& s, int32_t maxAttr) {
    s.Kakuchi = fdp.ConsumeBool();
    s.Rosen = fdp.ConsumeBool();
    s.SwapXY = fdp.ConsumeBool();
    s.CloseParcel = fdp.ConsumeBool();
    s.AttrIndex = fdp.ConsumeIntegralInRange<int32_t>(-1, maxAttr);
}

}  // namespace quorvex::fuzz
