#include "mif/mif_coordsys.h"

#include <cmath>
#include <iterator>

#include "mif/mif_numbers.h"
#include "support/text.h"

namespace quorvex {
namespace {

// The link, chain and rod are the US survey ones, as GDAL reads them.
constexpr TMifUnit kUnits[] = {
    {"m", 1.0},
    {"km", 1000.0},
    {"cm", 0.01},
    {"mm", 0.001},
    {"mi", 1609.344},
    {"nmi", 1852.0},
    {"in", 0.0254},
    {"ft", 0.3048},
    {"yd", 0.9144},
    {"survey ft", 1200.0 / 3937.0},
    {"survey foot", 1200.0 / 3937.0},
    {"li", 0.20116840233680467},
    {"ch", 20.116840233680467},
    {"rd", 5.0292100584201169},
    {"degree", 0},
};

// Ellipsoids and datums by the numbers of the MapInfo format. The numbers,
// axes and flattenings are those of GDAL's MapInfo driver
// (ogr/ogrsf_frmts/mitab/mitab_spatialref.cpp); the datums from 153 on and
// 1021 to 1028 as GDAL 3.6 reads them back from a clause. Datum shifts are
// not kept: this program never changes the datum.
constexpr TEllipsoid kEllipsoids[] = {
    {0, "GRS 80", 6378137.0, 298.257222101},
    {1, "WGS 72", 6378135.0, 298.26},
    {2, "Australian", 6378160.0, 298.25},
    {3, "Krassovsky", 6378245.0, 298.3},
    {4, "International 1924", 6378388.0, 297.0},
    {5, "Hayford", 6378388.0, 297.0},
    {6, "Clarke 1880", 6378249.145, 293.465},
    {7, "Clarke 1866", 6378206.4, 294.9786982},
    {8, "Clarke 1866 (Michigan)", 6378450.047484481, 294.9786982},
    {9, "Airy 1930", 6377563.396, 299.3249646},
    {10, "Bessel 1841", 6377397.155, 299.1528128},
    {11, "Everest (India 1830)", 6377276.345, 300.8017},
    {12, "Sphere", 6370997.0, 0.0},
    {13, "Airy 1930 (Ireland 1965)", 6377340.189, 299.3249646},
    {14, "Bessel 1841 (Schwarzeck)", 6377483.865, 299.1528128},
    {15, "Clarke 1880 (Arc 1950)", 6378249.145326, 293.4663076},
    {16, "Clarke 1880 (Merchich)", 6378249.2, 293.46598},
    {17, "Everest (W. Malaysia and Singapore 1948)", 6377304.063, 300.8017},
    {18, "Fischer 1960", 6378166.0, 298.3},
    {19, "Fischer 1960 (South Asia)", 6378155.0, 298.3},
    {20, "Fischer 1968", 6378150.0, 298.3},
    {21, "GRS 67", 6378160.0, 298.247167427},
    {22, "Helmert 1906", 6378200.0, 298.3},
    {23, "Hough", 6378270.0, 297.0},
    {24, "South American", 6378160.0, 298.25},
    {25, "War Office", 6378300.583, 296.0},
    {26, "WGS 60", 6378165.0, 298.3},
    {27, "WGS 66", 6378145.0, 298.25},
    {28, "WGS 84", 6378137.0, 298.257223563},
    {29, "WGS 84 (datum 0)", 6378137.01, 298.257223563},
    {30, "Clarke 1880 (IGN)", 6378249.2, 293.4660213},
    {31, "IAG 75", 6378140.0, 298.257222},
    {32, "MERIT 83", 6378137.0, 298.257},
    {33, "New International 1967", 6378157.5, 298.25},
    {34, "Walbeck", 6376896.0, 302.78},
    {35, "Bessel 1841 (NGO 1948)", 6377492.0176, 299.15281},
    {36, "Clarke 1858", 6378293.639, 294.26068},
    {37, "Clarke 1880 (Jamaica)", 6378249.136, 293.46631},
    {38, "Clarke 1880 (Palestine)", 6378300.79, 293.46623},
    {39, "Everest (Brunei and East Malaysia)", 6377298.556, 300.8017},
    {40, "Everest (India 1956)", 6377301.243, 300.80174},
    {41, "Indonesian", 6378160.0, 298.247},
    {42, "NWL 9D", 6378145.0, 298.25},
    {43, "NWL 10D", 6378135.0, 298.26},
    {44, "OSU86F", 6378136.2, 298.25722},
    {45, "OSU91A", 6378136.3, 298.25722},
    {46, "Plessis 1817", 6376523.0, 308.64},
    {47, "Struve 1860", 6378297.0, 294.73},
    {48, "Everest (West Malaysia 1969)", 6377304.063, 300.8017},
    {49, "Irish (WOFO)", 6377542.178, 299.325},
    {50, "Everest (Pakistan)", 6377309.613, 300.8017},
    {51, "ATS77", 6378135.0, 298.257},
    {52, "PZ90", 6378136.0, 298.257839303},
    {54, "WGS 84 (datum 157)", 6378137.01, 298.257223563},
};

// Datum number and ellipsoid number, by datum number. 1017 (Xian 1980) names
// an ellipsoid that no table gives.
constexpr TMifDatum kDatums[] = {
    {0, 29},    {1, 6},     {2, 3},     {3, 4},     {4, 2},     {5, 15},    {6, 6},     {7, 4},
    {8, 4},     {9, 4},     {10, 4},    {11, 4},    {12, 2},    {13, 2},    {14, 4},    {15, 7},
    {16, 4},    {17, 4},    {18, 4},    {19, 6},    {20, 7},    {21, 6},    {22, 4},    {23, 4},
    {24, 4},    {25, 10},   {26, 4},    {27, 4},    {28, 4},    {29, 4},    {30, 4},    {31, 4},
    {32, 21},   {33, 0},    {34, 7},    {35, 4},    {36, 4},    {37, 4},    {38, 4},    {39, 4},
    {40, 11},   {41, 11},   {42, 13},   {43, 4},    {44, 4},    {45, 11},   {46, 4},    {47, 17},
    {48, 7},    {49, 6},    {50, 7},    {51, 7},    {52, 6},    {53, 4},    {54, 10},   {55, 16},
    {56, 4},    {57, 6},    {58, 6},    {59, 6},    {60, 6},    {61, 4},    {62, 7},    {63, 7},
    {64, 7},    {65, 7},    {66, 7},    {67, 7},    {68, 7},    {69, 7},    {70, 7},    {71, 7},
    {72, 7},    {73, 8},    {74, 0},    {75, 4},    {76, 22},   {77, 7},    {78, 6},    {79, 9},
    {80, 4},    {81, 4},    {82, 4},    {83, 7},    {84, 4},    {85, 4},    {86, 4},    {87, 4},
    {88, 4},    {89, 4},    {90, 4},    {91, 14},   {92, 24},   {93, 19},   {94, 4},    {95, 4},
    {96, 11},   {97, 10},   {98, 4},    {99, 6},    {100, 23},  {101, 26},  {102, 27},  {103, 1},
    {104, 28},  {105, 4},   {106, 4},   {107, 30},  {108, 4},   {109, 10},  {110, 4},   {111, 1},
    {112, 10},  {113, 4},   {114, 4},   {115, 0},   {116, 0},   {117, 0},   {118, 7},   {119, 6},
    {120, 6},   {121, 10},  {122, 10},  {123, 6},   {124, 6},   {125, 6},   {126, 4},   {127, 4},
    {128, 10},  {129, 50},  {130, 11},  {131, 11},  {132, 11},  {133, 4},   {134, 4},   {135, 4},
    {136, 6},   {137, 6},   {138, 6},   {139, 6},   {140, 4},   {141, 6},   {142, 6},   {143, 4},
    {144, 4},   {145, 6},   {146, 10},  {147, 4},   {148, 6},   {149, 6},   {150, 28},  {151, 51},
    {152, 0},   {153, 0},   {154, 3},   {155, 4},   {156, 3},   {157, 54},  {158, 10},  {159, 14},
    {1000, 10}, {1001, 3},  {1002, 30}, {1003, 10}, {1004, 21}, {1005, 28}, {1006, 2},  {1007, 2},
    {1008, 2},  {1009, 2},  {1010, 4},  {1011, 10}, {1012, 52}, {1013, 52}, {1014, 52}, {1015, 10},
    {1016, 4},  {1017, 53}, {1018, 4},  {1019, 4},  {1020, 10}, {1021, 10}, {1022, 6},  {1023, 21},
    {1024, 10}, {1025, 10}, {1028, 0},
};

// Origins of the zones as the Survey Act's notice gives them, in degrees and
// minutes, turned into degrees by one division, so each is the double nearest
// the exact angle (139 deg 50 min is 139.83333333333334). The engine's
// projections take their origins from here. The regions each zone serves are
// noted for whoever checks them.
constexpr TPlaneRectangularZone Zone(int32_t number, int32_t latitude, int32_t degrees,
                                     int32_t minutes, std::string_view numeral) {
    return {number, double(latitude), (degrees * 60 + minutes) / 60.0, numeral};
}
constexpr TPlaneRectangularZone kZones[] = {
    Zone(1, 33, 129, 30, "I"),      // Nagasaki; islands of Kagoshima
    Zone(2, 33, 131, 0, "II"),      // Fukuoka, Saga, Kumamoto, Oita, Miyazaki, Kagoshima
    Zone(3, 36, 132, 10, "III"),    // Yamaguchi, Shimane, Hiroshima
    Zone(4, 33, 133, 30, "IV"),     // Kagawa, Ehime, Tokushima, Kochi
    Zone(5, 36, 134, 20, "V"),      // Hyogo, Tottori, Okayama
    Zone(6, 36, 136, 0, "VI"),      // Kyoto, Osaka, Fukui, Shiga, Mie, Nara, Wakayama
    Zone(7, 36, 137, 10, "VII"),    // Ishikawa, Toyama, Gifu, Aichi
    Zone(8, 36, 138, 30, "VIII"),   // Niigata, Nagano, Yamanashi, Shizuoka
    Zone(9, 36, 139, 50, "IX"),     // Tokyo and the other Kanto prefectures, Fukushima
    Zone(10, 40, 140, 50, "X"),     // Aomori, Akita, Yamagata, Iwate, Miyagi
    Zone(11, 44, 140, 15, "XI"),    // Hokkaido: Otaru, Hakodate, Date ...
    Zone(12, 44, 142, 15, "XII"),   // Hokkaido: Sapporo, Asahikawa, Wakkanai ...
    Zone(13, 44, 144, 15, "XIII"),  // Hokkaido: Kitami, Obihiro, Kushiro, Nemuro ...
    Zone(14, 26, 142, 0, "XIV"),    // Tokyo: Ogasawara islands
    Zone(15, 26, 127, 30, "XV"),    // Okinawa: main island
    Zone(16, 26, 124, 0, "XVI"),    // Okinawa: Miyako, Yaeyama
    Zone(17, 26, 131, 0, "XVII"),   // Okinawa: Daito islands
    Zone(18, 20, 136, 0, "XVIII"),  // Tokyo: Okinotori-shima
    Zone(19, 26, 154, 0, "XIX"),    // Tokyo: Minami-tori-shima
};
static_assert(std::size(kZones) == kPlaneRectangularZoneCount);

// ---- Reading the clause ----

bool IsSeparator(char c) {
    return IsTrimChar(static_cast<unsigned char>(c)) || c == ',' || c == '(' || c == ')';
}

// Words, numbers and quoted texts; blanks, commas and brackets only separate.
// A sign standing apart from its number ("- 106367759.649", as some writers
// put it in Bounds) joins it.
std::vector<std::string> Tokenize(std::string_view s, std::vector<bool>& quoted) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < s.size()) {
        if (IsSeparator(s[i])) {
            ++i;
            continue;
        }
        if (s[i] == '"') {
            // A text never closed stays a word with its quote, which no
            // step of the clause accepts.
            const size_t end = s.find('"', i + 1);
            if (end == std::string_view::npos) {
                tokens.emplace_back(s.substr(i));
                quoted.push_back(false);
                break;
            }
            tokens.emplace_back(s.substr(i + 1, end - i - 1));
            quoted.push_back(true);
            i = end + 1;
            continue;
        }
        size_t j = i;
        while (j < s.size() && !IsSeparator(s[j]) && s[j] != '"')
            ++j;
        const std::string_view word = s.substr(i, j - i);
        if (!tokens.empty() && !quoted.back() && (tokens.back() == "-" || tokens.back() == "+")) {
            tokens.back().append(word);
        } else {
            tokens.emplace_back(word);
            quoted.push_back(false);
        }
        i = j;
    }
    return tokens;
}

