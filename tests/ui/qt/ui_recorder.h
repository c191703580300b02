// A desktop for window tests: records message boxes, error boxes and the busy
// cursor, and answers file dialogs from a queue, so no handler waits for a
// person.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/qt/ui_services.h"

namespace quorvex::test {

class TUiRecorder : public TUiServices {
  public:
    struct TBox {
        TMessageKind Kind;
        QString Text;
        bool operator==(const TBox&) const = default;
    };

    std::vector<TBox> Messages;
    std::vector<QString> Errors;
    // The names of the dialogs opened, in order.
    std::vector<QString> Dialogs;
    // Answers of the next dialogs: a file name, or nothing for Cancel.
    std::deque<std::optional<QString>> Answers;
    int BusyDepth = 0;
    int BusyCalls = 0;
    int AboutShown = 0;
    std::vector<QString> HelpShown;
    // Called when a message box would be shown, before it is recorded.
    std::function<void(const TBox&)> OnMessage;

    void Message(QWidget*, TMessageKind kind, const QString& text) override {
        if (OnMessage) OnMessage({kind, text});
        Messages.push_back({kind, text});
    }
    void ShowError(QWidget*, const QString& text) override { Errors.push_back(text); }
    bool Execute(QWidget*, TFileDialog& dialog) override {
        Dialogs.push_back(QString::fromStdString(dialog.Name));
        if (Answers.empty()) return false;
        const std::optional<QString> answer = Answers.front();
        Answers.pop_front();
        if (!answer) return false;
        dialog.FileName = answer->toStdString();
        return true;
    }
    void SetBusy(bool busy) override {
        BusyDepth += busy ? 1 : -1;
        ++BusyCalls;
    }
    void ShowAbout(QWidget*) override { ++AboutShown; }
    void ShowHelp(QWidget*, const QString& helpFile) override { HelpShown.push_back(helpFile); }

    std::vector<QString> Texts() const {
        std::vector<QString> texts;
        for (const auto& m : Messages)
            texts.push_back(m.Text);
        return texts;
    }
};

}  // namespace quorvex::test
