#include "ui/qt/PreviewWnd.h"
#include <chrono>
#include <cstdio>

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "preview/preview_svg.h"
#include "support/cp932.h"
#include "ui/logic/messages.h"
#include "ui/qt/app_icon.h"

namespace quorvex {
namespace {

using preview::TFrame;
using preview::TScreenPoint;

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QColor Colour(std::string_view hex) {
    return QColor(QString::fromLatin1(hex.data(), static_cast<qsizetype>(hex.size())));
}

// What the chosen object is drawn over with.
const QColor kSelection(255, 140, 0);

TScreenPoint At(const QPointF& p) {
    return {p.x(), p.y()};
}

void PaintRuns(QPainter& p, const std::vector<preview::TPixelRun>& runs, const QColor& colour) {
    for (const preview::TPixelRun& r : runs)
        p.fillRect(QRectF(r.X0, r.Y, r.X1 - r.X0, 1), colour);
}

// Smoothing costs most on a frame full of lines (a whole town zoomed out a
// little), where it shows least: such a frame is painted plain, straight
// into pixels.
bool Dense(const TFrame& f) {
    constexpr size_t kSmoothVerticesUpTo = 10000;
    return f.Xy.size() / 2 > kSmoothVerticesUpTo;
}

// Parcels lightly filled (even-odd, so holes stay open) and outlined,
// routes as lines, small objects as pixel runs, smoothed.
void PaintShapes(QPainter& p, const TFrame& f) {
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen outline(Colour(preview::kParcelStroke), 1, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    outline.setCosmetic(true);
    p.setPen(outline);
    p.setBrush(Colour(preview::kParcelFill));
    QPolygonF ring;
    for (const preview::TFramePolygon& polygon : f.Polygons) {
        if (polygon.RingCount == 1) {
            ring.clear();
            const uint32_t r = polygon.FirstRing;
            for (uint32_t v = f.RingStarts[r]; v < f.RingStarts[r + 1]; ++v)
                ring << QPointF(f.X(v), f.Y(v));
            p.drawPolygon(ring, Qt::OddEvenFill);
            continue;
        }
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        for (uint32_t r = polygon.FirstRing; r < polygon.FirstRing + polygon.RingCount; ++r) {
            for (uint32_t v = f.RingStarts[r]; v < f.RingStarts[r + 1]; ++v) {
                if (v == f.RingStarts[r])
                    path.moveTo(f.X(v), f.Y(v));
                else
                    path.lineTo(f.X(v), f.Y(v));
            }
            path.closeSubpath();
        }
        p.drawPath(path);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    PaintRuns(p, f.ParcelRuns, Colour(preview::kSmallParcelFill));
    p.setRenderHint(QPainter::Antialiasing, true);

    QPen route(Colour(preview::kRouteStroke), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    route.setCosmetic(true);
    p.setPen(route);
    p.setBrush(Qt::NoBrush);
    for (const preview::TFramePolyline& line : f.Polylines) {
        ring.clear();
        for (uint32_t v = line.First; v < line.First + line.Count; ++v)
            ring << QPointF(f.X(v), f.Y(v));
        p.drawPolyline(ring);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    PaintRuns(p, f.RouteRuns, Colour(preview::kRouteStroke));
}

// What the SVG file has over the shapes: labels, the site name, the scale
// bar and the north arrow.
void PaintAnnotations(QPainter& p, const preview::TPreviewScene& scene, const TFrame& f) {
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor text = Colour(preview::kTextFill);
    QFont font = p.font();
    font.setPixelSize(static_cast<int>(preview::kLabelFontPx));
    p.setFont(font);
    p.setPen(text);
    // The shared model decided which labels fit; a box of its size, centred
    // where it put it, holds the text whatever this font's widths.
    for (const preview::TFrameLabel& l : f.Labels) {
        const std::string_view name =
            l.Route ? scene.RouteName(l.Object) : scene.ParcelName(l.Object);
        const QRectF box(l.Box.X - l.Box.Width, l.Box.Y - l.Box.Height / 2, 2 * l.Box.Width,
                         l.Box.Height);
        p.drawText(box, Qt::AlignCenter, Q(Cp932ToUtf8(name)));
    }

    const std::string site = Cp932ToUtf8(scene.File().Genba);
    if (!site.empty()) {
        font.setPixelSize(14);
        p.setFont(font);
        p.drawText(QPointF(16, 24), Q(site));
    }
    const preview::TScaleBar& bar = f.ScaleBar;
    p.setPen(QPen(text, 1.5));
    p.setBrush(Qt::NoBrush);
    const QPointF bend[] = {{bar.X, bar.Y - 5},
                            {bar.X, bar.Y},
                            {bar.X + bar.Length, bar.Y},
                            {bar.X + bar.Length, bar.Y - 5}};
    p.drawPolyline(bend, 4);
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRectF(bar.X, bar.Y - 24, bar.Length, 14), Qt::AlignHCenter | Qt::AlignBottom,
               Q(bar.Text));

    p.setPen(Qt::NoPen);
    p.setBrush(text);
    const QPointF arrow[] = {{f.NorthX, f.NorthY},
                             {f.NorthX + 7, f.NorthY + f.NorthLength},
                             {f.NorthX, f.NorthY + f.NorthLength - 7},
                             {f.NorthX - 7, f.NorthY + f.NorthLength}};
    p.drawPolygon(arrow, 4);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(text);
    p.drawText(QRectF(f.NorthX - 10, f.NorthY + f.NorthLength + 2, 20, 16), Qt::AlignCenter,
               QStringLiteral("N"));
}

}  // namespace

TPreviewCanvas::TPreviewCanvas(TPreviewLogic& logic, QWidget* parent)
    : QWidget(parent), logic_(logic) {
    setObjectName("pbxDrawing");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
    setCursor(Qt::CrossCursor);
}

void TPreviewCanvas::paintEvent(QPaintEvent*) {
    // Logical pixels: Qt paints them at the screen's own density.
    auto T0 = std::chrono::steady_clock::now();
    auto ms = [&] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - T0)
            .count();
    };
    QPainter p(this);
    fprintf(stderr, "begin %.1f\n", ms());
    if (!logic_.Loaded()) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    const TFrame& f = logic_.Frame();
    if (Dense(f)) {
        const qreal density = devicePixelRatioF();
        const QSize size = (QSizeF(this->size()) * density).toSize();
        if (image_.size() != size) image_ = QImage(size, QImage::Format_RGB32);
        image_.setDevicePixelRatio(density);
        image_.fill(Qt::white);
        const preview::TPixels pixels{reinterpret_cast<uint32_t*>(image_.bits()), image_.width(),
                                      image_.height(),
                                      static_cast<size_t>(image_.bytesPerLine()) / 4, density};
        fprintf(stderr, "fill %.1f\n", ms());
        preview::RasterizeFrame(f, pixels, scratch_);
        fprintf(stderr, "raster %.1f\n", ms());
        p.drawImage(QPointF(0, 0), image_);
        fprintf(stderr, "draw %.1f\n", ms());
    } else {
        p.fillRect(rect(), Qt::white);
        PaintShapes(p, f);
    }
    PaintAnnotations(p, logic_.Scene(), f);
    fprintf(stderr, "annot %.1f\n", ms());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kSelection, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (const TPreviewLogic::TOutline& line : logic_.SelectionOutline()) {
        QPolygonF points;
        for (const TScreenPoint& s : line.Points)
            points << QPointF(s.X, s.Y);
        if (points.size() == 1)
            p.drawEllipse(points[0], 5, 5);
        else if (line.Closed)
            p.drawPolygon(points, Qt::OddEvenFill);
        else
            p.drawPolyline(points);
    }
}

void TPreviewCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    logic_.Resize(width(), height());
}

void TPreviewCanvas::wheelEvent(QWheelEvent* event) {
    // One notch of a wheel is 120; touchpads send parts of it.
    const double notches = event->angleDelta().y() / 120.0;
    logic_.Guard([&] { logic_.Wheel(At(event->position()), notches); });
    event->accept();
}

void TPreviewCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    setCursor(Qt::ClosedHandCursor);
    logic_.MousePress(At(event->position()));
}

