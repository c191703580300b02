// Random legal MIF/MID pairs with what a conversion of them must write: every
// object kind, collections, style clauses, numbers in all their legal forms,
// quoted and bare MID values in code page 932 or UTF-8, and random site
// names. The choices come from a function, so a seeded test and a fuzz target
// (through its data) draw the same kind of files. Standard library only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::test {

// A number from 0 to n - 1 (n >= 1); a source that has run dry answers 0,
// which always ends the file soon.
using TChoose = std::function<uint32_t(uint32_t n)>;

// Branches of the generator that reach inputs a run must refuse or read
// with care; all on, and a test may turn one off to narrow a finding.
struct TLegalOptions {
    // Line breaks and escapes in site names: the run must refuse them, never
    // write them into the G00 line.
    bool SiteNameControls = true;
    // Coordinates at the largest double, whose printed form no reader parses
    // back: the run must fail.
    bool DoubleLimits = true;
    bool ByteOrderMarks = true;  // a UTF-8 byte-order mark before MIF and MID
    // Line breaks inside double-quoted MID values, as MapInfo writes them:
    // the row goes on; a run that chooses such a value fails.
    bool QuotedLineBreaks = true;
};

struct TLegalPair {
    std::string Mif;
    std::string Mid;
    int32_t Columns = 0;
    // Each object the pass turns into a block, in file order: its kind and
    // its MID row.
    struct TBlock {
        bool Parcel;
        size_t Row;
    };
    std::vector<TBlock> Blocks;
    // The value of each row and column as a SIMA file holds it (code page 932).
    std::vector<std::vector<std::string>> Values;
    int64_t SkippedPoints = 0;
    int64_t SkippedTexts = 0;

    // Whether a run with column `attr` (and parcels, routes written or not)
    // must fail: a value it writes holds a line break.
    bool BreaksLine(int32_t attr, bool parcels, bool routes) const {
        if (attr < 1) return false;
        for (const TBlock& b : Blocks)
            if ((b.Parcel ? parcels : routes) &&
                Values[b.Row][static_cast<size_t>(attr - 1)].find('\n') != std::string::npos)
                return true;
        return false;
    }

    // The attribute values of the parcels (or routes) a run with column
    // `attr` (none when below 1) writes.
    std::vector<std::string> Expected(bool parcels, int32_t attr) const {
        std::vector<std::string> out;
        for (const TBlock& b : Blocks)
            if (b.Parcel == parcels)
                out.push_back(attr >= 1 ? Values[b.Row][static_cast<size_t>(attr - 1)] : "");
        return out;
    }
};

class TLegalMif {
  public:
    TLegalMif(TChoose choose, TLegalOptions options)
        : choose_(std::move(choose)), options_(options) {}

    TLegalPair Pair() {
        p_ = {};
        pool_.clear();
        eol_ = Pick(2) ? "\r\n" : "\n";
        charset_ = Pick(3);  // WindowsJapanese, Neutral, UTF-8
        static constexpr char kDelimiters[] = {',', '\t', ';', '|'};
        delimiter_ = kDelimiters[Pick(4)];
        Header();
        // A file at the limits is rare, so most runs still convert.
        limits_ = options_.DoubleLimits && Pick(6) == 0;
        const uint32_t objects = Pick(12);
        for (uint32_t i = 0; i < objects; ++i)
            Object();
        if (options_.ByteOrderMarks && Pick(4) == 0) {
            p_.Mif.insert(0, "\xEF\xBB\xBF");
            p_.Mid.insert(0, "\xEF\xBB\xBF");
        }
        return std::move(p_);
    }

    // Printable ASCII (commas and quotes too) and double-byte characters; a
    // few hold a control character when the options allow them.
    std::string SiteName() {
        std::string s;
        const uint32_t n = Pick(24);
        for (uint32_t i = 0; i < n; ++i) {
            if (Pick(3)) {
                s += static_cast<char>(' ' + Pick(95));
            } else {
                static constexpr std::string_view kWide[] = {
                    "\x92\x6E", "\x94\xD4", "\x83\x5C", "\x95\x5C", "\xFB\xFC", "\x87\x40", "\xB1"};
                s += kWide[Pick(7)];
            }
        }
        if (options_.SiteNameControls && Pick(6) == 0) {
            static constexpr std::string_view kControls[] = {
                "\r\n", "\r", "\n", "\t", "\x1B", "\x7F", std::string_view("\0", 1)};
            s.insert(Pick(static_cast<uint32_t>(s.size()) + 1), kControls[Pick(7)]);
        }
        return s;
    }

  private:
    uint32_t Pick(uint32_t n) { return n <= 1 ? 0 : choose_(n) % n; }

    void Line(std::string_view text) {
        p_.Mif += text;
        p_.Mif += eol_;
    }

