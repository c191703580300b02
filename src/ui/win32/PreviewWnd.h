// The preview window of the Win32 face: a non-modal window "プレビュー -
// NAME" with the drawing, its own 開く and 全体表示 buttons, a side panel with
// the chosen object's facts and the list of marks, and a status bar. The
// shared preview logic (TPreviewLogic) decides what is shown; this face
// forwards the mouse (wheel zoom about the cursor, drag pan, click), the
// keys and the controls' events to it and paints its frame with GDI into a
// memory bitmap, copied to the screen in one BitBlt so nothing flickers.
#pragma once

#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <string>
#include <vector>

#include "ui/logic/preview_logic.h"
#include "ui/win32/desktop.h"
#include "ui/win32/preview_paint.h"

namespace quorvex {

class TfrmPreview : private TPreviewView {
  public:
    // A window owned by `owner` (it stays above it and goes with it), not
    // shown until Show().
    TfrmPreview(TWin32Desktop& desktop, HWND owner);
    ~TfrmPreview() override;
    TfrmPreview(const TfrmPreview&) = delete;
    TfrmPreview& operator=(const TfrmPreview&) = delete;

    HWND Handle() const { return hwnd_; }
    // Shows the window (it is hidden, not destroyed, when closed) and brings
    // it to the front.
    void Show();
    // Shows the records; errors go to the standard error box.
    void ShowSource(TPreviewSource&& source);
    // Tab between the controls and Alt+letter for the buttons; true when the
    // message was used.
    bool PreTranslateMessage(MSG& msg);

    TPreviewLogic& Logic() { return logic_; }
    // The parts, for the tests.
    HWND Canvas() const { return canvas_; }
    HWND MarkList() const { return marks_; }
    HWND InfoText() const { return info_; }
    HWND StatusBar() const { return status_; }
    HWND OpenButton() const { return open_; }
    HWND FitButton() const { return fit_; }
    const TMemoryBitmap& Bitmap() const { return bitmap_; }
    UINT Dpi() const { return dpi_; }
    // Device pixels of the canvas for a position of the frame, and back.
    POINT ToDevice(preview::TScreenPoint p) const;
    preview::TScreenPoint ToFrame(int x, int y) const;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnCanvas(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    // The window font at the current dpi, on every control.
    void ApplyFont();
    // Places the controls for the current size and dpi.
    void Layout();
    void OnDropFiles(HDROP drop);
    // The canvas's size, in frame pixels, to the logic.
    void CanvasResized();

    // TPreviewView
    void SetTitle(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void SetInfoText(const std::string& text) override;
    void SetMarkItems(const std::vector<std::string>& items) override;
    void Redraw() override;
    void Message(TMessageKind kind, const std::string& text) override;
    void ShowError(const std::string& text) override;
    bool Execute(TFileDialog& dialog) override;
    void SetBusy(bool busy) override;

    TWin32Desktop& desktop_;
    TPreviewLogic logic_;
    HWND hwnd_ = nullptr;
    HWND canvas_ = nullptr;
    HWND open_ = nullptr;
    HWND fit_ = nullptr;
    HWND info_ = nullptr;
    HWND marksLabel_ = nullptr;
    HWND marks_ = nullptr;
    HWND status_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    int busy_ = 0;
    bool dragging_ = false;
    bool tracking_ = false;  // asked for WM_MOUSELEAVE
    TMemoryBitmap bitmap_;
};

}  // namespace quorvex