void TPreviewCanvas::mouseMoveEvent(QMouseEvent* event) {
    logic_.Guard([&] { logic_.MouseMove(At(event->position())); });
}

void TPreviewCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    setCursor(Qt::CrossCursor);
    logic_.Guard([&] { logic_.MouseRelease(At(event->position())); });
}

void TPreviewCanvas::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    logic_.MouseLeave();
}

TfrmPreview::TfrmPreview(TUiServices& services, QWidget* parent)
    : QMainWindow(parent, Qt::Window), services_(services), logic_(*this) {
    setObjectName("frmPreview");
    setWindowIcon(QuorvexIcon());
    setFont(QuorvexWindowFont());
    // A closed preview lets its drawing go (a large file holds hundreds of
    // megabytes); the next one opens anew.
    setAttribute(Qt::WA_DeleteOnClose, true);

    QToolBar* tools = addToolBar(QString());
    tools->setObjectName("ToolBar1");
    tools->setMovable(false);
    open_ = tools->addAction(Q(msg::kPreviewOpen));
    open_->setObjectName("actOpen");
    open_->setShortcut(QKeySequence::Open);
    fit_ = tools->addAction(Q(msg::kPreviewFit));
    fit_->setObjectName("actFit");
    fit_->setShortcut(QKeySequence(Qt::Key_Home));
    fit_->setToolTip(Q(msg::kPreviewFit) + QStringLiteral(" (Home)"));
    connect(open_, &QAction::triggered, this,
            [this] { logic_.Guard([this] { logic_.OpenClick(); }); });
    connect(fit_, &QAction::triggered, this, [this] { logic_.Guard([this] { logic_.Fit(); }); });

    auto* split = new QSplitter(Qt::Horizontal, this);
    canvas_ = new TPreviewCanvas(logic_, split);
    auto* side = new QWidget(split);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(4, 4, 4, 4);
    auto* caption = new QLabel(Q(msg::kPreviewMarks), side);
    marks_ = new QListWidget(side);
    marks_->setObjectName("lstMarks");
    caption->setBuddy(marks_);
    info_ = new QLabel(side);
    info_->setObjectName("lblInfo");
    info_->setWordWrap(true);
    info_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    info_->setMinimumHeight(48);
    info_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(caption);
    column->addWidget(marks_, 1);
    column->addWidget(info_);
    split->addWidget(canvas_);
    split->addWidget(side);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setSizes({620, 280});
    setCentralWidget(split);
    // A click, the arrow keys or Enter on an entry: its object chosen and in sight.
    connect(marks_, &QListWidget::currentRowChanged, this,
            [this](int row) { logic_.Guard([&] { logic_.MarkActivated(row); }); });
    // A click on the current entry again, after the view moved, goes back to it.
    const auto again = [this](QListWidgetItem* item) {
        logic_.Guard([&] { logic_.MarkActivated(marks_->row(item)); });
    };
    connect(marks_, &QListWidget::itemActivated, this, again);
    connect(marks_, &QListWidget::itemClicked, this, again);

    statusBar()->setObjectName("StatusBar1");
    setAcceptDrops(true);
    resize(900, 640);
    SetTitle(logic_.Title());
}

