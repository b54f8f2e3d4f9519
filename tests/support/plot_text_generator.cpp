#include "plot_text_generator.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>

namespace {

// Offsets (from 0) and widths of the fields of a data line, from the layouts.
constexpr std::size_t offset_of(const PlotLayout& layout, std::size_t field) { return layout.field(field).offset; }
constexpr std::size_t kXOffset = offset_of(STANDARD_LAYOUT, 0);
constexpr std::size_t kYOffset = offset_of(STANDARD_LAYOUT, 1);
constexpr std::size_t kValueOffset = offset_of(STANDARD_LAYOUT, 2);
constexpr std::size_t kAux1Offset = offset_of(STANDARD_LAYOUT, 3);
constexpr std::size_t kAux2Offset = offset_of(STANDARD_LAYOUT, 4);
constexpr std::size_t kAux3Offset = offset_of(STANDARD_LAYOUT, 5);
constexpr std::size_t kTagAOffset = offset_of(STANDARD_LAYOUT, 6);
constexpr std::size_t kTagBOffset = offset_of(STANDARD_LAYOUT, 7);
constexpr std::size_t kStampOffset = offset_of(STANDARD_LAYOUT, 8);
constexpr std::size_t kTagCOffset = offset_of(STANDARD_LAYOUT, 9);
constexpr int kWideField = STANDARD_LAYOUT.field(0).width;
constexpr int kNarrowField = STANDARD_LAYOUT.field(3).width;
static_assert(offset_of(RANKED_LAYOUT, 5) == kAux3Offset, "the ranked layout begins as the standard one");

// A receptor grid of 400 by 1600 points, 25 m apart, repeated for longer files.
constexpr std::uint64_t kGridColumns = 400;
constexpr std::uint64_t kGridRows = 1600;
constexpr double kGridSpacing = 25.0;
constexpr double kGridWest = 41250.0;
constexpr double kGridSouth = 38100.0;

constexpr std::array<std::string_view, 7> kPeriods = {"  1-HR", "  3-HR", "  8-HR", " 24-HR",
                                                      "MONTH ", "ANNUAL", "PERIOD"};
constexpr std::array<std::string_view, 8> kSourceGroups = {"ALL     ", "STACK1  ", "STACK2  ", "BOILERS ",
                                                           "FUGITIVE", "ROADS   ", "FLARE   ", "TANKS   "};
constexpr std::array<std::string_view, 6> kNetworks = {"GRID1   ", "GRID2   ", "FENCE   ",
                                                       "DISCRETE", "POLAR1  ", "        "};

// Writes text right-aligned in width columns; a text that does not fit is a
// fault of this generator, not something to write.
void put_right(const char* text, int length, int width, char* out)
{
    if (length < 0 || length > width) {
        std::fprintf(stderr, "make_plot_files: '%s' does not fit %d columns\n", text, width);
        std::abort();
    }
    std::memset(out, ' ', static_cast<std::size_t>(width - length));
    std::memcpy(out + (width - length), text, static_cast<std::size_t>(length));
}

void put_text(std::string_view text, char* out) { std::memcpy(out, text.data(), text.size()); }

// value written with an exponent, its mantissa holding precision decimals.
// marker is E, e, D or d; a zero marker writes the sign exponent form (1.5-3).
int exponent_text(double value, int precision, char marker, char* text, std::size_t size)
{
    if (marker != 0) {
        const int length = std::snprintf(text, size, "%.*E", precision, value);
        char* letter = std::strchr(text, 'E');
        if (letter != nullptr) *letter = marker;
        return length;
    }
    int exponent = value > 0.0 ? static_cast<int>(std::floor(std::log10(value))) : 0;
    const double mantissa = value / std::pow(10.0, exponent);
    return std::snprintf(text, size, "%.*f%+d", precision, mantissa, exponent);
}

}  // namespace

std::uint64_t SeededRandom::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double SeededRandom::uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }

std::uint64_t SeededRandom::below(std::uint64_t bound) { return next() % bound; }

namespace {

// A YYMMDDHH date.
std::uint64_t random_date(SeededRandom& random)
{
    return 1000000 * (10 + random.below(16)) + 10000 * (1 + random.below(12)) + 100 * (1 + random.below(28)) +
           (1 + random.below(24));
}

}  // namespace

