#include "number/decimal_text.hpp"

#include <algorithm>
#include <cstring>

namespace {

// An exponent this large already puts any digit string a field can hold far
// outside every range a field or a float can tell apart, so saturating here
// changes no result.
constexpr std::int64_t kExponentCap = 1000000000000;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equals_ignoring_case(std::string_view text, std::string_view word)
{
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (lower(text[i]) != word[i]) return false;
    }
    return true;
}

std::optional<DecimalText::Kind> special_kind(std::string_view word)
{
    if (equals_ignoring_case(word, "inf") || equals_ignoring_case(word, "infinity")) return DecimalText::Kind::Infinity;
    if (equals_ignoring_case(word, "nan")) return DecimalText::Kind::NotANumber;
    return std::nullopt;
}

// The exponent part that may follow the digit string, up to the end of text;
// false when it is malformed.
bool read_exponent(std::string_view text, std::int64_t& exponent)
{
    if (text.empty()) {
        exponent = 0;
        return true;
    }
    std::size_t at = 0;
    const char marker = lower(text[0]);
    if (marker == 'e' || marker == 'd') {
        ++at;
    } else if (marker != '+' && marker != '-') {
        return false;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at == text.size()) return false;
    std::int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        if (!is_digit(text[at])) return false;
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[at] - '0'), kExponentCap);
    }
    exponent = negative ? -magnitude : magnitude;
    return true;
}

// The significant digits of a number (leading zeros dropped) into digits,
// which has room for the mantissa; their count.
std::size_t significant_digits(const DecimalText& number, char* digits)
{
    std::size_t count = 0;
    number.each_digit([&](char c) {
        if (count > 0 || c != '0') digits[count++] = c;
    });
    return count;
}

// Rounds the count digits at digits half to even to their first `kept`
// (kept < count): true when the kept digits were increased, with the carry
// taken through them; false when they stay. All kept digits 9 carry out: the
// digits are then all 0 and carried_out is set.
bool round_half_even(char* digits, std::size_t count, std::size_t kept, bool& carried_out)
{
    carried_out = false;
    const char first_dropped = digits[kept];
    bool up = first_dropped > '5';
    if (first_dropped == '5') {
        const bool above_half = std::any_of(digits + kept + 1, digits + count, [](char c) { return c != '0'; });
        const bool last_kept_odd = kept > 0 && (digits[kept - 1] - '0') % 2 == 1;
        up = above_half || last_kept_odd;
    }
    if (!up) return false;
    std::size_t at = kept;
    while (at > 0 && digits[at - 1] == '9') digits[--at] = '0';
    if (at == 0) {
        carried_out = true;
    } else {
        ++digits[at - 1];
    }
    return true;
}

}  // namespace

std::optional<DecimalText> read_decimal_text(std::string_view text, int implied_decimals)
{
    DecimalText number;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        number.negative = text[at] == '-';
        ++at;
    }
    if (at < text.size() && (lower(text[at]) == 'i' || lower(text[at]) == 'n')) {
        const std::optional<DecimalText::Kind> kind = special_kind(text.substr(at));
        if (!kind) return std::nullopt;
        number.kind = *kind;
        return number;
    }
    const std::size_t begin = at;
    bool any_digit = false;
    bool seen_point = false;
    std::int64_t decimals = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && !seen_point) {
            seen_point = true;
        } else if (is_digit(c)) {
            any_digit = true;
            if (seen_point) ++decimals;
        } else {
            break;
        }
    }
    if (!any_digit) return std::nullopt;
    number.mantissa = text.substr(begin, at - begin);
    std::int64_t exponent = 0;
    if (!read_exponent(text.substr(at), exponent)) return std::nullopt;
    number.exponent = exponent - (seen_point ? decimals : implied_decimals);
    return number;
}