class TClauseReader {
  public:
    explicit TClauseReader(std::string_view text) : tokens_(Tokenize(text, quoted_)) {}

    bool AtEnd() const { return pos_ >= tokens_.size(); }
    // The next word is `keyword` (any letter case); it is consumed.
    bool Keyword(std::string_view keyword) {
        if (AtEnd() || quoted_[pos_] || !EqualsIgnoringAsciiCase(tokens_[pos_], keyword))
            return false;
        ++pos_;
        return true;
    }
    bool Integer(int32_t& value) {
        if (AtEnd() || quoted_[pos_]) return false;
        const std::optional<int32_t> v = TryParseMifInteger(tokens_[pos_]);
        if (!v) return false;
        value = *v;
        ++pos_;
        return true;
    }
    bool Number(double& value) {
        if (AtEnd() || quoted_[pos_]) return false;
        const std::optional<double> v = TryParseMifFloat(tokens_[pos_]);
        if (!v || !std::isfinite(*v)) return false;
        value = *v;
        ++pos_;
        return true;
    }
    bool Numbers(double* values, size_t n) {
        for (size_t k = 0; k < n; ++k)
            if (!Number(values[k])) return false;
        return true;
    }
    // A quoted unit name the table knows, stored as the table spells it.
    bool Unit(std::string& name) {
        if (AtEnd() || !quoted_[pos_]) return false;
        const TMifUnit* unit = FindMifUnit(tokens_[pos_]);
        if (!unit) return false;
        name.assign(unit->Name);
        ++pos_;
        return true;
    }

