#include "plot/integer_field.hpp"

#include <cstring>
#include <string_view>

#include "number/integer_text.hpp"
#include "plot/blanks.hpp"

namespace {

void asterisks(std::size_t width, char* out) { std::memset(out, '*', width); }

}  // namespace

IntegerReading read_other_integer_field(const char* field, std::size_t width, std::int32_t& value)
{
    return read_without_blanks(field, width, [&](std::string_view text) {
        const std::optional<std::int64_t> read = text.empty() ? 0 : read_integer_text(text);
        if (!read) return IntegerReading::NotANumber;
        if (!fits_32_bits(*read)) return IntegerReading::OutOfRange;
        value = static_cast<std::int32_t>(*read);
        return IntegerReading::Number;
    });
}

void format_other_integer_field(std::int32_t value, std::size_t width, int min_digits, char* out)
{
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    char* at = out + width;
    // Digits from the right, zeros in front up to min_digits, then the sign.
    for (int written = 0; magnitude != 0 || written < min_digits; ++written) {
        if (at == out) return asterisks(width, out);
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    if (value < 0) {
        if (at == out) return asterisks(width, out);
        *--at = '-';
    }
    while (at != out) *--at = ' ';
}
