// The Qt preview window on a large file: opening it (reading, scene, marks,
// the side panel's list) and painting frames with QPainter, fit-all and
// zoomed about the centre, each panned a few times. Run by hand after a
// Release build, on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen preview_window_bench FILE.sim [--frames K]
#include <time.h>
#include <QApplication>
#include <QImage>
#include <QPainter>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/qt/PreviewWnd.h"
#include "ui/qt/ui_services.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// No person at the desktop: what would be asked is printed.
class TQuietDesktop : public quorvex::TUiServices {
  public:
    void Message(QWidget*, quorvex::TMessageKind, const QString& text) override {
        std::printf("message: %s\n", text.toStdString().c_str());
    }
    void ShowError(QWidget*, const QString& text) override {
        std::printf("error: %s\n", text.toStdString().c_str());
    }
    bool Execute(QWidget*, quorvex::TFileDialog&) override { return false; }
    void SetBusy(bool) override {}
    void ShowAbout(QWidget*) override {}
    void ShowHelp(QWidget*, const QString&) override {}
};

// CPU time of this thread, ms: what other work on the machine disturbs least.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Paints the canvas into an image of its size, as a repaint would.
double PaintOnce(QWidget* canvas, QImage& image) {
    const auto t = Clock::now();
    canvas->render(&image);
    return Since(t);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvex;
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: preview_window_bench FILE.sim [--frames K]\n");
        return 2;
    }
    const std::string input = argv[1];
    int frames = 10;
    for (int i = 2; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--frames") frames = std::atoi(argv[i + 1]);

    TQuietDesktop desktop;
    TfrmPreview window(desktop);
    window.resize(1600 + 280, 1000);
    window.show();
    QApplication::processEvents();
    TPreviewCanvas* canvas = window.Canvas();
    std::printf("canvas %d x %d\n", canvas->width(), canvas->height());

    auto t = Clock::now();
    window.Logic().OpenFile(input);
    QApplication::processEvents();
    std::printf("open (read, scene, marks, list)  %9.1f ms, %zu parcels, %zu marks\n", Since(t),
                window.Logic().Scene().Parcels().size(), window.Logic().Marks().size());

    QImage image(canvas->size(), QImage::Format_ARGB32_Premultiplied);
    const preview::TScreenPoint centre{canvas->width() / 2.0, canvas->height() / 2.0};
    for (const double zoom : {1.0, 4.0, 16.0, 64.0, 256.0}) {
        window.Logic().Fit();
        // As many notches of the wheel as make the zoom.
        window.Logic().Wheel(centre, std::log(zoom) / std::log(TPreviewLogic::kWheelFactor));
        double total = 0, worst = 0, framesMs = 0, cpu = 0;
        for (int k = 0; k < frames; ++k) {
            t = Clock::now();
            const double cpu0 = ThreadCpuMs();
            window.Logic().MousePress({100, 100});
            window.Logic().MouseMove({137, 77});
            window.Logic().MouseRelease({137, 77});
            window.Logic().Frame();
            const double frame = Since(t);
            const double paint = PaintOnce(canvas, image);
            cpu += ThreadCpuMs() - cpu0;
            total += frame + paint;
            framesMs += frame;
            worst = std::max(worst, frame + paint);
        }
        std::printf(
            "zoom x%-4.0f %3d frames: frame and paint mean %7.1f ms (frame %.1f), worst %7.1f ms, "
            "CPU mean %.1f ms (%zu polygons, %zu lines, %zu pixel runs)\n",
            zoom, frames, total / frames, framesMs / frames, worst, cpu / frames,
            window.Logic().Frame().Polygons.size(), window.Logic().Frame().Polylines.size(),
            window.Logic().Frame().ParcelRuns.size());
    }
    return 0;
}
