#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <unordered_map>

#include "mif/mif_numbers.h"
#include "sima/sima_number.h"
#include "sima/sima_records.h"
#include "support/errors.h"
#include "support/line_reader.h"

namespace quorvex {
namespace {

std::string DecimalText(int32_t n) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, r.ptr);
}

const TSimaPointText* OddText(const std::vector<TSimaPointText>& odd, uint32_t index) {
    const auto it =
        std::lower_bound(odd.begin(), odd.end(), index,
                         [](const TSimaPointText& t, uint32_t i) { return t.Index < i; });
    return it != odd.end() && it->Index == index ? &*it : nullptr;
}

// The field at the front of `rest` (up to the next comma) is cut off and
// returned; false when no field is left.
bool NextField(std::string_view& rest, std::string_view& field, bool& more) {
    const size_t comma = rest.find(',');
    if (comma == std::string_view::npos) {
        field = rest;
        rest = {};
        more = false;
        return !field.empty();
    }
    field = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
    more = true;
    return true;
}

class TReader {
  public:
    explicit TReader(TLineReader& in) : in_(in) {}

    TSimaFile Read() {
        std::string_view line;
        in_.SkipByteOrderMark();
        while (in_.ReadLine(line))
            Line(line);
        if (open_) Fail(TMsg::SimaNoTail, std::to_string(open_->Line));
        return std::move(file_);
    }

  private:
    [[noreturn]] void Fail(TMsg id, std::string_view detail = {}) const {
        throw ConversionError(
            TMessage(id, {in_.Path(), std::to_string(in_.LineNumber()), std::string(detail)}));
    }

    int32_t Integer(std::string_view text) const {
        // Plain digits, as every file of ours has them, first.
        int32_t plain = 0;
        const char* end = text.data() + text.size();
        const auto r = std::from_chars(text.data(), end, plain);
        if (r.ec == std::errc() && r.ptr == end) return plain;
        const auto n = TryParseMifInteger(text);
        if (!n) Fail(TMsg::NotAnInteger, text);
        return *n;
    }
    double Float(std::string_view text) const {
        double shortValue = 0;
        const char* end = text.data() + text.size();
        if (!text.empty() && ParseShortDecimal(text.data(), end, shortValue) == end)
            return shortValue;
        const auto v = TryParseMifFloat(text);
        if (!v) Fail(TMsg::NotAFloat, text);
        return *v;
    }
    // A coordinate the writers can print and read back.
    double Coordinate(std::string_view text) const {
        const double v = Float(text);
        if (!(v - v == 0)) Fail(TMsg::NonFiniteVertex);
        if (v > kLargestSimaNumber || v < -kLargestSimaNumber) Fail(TMsg::VertexTooLarge);
        return v;
    }
    // Field after the kind: its text, failing when the line has none.
    std::string_view Field(std::string_view& rest, std::string_view kind) const {
        std::string_view field;
        bool more = false;
        if (!NextField(rest, field, more)) Fail(TMsg::SimaFieldsMissing, kind);
        return field;
    }

    void Line(std::string_view line) {
        const size_t comma = line.find(',');
        const std::string_view kind = line.substr(0, comma);
        std::string_view rest =
            comma == std::string_view::npos ? std::string_view{} : line.substr(comma + 1);
        if (kind == "B01") return Vertex(rest);
        if (kind == "A01") {
            if (open_) Fail(TMsg::SimaNoTail, std::to_string(open_->Line));
            return Point(rest);
        }
        if (kind == "D00" || kind == "F00") {
            if (open_) Fail(TMsg::SimaNoTail, std::to_string(open_->Line));
            return Head(kind[0] == 'D', rest);
        }
        if (kind == "D99" || kind == "F99") {
            if (!open_) Fail(TMsg::SimaOutsideBlock, kind);
            if ((kind[0] == 'D') != openIsParcel_)
                Fail(TMsg::SimaNoTail, std::to_string(open_->Line));
            open_->VertexCount = static_cast<uint32_t>(file_.Vertices.size() - open_->FirstVertex);
            open_ = nullptr;
            return;
        }
        if (kind == "G00" && !file_.HasHeader) {
            // "G00,02,NAME,": the name is all that follows the code, commas
            // included, without the comma that ends the line.
            std::string_view code;
            bool more = false;
            NextField(rest, code, more);
            if (!rest.empty() && rest.back() == ',') rest.remove_suffix(1);
            file_.Genba.assign(rest);
            file_.HasHeader = true;
            return;
        }
        if (open_ && (kind == "A00" || kind == "A99" || kind == "G00"))
            Fail(TMsg::SimaNoTail, std::to_string(open_->Line));
        ++file_.SkippedLines;
    }

