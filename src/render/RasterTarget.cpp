#include "render/RasterTarget.h"

#include <QImage>
#include <QPaintEngine>
#include <QRegion>

#include <algorithm>

namespace zan {

std::optional<TRasterTarget> TRasterTarget::For(const QPainter& painter) {
    if (!painter.isActive() || painter.device() == nullptr || painter.device()->devType() != QInternal::Image)
        return std::nullopt;
    const auto* image = static_cast<const QImage*>(painter.device());
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return std::nullopt;
    if (!painter.deviceTransform().isIdentity() || painter.testRenderHint(QPainter::Antialiasing) ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || painter.opacity() != 1.0)
        return std::nullopt;
    QRect clip = image->rect();
    if (painter.hasClipping()) {
        const QRegion region = painter.clipRegion();
        if (region.rectCount() > 1)
            return std::nullopt;
        clip = clip.intersected(region.boundingRect());
    }
    // The painter draws into the image's own buffer; write there too, without detaching it.
    auto* bits = const_cast<std::uint8_t*>(image->constBits());
    return TRasterTarget(bits, image->bytesPerLine(), clip);
}

namespace {

// floor(a / b) for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && (a < 0))
        --q;
    return q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return -FloorDiv(-a, b);
}

} // namespace

void TRasterTarget::Line(QRgb color, QPoint a, QPoint b) const {
    if (clip_.isEmpty())
        return;
    color |= 0xFF000000u;
    const std::int64_t dx = std::int64_t{b.x()} - a.x();
    const std::int64_t dy = std::int64_t{b.y()} - a.y();
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const std::int64_t n = xMajor ? std::abs(dx) : std::abs(dy); // pixels, b excluded
    if (n == 0)
        return;
    const std::int64_t m = xMajor ? std::abs(dy) : std::abs(dx);
    const int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t major0 = xMajor ? a.x() : a.y();
    const std::int64_t minor0 = xMajor ? a.y() : a.x();
    const std::int64_t majorLo = xMajor ? clip_.left() : clip_.top();
    const std::int64_t majorHi = xMajor ? clip_.right() : clip_.bottom();
    const std::int64_t minorLo = xMajor ? clip_.top() : clip_.left();
    const std::int64_t minorHi = xMajor ? clip_.bottom() : clip_.right();

    // Steps i whose major coordinate is inside the clip.
    std::int64_t iLo = 0, iHi = n - 1;
    if (sMajor > 0) {
        iLo = std::max(iLo, majorLo - major0);
        iHi = std::min(iHi, majorHi - major0);
    } else {
        iLo = std::max(iLo, major0 - majorHi);
        iHi = std::min(iHi, major0 - majorLo);
    }
    // The minor offset of step i is k(i) = floor((2 i m + n) / (2 n)); keep the steps whose k is in
    // the clip's range of offsets.
    const std::int64_t kLo = sMinor > 0 ? minorLo - minor0 : minor0 - minorHi;
    const std::int64_t kHi = sMinor > 0 ? minorHi - minor0 : minor0 - minorLo;
    if (m == 0) {
        if (kLo > 0 || kHi < 0)
            return;
    } else {
        iLo = std::max(iLo, CeilDiv(2 * n * kLo - n, 2 * m));
        iHi = std::min(iHi, CeilDiv(2 * n * (kHi + 1) - n, 2 * m) - 1);
    }
    if (iLo > iHi)
        return;
    // Walk with an error term: k increases when 2 i m + n reaches the next multiple of 2 n.
    std::int64_t k = FloorDiv(2 * iLo * m + n, 2 * n);
    std::int64_t err = (2 * iLo * m + n) - 2 * n * k; // 0 <= err < 2n
    std::int64_t major = major0 + sMajor * iLo;
    for (std::int64_t i = iLo; i <= iHi; ++i) {
        const std::int64_t minor = minor0 + sMinor * k;
        if (xMajor)
            Row(static_cast<int>(minor))[major] = color;
        else
            Row(static_cast<int>(major))[minor] = color;
        major += sMajor;
        err += 2 * m;
        if (err >= 2 * n) {
            err -= 2 * n;
            ++k;
        }
    }
}

void TRasterTarget::Fill(QRgb color, QPoint tl, QPoint br) const {
    const QRect r = QRect(tl, br).normalized().intersected(clip_);
    if (r.isEmpty())
        return;
    color |= 0xFF000000u;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill_n(Row(y) + r.left(), r.width(), color);
}

} // namespace zan
