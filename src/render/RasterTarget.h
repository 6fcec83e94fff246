// Direct drawing into the pixels of an image a QPainter is painting on, for the two primitives a
// large network consists of: one-pixel solid lines and filled rectangles. Going through QPainter
// costs a few hundred nanoseconds a primitive; writing the pixels costs a few nanoseconds a pixel.
// It applies only where the result cannot differ from what the painter would composite: an
// opaque colour over a 32-bit RGB image, no transformation, no antialiasing, plain source-over
// and at most a rectangular clip.
#pragma once

#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QRgb>

#include <cstdint>
#include <optional>

namespace zan {

class TRasterTarget {
public:
    // The image under `painter` when it can be drawn on directly, else nothing. Call again after
    // the painter's state changes (clip, transformation, composition).
    static std::optional<TRasterTarget> For(const QPainter& painter);

    // The pixels from `a` towards `b`, `b` excluded: for a line whose larger extent is n pixels,
    // pixel i (0..n-1) is at the start plus i along the larger axis and plus round(i * minor / n)
    // (halves away from the start) along the other. Only the pixels inside the clip are written.
    void Line(QRgb color, QPoint a, QPoint b) const;
    // The rectangle from `tl` to `br`, both corners included, clipped.
    void Fill(QRgb color, QPoint tl, QPoint br) const;

    const QRect& Clip() const { return clip_; }

private:
    TRasterTarget(std::uint8_t* bits, std::int64_t bytesPerLine, QRect clip)
        : bits_(bits), bytesPerLine_(bytesPerLine), clip_(clip) {}
    QRgb* Row(int y) const { return reinterpret_cast<QRgb*>(bits_ + bytesPerLine_ * y); }

    std::uint8_t* bits_;
    std::int64_t bytesPerLine_;
    QRect clip_;
};

} // namespace zan