PlotTextGenerator::PlotTextGenerator(std::uint64_t seed, bool ranked) : seed_(seed), ranked_(ranked), random_(seed) {}

std::vector<std::string> PlotTextGenerator::header_lines(std::uint64_t data_lines) const
{
    char first[128];
    std::snprintf(first, sizeof first, "* Concentration plot file made for timing plotmerge, seed %llu",
                  static_cast<unsigned long long>(seed_));
    char second[128];
    std::snprintf(second, sizeof second, "* %llu receptors on a 25 m grid; concentrations in micrograms per cubic metre",
                  static_cast<unsigned long long>(data_lines));
    if (ranked_) {
        return {
            first,
            RANKED_FORMAT_LINE,
            "*        X             Y      AVERAGE CONC    ZELEV    ZHILL    ZFLAG    AVE     GRP       RANK      NET ID"
            "   DATE(CONC)",
            "* ____________ ____________ ____________ ______ ______ ______ ______ ________ ________ ________ ________",
            second,
        };
    }
    return {
        first,
        second,
        // Longer than a plot line: only its first 120 columns count.
        "* Terrain heights from the regional elevation model; flagpole heights where receptors are raised above "
        "ground; group ALL holds every source",
        "*        X             Y      CONCENTRATION    ZELEV    ZHILL    ZFLAG     AVE    GROUP       DATE     NETWORK",
        "* ____________ _____________ _____________ ________ ________ ________  ______  ________  ________  ________",
    };
}

double PlotTextGenerator::concentration() { return std::pow(10.0, -6.0 + 9.7 * random_.uniform()); }

double PlotTextGenerator::height() { return 2500.0 * random_.uniform() * random_.uniform(); }

void PlotTextGenerator::concentration_field(double value, char* out)
{
    char text[32];
    int length = 0;
    const std::uint64_t form = random_.below(100);
    const int precision = 1 + static_cast<int>(random_.below(6));
    if (form < 76) {
        length = std::snprintf(text, sizeof text, "%.5f", value);
    } else if (form < 86) {
        // No point: the last five digits are the decimals.
        length = std::snprintf(text, sizeof text, "%lld", std::llround(value * 1e5));
    } else if (form < 93) {
        length = exponent_text(value, precision, random_.below(4) == 0 ? 'e' : 'E', text, sizeof text);
    } else if (form < 97) {
        length = exponent_text(value, precision, random_.below(4) == 0 ? 'd' : 'D', text, sizeof text);
    } else {
        length = exponent_text(value, precision, 0, text, sizeof text);
    }
    put_right(text, length, kWideField, out);
}

void PlotTextGenerator::height_field(double value, char* out)
{
    char text[32];
    int length = 0;
    const std::uint64_t form = random_.below(100);
    if (form < 85) {
        length = std::snprintf(text, sizeof text, "%.2f", value);
    } else if (form < 98) {
        length = std::snprintf(text, sizeof text, "%lld", std::llround(value * 100.0));
    } else {
        length = exponent_text(value, 2, 'E', text, sizeof text);
    }
    put_right(text, length, kNarrowField, out);
}

void PlotTextGenerator::data_line(std::uint64_t index, char* out)
{
    std::memset(out, ' ', line_columns());

    // The same receptor for the same line number in every file.
    const double x = kGridWest + kGridSpacing * static_cast<double>(index % kGridColumns);
    const double y = kGridSouth + kGridSpacing * static_cast<double>((index / kGridColumns) % kGridRows);
    char text[32];
    const bool short_coordinates = random_.below(10) == 0;
    put_right(text, std::snprintf(text, sizeof text, short_coordinates ? "%.1f" : "%.5f", x), kWideField,
              out + kXOffset);
    put_right(text, std::snprintf(text, sizeof text, short_coordinates ? "%.1f" : "%.5f", y), kWideField,
              out + kYOffset);

    concentration_field(concentration(), out + kValueOffset);
    const double terrain = height();
    height_field(terrain, out + kAux1Offset);
    height_field(terrain + 300.0 * random_.uniform(), out + kAux2Offset);
    height_field(random_.below(8) == 0 ? 1.5 : 0.0, out + kAux3Offset);

    if (ranked_) {
        ranked_tail(out);
    } else {
        standard_tail(out);
    }
}

