#include "number/integer_text.hpp"

#include <algorithm>

std::optional<std::int64_t> read_integer_text(std::string_view text)
{
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++at;
    if (at == text.size()) return std::nullopt;
    // One past the largest magnitude is enough to tell that a value is out of range.
    constexpr std::int64_t kBeyondRange = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
    std::int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return std::nullopt;
        magnitude = std::min(magnitude * 10 + (text[at] - '0'), kBeyondRange);
    }
    return negative ? -magnitude : magnitude;
}
