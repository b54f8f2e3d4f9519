#include "map/ticks.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "map/svg_text.hpp"
#include "number/powers_of_ten.hpp"

namespace {

// 10 to the power exponent, exact for |exponent| up to 22; beyond, further
// multiplications by 10.
double power_of_ten(int exponent)
{
    const std::size_t magnitude = static_cast<std::size_t>(exponent < 0 ? -exponent : exponent);
    const std::size_t exact = std::min(magnitude, kPowersOfTen.size() - 1);
    double power = kPowersOfTen[exact];
    for (std::size_t i = exact; i < magnitude; ++i) power *= 10.0;
    return exponent < 0 ? 1.0 / power : power;
}

// The label of a digit times a power of ten, built as text so that it is
// exact: "2000", "0.05", and "5e-7" beyond a few places.
std::string scaled_digit_label(int digit, int exponent)
{
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on a char + std::string.
    const char first = static_cast<char>('0' + digit);
    std::string label;
    if (exponent > 6 || exponent < -4) {
        label += first;
        label += 'e';
        label += std::to_string(exponent);
    } else if (exponent >= 0) {
        label += first;
        label.append(static_cast<std::size_t>(exponent), '0');
    } else {
        label += "0.";
        label.append(static_cast<std::size_t>(-exponent - 1), '0');
        label += first;
    }
    return label;
}

}  // namespace

std::string significant_text(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 3);
    return std::string(text, result.ptr);
}

std::vector<Tick> round_ticks(double low, double high, int wanted)
{
    if (!(high > low) || !std::isfinite(high - low)) return {{low, decimal_text(low, 2)}};
    const double rough = (high - low) / (wanted < 1 ? 1 : wanted);
    int exponent = static_cast<int>(std::floor(std::log10(rough)));
    int multiple = 1;
    for (;;) {
        const double step = multiple * power_of_ten(exponent);
        if (step >= rough * (1 - 1e-9)) break;
        if (multiple == 1) {
            multiple = 2;
        } else if (multiple == 2) {
            multiple = 5;
        } else {
            multiple = 1;
            ++exponent;
        }
    }
    // value k * multiple * 10^exponent, formed so that it is the double nearest that decimal.
    const auto at = [&](long long k) {
        return exponent < 0 ? static_cast<double>(k * multiple) / power_of_ten(-exponent)
                            : static_cast<double>(k * multiple) * power_of_ten(exponent);
    };
    const double step = multiple * power_of_ten(exponent);
    const auto first = static_cast<long long>(std::ceil(low / step - 1e-9));
    const auto last = static_cast<long long>(std::floor(high / step + 1e-9));
    const int decimals = exponent < 0 ? -exponent : 0;
    std::vector<Tick> ticks;
    for (long long k = first; k <= last; ++k) ticks.push_back({at(k), decimal_text(at(k), decimals)});
    return ticks;
}

std::vector<Tick> decade_ticks(double log_low, double log_high)
{
    constexpr double kSlack = 1e-9;
    const auto first = static_cast<int>(std::ceil(log_low - kSlack));
    const auto last = static_cast<int>(std::floor(log_high + kSlack));
    std::vector<Tick> ticks;
    if (last - first >= 1) {
        const int count = last - first + 1;
        const int stride = count > 20 ? 5 : count > 10 ? 2 : 1;
        for (int exponent = first; exponent <= last; ++exponent) {
            if ((exponent - first) % stride == 0) ticks.push_back({static_cast<double>(exponent), scaled_digit_label(1, exponent)});
        }
        return ticks;
    }
    for (int exponent = first - 1; exponent <= last; ++exponent) {
        for (const int multiple : {1, 2, 5}) {
            const double place = exponent + std::log10(static_cast<double>(multiple));
            if (place < log_low - kSlack || place > log_high + kSlack) continue;
            ticks.push_back({place, scaled_digit_label(multiple, exponent)});
        }
    }
    if (ticks.size() >= 2) return ticks;
    ticks.clear();
    ticks.push_back({log_low, significant_text(std::pow(10.0, log_low))});
    if (log_high > log_low) ticks.push_back({log_high, significant_text(std::pow(10.0, log_high))});
    return ticks;
}