    void Header() {
        Line(Pick(2) ? "Version 300" : "Version 450");
        static constexpr std::string_view kSets[] = {"WindowsJapanese", "Neutral", "UTF-8"};
        Line("Charset \"" + std::string(kSets[charset_]) + "\"");
        if (delimiter_ != '\t' || Pick(2)) Line(std::string("Delimiter \"") + delimiter_ + "\"");
        Line("CoordSys NonEarth Units \"m\" Bounds (-1000, -1000) (1000, 1000)");
        p_.Columns = static_cast<int32_t>(1 + Pick(4));
        Line("Columns " + std::to_string(p_.Columns));
        static constexpr std::string_view kTypes[] = {"Char(20)", "Integer", "Decimal(10,2)",
                                                      "Float"};
        for (int32_t c = 0; c < p_.Columns; ++c)
            Line("  COL" + std::to_string(c + 1) + " " + std::string(kTypes[Pick(4)]));
        Line("Data");
        if (Pick(2)) Line("");
    }

    // A keyword in one of the spellings files use.
    std::string Keyword(std::string_view word) {
        std::string s(word);
        switch (Pick(3)) {
            case 0:
                for (char& c : s)
                    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
                break;
            case 1:
                for (char& c : s)
                    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
                break;
            default:
                break;
        }
        return s;
    }

    // A coordinate as MIF files write it; earlier ones come back often, so
    // blocks share points.
    std::string Number() {
        if (!pool_.empty() && Pick(3) == 0) return pool_[Pick(static_cast<uint32_t>(pool_.size()))];
        std::string s;
        const uint32_t k = Pick(limits_ ? 11 : 10);
        const std::string sign = Pick(4) == 0 ? "-" : (Pick(8) == 0 ? "+" : "");
        switch (k) {
            case 0:
            case 1:
            case 2:
                s = sign + std::to_string(Pick(2001));
                break;
            case 3:
            case 4:
                s = sign + std::to_string(Pick(100000)) + "." + std::to_string(Pick(1000));
                break;
            case 5:
                s = sign + std::to_string(1 + Pick(9)) + "." + std::to_string(Pick(100000)) +
                    (Pick(2) ? "e" : "E") + (Pick(2) ? "-" : "") + std::to_string(Pick(300));
                break;
            case 6:
                s = sign + "0." + std::string(Pick(12), '0') + std::to_string(1 + Pick(999));
                break;
            case 7:
                s = sign + std::to_string(1 + Pick(999999999)) + std::to_string(Pick(999999999));
                break;
            case 8:
                s = Pick(2) ? "-0" : "0.0";
                break;
            case 9:
                s = sign + "12345.678901234567";
                break;
            default:
                s = sign + (Pick(2) ? "1.7976931348623157e308" : "1.797693134862315E308");
                break;
        }
        pool_.push_back(s);
        return s;
    }

    std::string Vertex() {
        std::string x = Number(), y = Number();
        return x + std::string(1 + Pick(3), ' ') + y;
    }

    std::string Box() { return Number() + " " + Number() + " " + Number() + " " + Number(); }