  private:
    std::vector<bool> quoted_;
    std::vector<std::string> tokens_;
    size_t pos_ = 0;
};

bool ReadAffine(TClauseReader& r, TCoordSys& cs) {
    if (!r.Keyword("Affine")) return true;
    TAffine affine;
    if (!r.Keyword("Units") || !r.Unit(affine.Units) ||
        !r.Numbers(affine.Coefficients.data(), affine.Coefficients.size()))
        return false;
    cs.Affine = affine;
    return true;
}

bool ReadBounds(TClauseReader& r, TCoordSys& cs) {
    if (!r.Keyword("Bounds")) return true;
    double v[4];
    if (!r.Numbers(v, 4)) return false;
    cs.Bounds = TBounds{v[0], v[1], v[2], v[3]};
    return true;
}

// NonEarth [Affine Units u, A, B, C, D, E, F] Units u [Bounds (x1, y1) (x2, y2)]
bool ReadNonEarth(TClauseReader& r, TCoordSys& cs) {
    cs.Kind = TCoordSysKind::NonEarth;
    return ReadAffine(r, cs) && r.Keyword("Units") && r.Unit(cs.Units) && ReadBounds(r, cs);
}

// Earth Projection p, datum [custom datum parameters] [, units] [, parameters]
// [Affine ...] [Bounds ...]
bool ReadEarth(TClauseReader& r, TCoordSys& cs) {
    cs.Kind = TCoordSysKind::Earth;
    if (!r.Keyword("Projection") || !r.Integer(cs.Projection) || !r.Integer(cs.Datum)) return false;
    if (cs.Datum == kCustomDatum || cs.Datum == kCustomDatumRotated) {
        cs.DatumParameters.resize(cs.Datum == kCustomDatum ? 3 : 8);
        if (!r.Integer(cs.Ellipsoid) ||
            !r.Numbers(cs.DatumParameters.data(), cs.DatumParameters.size()))
            return false;
    }
    if (cs.Projection == kProjectionGeographic) {
        // Longitude and latitude name no unit; one that is written must be
        // the degree.
        cs.Units = "degree";
        std::string unit;
        if (r.Unit(unit) && unit != "degree") return false;
    } else if (!r.Unit(cs.Units)) {
        return false;
    }
    double p = 0;
    while (r.Number(p))
        cs.Parameters.push_back(p);
    if (cs.Projection == kProjectionTransverseMercator && cs.Parameters.size() != 5) return false;
    return ReadAffine(r, cs) && ReadBounds(r, cs);
}