void TfrmPreview::Load(TPreviewSource&& source) {
    logic_.Guard([&] { logic_.Load(std::move(source)); });
}

void TfrmPreview::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmPreview::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        paths.push_back(url.isLocalFile() ? url.toLocalFile().toStdString()
                                          : url.toString().toStdString());
    event->acceptProposedAction();
    logic_.Guard([&] { logic_.FilesDropped(paths); });
}

void TfrmPreview::SetTitle(const std::string& text) {
    setWindowTitle(Q(text));
}

void TfrmPreview::SetStatusText(const std::string& text) {
    statusBar()->showMessage(Q(text));
}

void TfrmPreview::SetInfoText(const std::string& text) {
    info_->setText(Q(text));
}

void TfrmPreview::SetMarkItems(const std::vector<std::string>& items) {
    // Filling the list is no choice of the user's.
    const QSignalBlocker quiet(marks_);
    marks_->clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items)
        texts << Q(item);
    marks_->addItems(texts);
}

void TfrmPreview::Redraw() {
    canvas_->update();
}

void TfrmPreview::Message(TMessageKind kind, const std::string& text) {
    services_.Message(this, kind, Q(text));
}

void TfrmPreview::ShowError(const std::string& text) {
    services_.ShowError(this, Q(text));
}

bool TfrmPreview::Execute(TFileDialog& dialog) {
    return services_.Execute(this, dialog);
}

void TfrmPreview::SetBusy(bool busy) {
    services_.SetBusy(busy);
}

}  // namespace quorvex
