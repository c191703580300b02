// The installed MIME type: a MapInfo MIF file is told from a FrameMaker one
// of the same extension by its first line, as the desktop's file managers
// see it through shared-mime-info.
#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <cstdlib>
#include <filesystem>

#include "test_util.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

TEST(MimeType, MapInfoFilesAreToldFromFrameMakerOnesByTheirFirstLine) {
    const fs::path system = "/usr/share/mime/packages/freedesktop.org.xml";
    if (!fs::exists(system) || std::system("command -v update-mime-database >/dev/null") != 0)
        GTEST_SKIP() << "shared-mime-info not installed";
    // A data folder holding the system's types and ours, compiled together
    // as a package installation does; read by this process only.
    TempDir dir;
    const fs::path packages = dir.path() / "share/mime/packages";
    fs::create_directories(packages);
    fs::copy_file(system, packages / "freedesktop.org.xml");
    fs::copy_file(fs::path(QUORVEX_EXAMPLES) / "../packaging/linux/quorvex-mime.xml",
                  packages / "quorvex.xml");
    const std::string update =
        "update-mime-database '" + (dir.path() / "share/mime").string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(update.c_str()), 0);
    qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(dir / "share"));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir / "home"));

    WriteBytes(dir / "upper.MIF", "VERSION 450\r\nCharset \"WindowsJapanese\"\r\n");
    WriteBytes(dir / "frame.mif", "<MIFFile 7.00> # FrameMaker\n<Units Uin>\n");
    const QMimeDatabase db;
    auto typeOf = [&](const std::string& path) {
        return db.mimeTypeForFile(QString::fromStdString(path)).name().toStdString();
    };
    EXPECT_EQ(typeOf(std::string(QUORVEX_EXAMPLES) + "/town.mif"), "application/x-mapinfo-mif");
    EXPECT_EQ(typeOf(dir / "upper.MIF"), "application/x-mapinfo-mif");
    EXPECT_EQ(typeOf(dir / "frame.mif"), "application/x-mif");
    EXPECT_TRUE(db.mimeTypeForName("application/x-mapinfo-mif").inherits("text/plain"));
}

}  // namespace
}  // namespace quorvex
