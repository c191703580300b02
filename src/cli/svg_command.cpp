#include "cli/svg_command.h"

#include <cstdio>
#include <exception>

#include "engine/run_report.h"
#include "preview/preview_frame.h"
#include "preview/preview_job.h"
#include "preview/preview_scene.h"
#include "preview/preview_svg.h"
#include "support/errors.h"
#include "support/output_file.h"

namespace quorvex::cli {

bool WriteSvgDrawing(const TConvertSettings& settings, const std::string& svgPath,
                     TRunReport& report) {
    try {
        TSimaFile file = preview::IsSimaPath(settings.MifFile)
                             ? ReadSimaFile(settings.MifFile)
                             : preview::ConvertAndReadBack(settings, &report);
        const preview::TPreviewScene scene(std::move(file));
        const preview::TView view = preview::SvgFitView(scene);
        const std::string svg = preview::SvgOf(scene, preview::BuildFrame(scene, view));
        if (svgPath == "-") {
            std::fflush(stdout);
            TStandardOutput out;
            out.Write(svg);
            out.Close();
        } else {
            TCommitFile out(svgPath);
            out.Write(svg);
            out.Commit();
        }
        report.Ok = true;
    } catch (const std::exception& e) {
        report.Ok = false;
        report.Error = MessageOf(e);
    }
    return report.Ok;
}

}  // namespace quorvex::cli
