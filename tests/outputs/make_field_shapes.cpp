// Writes plot files whose fields take every shape the reader accepts and
// whose values reach every edge the writer has, for comparing the outputs of
// builds for different machines byte for byte.
//
// Usage: make_field_shapes SEED LINES FILE
//
// Each number field is drawn from a list of shapes: plain fixed point,
// implied decimals, every exponent form, blanks inside the field, negative
// zero, exact ties of the written decimals, values beside the limits where a
// field turns to asterisks, values beyond single precision (infinities) and
// tiny ones. Header lines, CRLF line ends, short and long lines are mixed in.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

class Shapes {
public:
    explicit Shapes(unsigned seed) : random_(seed) {}

    // Header lines stand at the same positions in every file, since a later
    // input's line at a header position of the first is not read as data.
    std::string line(unsigned long index)
    {
        if (index % 53 == 0) return "* header " + std::to_string(pick(100000)) + std::string(pick(140), 'h');
        const unsigned kind = pick(40);
        if (kind == 1) return "";
        std::string text = " ";
        text += field(13, 5) + " " + field(13, 5) + " " + field(13, 5) + " ";
        text += field(8, 2) + " " + field(8, 2) + " " + field(8, 2) + "  ";
        text += tag(6) + "  " + tag(8) + "  " + stamp() + "  " + tag(8);
        // A short line ends between fields, so that every field left reads.
        static constexpr unsigned kFieldEnds[] = {0, 14, 28, 42, 51, 60, 69, 77, 87, 97};
        if (kind == 2) text.resize(kFieldEnds[pick(10)]);
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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_field_shapes SEED LINES FILE\n");
        return 2;
    }
    Shapes shapes(static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)));
    const unsigned long lines = std::strtoul(argv[2], nullptr, 10);
    std::FILE* out = std::fopen(argv[3], "wb");
    if (out == nullptr) {
        std::perror(argv[3]);
        return 1;
    }
    for (unsigned long i = 0; i < lines; ++i) {
        const std::string text = shapes.line(i);
        std::fputs(text.c_str(), out);
        std::fputs(shapes.crlf() ? "\r\n" : "\n", out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
