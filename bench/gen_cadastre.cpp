// gen_cadastre: writes a synthetic cadastral MIF/MID pair for the benchmark.
//
//   gen_cadastre N OUT_BASENAME
//
// OUT_BASENAME.mif / .mid hold an N x N grid of parcels whose corners are
// shared with their neighbours, a road polyline along every grid line, and
// one rectangle, ellipse and arc per grid row. Text is code page 932 with
// CRLF line ends, as a MapInfo export from a Japanese system would be.
// The counts the benchmark needs are printed to stdout and written to
// OUT_BASENAME.stats as key=value lines.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Buffered writer: formatting goes into one large buffer that is handed to
// fwrite in big blocks, so generating 100 MB stays I/O bound.
class OutFile {
  public:
    explicit OutFile(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
        if (!file_) Fail("cannot create");
        buf_.resize(kCapacity);
    }
    OutFile(const OutFile&) = delete;
    OutFile& operator=(const OutFile&) = delete;
    ~OutFile() {
        if (file_) std::fclose(file_);
    }

    void Text(std::string_view s) {
        Reserve(s.size());
        std::memcpy(buf_.data() + used_, s.data(), s.size());
        used_ += s.size();
    }
    void Char(char c) {
        Reserve(1);
        buf_[used_++] = c;
    }
    void Int(int64_t v) {
        Reserve(24);
        used_ = static_cast<size_t>(
            std::to_chars(buf_.data() + used_, buf_.data() + used_ + 24, v).ptr - buf_.data());
    }
    // A fixed-point value held in hundredths, written with two decimals.
    void Cents(int64_t cents) {
        if (cents < 0) {
            Char('-');
            cents = -cents;
        }
        Int(cents / 100);
        Reserve(3);
        buf_[used_++] = '.';
        buf_[used_++] = static_cast<char>('0' + cents / 10 % 10);
        buf_[used_++] = static_cast<char>('0' + cents % 10);
    }
    void Eol() { Text("\r\n"); }
    uint64_t BytesWritten() const { return flushed_ + used_; }

    void Close() {
        Flush();
        const bool failed = std::fclose(file_) != 0;
        file_ = nullptr;
        if (failed) Fail("cannot write");
    }

  private:
    static constexpr size_t kCapacity = size_t{8} << 20;

    void Reserve(size_t n) {
        if (used_ + n > buf_.size()) Flush();
    }
    void Flush() {
        if (used_ != 0 && std::fwrite(buf_.data(), 1, used_, file_) != used_) Fail("cannot write");
        flushed_ += used_;
        used_ = 0;
    }
    [[noreturn]] void Fail(const char* what) const {
        std::fprintf(stderr, "gen_cadastre: %s %s\n", what, path_.c_str());
        std::exit(1);
    }

    std::string path_;
    std::FILE* file_;
    std::vector<char> buf_;
    size_t used_ = 0;
    uint64_t flushed_ = 0;
};

// Land-use words in code page 932.
constexpr std::string_view kYoto[] = {
    "\x91\xEE\x92\x6E",          // 宅地
    "\x93\x63",                  // 田
    "\x94\xA8",                  // 畑
    "\x8E\x52\x97\xD1",          // 山林
    "\x8E\x47\x8E\xED\x92\x6E",  // 雑種地
};
constexpr std::string_view kRoad = "\x93\xB9\x98\x48";      // 道路
constexpr std::string_view kBuilding = "\x8C\x9A\x95\xA8";  // 建物
constexpr std::string_view kPond = "\x92\x72\x8F\xC0";      // 池沼

// Plane rectangular style coordinates, in hundredths of a metre.
constexpr int64_t kOriginX = -3400000;  // -34000.00
constexpr int64_t kOriginY = -1200000;  // -12000.00
constexpr int64_t kStep = 1250;         // 12.50 m

