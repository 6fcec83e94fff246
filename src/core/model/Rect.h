// Plane points and rectangles. Coordinates are 32-bit; anything that can leave 32 bits (widths,
// squared distances, offsets) is formed in 64 bits.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zan {

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// left, top, right, bottom, inclusive. The empty rectangle has left = top = 2147483647 and
// right = bottom = -2147483647; the union with any point replaces it.
struct TRect {
    static constexpr std::int32_t kEmptyLow = 2147483647;
    static constexpr std::int32_t kEmptyHigh = -2147483647;

    std::int32_t left = kEmptyLow;
    std::int32_t top = kEmptyLow;
    std::int32_t right = kEmptyHigh;
    std::int32_t bottom = kEmptyHigh;

    static constexpr TRect Empty() { return TRect{}; }
    static constexpr TRect At(std::int32_t x, std::int32_t y) { return TRect{x, y, x, y}; }

    bool IsEmpty() const { return left > right || top > bottom; }
    std::int64_t Width() const { return IsEmpty() ? 0 : std::int64_t{right} - left; }
    std::int64_t Height() const { return IsEmpty() ? 0 : std::int64_t{bottom} - top; }

    void Include(std::int32_t x, std::int32_t y) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    void Include(const TRect& r) {
        if (r.IsEmpty())
            return;
        left = std::min(left, r.left);
        top = std::min(top, r.top);
        right = std::max(right, r.right);
        bottom = std::max(bottom, r.bottom);
    }
    bool Contains(std::int32_t x, std::int32_t y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }

    friend bool operator==(const TRect&, const TRect&) = default;
};

// Clamps a 64-bit intermediate into 32 bits.
constexpr std::int32_t ClampToInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace zan
