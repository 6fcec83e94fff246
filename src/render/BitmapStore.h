// The numbered bitmaps placed beside the program: node symbols ("ZANNode<n>.bmp"), polygon fill
// patterns ("ZANFill<n>.bmp") and link stamps ("ZANLink<n>.bmp", 24 bits per pixel only), n =
// 1..240. They are loaded once; a missing or unreadable file leaves its number empty.
#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <vector>

#include "display/BitmapCatalog.h"

namespace zan {

class TBitmapStore final : public TBitmapCatalog {
public:
    TBitmapStore() = default;
    // Loads every family from `folder` (normally the program's own folder).
    void Load(const QString& folder);
    // Puts one bitmap in place (loading code and tests); a null image empties the number.
    void Set(TBitmapFamily family, int n, const QImage& image);

    std::optional<TBitmapSize> Size(TBitmapFamily family, int n) const override;

    // The bitmap as loaded, or a null image.
    const QImage& Image(TBitmapFamily family, int n) const;
    // Node and link bitmaps with their key colour (the bottom-left pixel) made transparent.
    const QImage& Transparent(TBitmapFamily family, int n) const;
    // The silhouette of a node or link bitmap: every pixel but the key colour in `color`, the key
    // pixels transparent (also when `color` is the key colour itself).
    QImage Silhouette(TBitmapFamily family, int n, QRgb color) const;

private:
    struct TEntry {
        QImage image;
        QImage transparent;
    };
    const TEntry* Find(TBitmapFamily family, int n) const;
    std::array<std::vector<TEntry>, 3> families_;
};

// Whether a BMP file's header says 24 bits per pixel.
bool IsBmp24(const QString& path);

} // namespace zan