bool same_decimal_value(const DecimalText& a, const DecimalText& b)
{
    if (a.kind != b.kind) return false;
    if (a.kind == DecimalText::Kind::NotANumber) return true;
    if (a.kind == DecimalText::Kind::Infinity) return a.negative == b.negative;
    // Significant digits without the zeros that end them, and the power of
    // ten of their last: the same value has the same of both.
    const auto normal = [](const DecimalText& number, char* digits, std::int64_t& last_power) {
        const std::size_t count = significant_digits(number, digits);
        std::size_t trailing = 0;
        while (trailing < count && digits[count - 1 - trailing] == '0') ++trailing;
        last_power = number.exponent + static_cast<std::int64_t>(trailing);
        return count - trailing;
    };
    if (a.mantissa.size() > kMostFieldDigits || b.mantissa.size() > kMostFieldDigits) return false;
    char a_digits[kMostFieldDigits];
    char b_digits[kMostFieldDigits];
    std::int64_t a_power = 0;
    std::int64_t b_power = 0;
    const std::size_t a_count = normal(a, a_digits, a_power);
    const std::size_t b_count = normal(b, b_digits, b_power);
    if (a_count == 0 || b_count == 0) return a_count == b_count;  // zero, whatever its sign
    return a.negative == b.negative && a_count == b_count && a_power == b_power &&
           std::memcmp(a_digits, b_digits, a_count) == 0;
}

std::size_t fixed_text(const DecimalText& number, int decimals, char* out, std::size_t room)
{
    if (number.mantissa.size() > kMostFieldDigits) return 0;
    // The value is digits x 10^exponent; rounded to `decimals` places it is
    // the integer digits x 10^shift, rounded, times 10^-decimals.
    char digits[kMostFieldDigits + 1];
    std::size_t count = significant_digits(number, digits);
    const std::int64_t shift = number.exponent + decimals;
    const std::size_t sign = number.negative ? 1 : 0;
    if (count > 0 && shift >= 0) {
        // Exact: zeros appended; the text is longer than its digits, which must fit.
        if (shift > static_cast<std::int64_t>(std::min(room, kMostFieldDigits) - count)) return 0;
        std::memset(digits + count, '0', static_cast<std::size_t>(shift));
        count += static_cast<std::size_t>(shift);
    } else if (count > 0) {
        const std::uint64_t dropped = static_cast<std::uint64_t>(-shift);
        if (dropped > count) {
            count = 0;  // below a tenth of the last place: rounds to zero
        } else {
            const std::size_t kept = count - static_cast<std::size_t>(dropped);
            bool carried_out = false;
            round_half_even(digits, count, kept, carried_out);
            count = kept;
            if (carried_out) {
                digits[0] = '1';
                std::memset(digits + 1, '0', kept);
                count = kept + 1;
            }
        }
    }
    // At least one integer digit: zeros in front up to decimals + 1 digits.
    const std::size_t places = static_cast<std::size_t>(decimals);
    const std::size_t shown = std::max(count, places + 1);
    const std::size_t length = sign + shown + 1;
    if (length > room) return 0;
    char* at = out;
    if (sign) *at++ = '-';
    const std::size_t zeros = shown - count;
    for (std::size_t i = 0; i < shown; ++i) {
        if (i == shown - places) *at++ = '.';
        *at++ = i < zeros ? '0' : digits[i - zeros];
    }
    if (places == 0) *at++ = '.';
    return length;
}

std::size_t scientific_text(const DecimalText& number, int digits_wanted, char* out, std::size_t room)
{
    if (number.mantissa.size() > kMostFieldDigits || digits_wanted <= 0) return 0;
    const std::size_t wanted = static_cast<std::size_t>(digits_wanted);
    const std::size_t length = (number.negative ? 1 : 0) + 2 + wanted + 4;
    if (length > room) return 0;
    char digits[kMostFieldDigits + 1];
    std::size_t count = significant_digits(number, digits);
    // The value is 0.digits x 10^power.
    std::int64_t power = count == 0 ? 0 : number.exponent + static_cast<std::int64_t>(count);
    if (count > wanted) {
        bool carried_out = false;
        round_half_even(digits, count, wanted, carried_out);
        if (carried_out) {
            digits[0] = '1';
            ++power;
        }
        count = wanted;
    }
    if (power > 99 || power < -99) return 0;
    char* at = out;
    if (number.negative) *at++ = '-';
    *at++ = '0';
    *at++ = '.';
    for (std::size_t i = 0; i < wanted; ++i) *at++ = i < count ? digits[i] : '0';
    *at++ = 'E';
    *at++ = power < 0 ? '-' : '+';
    const auto magnitude = static_cast<int>(power < 0 ? -power : power);
    *at++ = static_cast<char>('0' + magnitude / 10);
    *at++ = static_cast<char>('0' + magnitude % 10);
    return length;
}