    void Point(std::string_view rest) {
        TSimaPoint p;
        const std::string_view numberText = Field(rest, "A01");
        p.Number = Integer(numberText);
        const std::string_view name = Field(rest, "A01");
        p.X = Coordinate(Field(rest, "A01"));
        p.Y = Coordinate(Field(rest, "A01"));
        if (file_.Points.size() >= kMaxCount) Fail(TMsg::SimaTooLarge);
        const auto index = static_cast<uint32_t>(file_.Points.size());
        if (name != DecimalText(p.Number) || rest != "0,")
            file_.OddPointTexts.push_back({index, std::string(name), std::string(rest)});
        if (sequential_ && p.Number != static_cast<int64_t>(index) + 1) {
            // Numbered otherwise than 1, 2, 3: looked up by a map from now on.
            sequential_ = false;
            for (uint32_t i = 0; i < index; ++i)
                byNumber_.emplace(file_.Points[i].Number, i);
        }
        if (!sequential_ && !byNumber_.emplace(p.Number, index).second)
            Fail(TMsg::SimaDuplicatePoint, std::to_string(p.Number));
        file_.Points.push_back(std::move(p));
    }

    void Head(bool parcel, std::string_view rest) {
        TSimaBlock b;
        b.Number = Integer(Field(rest, parcel ? "D00" : "F00"));
        b.Head.assign(rest);
        // Ours end ",1,", after a name that may itself hold commas; another
        // program's name is the first field.
        if (rest.size() >= 3 && rest.substr(rest.size() - 3) == ",1,")
            b.Name.assign(rest.substr(0, rest.size() - 3));
        else
            b.Name.assign(rest.substr(0, rest.find(',')));
        b.FirstVertex = static_cast<uint32_t>(file_.Vertices.size());
        b.Line = in_.LineNumber();
        auto& list = parcel ? file_.Parcels : file_.Routes;
        list.push_back(std::move(b));
        open_ = &list.back();
        openIsParcel_ = parcel;
    }

    void Vertex(std::string_view rest) {
        if (!open_) Fail(TMsg::SimaOutsideBlock, "B01");
        const std::string_view numberText = Field(rest, "B01");
        const int32_t number = Integer(numberText);
        uint32_t index = 0;
        if (sequential_) {
            if (number < 1 || static_cast<uint64_t>(number) > file_.Points.size())
                Fail(TMsg::SimaUnknownPoint, numberText);
            index = static_cast<uint32_t>(number - 1);
        } else {
            const auto it = byNumber_.find(number);
            if (it == byNumber_.end()) Fail(TMsg::SimaUnknownPoint, numberText);
            index = it->second;
        }
        if (file_.Vertices.size() >= kMaxCount) Fail(TMsg::SimaTooLarge);
        if (!UsualVertexName(index, numberText, rest))
            file_.OddVertexNames.emplace_back(static_cast<uint32_t>(file_.Vertices.size()),
                                              std::string(rest));
        file_.Vertices.push_back(index);
    }

    // Whether the text after the number of a "B01," line is the point's name
    // and a comma, as in every file of ours.
    bool UsualVertexName(uint32_t index, std::string_view numberText, std::string_view rest) const {
        if (file_.OddPointTexts.empty() && rest.size() == numberText.size() + 1 &&
            rest.back() == ',' && rest.compare(0, numberText.size(), numberText) == 0 &&
            numberText[0] >= '1' && numberText[0] <= '9')
            return true;  // the number's own text, so the name of a usual point
        const std::string name = file_.PointName(index);
        return rest.size() == name.size() + 1 && rest.back() == ',' &&
               rest.compare(0, name.size(), name) == 0;
    }

    // Indexes are 32 bits; a file with more lines than that is no SIMA file.
    static constexpr size_t kMaxCount = std::numeric_limits<uint32_t>::max() - 1;

    TLineReader& in_;
    TSimaFile file_;
    TSimaBlock* open_ = nullptr;  // stays valid: nothing is added to its list while open
    bool openIsParcel_ = false;
    bool sequential_ = true;  // points numbered 1, 2, 3 so far
    std::unordered_map<int32_t, uint32_t> byNumber_;
};

}  // namespace

std::string TSimaFile::PointName(uint32_t index) const {
    if (const TSimaPointText* t = OddText(OddPointTexts, index)) return t->Name;
    return DecimalText(Points[index].Number);
}

std::string TSimaFile::PointRest(uint32_t index) const {
    if (const TSimaPointText* t = OddText(OddPointTexts, index)) return t->Rest;
    return "0,";
}

TSimaFile ReadSimaFile(TLineReader& in) {
    return TReader(in).Read();
}

TSimaFile ReadSimaFile(const std::string& path) {
    TLineReader in(path);
    return ReadSimaFile(in);
}

TSimaFile ReadSimaText(std::string_view text) {
    TLineReader in = TLineReader::FromText(text);
    return ReadSimaFile(in);
}

}  // namespace quorvex