void PlotTextGenerator::standard_tail(char* out)
{
    char text[32];
    put_text(kPeriods[random_.below(kPeriods.size())], out + kTagAOffset);
    put_text(kSourceGroups[random_.below(kSourceGroups.size())], out + kTagBOffset);
    // Mostly a YYMMDDHH date, sometimes a short count written without zeros.
    const std::uint64_t stamp = random_.below(10) != 0 ? random_date(random_) : random_.below(10000);
    put_right(text, std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(stamp)), kNarrowField,
              out + kStampOffset);
    put_text(kNetworks[random_.below(kNetworks.size())], out + kTagCOffset);
}

// 3X,A5,2X,A8,2X,A5,5X,A8,2X,I8 after the six reals: period, group, rank,
// network and the date of the value, 0 for a period average.
void PlotTextGenerator::ranked_tail(char* out)
{
    constexpr std::array<std::string_view, 5> kRankedPeriods = {" 1-HR", " 3-HR", " 8-HR", "24-HR", "MONTH"};
    constexpr std::array<std::string_view, 5> kRanks = {"1ST  ", "2ND  ", "3RD  ", "4TH  ", "8TH  "};
    char text[32];
    put_text(kRankedPeriods[random_.below(kRankedPeriods.size())], out + offset_of(RANKED_LAYOUT, 6));
    put_text(kSourceGroups[random_.below(kSourceGroups.size())], out + offset_of(RANKED_LAYOUT, 7));
    put_text(kRanks[random_.below(kRanks.size())], out + offset_of(RANKED_LAYOUT, 8));
    put_text(kNetworks[random_.below(kNetworks.size())], out + offset_of(RANKED_LAYOUT, 9));
    const std::uint64_t date = random_.below(10) != 0 ? random_date(random_) : 0;
    put_right(text, std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(date)), kNarrowField,
              out + offset_of(RANKED_LAYOUT, 10));
}

class FieldShapeGenerator::Shapes {
public:
    explicit Shapes(unsigned seed) : random_(seed) {}

    // Header lines stand at the same positions in every file, since a later
    // input's line at a header position of the first is not read as data.
    std::string line(unsigned long index)
    {
        if (index % 53 == 0) return "* header " + std::to_string(pick(100000)) + std::string(pick(140), 'h');
        const unsigned kind = pick(40);
        if (kind == 1) return "";
        std::string text(STANDARD_LAYOUT.width(), ' ');
        for (const LayoutField& field : STANDARD_LAYOUT.fields()) {
            std::string shape;
            switch (field.kind) {
            case FieldKind::Fixed:
            case FieldKind::Exponent: shape = this->field(field.width, field.digits); break;
            case FieldKind::Integer: shape = stamp(); break;
            case FieldKind::Text: shape = tag(field.width); break;
            }
            text.replace(field.offset, field.width, shape);
        }
        // A short line ends between fields, so that every field left reads.
        if (kind == 2) {
            const std::size_t field = pick(static_cast<unsigned>(STANDARD_LAYOUT.field_count()));
            text.resize(field == 0 ? 0 : STANDARD_LAYOUT.field(field - 1).offset + STANDARD_LAYOUT.field(field - 1).width);
        }
        if (kind == 3) text += std::string(pick(60), 'x');                     // columns past 107
        return text;
    }

    bool crlf() { return pick(10) == 0; }

private:
    unsigned pick(unsigned count) { return std::uniform_int_distribution<unsigned>(0, count - 1)(random_); }

    std::string digits(unsigned count)
    {
        std::string text;
        for (unsigned i = 0; i < count; ++i) text += static_cast<char>('0' + pick(10));
        return text;
    }

    std::string sign() { return pick(3) == 0 ? "-" : (pick(8) == 0 ? "+" : ""); }

    // Right-aligned in the field; a text too long for it would be cut into
    // something that is not a number, so a plain digit stands instead.
    static std::string fit(const std::string& text, std::size_t width)
    {
        if (text.size() > width) return std::string(width - 1, ' ') + "7";
        return std::string(width - text.size(), ' ') + text;
    }

