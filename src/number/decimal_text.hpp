#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The text form of a real, shared by data line fields and factor answers:
// an optional sign; digits with at most one decimal point, at least one digit;
// optionally an exponent, a letter E or D (either case) and an optionally
// signed integer, or a sign directly followed by an integer. The words Inf,
// Infinity and NaN, in any case and with an optional sign, name the special
// values. Without a decimal point the last implied_decimals digits are
// decimals, applied before the exponent. Any other text (blanks included)
// is no number.
//
// A text read so keeps its exact value: the digits of its mantissa, as
// written, and the power of ten that scales the integer they form.
struct DecimalText {
    enum class Kind { Number, Infinity, NotANumber };
    Kind kind = Kind::Number;
    bool negative = false;
    std::string_view mantissa;  // the digits, and the point where there is one
    std::int64_t exponent = 0;  // saturated far beyond where any field or float could tell it apart

    // Calls digit(c) for each digit of the mantissa, from the first.
    template <class Digit>
    void each_digit(Digit&& digit) const
    {
        for (const char c : mantissa) {
            if (c != '.') digit(c);
        }
    }
};

std::optional<DecimalText> read_decimal_text(std::string_view text, int implied_decimals);

// The longest mantissa whose digits the functions below work on: a field's
// widest. Longer ones are no value they can compare or write.
inline constexpr std::size_t kMostFieldDigits = 1024;

// Whether two texts read hold the same value: 0 and -0 alike, two NaN alike,
// infinities of one sign alike.
bool same_decimal_value(const DecimalText& a, const DecimalText& b);

// The exact value of number rounded half to even to `decimals` places, as an
// F field writes it: a minus sign when negative (negative zero, and values
// that round to zero, too), at least one integer digit, a point, the
// decimals; into out, which has room for `room` bytes. Its length, or 0 when
// it does not fit. number is of kind Number.
std::size_t fixed_text(const DecimalText& number, int decimals, char* out, std::size_t room);

// The exact value of number rounded half to even to `digits` significant
// digits, as an E field writes it: "0.", the digits (the first not 0 unless
// the value is zero), "E", the exponent's sign and two digits; a minus sign
// in front when negative. Its length, or 0 when it does not fit the room or
// its exponent needs more than two digits.
std::size_t scientific_text(const DecimalText& number, int digits, char* out, std::size_t room);
