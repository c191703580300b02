#include "cli/options.h"

#include <getopt.h>

#include <algorithm>

#include "mif/mif_numbers.h"

namespace quorvex::cli {

const char* const kUsage =
    "Usage: quorvex-convert [options] INPUT.mif [OUTPUT.sim]\n"
    "       quorvex-convert --combine OUTPUT.sim [options] INPUT.mif...\n"
    "       quorvex-convert --batch LIST.txt\n"
    "       quorvex-convert --columns INPUT.mif\n"
    "       quorvex-convert --svg OUT.svg [options] INPUT.mif|FILE.sim\n"
    "\n"
    "Converts MapInfo MIF/MID files into SIMA files: regions, rectangles and\n"
    "ellipses become parcels, lines, polylines and arcs become routes.\n"
    "\n"
    "Options:\n"
    "  --attr N|NAME     attribute column stored with each parcel and route:\n"
    "                    its position (1 = first column; 0 or -1: none) or its\n"
    "                    name (default: none); a position past the table's\n"
    "                    columns is an error\n"
    "  --genba TEXT      site name written into the header (no control characters)\n"
    "  --no-parcels      do not convert regions, rectangles and ellipses\n"
    "  --no-routes       do not convert lines, polylines and arcs\n"
    "  --no-swap         write X before Y (by default the coordinates are swapped)\n"
    "  --close           end every parcel on its first point\n"
    "  --zone N          project the coordinates to plane rectangular zone N\n"
    "                    (1-19) on the ellipsoid of the table's own datum\n"
    "  --combine FILE    merge all inputs into FILE with one point numbering\n"
    "  --batch FILE      run a batch list saved by the window; its rows carry\n"
    "                    their own settings, so no other job option is allowed\n"
    "  --columns         list the column names of INPUT.mif\n"
    "  --svg FILE        draw the SIMA file INPUT.mif converts into (no SIMA file\n"
    "                    is written), or FILE.sim as it stands, into FILE as SVG:\n"
    "                    parcels, routes, lot numbers, scale bar, north arrow\n"
    "  -v, --verbose     after each job, tell what it wrote: parcels, routes,\n"
    "                    points, and the point and text objects skipped; and\n"
    "                    the coordinate system of each input\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "OUTPUT.sim or the --combine FILE may be '-': the SIMA bytes go to standard\n"
    "output, written only once the conversion has succeeded; a standard output\n"
    "that is closed or cannot be written fails the job. An empty OUTPUT is an error.\n"
    "\n"
    "SIMA files hold plane rectangular coordinates in metres (X northing, Y\n"
    "easting). When an input's CoordSys clause says its coordinates are something\n"
    "else (longitude and latitude, another projection or unit, an affine or\n"
    "Transform clause, or no clause while every coordinate lies within +-180 and\n"
    "+-90), they are still written as they stand, and a line \"warning INPUT:\n"
    "...\" follows the job's line; the exit status does not change.\n"
    "--zone N projects tables in longitude/latitude (projection 1) or transverse\n"
    "Mercator (projection 8, e.g. UTM or another zone), in any unit, to zone N; a\n"
    "table already in zone N in metres passes through unchanged. The datum is\n"
    "kept: a Tokyo-datum table gives Tokyo-datum coordinates, JGD2000 gives\n"
    "JGD2000; datum changes (they need the national correction grids) are not\n"
    "done. Other tables, and points more than 10 degrees of longitude from the\n"
    "zone's central meridian, fail the job.\n"
    "\n"
    "Messages are in Japanese when the locale's messages are Japanese (LC_ALL,\n"
    "LC_MESSAGES or LANG, the first one set, beginning with \"ja\"; on Windows the\n"
    "display language), in English otherwise.\n"
    "Exit status: 0 when every job succeeded, 1 when a job failed, 2 on a usage error.\n";

Options ParseOptions(int argc, char** argv) {
    enum {
        kAttr = 256,
        kGenba,
        kNoParcels,
        kNoRoutes,
        kNoSwap,
        kClose,
        kZone,
        kCombine,
        kBatch,
        kColumns,
        kHelp,
        kVersion,
        kSvg,
        kVerbose = 'v'
    };
    static const option kLong[] = {
        {"attr", required_argument, nullptr, kAttr},
        {"genba", required_argument, nullptr, kGenba},
        {"no-parcels", no_argument, nullptr, kNoParcels},
        {"no-routes", no_argument, nullptr, kNoRoutes},
        {"no-swap", no_argument, nullptr, kNoSwap},
        {"close", no_argument, nullptr, kClose},
        {"zone", required_argument, nullptr, kZone},
        {"combine", required_argument, nullptr, kCombine},
        {"batch", required_argument, nullptr, kBatch},
        {"columns", no_argument, nullptr, kColumns},
        {"help", no_argument, nullptr, kHelp},
        {"version", no_argument, nullptr, kVersion},
        {"verbose", no_argument, nullptr, kVerbose},
        {"svg", required_argument, nullptr, kSvg},
        {nullptr, 0, nullptr, 0},
    };
    Options o;
    bool combine = false, batch = false, columns = false;
    optind = 0;  // restart getopt: the tests parse several command lines
    opterr = 0;
    for (;;) {
        const int c = getopt_long(argc, argv, "v", kLong, nullptr);
        if (c == -1) break;
        switch (c) {
            case kAttr:
                o.jobOptions.push_back("--attr");
                o.attr = optarg;
                break;
            case kGenba:
                o.jobOptions.push_back("--genba");
                o.genba = optarg;
                break;
            case kNoParcels:
                o.jobOptions.push_back("--no-parcels");
                o.parcels = false;
                break;
            case kNoRoutes:
                o.jobOptions.push_back("--no-routes");
                o.routes = false;
                break;
            case kNoSwap:
                o.jobOptions.push_back("--no-swap");
                o.swapXY = false;
                break;
            case kClose:
                o.jobOptions.push_back("--close");
                o.closeParcel = true;
                break;
            case kZone: {
                o.jobOptions.push_back("--zone");
                const auto n = TryParseMifInteger(optarg);
                if (!n || *n < 1 || *n > 19) throw UsageError{{TMsg::ZoneNumber, {optarg}}};
                o.zone = *n;
                break;
            }
            case kCombine:
                combine = true;
                o.output = optarg;
                break;
            case kBatch:
                batch = true;
                o.batchList = optarg;
                break;
            case kColumns:
                columns = true;
                break;
            case kVerbose:
                o.verbose = true;
                break;
            case kSvg:
                if (*optarg == '\0') throw UsageError{TMsg::OutputEmpty};
                o.svg = optarg;
                break;
            case kHelp:
                o.mode = Mode::Help;
                return o;
            case kVersion:
                o.mode = Mode::Version;
                return o;
            default:
                throw UsageError{{TMsg::UnknownOption, {argv[std::min(optind, argc) - 1]}}};
        }
    }
    for (int i = optind; i < argc; ++i)
        o.inputs.push_back(argv[i]);

    if (int(combine) + int(batch) + int(columns) + int(!o.svg.empty()) > 1)
        throw UsageError{TMsg::ModesExclude};
    // One drawing of one input.
    if (!o.svg.empty() && o.inputs.size() != 1) throw UsageError{TMsg::SvgTakesOneInput};
    // Silently ignored, they would leave the user believing they applied.
    if (batch && !o.jobOptions.empty())
        throw UsageError{{TMsg::BatchTakesNoJobOptions, {o.jobOptions[0]}}};
    if (!o.parcels && !o.routes) throw UsageError{TMsg::NothingToConvert};
    if (batch) {
        if (!o.inputs.empty()) throw UsageError{TMsg::BatchTakesNoInputs};
        o.mode = Mode::Batch;
    } else if (columns) {
        if (o.inputs.size() != 1) throw UsageError{TMsg::ColumnsTakesOneInput};
        o.mode = Mode::Columns;
    } else if (combine) {
        if (o.inputs.empty()) throw UsageError{TMsg::CombineNeedsInputs};
        if (o.output.empty()) throw UsageError{TMsg::OutputEmpty};
        o.mode = Mode::Combine;
    } else {
        if (o.inputs.empty() || o.inputs.size() > 2) throw UsageError{TMsg::ExpectedInputAndOutput};
        if (o.inputs.size() == 2) {
            // An empty name is a slip, never "beside the input".
            if (o.inputs[1].empty()) throw UsageError{TMsg::OutputEmpty};
            o.output = o.inputs[1];
            o.inputs.pop_back();
        }
    }
    return o;
}

}  // namespace quorvex::cli
