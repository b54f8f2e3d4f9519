#include "slow_real_reader.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool same_word(std::string_view text, std::string_view lower_word)
{
    if (text.size() != lower_word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char folded = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
        if (folded != lower_word[i]) return false;
    }
    return true;
}

// Far beyond any exponent that matters, far below overflow of int64 arithmetic.
constexpr std::int64_t kExponentClamp = std::int64_t{1} << 40;

struct Scanner {
    std::string_view text;
    std::size_t at = 0;

    bool done() const { return at == text.size(); }
    char peek() const { return done() ? '\0' : text[at]; }
    bool take(char c)
    {
        if (done() || text[at] != c) return false;
        ++at;
        return true;
    }
    bool take_sign(bool& negative)
    {
        if (take('-')) {
            negative = true;
            return true;
        }
        return take('+');
    }
};

// One or more digits as a clamped integer; nullopt when there is none.
std::optional<std::int64_t> scan_integer(Scanner& scan)
{
    if (!is_digit(scan.peek())) return std::nullopt;
    std::int64_t value = 0;
    while (is_digit(scan.peek())) {
        value = value * 10 + (scan.text[scan.at++] - '0');
        if (value > kExponentClamp) value = kExponentClamp;
    }
    return value;
}

// The exponent after the digits: none, E/D then a signed integer, or a sign
// then an integer. nullopt when malformed.
std::optional<std::int64_t> scan_exponent(Scanner& scan)
{
    if (scan.done()) return 0;
    const char marker = scan.peek();
    bool negative = false;
    if (marker == 'e' || marker == 'E' || marker == 'd' || marker == 'D') {
        ++scan.at;
        scan.take_sign(negative);
    } else if (!scan.take_sign(negative)) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> magnitude = scan_integer(scan);
    if (!magnitude || !scan.done()) return std::nullopt;
    return negative ? -*magnitude : *magnitude;
}

float convert(bool negative, std::string digits, std::int64_t exponent)
{
    const std::size_t first_nonzero = digits.find_first_not_of('0');
    if (first_nonzero == std::string::npos) return negative ? -0.0f : 0.0f;
    digits.erase(0, first_nonzero);
    // The value lies in [10^leading, 10^(leading+1)).
    const std::int64_t leading = exponent + static_cast<std::int64_t>(digits.size()) - 1;
    float magnitude = 0.0f;
    if (leading > 60) {
        magnitude = std::numeric_limits<float>::infinity();
    } else if (leading >= -60) {
        const std::string c_text = digits + "e" + std::to_string(exponent);
        magnitude = std::strtof(c_text.c_str(), nullptr);
    }
    return negative ? -magnitude : magnitude;
}

}  // namespace

std::optional<float> slow_read_real(std::string_view text, int implied_decimals)
{
    Scanner scan{text};
    bool negative = false;
    scan.take_sign(negative);
    const std::string_view rest = text.substr(scan.at);
    if (same_word(rest, "inf") || same_word(rest, "infinity")) {
        const float infinity = std::numeric_limits<float>::infinity();
        return negative ? -infinity : infinity;
    }
    if (same_word(rest, "nan")) return std::numeric_limits<float>::quiet_NaN();

    std::string digits;
    std::int64_t decimals = 0;
    bool point = false;
    for (;;) {
        if (is_digit(scan.peek())) {
            digits += scan.text[scan.at++];
            if (point) ++decimals;
        } else if (!point && scan.take('.')) {
            point = true;
        } else {
            break;
        }
    }
    if (digits.empty()) return std::nullopt;
    if (!point) decimals = implied_decimals;
    const std::optional<std::int64_t> exponent = scan_exponent(scan);
    if (!exponent) return std::nullopt;
    return convert(negative, digits, *exponent - decimals);
}
