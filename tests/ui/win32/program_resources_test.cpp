// What Windows and its Explorer read from the two programs: the version
// resource, the manifest's identity and, in a release build, no symbols.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/win32_text.h"
#include "test_util.h"

namespace quorvex {
namespace {

struct Program {
    const char* path;
    const wchar_t* originalName;
};
const Program kPrograms[] = {{QUORVEX_WINDOW, L"quorvex.exe"},
                             {QUORVEX_CLI, L"quorvex-convert.exe"}};

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return {};
    return static_cast<const wchar_t*>(value);
}

TEST(ProgramResources, BothProgramsCarryTheProgramVersion) {
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.path);
        const std::wstring path = WidePath(program.path);
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
        ASSERT_GT(size, 0u) << "no version resource";
        std::vector<char> info(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        const std::string fields = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                   std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                   std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                                   std::to_string(LOWORD(fixed->dwFileVersionLS));
        EXPECT_EQ(fields, QUORVEX_VERSION4);
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(WideToUtf8(VersionString(info, L"FileVersion")), QUORVEX_VERSION);
        EXPECT_EQ(VersionString(info, L"OriginalFilename"), program.originalName);
        EXPECT_EQ(VersionString(info, L"ProductName"), L"Quorvex Converter");
    }
}

TEST(ProgramResources, ManifestIdentityHasTheProgramVersion) {
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.path);
        HMODULE module = LoadLibraryExW(WidePath(program.path).c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr);
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
        ASSERT_NE(found, nullptr) << "no manifest";
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
        const std::string manifest(bytes, SizeofResource(module, found));
        FreeLibrary(module);
        const size_t identity = manifest.find("<assemblyIdentity");
        ASSERT_NE(identity, std::string::npos);
        const std::string first =
            manifest.substr(identity, manifest.find('>', identity) - identity);
        EXPECT_NE(first.find("name=\"Quorvex.Converter"), std::string::npos) << first;
        EXPECT_NE(first.find(std::string("version=\"") + QUORVEX_VERSION4 + "\""),
                  std::string::npos)
            << first;
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    }
}

// A stripped image has no COFF symbol table, and with it go the debug
// sections' long names.
TEST(ProgramResources, ReleaseProgramsAreStripped) {
    if (!QUORVEX_STRIPPED) GTEST_SKIP() << "not a release build";
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.path);
        const std::string image = test::ReadBytes(program.path);
        ASSERT_GT(image.size(), 0x40u);
        uint32_t pe = 0;
        for (int i = 3; i >= 0; --i)
            pe = pe << 8 | static_cast<unsigned char>(image[0x3c + i]);
        ASSERT_LT(pe + 24u, image.size());
        ASSERT_EQ(image.compare(pe, 4, std::string("PE\0\0", 4)), 0);
        auto word32 = [&](size_t at) {
            uint32_t v = 0;
            for (int i = 3; i >= 0; --i)
                v = v << 8 | static_cast<unsigned char>(image[at + i]);
            return v;
        };
        EXPECT_EQ(word32(pe + 12), 0u) << "symbol table pointer";
        EXPECT_EQ(word32(pe + 16), 0u) << "symbol count";
        EXPECT_EQ(image.find(".debug_"), std::string::npos);
    }
}

}  // namespace
}  // namespace quorvex