void ReadTransform(std::string_view text, TCoordSys& cs) {
    TClauseReader r(text);
    TMifTransform t;
    double v[4];
    t.Readable = r.Keyword("Transform") && r.Numbers(v, 4) && r.AtEnd();
    if (t.Readable) {
        t.XScale = v[0];
        t.YScale = v[1];
        t.XOffset = v[2];
        t.YOffset = v[3];
    }
    cs.Transform = t;
}

bool Near(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance;
}

}  // namespace

std::span<const TMifUnit> MifUnits() {
    return kUnits;
}

const TMifUnit* FindMifUnit(std::string_view name) {
    for (const TMifUnit& u : kUnits)
        if (EqualsIgnoringAsciiCase(u.Name, name)) return &u;
    return nullptr;
}

std::span<const TEllipsoid> Ellipsoids() {
    return kEllipsoids;
}

const TEllipsoid* FindEllipsoid(int32_t number) {
    for (const TEllipsoid& e : kEllipsoids)
        if (e.Number == number) return &e;
    return nullptr;
}

std::span<const TMifDatum> MifDatums() {
    return kDatums;
}

const TMifDatum* FindMifDatum(int32_t number) {
    for (const TMifDatum& d : kDatums)
        if (d.Number == number) return &d;
    return nullptr;
}

