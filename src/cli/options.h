// Command-line options of quorvex-convert.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/errors.h"
#include "support/messages.h"

namespace quorvex::cli {

enum class Mode { Convert, Combine, Batch, Columns, Info, Help, Version };

struct Options {
    Mode mode = Mode::Convert;
    std::vector<std::string> inputs;  // MIF files (Convert: INPUT [OUTPUT])
    std::string output;               // Convert: OUTPUT; Combine: merged file
    std::string batchList;
    std::string attr;                  // position or column name; empty: none
    std::optional<std::string> genba;  // as given (UTF-8)
    bool parcels = true;
    bool routes = true;
    bool swapXY = true;
    bool closeParcel = false;
    int32_t zone = 0;      // plane rectangular zone to project to; 0: none
    bool verbose = false;  // what each job wrote
    bool quiet = false;    // no line for a job that succeeded
    bool json = false;     // Info: as JSON
    // The options of a job given (--attr, --genba, ...), which a batch list
    // sets itself.
    std::vector<std::string> jobOptions;
};

// Parses argv; throws UsageError with a one-line message.
struct UsageError : QuorvexError {
    using QuorvexError::QuorvexError;
};
Options ParseOptions(int argc, char** argv);

// --help in `language`, made from the option table like the parser.
const char* HelpText(TLanguage language);

}  // namespace quorvex::cli
