// The fixed ladder of eighteen zoom states of a sketch window.
#pragma once

#include <array>
#include <cstdint>

namespace zan {

struct TZoomRow {
    const char* caption;
    std::int32_t numerator;
    std::int32_t denominator;
    std::int32_t scrollstep; // pixels moved by one click on a scroll-bar arrow
    std::int32_t handlesize; // side of the drag handle in pixels
};

inline constexpr int kZoomStates = 18;
inline constexpr int kDefaultZoomState = 13; // 1:1

inline constexpr std::array<TZoomRow, kZoomStates> kZoomTable{{
    {"1:72", 1, 72, 8, 7},
    {"1:48", 1, 48, 8, 7},
    {"1:36", 1, 36, 8, 7},
    {"1:24", 1, 24, 8, 7},
    {"1:18", 1, 18, 8, 7},
    {"1:12", 1, 12, 8, 7},
    {"1:9", 1, 9, 8, 7},
    {"1:6", 1, 6, 8, 7},
    {"1:4", 1, 4, 8, 7},
    {"1:3", 1, 3, 8, 7},
    {"1:2", 1, 2, 8, 7},
    {"3:4", 3, 4, 12, 7},
    {"1:1", 1, 1, 16, 7},
    {"3:2", 3, 2, 24, 9},
    {"2:1", 2, 1, 32, 13},
    {"3:1", 3, 1, 48, 21},
    {"4:1", 4, 1, 64, 27},
    {"6:1", 6, 1, 96, 41},
}};

// The row of a zoom state; a state outside 1..18 reads as the default 1:1.
constexpr const TZoomRow& ZoomRow(int state) {
    return kZoomTable[(state >= 1 && state <= kZoomStates) ? state - 1 : kDefaultZoomState - 1];
}

// Pixels per plane unit at a zoom state: round(numerator * 288 / denominator) / 288, exact for every
// row (the division by a power-of-two multiple of 9 is the only rounding, and 288 = 32 * 9).
constexpr double ViewportFactor(int state) {
    const TZoomRow& row = ZoomRow(state);
    const std::int32_t scaled = (row.numerator * 288 + row.denominator / 2) / row.denominator;
    return scaled / 288.0;
}

} // namespace zan
