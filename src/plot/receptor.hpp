#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

// The bytes of the receptor (x, y and what stands between) last checked, so
// that a line repeating them, as the lines of the inputs at one position do,
// is not checked again.
class ReceptorMemo {
public:
    bool holds(std::string_view bytes) const
    {
        return bytes.size() == length_ && std::memcmp(bytes.data(), bytes_.data(), length_) == 0;
    }
    void remember(std::string_view bytes)
    {
        if (bytes.size() > bytes_.size()) return;
        std::memcpy(bytes_.data(), bytes.data(), bytes.size());
        length_ = bytes.size();
    }

private:
    std::array<char, 64> bytes_{};
    std::size_t length_ = 0;  // nothing remembered
};
