// Every text that the tool's real reader accepts or refuses, for each number
// of implied decimals in use, must be accepted or refused alike by the slow
// reader, and both must give the same single-precision value.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const int decimals : {0, 2, 5}) {
        const std::optional<float> fast = read_real_text(text, decimals);
        const std::optional<float> slow = slow_read_real(text, decimals);
        if (!same_result(fast, slow)) {
            std::fprintf(stderr, "readers disagree on [%.*s] with %d implied decimals\n", static_cast<int>(size),
                         text.data(), decimals);
            print_result("tool", fast);
            print_result("slow", slow);
            std::abort();
        }
    }
    return 0;
}
