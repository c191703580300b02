#include "cli/options.h"

#include <getopt.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "engine/convert_settings.h"
#include "options_table.h"

namespace quorvex::cli {

const char* HelpText(TLanguage language) {
    return language == TLanguage::Japanese ? kHelpJapanese : kHelpEnglish;
}

Options ParseOptions(int argc, char** argv) {
    // The getopt tables from the option table; a long option returns
    // kFirstLong plus its row.
    constexpr int kFirstLong = 256;
    std::vector<option> longs;
    std::string shorts;
    for (const TOptionSpec& spec : kOptionTable) {
        const int has = spec.Argument ? required_argument : no_argument;
        longs.push_back({spec.Long + 2, has, nullptr, kFirstLong + static_cast<int>(longs.size())});
        if (spec.Short)
            shorts += spec.Argument ? std::string{spec.Short, ':'} : std::string{spec.Short};
    }
    longs.push_back({nullptr, 0, nullptr, 0});
    auto specOf = [](int c) -> const TOptionSpec* {
        if (c >= kFirstLong && c - kFirstLong < static_cast<int>(std::size(kOptionTable)))
            return &kOptionTable[c - kFirstLong];
        for (const TOptionSpec& spec : kOptionTable)
            if (spec.Short != 0 && spec.Short == c) return &spec;
        return nullptr;
    };
    Options o;
    bool combine = false, batch = false, columns = false, info = false;
    optind = 0;  // restart getopt: the tests parse several command lines
    opterr = 0;
    for (;;) {
        const int c = getopt_long(argc, argv, shorts.c_str(), longs.data(), nullptr);
        if (c == -1) break;
        const TOptionSpec* spec = specOf(c);
        if (!spec) throw UsageError{{TMsg::UnknownOption, {argv[std::min(optind, argc) - 1]}}};
        if (spec->Job) o.jobOptions.push_back(spec->Long);
        switch (spec->Id) {
            case TOpt::Attr:
                o.attr = optarg;
                break;
            case TOpt::Genba:
                o.genba = optarg;
                break;
            case TOpt::NoParcels:
                o.parcels = false;
                break;
            case TOpt::NoRoutes:
                o.routes = false;
                break;
            case TOpt::NoSwap:
                o.swapXY = false;
                break;
            case TOpt::Close:
                o.closeParcel = true;
                break;
            case TOpt::Zone: {
                const auto n = ZoneNumberOf(optarg);
                if (!n) throw UsageError{{TMsg::ZoneNumber, {optarg}}};
                o.zone = *n;
                break;
            }
            case TOpt::Combine:
                combine = true;
                o.output = optarg;
                break;
            case TOpt::Batch:
                batch = true;
                o.batchList = optarg;
                break;
            case TOpt::Columns:
                columns = true;
                break;
            case TOpt::Info:
                info = true;
                break;
            case TOpt::Json:
                o.json = true;
                break;
            case TOpt::Quiet:
                o.quiet = true;
                break;
            case TOpt::Verbose:
                o.verbose = true;
                break;
            case TOpt::Help:
                o.mode = Mode::Help;
                return o;
            case TOpt::Version:
                o.mode = Mode::Version;
                return o;
        }
    }
    for (int i = optind; i < argc; ++i)
        o.inputs.push_back(argv[i]);

    if (int(combine) + int(batch) + int(columns) + int(info) > 1)
        throw UsageError{TMsg::ModesExclude};
    if (o.json && !info) throw UsageError{TMsg::JsonNeedsInfo};
    // Silently ignored, they would leave the user believing they applied.
    if (batch && !o.jobOptions.empty())
        throw UsageError{{TMsg::BatchTakesNoJobOptions, {o.jobOptions[0]}}};
    if (!o.parcels && !o.routes) throw UsageError{TMsg::NothingToConvert};
    if (batch) {
        if (!o.inputs.empty()) throw UsageError{TMsg::BatchTakesNoInputs};
        o.mode = Mode::Batch;
    } else if (info) {
        if (o.inputs.size() != 1) throw UsageError{TMsg::InfoTakesOneInput};
        o.mode = Mode::Info;
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
