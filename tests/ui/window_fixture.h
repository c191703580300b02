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
#include "ui/MainFrm.h"
#include "ui/qt_app.h"
#include "ui/ui_recorder.h"

namespace quorvex::test {

// Column names of the test MIF: "CHIBAN", "名前" (code page 932), "AREA".
inline constexpr std::string_view kJapaneseColumn = "\x96\xBC\x91\x4F";

// A MIF file with three columns, a region and a line starting at (1, 2),
// and its MID file beside it.
inline void WriteMifPair(const std::string& mifPath) {
    WriteBytes(mifPath, std::string("Version 300\r\n"
                                    "Charset \"WindowsJapanese\"\r\n"
                                    "Delimiter \",\"\r\n"
                                    "CoordSys NonEarth Units \"m\" Bounds (0, 0) (100, 100)\r\n"
                                    "Columns 3\r\n"
                                    "  CHIBAN Char(10)\r\n  ") +
                            std::string(kJapaneseColumn) +
                            " Char(20)\r\n"
                            "  AREA Float\r\n"
                            "Data\r\n"
                            "\r\n"
                            "Region  1\r\n"
                            "  4\r\n"
                            "1 2\r\n"
                            "11 2\r\n"
                            "11 12\r\n"
                            "1 12\r\n"
                            "    Pen (1,2,0)\r\n"
                            "Line 1 2 30 40\r\n");
    WriteBytes(mifPath.substr(0, mifPath.size() - 4) + ".mid",
               "\"1-1\",\"\x96\x6B\",100\r\n\"R1\",\"\x93\xB9\",0\r\n");
}

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
