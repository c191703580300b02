// The preview window of the Qt face: the drawing of a SIMA file as the
// shared preview logic frames it, painted with QPainter, beside a panel of
// the marks and what the chosen object is, over a status line. Not modal:
// the main window goes on working while it is open. Its own "開く" and drops
// of SIMA files make it a viewer of files from elsewhere too.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QWidget>
#include <string>
#include <vector>

#include "preview/preview_raster.h"
#include "ui/logic/preview_logic.h"
#include "ui/qt/ui_services.h"

class QAction;
class QLabel;
class QListWidget;

namespace quorvex {

// The drawing area: paints the logic's frame and hands it the pointer.
class TPreviewCanvas : public QWidget {
    Q_OBJECT
  public:
    TPreviewCanvas(TPreviewLogic& logic, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    TPreviewLogic& logic_;
    // A dense frame's parcels and routes are painted into this image at the
    // screen's density, then copied onto the window.
    QImage image_;
    preview::TRasterScratch scratch_;
};

class TfrmPreview : public QMainWindow, private TPreviewView {
    Q_OBJECT
  public:
    explicit TfrmPreview(TUiServices& services, QWidget* parent = nullptr);

    // Shows the records in place of what was shown.
    void Load(TPreviewSource&& source);
    TPreviewLogic& Logic() { return logic_; }
    TPreviewCanvas* Canvas() const { return canvas_; }
    QListWidget* MarkList() const { return marks_; }
    QLabel* InfoLabel() const { return info_; }
    QAction* OpenAction() const { return open_; }
    QAction* FitAction() const { return fit_; }

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
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

    TUiServices& services_;
    TPreviewLogic logic_;
    TPreviewCanvas* canvas_ = nullptr;
    QListWidget* marks_ = nullptr;
    QLabel* info_ = nullptr;
    QAction* open_ = nullptr;
    QAction* fit_ = nullptr;
};

}  // namespace quorvex
