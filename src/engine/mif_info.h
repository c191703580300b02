// A look at a MIF/MID pair before converting it, as GIS tools give one: what
// its header says, its columns, its objects by kind, what a conversion would
// make of them, and what is suspicious. Nothing is written beside the inputs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/messages.h"

namespace quorvex {

struct TMifInfo {
    std::string File;                    // as given
    std::optional<std::string> Charset;  // the Charset clause's value; none without one
    std::string CharsetShown;            // what it means: "code page 932", "UTF-8", ...
    char Delimiter = '\t';
    std::string CoordSysClause;  // UTF-8; empty without one
    std::string CoordSys;        // the one-line description
    struct TColumn {
        std::string Name;   // UTF-8, as --columns prints it
        std::string Type;   // "Char", "Integer", "Float", "Date", "Logical"
        int32_t Width = 0;  // of a Char column; 0 otherwise
    };
    std::vector<TColumn> Columns;
    // Objects by their MIF keyword, in the order first met; a collection is
    // one object, its parts are not counted again.
    std::vector<std::pair<std::string, int64_t>> Objects;
    int64_t ObjectCount = 0;
    // What a conversion with the default settings writes; absent when it
    // would fail (the reason is among the warnings).
    std::optional<int64_t> Parcels, Routes, Points;
    std::optional<int64_t> MidRows;  // absent: no MID file
    // Least and greatest MIF coordinates of the parcels and routes.
    std::optional<std::pair<double, double>> MinXY, MaxXY;
    std::vector<TMessage> Warnings;
};

// Reads `mifFile` and its MID file; the texts come in `language`. Throws
// FileError or ConversionError when the MIF file or its header and columns
// cannot be read.
TMifInfo InspectMif(const std::string& mifFile, TLanguage language);

// The description for people, one item a line.
std::string InfoText(const TMifInfo& info, TLanguage language);
// The same as one JSON object (keys in English, texts in `language`).
std::string InfoJson(const TMifInfo& info, TLanguage language);

// The column names of `mifFile` in UTF-8, as --columns prints them and --attr
// accepts them. Throws as InspectMif does.
std::vector<std::string> MifColumnNames(const std::string& mifFile);

}  // namespace quorvex
