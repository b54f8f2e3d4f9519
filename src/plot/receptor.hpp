#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

// Where a data line puts its receptor: its x and y as read.
struct Receptor {
    float x = 0.0f;
    float y = 0.0f;
};

// Two receptors are one place when x and y read as the same values: 1000.0,
// 1000.00000 and 100000000 (five implied decimals) alike, 0 and -0 alike,
// and two NaN alike.
inline bool same_receptor(const Receptor& a, const Receptor& b)
{
    const auto same = [](float u, float v) { return u == v || (u != u && v != v); };
    return same(a.x, b.x) && same(a.y, b.y);
}

// The receptor last read, by the bytes of its x and y, to be given again
// without reading when a line repeats those bytes, as the lines of the
// inputs at one position do.
class ReceptorMemo {
public:
    bool recall(std::string_view bytes, Receptor& receptor) const
    {
        if (bytes.size() != length_ || std::memcmp(bytes.data(), bytes_.data(), length_) != 0) return false;
        receptor = receptor_;
        return true;
    }
    void remember(std::string_view bytes, const Receptor& receptor)
    {
        if (bytes.size() > bytes_.size()) return;
        std::memcpy(bytes_.data(), bytes.data(), bytes.size());
        length_ = bytes.size();
        receptor_ = receptor;
    }

private:
    std::array<char, 64> bytes_{};
    std::size_t length_ = 0;  // nothing remembered
    Receptor receptor_;
};
