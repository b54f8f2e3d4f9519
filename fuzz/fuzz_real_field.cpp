// Every text that the tool's real reader accepts or refuses, for each number
// of implied decimals in use, must be accepted or refused alike by the slow
// reader, and both must give the same single-precision value. A text short
// enough for a field of either shape is also read as that field, right- and
// left-aligned among blanks, which the field reader ignores.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "number/real_text.hpp"
#include "plot/real_field.hpp"
#include "slow_real_reader.hpp"

namespace {

bool same_result(std::optional<float> first, std::optional<float> second)
{
    if (!first || !second) return !first && !second;
    if (std::isnan(*first) || std::isnan(*second)) return std::isnan(*first) && std::isnan(*second);
    return std::memcmp(&*first, &*second, sizeof(float)) == 0;
}

void print_result(const char* who, std::optional<float> result)
{
    if (result) {
        std::fprintf(stderr, "  %s: %.9g (%a)\n", who, static_cast<double>(*result), static_cast<double>(*result));
    } else {
        std::fprintf(stderr, "  %s: not a number\n", who);
    }
}

void expect_same(std::string_view text, int decimals, const char* how, std::optional<float> fast,
                 std::optional<float> slow)
{
    if (same_result(fast, slow)) return;
    std::fprintf(stderr, "readers disagree on [%.*s] read as %s with %d implied decimals\n",
                 static_cast<int>(text.size()), text.data(), how, decimals);
    print_result("tool", fast);
    print_result("slow", slow);
    std::abort();
}

std::optional<float> slow_read_field(std::string_view field, int decimals)
{
    std::string text;
    for (const char c : field) {
        if (c != ' ') text += c;
    }
    if (text.empty()) return 0.0f;
    return slow_read_real(text, decimals);
}

template <class Shape>
void expect_field_read_alike(std::string_view text)
{
    if (text.size() > Shape::width) return;
    const std::string blanks(Shape::width - text.size(), ' ');
    for (const std::string& field : {blanks + std::string(text), std::string(text) + blanks}) {
        const std::optional<float> slow = slow_read_field(field, Shape::decimals);
        float value = 0.0f;
        const bool read = read_real_field<Shape>(field.data(), value);
        expect_same(field, Shape::decimals, "a field", read ? std::optional<float>(value) : std::nullopt, slow);
        if (is_real_field<Shape>(field.data()) != slow.has_value()) {
            std::fprintf(stderr, "is_real_field is wrong on [%s]\n", field.c_str());
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const int decimals : {0, 2, 5}) {
        expect_same(text, decimals, "a text", read_real_text(text, decimals), slow_read_real(text, decimals));
    }
    expect_field_read_alike<WideReal>(text);
    expect_field_read_alike<NarrowReal>(text);
    return 0;
}
