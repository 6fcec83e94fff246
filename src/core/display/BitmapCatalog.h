// The numbered bitmaps that may replace node symbols, polygon fills and link lines. The core only
// asks whether bitmap n of a family exists and how large it is; the renderer holds the pictures.
#pragma once

#include <optional>

namespace zan {

enum class TBitmapFamily { node = 0, fill = 1, link = 2 };

inline constexpr int kBitmapNumbers = 240; // bitmaps 1..240 of each family

struct TBitmapSize {
    int width = 0;
    int height = 0;
};

class TBitmapCatalog {
public:
    virtual ~TBitmapCatalog() = default;
    // The size of bitmap n of a family, or nothing when n is outside 1..240 or was not loaded.
    virtual std::optional<TBitmapSize> Size(TBitmapFamily, int) const { return std::nullopt; }
    bool Exists(TBitmapFamily family, int n) const { return Size(family, n).has_value(); }
    // max(width, height) of an existing bitmap, else 0.
    int LargerSide(TBitmapFamily family, int n) const {
        const auto s = Size(family, n);
        return s ? (s->width > s->height ? s->width : s->height) : 0;
    }
};

} // namespace zan