    std::string fixed(double value, int decimals)
    {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        return text;
    }

    std::string field(std::size_t width, int decimals)
    {
        const unsigned whole_digits = static_cast<unsigned>(width) - static_cast<unsigned>(decimals) - 2;
        switch (pick(14)) {
        case 0: return fit(sign() + digits(1 + pick(whole_digits)) + "." + digits(decimals), width);
        case 1: return fit(sign() + digits(1 + pick(static_cast<unsigned>(width) - 2)), width);  // implied decimals
        case 2: {
            static const char* const kMarks[] = {"E", "e", "D", "d", "", "E+", "e-", "D-"};
            const char* mark = kMarks[pick(8)];
            std::string exponent = digits(1 + pick(2));
            if (*mark == '\0') exponent = (pick(2) == 0 ? "+" : "-") + exponent;  // 1.5+2, a sign alone
            std::string mantissa = pick(2) == 0 ? digits(1 + pick(3)) + "." + digits(pick(3)) : digits(1 + pick(4));
            return fit(sign() + mantissa + mark + exponent, width);
        }
        case 3: {  // blanks inside
            std::string text = sign() + digits(1 + pick(4)) + " " + digits(1 + pick(2)) + " " + digits(pick(3));
            return fit(text, width);
        }
        case 4: return fit(pick(2) == 0 ? "-0." + std::string(decimals, '0') : "-0", width);
        case 5: {  // an exact tie of the written decimals: an odd multiple of a half unit, times 2^-k
            const double unit = decimals == 5 ? 1e-5 : 1e-2;
            const double tie = (2.0 * pick(2000) + 1.0) * 0.5 * unit;
            const double dyadic = decimals == 5 ? (pick(32) + 1) / 64.0 : (pick(8) + 1) / 8.0;
            return fit(sign() + fixed(pick(2) == 0 ? dyadic : tie, decimals + 3), width);
        }
        case 6: {  // beside the limits where the field becomes asterisks
            static const char* const kWide[] = {"9999999.99999", "999999999999", "-999999.99999", "-99999999999",
                                                "1000000000000", "9999999.9999", "10000000", "-1000000", "1E7", "-1E6"};
            static const char* const kNarrow[] = {"99999.99", "99999.9", "-9999.99", "-9999.9", "9999999",
                                                  "-999999", "1E5", "-1E4", "100000", "-10000"};
            return fit((decimals == 5 ? kWide : kNarrow)[pick(10)], width);
        }
        case 7: return fit(sign() + (pick(2) == 0 ? "1E39" : "3.5D38"), width);  // beyond single precision
        case 8: return fit(sign() + (pick(2) == 0 ? "1E-45" : "1.4e-46"), width);  // tiny, and below the smallest
        case 9: return std::string(width, ' ');
        case 10: return fit(sign() + "." + digits(1 + pick(6)), width);
        case 11: return fit(sign() + digits(1 + pick(3)) + ".", width);
        default: return fit(sign() + fixed(pick(1000000) / 997.0, decimals), width);
        }
    }

    std::string tag(std::size_t width)
    {
        static const char kBytes[] = "ABCXYZ az09-_*.\t\x01\x7f\xe9\xff";
        std::string text;
        for (std::size_t i = 0; i < width; ++i) text += kBytes[pick(sizeof kBytes - 1)];
        return text;
    }

    std::string stamp()
    {
        switch (pick(5)) {
        case 0: return fit("-" + digits(1 + pick(6)), 8);
        case 1: return fit(digits(1 + pick(3)) + " " + digits(2), 8);
        case 2: return "        ";
        default: return fit(digits(1 + pick(8)), 8);
        }
    }

    std::mt19937 random_;
};

FieldShapeGenerator::FieldShapeGenerator(unsigned seed) : shapes_(std::make_unique<Shapes>(seed)) {}
FieldShapeGenerator::~FieldShapeGenerator() = default;
std::string FieldShapeGenerator::line(unsigned long index) { return shapes_->line(index); }
bool FieldShapeGenerator::crlf() { return shapes_->crlf(); }
