#include "plot/integer_field.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "number/integer_text.hpp"
#include "plot/layout.hpp"
#include "plot/plain_field.hpp"

IntegerReading read_integer_field(const char* field, std::size_t width, std::int32_t& value)
{
    if (width == 8 && read_plain_integer(field, value)) return IntegerReading::Number;
    char text[MAX_LAYOUT_WIDTH];
    std::size_t length = 0;
    for (std::size_t i = 0; i < width; ++i) {
        if (field[i] != ' ') text[length++] = field[i];
    }
    if (length == 0) {
        value = 0;
        return IntegerReading::Number;
    }
    const std::optional<std::int64_t> read = read_integer_text(std::string_view(text, length));
    if (!read) return IntegerReading::NotANumber;
    if (!fits_32_bits(*read)) return IntegerReading::OutOfRange;
    value = static_cast<std::int32_t>(*read);
    return IntegerReading::Number;
}

void format_integer_field(std::int32_t value, std::size_t width, int min_digits, char* out)
{
    // Ten digits and a sign hold every 32-bit value; more digits are zeros in front.
    char digits[12];
    std::size_t count = 0;
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    for (; magnitude != 0; magnitude /= 10) digits[count++] = static_cast<char>('0' + magnitude % 10);
    const std::size_t shown = std::max(count, static_cast<std::size_t>(min_digits));
    const std::size_t length = shown + (value < 0 ? 1 : 0);
    if (length > width) {
        std::memset(out, '*', width);
        return;
    }
    char* at = out + width;
    for (std::size_t i = 0; i < shown; ++i) *--at = i < count ? digits[i] : '0';
    if (value < 0) *--at = '-';
    std::memset(out, ' ', static_cast<std::size_t>(at - out));
}