uint64_t Mix(uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Up to +-0.80 m per corner, a function of the corner alone, so that every
// parcel and road meeting at a corner writes the very same digits.
int64_t Jitter(int64_t i, int64_t j, uint64_t axis) {
    const uint64_t h = Mix((static_cast<uint64_t>(i) << 32) ^ static_cast<uint64_t>(j) ^ axis);
    return static_cast<int64_t>(h % 161) - 80;
}
int64_t CornerX(int64_t i, int64_t j) {
    return kOriginX + i * kStep + Jitter(i, j, 1ull << 62);
}
int64_t CornerY(int64_t i, int64_t j) {
    return kOriginY + j * kStep + Jitter(i, j, 2ull << 62);
}

struct Counts {
    uint64_t objects = 0;
    uint64_t coordLines = 0;  // vertex lines of REGION and PLINE objects
};

class Generator {
  public:
    Generator(const std::string& base, int64_t n)
        : mif_(base + ".mif"), mid_(base + ".mid"), n_(n) {}

    Counts Run() {
        Header();
        for (int64_t j = 0; j < n_; ++j) {
            for (int64_t i = 0; i < n_; ++i)
                Parcel(i, j);
            Shapes(j);
        }
        for (int64_t k = 0; k <= n_; ++k) {
            Road(k, true);
            Road(k, false);
        }
        mif_.Close();
        mid_.Close();
        return counts_;
    }
    uint64_t MifBytes() const { return mif_.BytesWritten(); }
    uint64_t MidBytes() const { return mid_.BytesWritten(); }

  private:
    void Header() {
        mif_.Text("Version   300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\n");
        mif_.Text("CoordSys NonEarth Units \"m\" Bounds (-100000, -100000) (100000, 100000)\r\n");
        mif_.Text(
            "Columns 3\r\n  CHIBAN Char(20)\r\n  YOTO Char(10)\r\n  MENSEKI Decimal(10,2)\r\n");
        mif_.Text("Data\r\n\r\n");
    }

    void Point(int64_t x, int64_t y) {
        mif_.Cents(x);
        mif_.Char(' ');
        mif_.Cents(y);
        mif_.Eol();
    }
    void Corner(int64_t i, int64_t j) {
        Point(CornerX(i, j), CornerY(i, j));
        ++counts_.coordLines;
    }

    void Row(int64_t block, int64_t sub, std::string_view yoto, int64_t areaCents) {
        mid_.Char('"');
        mid_.Int(block);
        mid_.Char('-');
        mid_.Int(sub);
        mid_.Text("\",\"");
        mid_.Text(yoto);
        mid_.Text("\",");
        mid_.Cents(areaCents);
        mid_.Eol();
        ++counts_.objects;
    }

    // One parcel: a closed ring of five vertices, clockwise as MapInfo writes.
    void Parcel(int64_t i, int64_t j) {
        mif_.Text("Region  1\r\n  5\r\n");
        Corner(i, j);
        Corner(i, j + 1);
        Corner(i + 1, j + 1);
        Corner(i + 1, j);
        Corner(i, j);
        mif_.Text("    Pen (1,2,0)\r\n    Brush (2,16777215,16777215)\r\n    Center ");
        Point((CornerX(i, j) + CornerX(i + 1, j + 1)) / 2,
              (CornerY(i, j) + CornerY(i + 1, j + 1)) / 2);
        const int64_t dx = CornerX(i + 1, j) - CornerX(i, j);
        const int64_t dy = CornerY(i, j + 1) - CornerY(i, j);
        Row(j + 1, i + 1, kYoto[Mix(static_cast<uint64_t>(i * 7 + j)) % 5], dx * dy / 100);
    }

    // One rectangle, ellipse and arc per row, each inside its own parcel and
    // clear of the jittered corners, so their vertices are points of their own.
    void Shapes(int64_t j) {
        const int64_t y = kOriginY + j * kStep;
        const int64_t xRect = kOriginX + (j * 37 % n_) * kStep;
        const int64_t xEll = kOriginX + ((j * 37 + 11) % n_) * kStep;
        const int64_t xArc = kOriginX + ((j * 37 + 23) % n_) * kStep;

        mif_.Text("Rect ");
        BoxText(xRect + 200 + j % 50, y + 250, xRect + 1050, y + 900 + j % 30);
        mif_.Text("    Pen (1,2,0)\r\n    Brush (2,12632256,16777215)\r\n");
        Row(j + 1, 9000 + 1, kBuilding, 650 * 650 / 100);

        mif_.Text("Ellipse ");
        BoxText(xEll + 150, y + 200 + j % 40, xEll + 1100 - j % 20, y + 1050);
        mif_.Text("    Pen (1,2,0)\r\n    Brush (2,8454143,16777215)\r\n");
        Row(j + 1, 9000 + 2, kPond, 7000);

        mif_.Text("Arc ");
        BoxText(xArc + 150, y + 150, xArc + 1100, y + 1100);
        mif_.Text("  ");
        mif_.Int(10 + j % 60);
        mif_.Text(" ");
        mif_.Int(200 + j % 90);
        mif_.Text("\r\n    Pen (1,2,0)\r\n");
        Row(j + 1, 9000 + 3, kRoad, 0);
    }
    void BoxText(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
        mif_.Cents(x1);
        mif_.Char(' ');
        mif_.Cents(y1);
        mif_.Char(' ');
        mif_.Cents(x2);
        mif_.Char(' ');
        mif_.Cents(y2);
        mif_.Eol();
    }

    // A road along grid line k: vertical (fixed i) or horizontal (fixed j).
    void Road(int64_t k, bool vertical) {
        mif_.Text("Pline ");
        mif_.Int(n_ + 1);
        mif_.Eol();
        for (int64_t m = 0; m <= n_; ++m) {
            if (vertical)
                Corner(k, m);
            else
                Corner(m, k);
        }
        mif_.Text("    Pen (2,2,8421504)\r\n");
        Row(vertical ? 8000 : 8500, k + 1, kRoad, 0);
    }

    OutFile mif_;
    OutFile mid_;
    int64_t n_;
    Counts counts_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_cadastre N OUT_BASENAME\n");
        return 2;
    }
    int64_t n = 0;
    const std::string_view arg = argv[1];
    const auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), n);
    if (ec != std::errc() || end != arg.data() + arg.size() || n < 1 || n > 20000) {
        std::fprintf(stderr, "gen_cadastre: N must be a number from 1 to 20000\n");
        return 2;
    }
    const std::string base = argv[2];
    Generator gen(base, n);
    const Counts c = gen.Run();

    // Grid corners are the shared points; each rectangle adds 4 and each
    // ellipse 360. Arc vertices depend on the converter's rounding and are
    // left out of this count.
    const uint64_t grid = static_cast<uint64_t>((n + 1) * (n + 1));
    char text[512];
    const int len = std::snprintf(
        text, sizeof text,
        "n=%lld\nmif_bytes=%llu\nmid_bytes=%llu\nobjects=%llu\ncoordinate_lines=%llu\n"
        "grid_points=%llu\npoints_without_arcs=%llu\n",
        static_cast<long long>(n), static_cast<unsigned long long>(gen.MifBytes()),
        static_cast<unsigned long long>(gen.MidBytes()), static_cast<unsigned long long>(c.objects),
        static_cast<unsigned long long>(c.coordLines), static_cast<unsigned long long>(grid),
        static_cast<unsigned long long>(grid + static_cast<uint64_t>(n) * 364));
    std::fwrite(text, 1, static_cast<size_t>(len), stdout);
    OutFile stats(base + ".stats");
    stats.Text(std::string_view(text, static_cast<size_t>(len)));
    stats.Close();
    return 0;
}
