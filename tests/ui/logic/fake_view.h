// A window for the logic's tests, without any window system: controls are
// plain values, the desktop answers from queues, and every call into the
// desktop is logged in order.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/logic/preview_logic.h"
#include "ui/logic/window_view.h"

namespace quorvex::test {

class TFakeView : public TWindowView {
  public:
    // Fixed drop-down lists start as the faces build them: at their first entry.
    TFakeView() {
        for (const TControlSpec& spec : kMainControls)
            if (!spec.Items.empty())
                DropDowns[spec.Id] = {{spec.Items.begin(), spec.Items.end()}, 0};
    }
    TFakeView(const TFakeView&) = delete;
    TFakeView& operator=(const TFakeView&) = delete;

    struct TRow {
        TRowCells Cells;
        TRowMark Mark = kNoMark;
        std::string MarkTip;
    };

    std::map<TControl, std::string> Texts;
    std::map<TControl, bool> Checks = {
        {TControl::chkKakuchi, true}, {TControl::chkRosen, true}, {TControl::chkYX, true}};
    std::map<TControl, bool> Disabled;
    struct TDropDown {
        std::vector<std::string> Items;
        int Choice = -1;
    };
    std::map<TControl, TDropDown> DropDowns;
    // The attribute list's entries and choice.
    std::vector<std::string>& AttrItems = DropDowns[TControl::cboAttrName].Items;
    int& AttrChoice = DropDowns[TControl::cboAttrName].Choice;
    std::vector<TRow> Rows;
    int Selected = -1;
    std::string Status = "ready";

    // The desktop: "message:<kind>:<text>", "error:<text>", "dialog:<name>",
    // "busy:1"/"busy:0", "events", "show:<row>", "about", "help:<file>", "close",
    // "preview:<name>".
    std::vector<std::string> Log;
    std::deque<std::optional<std::string>> Answers;
    std::vector<TFileDialog> DialogsSeen;
    std::function<void()> OnEvents;

    std::vector<std::string> Entries(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& e : Log)
            if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e.substr(prefix.size()));
        return out;
    }
    std::vector<TRowMark> Marks() const {
        std::vector<TRowMark> marks;
        for (const TRow& r : Rows)
            marks.push_back(r.Mark);
        return marks;
    }
    bool Enabled(TControl c) const { return !Disabled.count(c) || !Disabled.at(c); }

    std::string GetText(TControl c) const override {
        const auto it = Texts.find(c);
        return it == Texts.end() ? std::string() : it->second;
    }
    void SetText(TControl c, const std::string& text) override { Texts[c] = text; }
    bool IsChecked(TControl c) const override {
        const auto it = Checks.find(c);
        return it != Checks.end() && it->second;
    }
    void SetChecked(TControl c, bool checked) override { Checks[c] = checked; }
    void SetEnabled(TControl c, bool enabled) override { Disabled[c] = !enabled; }
    void SetItems(TControl c, const std::vector<std::string>& items) override {
        DropDowns[c] = {items, -1};
    }
    int ItemCount(TControl c) const override {
        const auto it = DropDowns.find(c);
        return it == DropDowns.end() ? 0 : static_cast<int>(it->second.Items.size());
    }
    int ItemIndex(TControl c) const override {
        const auto it = DropDowns.find(c);
        return it == DropDowns.end() ? -1 : it->second.Choice;
    }
    void SetItemIndex(TControl c, int index) override { DropDowns[c].Choice = index; }
    void InsertRow(int index, const TRowCells& cells) override {
        Rows.insert(Rows.begin() + index, TRow{cells, kNoMark, {}});
    }
    void SetRowCells(int index, const TRowCells& cells) override {
        Rows.at(size_t(index)).Cells = cells;
    }
    void DeleteRow(int index) override {
        Rows.erase(Rows.begin() + index);
        Selected = -1;
    }
    void ClearRows() override {
        Rows.clear();
        Selected = -1;
    }
    void SetRowMark(int index, TRowMark mark) override { Rows.at(size_t(index)).Mark = mark; }
    void SetRowMarkTip(int index, const std::string& text) override {
        Rows.at(size_t(index)).MarkTip = text;
    }
    int SelectedRow() const override { return Selected; }
    TControl Focused = TControl::edtSimFile;
    bool HasFocus(TControl c) const override { return Focused == c; }
    // What the preview was last given: "preview:<name>" in the log.
    std::optional<TPreviewSource> Preview;
    void ShowPreview(TPreviewSource&& source) override {
        Log.push_back("preview:" + source.Name);
        Preview = std::move(source);
    }
    void ShowRow(int index) override {
        Selected = index;
        Log.push_back("show:" + std::to_string(index));
    }
    // Every text the status bar showed, in order.
    std::vector<std::string> StatusTexts;
    void SetStatusText(const std::string& text) override {
        Status = text;
        StatusTexts.push_back(text);
    }
    void Message(TMessageKind kind, const std::string& text) override {
        const char* k = kind == TMessageKind::Warning       ? "warning"
                        : kind == TMessageKind::Information ? "information"
                                                            : "error";
        Log.push_back(std::string("message:") + k + ":" + text);
    }
    void ShowError(const std::string& text) override { Log.push_back("error:" + text); }
    bool Execute(TFileDialog& dialog) override {
        Log.push_back("dialog:" + dialog.Name);
        DialogsSeen.push_back(dialog);
        if (Answers.empty()) return false;
        const std::optional<std::string> answer = Answers.front();
        Answers.pop_front();
        if (!answer) return false;
        dialog.FileName = *answer;
        return true;
    }
    void SetBusy(bool busy) override { Log.push_back(busy ? "busy:1" : "busy:0"); }
    void ProcessMessages() override {
        Log.push_back("events");
        if (OnEvents) OnEvents();
    }
    void ShowAbout() override { Log.push_back("about"); }
    void ShowHelp(const std::string& helpFile) override { Log.push_back("help:" + helpFile); }
    void Close() override { Log.push_back("close"); }
};

}  // namespace quorvex::test