double TCoordSys::UnitMetres() const {
    if (Kind != TCoordSysKind::Earth && Kind != TCoordSysKind::NonEarth) return 0;
    const TMifUnit* unit = FindMifUnit(Units);
    return unit ? unit->Metres : 0;
}

const TEllipsoid* TCoordSys::DatumEllipsoid() const {
    if (Kind != TCoordSysKind::Earth) return nullptr;
    if (Datum == kCustomDatum || Datum == kCustomDatumRotated) return FindEllipsoid(Ellipsoid);
    const TMifDatum* datum = FindMifDatum(Datum);
    return datum ? FindEllipsoid(datum->Ellipsoid) : nullptr;
}

TCoordSys ParseCoordSys(std::string_view clause, std::string_view transform) {
    TCoordSys cs;
    if (!Trim(clause).empty()) {
        TClauseReader r(clause);
        bool ok = r.Keyword("CoordSys");
        if (ok && r.Keyword("Earth")) {
            ok = ReadEarth(r, cs);
        } else if (ok && r.Keyword("NonEarth")) {
            ok = ReadNonEarth(r, cs);
        } else {
            ok = false;
        }
        if (!ok || !r.AtEnd()) {
            cs = TCoordSys();
            cs.Kind = TCoordSysKind::Unknown;
        }
    }
    if (!Trim(transform).empty()) ReadTransform(transform, cs);
    return cs;
}

std::span<const TPlaneRectangularZone> PlaneRectangularZones() {
    return kZones;
}

const TPlaneRectangularZone* FindPlaneRectangularZone(int32_t number) {
    if (number < 1 || number > kPlaneRectangularZoneCount) return nullptr;
    return &kZones[number - 1];
}

bool IsPlaneRectangularZone(const TPlaneRectangularZone& zone, double centralMeridian,
                            double originLatitude, double scale, double falseEastingMetres,
                            double falseNorthingMetres) {
    return Near(centralMeridian, zone.CentralMeridian, 1e-9) &&
           Near(originLatitude, zone.OriginLatitude, 1e-9) &&
           Near(scale, kPlaneRectangularScale, 1e-12 * kPlaneRectangularScale) &&
           Near(falseEastingMetres, 0, 1e-6) && Near(falseNorthingMetres, 0, 1e-6);
}

int32_t PlaneRectangularZoneOf(const TCoordSys& cs) {
    const double metres = cs.UnitMetres();
    if (cs.Kind != TCoordSysKind::Earth || cs.Projection != kProjectionTransverseMercator ||
        cs.Parameters.size() != 5 || metres <= 0)
        return 0;
    const std::vector<double>& p = cs.Parameters;
    for (const TPlaneRectangularZone& zone : PlaneRectangularZones())
        if (IsPlaneRectangularZone(zone, p[0], p[1], p[2], p[3] * metres, p[4] * metres))
            return zone.Number;
    return 0;
}

int32_t UtmZoneOf(const TCoordSys& cs) {
    const double metres = cs.UnitMetres();
    if (cs.Kind != TCoordSysKind::Earth || cs.Projection != kProjectionTransverseMercator ||
        cs.Parameters.size() != 5 || metres <= 0)
        return 0;
    const std::vector<double>& p = cs.Parameters;
    if (!Near(p[1], 0, 1e-9) || !Near(p[2], 0.9996, 1e-12 * 0.9996) ||
        !Near(p[3] * metres, 500000, 1e-6))
        return 0;
    const double northing = p[4] * metres;
    const bool south = Near(northing, 10000000, 1e-6);
    if (!south && !Near(northing, 0, 1e-6)) return 0;
    for (int32_t zone = 1; zone <= 60; ++zone)
        if (Near(p[0], -183.0 + 6.0 * zone, 1e-9)) return south ? -zone : zone;
    return 0;
}

}  // namespace quorvex
