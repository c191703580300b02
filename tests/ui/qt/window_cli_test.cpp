// A batch list saved by the window runs through the command line to the same
// bytes as the window's own run, each row to its file and merged.
#include <sys/wait.h>

#include <QAction>
#include <cstdlib>
#include <filesystem>

#include "window_fixture.h"

namespace quorvex::test {
namespace {

class WindowAndCommandLine : public WindowTest {
  protected:
    // Runs the window's batch, then the command line on the saved list, and
    // compares what both wrote at each path.
    void ExpectSameBytes(const std::vector<std::string>& outputs) {
        const std::string list = dir / "list.txt";
        ui.Answers = {QString::fromStdString(list)};
        Get<QAction>("S1")->trigger();
        ASSERT_TRUE(std::filesystem::exists(list));
        Button("btnBatch")->click();
        std::vector<std::string> window;
        for (const std::string& out : outputs) {
            window.push_back(ReadBytes(out));
            std::filesystem::remove(out);
        }
        const std::string cmd =
            std::string("'") + QUORVEX_CLI + "' --batch '" + list + "' 2>/dev/null";
        const int status = std::system(cmd.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        for (size_t i = 0; i < outputs.size(); ++i)
            EXPECT_TRUE(ReadBytes(outputs[i]) == window[i]) << outputs[i];
    }

    void Add(const std::string& mif, const std::string& sim, int attr, const char* genba) {
        FillPanel(mif, sim);
        Edit("edtGenba")->setText(QString::fromUtf8(genba));
        DropDown();
        Combo()->setCurrentIndex(attr);
        Button("btnAdd")->click();
    }
};

TEST_F(WindowAndCommandLine, SameFilesFromTheSavedList) {
    const std::string jpDir = dir / "測量";
    std::filesystem::create_directory(jpDir);
    WriteMifPair(jpDir + "/北.mif");
    WriteMifPair(dir / "b.mif");
    Add(jpDir + "/北.mif", jpDir + "/北.sim", 2, "北地区");
    Check("chkYX")->setChecked(false);
    Check("chkEnd")->setChecked(true);
    Add(dir / "b.mif", dir / "b.sim", 1, "");
    ExpectSameBytes({jpDir + "/北.sim", dir / "b.sim"});

    Check("chkCombine")->setChecked(true);
    Edit("edtConbineFile")->setText(QString::fromStdString(jpDir + "/全体.sim"));
    Edit("edtCombineGenba")->setText("南地区");
    ExpectSameBytes({jpDir + "/全体.sim"});
}

}  // namespace
}  // namespace quorvex::test
