// The main window on the offscreen platform with a recording desktop, a
// scratch directory for its placement store, and small MIF/MID files.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "test_util.h"
#include "ui/logic/window_files.h"
#include "ui/qt/MainFrm.h"
#include "ui/qt/qt_app.h"
#include "ui/qt/ui_recorder.h"

namespace quorvex::test {

class WindowTest : public testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApp();
        store.Path = dir / "Quorvex.INI";
        store.FallbackPath = dir / "config/Quorvex.INI";
        frm = std::make_unique<TfrmMain>(ui, store);
    }
    void TearDown() override { frm.reset(); }

    template <class T>
    T* Get(const char* name) {
        T* w = frm->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* Edit(const char* name) { return Get<QLineEdit>(name); }
    QPushButton* Button(const char* name) { return Get<QPushButton>(name); }
    QCheckBox* Check(const char* name) { return Get<QCheckBox>(name); }
    QComboBox* Combo() { return Get<QComboBox>("cboAttrName"); }
    QTreeWidget* List() { return Get<QTreeWidget>("lvwBatch"); }

    // Opens and closes the attribute list, as the user does.
    void DropDown() {
        Combo()->showPopup();
        Combo()->hidePopup();
    }

    // Fills the panel with a valid job for `mif`.
    void FillPanel(const std::string& mif, const std::string& sim) {
        Edit("edtMifFile")->setText(QString::fromStdString(mif));
        Edit("edtSimFile")->setText(QString::fromStdString(sim));
    }

    TempDir dir;
    TUiRecorder ui;
    TPlacementStore store;
    std::unique_ptr<TfrmMain> frm;
};

}  // namespace quorvex::test
