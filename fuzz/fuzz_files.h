// Helpers of the fuzz targets that go through real files: one private folder
// per process, removed at its end, files written whole into it, the
// switches of a run drawn from the input, and the check of what a run wrote.
#pragma once

#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/convert_settings.h"
#include "engine/run_report.h"
#include "sima_grammar.h"

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

// The four switches and an attribute column from -1 (none) to `maxAttr`.
inline void ConsumeSwitches(FuzzedDataProvider& fdp, TConvertSettings& s, int32_t maxAttr) {
    s.Kakuchi = fdp.ConsumeBool();
    s.Rosen = fdp.ConsumeBool();
    s.SwapXY = fdp.ConsumeBool();
    s.CloseParcel = fdp.ConsumeBool();
    s.AttrIndex = fdp.ConsumeIntegralInRange<int32_t>(-1, maxAttr);
}

inline bool HasControl(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) < 32 || c == 127) return true;
    return false;
}

// The bytes of a run that reported success: the grammar holds and the file
// holds what the run counted. Aborts otherwise.
inline void CheckWritten(std::string_view bytes, std::string_view genba,
                         const TConvertCounts& counts) {
    const test::TSimaCheck check = test::CheckSimaFile(bytes);
    if (check.Fault != test::TSimaFault::None) {
        std::fprintf(stderr, "SIMA grammar: %s\n", check.Why.c_str());
        std::abort();
    }
    if (check.Genba != genba || counts.Points != check.Points ||
        counts.Parcels != static_cast<int64_t>(check.ParcelValues.size()) ||
        counts.Routes != static_cast<int64_t>(check.RouteValues.size())) {
        std::fprintf(stderr, "the file does not hold what the run counted\n");
        std::abort();
    }
}

inline std::string ReadAll(const std::string& path) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return bytes;
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        bytes.append(buf, static_cast<size_t>(n));
    ::close(fd);
    return bytes;
}

}  // namespace quorvex::fuzz
