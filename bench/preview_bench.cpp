// The preview on a large file: reading the SIMA file (or converting a MIF
// file into a scratch file and reading it back), building the scene, the
// marks, one fit-all frame, zoomed and panned frames, and the SVG; with the
// peak memory. Run by hand after a Release build:
//   preview_bench FILE.sim|FILE.mif [--attr N] [--width W --height H] [--frames K]
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "preview/preview_frame.h"
#include "preview/preview_job.h"
#include "preview/preview_marks.h"
#include "preview/preview_scene.h"
#include "preview/preview_svg.h"
#include "sima/sima_records.h"

namespace {

using Clock = std::chrono::steady_clock;

// This thread's CPU time, ms: the figure other programs' load disturbs least.
double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double gCpuStart = 0;

// Wall time since `start`; the CPU time since the same moment goes to Cpu().
double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
double Cpu() {
    return CpuMs() - gCpuStart;
}
Clock::time_point Start() {
    gCpuStart = CpuMs();
    return Clock::now();
}

long PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvex;
    using namespace quorvex::preview;
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: preview_bench FILE.sim|FILE.mif [--attr N] [--width W] "
                     "[--height H] [--frames K]\n");
        return 2;
    }
    const std::string input = argv[1];
    int attr = 1, frames = 20;
    double width = 1600, height = 1000;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string o = argv[i];
        if (o == "--attr") attr = std::atoi(argv[i + 1]);
        if (o == "--width") width = std::atof(argv[i + 1]);
        if (o == "--height") height = std::atof(argv[i + 1]);
        if (o == "--frames") frames = std::atoi(argv[i + 1]);
    }

    auto t = Start();
    TSimaFile file;
    if (IsSimaPath(input)) {
        file = ReadSimaFile(input);
        std::printf("read SIMA file            %9.1f ms  (CPU %.1f ms)\n", Since(t), Cpu());
    } else {
        TConvertSettings s;
        s.MifFile = input;
        s.AttrIndex = attr;
        file = ConvertAndReadBack(s);
        std::printf("convert and read back     %9.1f ms  (CPU of this thread %.1f ms)\n", Since(t),
                    Cpu());
    }
    std::printf("  %zu points, %zu parcels, %zu routes, %zu vertices\n", file.Points.size(),
                file.Parcels.size(), file.Routes.size(), file.Vertices.size());

    t = Start();
    const TPreviewScene scene(std::move(file));
    std::printf("scene                     %9.1f ms  (CPU %.1f ms)\n", Since(t), Cpu());

    t = Start();
    const std::vector<TMark> marks = FindMarks(scene);
    std::printf("marks                     %9.1f ms  (CPU %.1f ms, %zu marks)\n", Since(t), Cpu(),
                marks.size());

    TView view(width, height);
    view.Fit(scene.Extent());
    t = Start();
    TFrame frame = BuildFrame(scene, view);
    std::printf(
        "fit-all frame %4.0fx%-4.0f   %9.1f ms  (CPU %.1f ms, %zu polygons, %zu pixel runs, %zu "
        "labels)\n",
        width, height, Since(t), Cpu(), frame.Polygons.size(), frame.ParcelRuns.size(),
        frame.Labels.size());

    // Zoomed in by steps about the centre, then panned at each depth: what
    // wheel and drag ask for.
    for (const double zoom : {4.0, 16.0, 64.0, 256.0}) {
        TView z = view;
        z.ZoomAt({width / 2, height / 2}, zoom);
        double worst = 0, total = 0, cpu = 0;
        size_t polygons = 0;
        for (int k = 0; k < frames; ++k) {
            z.Pan(37, -23);
            t = Start();
            frame = BuildFrame(scene, z);
            const double ms = Since(t);
            cpu += Cpu();
            worst = ms > worst ? ms : worst;
            total += ms;
            polygons = frame.Polygons.size();
        }
        std::printf(
            "zoom x%-4.0f %3d frames     mean %7.1f ms, worst %7.1f ms  (CPU mean %.1f ms, "
            "%zu polygons)\n",
            zoom, frames, total / frames, worst, cpu / frames, polygons);
    }

    t = Start();
    const TView svgView = SvgFitView(scene);
    const std::string svg = SvgOf(scene, BuildFrame(scene, svgView));
    std::printf("SVG (fit-all, %4.0fx%-4.0f) %9.1f ms  (CPU %.1f ms, %zu bytes)\n", svgView.Width(),
                svgView.Height(), Since(t), Cpu(), svg.size());

    t = Start();
    const TWorldPoint c = view.Center();
    const THit hit = HitTest(scene, view, view.ToScreen(c));
    std::printf("hit test                  %9.1f ms  (%s)\n", Since(t),
                hit.Found ? "found" : "nothing");
    std::printf("peak RSS                  %9ld MB\n", PeakRssMb());
    return 0;
}
