// The logic's one entry for events: each command of the control table runs
// its own handler, under the standard error box.
#include <gtest/gtest.h>

#include "ui/logic/fake_view.h"
#include "ui/logic/main_layout.h"
#include "ui/logic/main_logic.h"
#include "ui/logic/messages.h"
#include "ui/logic/window_files.h"

namespace quorvex {
namespace {

using test::TFakeView;
using Log = std::vector<std::string>;

TEST(MainDispatch, EachCommandRunsItsOwnHandler) {
    const std::string warn = "message:warning:";
    const std::pair<TCommand, Log> cases[] = {
        {TCommand::btnMifBrowseClick, {"dialog:OpenDialog1"}},
        {TCommand::btnSimBrowseClick, {"dialog:SaveDialog1"}},
        {TCommand::btnCmbBrowseClick, {"dialog:SaveDialog1"}},
        {TCommand::btnConvertClick, {warn + msg::kBadMifFile}},
        {TCommand::btnAddClick, {warn + msg::kBadMifFile}},
        {TCommand::btnBatchClick, {warn + msg::kNoBatchList}},
        {TCommand::O1Click, {"dialog:OpenDialog2"}},
        {TCommand::S1Click, {warn + msg::kNoBatchList}},
        {TCommand::X1Click, {"close"}},
        {TCommand::H2Click, {"help:quorvex.html"}},
        {TCommand::A1Click, {"about"}},
    };
    for (const auto& [command, log] : cases) {
        TFakeView view;
        TMainLogic logic(view, "quorvex.html");
        EXPECT_TRUE(logic.Handle(command));
        EXPECT_EQ(view.Log, log) << static_cast<int>(command);
    }
}

TEST(MainDispatch, ListCommandsFollowTheSelection) {
    TFakeView view;
    TMainLogic logic(view, "quorvex.html");
    // With nothing selected nothing happens; a selected row enables its buttons.
    for (TCommand c : {TCommand::btnRemoveClick, TCommand::btnClearClick,
                       TCommand::lvwBatchDblClick, TCommand::None})
        EXPECT_TRUE(logic.Handle(c));
    EXPECT_EQ(view.Log, Log{});
    EXPECT_FALSE(view.Enabled(TControl::btnRemove));
    view.Texts[TControl::edtMifFile] = "elsewhere.mif";
    view.Rows.resize(1);
    view.Selected = 0;
    logic.Handle(TCommand::lvwBatchChange);
    EXPECT_TRUE(view.Enabled(TControl::btnReplace));
    EXPECT_TRUE(view.Enabled(TControl::btnRemove));
}

TEST(MainDispatch, AnErrorInAHandlerIsShownAndReported) {
    test::TempDir dir;
    const std::string mif = dir / "broken.mif";
    test::WriteBytes(mif, "Version 300\r\nColumns -1\r\n  A Char(5)\r\n");
    TFakeView view;
    TMainLogic logic(view, "quorvex.html");
    view.Texts[TControl::edtMifFile] = mif;
    // The drop-down stays closed when its list could not be read.
    EXPECT_FALSE(logic.Handle(Spec(TControl::cboAttrName).Command));
    ASSERT_EQ(view.Entries("error:").size(), 1u);
    EXPECT_EQ(view.AttrItems, std::vector<std::string>{""});
}

}  // namespace
}  // namespace quorvex