    void Vertices(uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) {
            if (Pick(10) == 0) Line("");
            Line(Vertex());
        }
    }
    uint32_t Count() { return 1 + (Pick(8) == 0 ? Pick(60) : Pick(6)); }

    void Style(std::string_view a, std::string_view b = {}) {
        if (Pick(2)) Line(a);
        if (!b.empty() && Pick(2)) Line(b);
    }

    void Region(std::string_view indent) {
        const uint32_t polygons = 1 + Pick(3);
        Line(std::string(indent) + Keyword("Region") + " " + std::to_string(polygons));
        for (uint32_t i = 0; i < polygons; ++i) {
            const uint32_t n = Count();
            Line("  " + std::to_string(n));
            Vertices(n);
        }
    }
    void Pline(std::string_view indent) {
        if (Pick(3) == 0) {
            const uint32_t sections = 1 + Pick(3);
            Line(std::string(indent) + Keyword("Pline") + " " + Keyword("Multiple") + " " +
                 std::to_string(sections));
            for (uint32_t i = 0; i < sections; ++i) {
                const uint32_t n = Count();
                Line("  " + std::to_string(n));
                Vertices(n);
            }
        } else {
            const uint32_t n = Count();
            Line(std::string(indent) + Keyword("Pline") + " " + std::to_string(n));
            Vertices(n);
        }
    }

    void Block(bool parcel) { p_.Blocks.push_back({parcel, p_.Values.size()}); }

    void Object() {
        switch (Pick(13)) {
            case 0:
                Block(true);
                Region("");
                Style("    Pen (1,2,0)", "    Brush (2,16777215,0)");
                Style("    Center " + Vertex());
                break;
            case 1:
                Block(true);
                Line(Keyword("Rect") + " " + Box());
                Style("    Pen (1,2,0)", "    Brush (1,0,16777215)");
                break;
            case 2:
                Block(true);
                Line(Keyword("Roundrect") + " " + Box());
                Line("    " + std::to_string(Pick(20)));
                Style("    Pen (1,2,0)");
                break;
            case 3:
                Block(true);
                Line(Keyword("Ellipse") + " " + Box());
                Style("    Brush (2,16777215,0)");
                break;
            case 4:
                Block(false);
                Line(Keyword("Line") + " " + Box());
                Style("    Pen (1,2,0)");
                break;
            case 5:
                Block(false);
                Pline("");
                Style("    Pen (1,2,0)", "    Smooth");
                break;
            case 6: {
                Block(false);
                const std::string angles = std::to_string(Pick(720)) + "." +
                                           std::to_string(Pick(10)) + " " +
                                           std::to_string(Pick(720));
                if (Pick(2))
                    Line(Keyword("Arc") + " " + Box() + " " + angles);
                else
                    Line(Keyword("Arc") + " " + Box()), Line(angles);
                Style("    Pen (1,2,0)");
                break;
            }
            case 7:
                ++p_.SkippedPoints;
                Line(Keyword("Point") + " " + Vertex());
                Style("    Symbol (35,0,12)");
                break;
            case 8: {
                ++p_.SkippedPoints;
                const uint32_t n = Count();
                Line(Keyword("Multipoint") + " " + std::to_string(n));
                Vertices(n);
                break;
            }
            case 9:
                ++p_.SkippedTexts;
                Line(Keyword("Text") + " \"" + std::string(Pick(2) ? "Region 1" : "label") + "\"");
                Line("    " + Box());
                Style("    Font (\"MS Gothic\",0,9,0)", "    Angle 30");
                break;
            case 10:
                Line(Keyword("none"));
                break;
            default:
                Collection();
                break;
        }
        Row();
    }

    // One MID row serves every part.
    void Collection() {
        const uint32_t parts = 1 + Pick(3);
        Line(Keyword("Collection") + " " + std::to_string(parts));
        for (uint32_t i = 0; i < parts; ++i) {
            switch (Pick(3)) {
                case 0:
                    Block(true);
                    Region("  ");
                    Style("    Brush (2,16777215,0)");
                    break;
                case 1:
                    Block(false);
                    Pline("  ");
                    break;
                default: {
                    ++p_.SkippedPoints;
                    const uint32_t n = Count();
                    Line("  " + Keyword("Multipoint") + " " + std::to_string(n));
                    Vertices(n);
                    break;
                }
            }
        }
    }

    // One character of a value: its MID bytes (in the table's set) and its
    // code page 932 bytes.
    std::pair<std::string, std::string> Char(bool quoted) {
        static constexpr std::string_view kWide[][2] = {
            {"\x92\x6E", "\xE5\x9C\xB0"}, {"\x94\xD4", "\xE7\x95\xAA"},
            {"\x83\x5C", "\xE3\x82\xBD"}, {"\x95\x5C", "\xE8\xA1\xA8"},
            {"\x81\x9B", "\xE2\x97\x8B"}, {"\xB1", "\xEF\xBD\xB1"},
            {"\x87\x40", "\xE2\x91\xA0"},
        };
        if (Pick(4) == 0) {
            const auto& w = kWide[Pick(7)];
            return {std::string(charset_ == 2 ? w[1] : w[0]), std::string(w[0])};
        }
        for (;;) {
            const char c = static_cast<char>('!' + Pick(94));
            if (c == '"' || c == delimiter_) {
                if (!quoted) continue;
                if (c == '"') return {"\"\"", "\""};
            }
            return {std::string(1, c), std::string(1, c)};
        }
    }

    // Values without blanks at their ends, bare or in double quotes (which may
    // hold blanks, the delimiter and doubled quotes).
    void Row() {
        std::vector<std::string> values;
        std::string row;
        for (int32_t c = 0; c < p_.Columns; ++c) {
            if (c > 0) row += delimiter_;
            const bool quoted = Pick(2);
            std::string mid, value;
            const uint32_t n = Pick(12);
            for (uint32_t i = 0; i < n; ++i) {
                if (quoted && i > 0 && i + 1 < n && Pick(6) == 0) {
                    mid += ' ';
                    value += ' ';
                    continue;
                }
                if (quoted && options_.QuotedLineBreaks && Pick(16) == 0) {
                    mid += eol_;
                    value += eol_;
                    continue;
                }
                auto [m, v] = Char(quoted);
                mid += m;
                value += v;
            }
            row += quoted ? "\"" + mid + "\"" : mid;
            values.push_back(std::move(value));
        }
        p_.Values.push_back(std::move(values));
        p_.Mid += row;
        p_.Mid += eol_;
    }

    TChoose choose_;
    TLegalOptions options_;
    TLegalPair p_;
    std::vector<std::string> pool_;
    std::string eol_;
    uint32_t charset_ = 0;
    char delimiter_ = ',';
    bool limits_ = false;
};

}  // namespace quorvex::test
