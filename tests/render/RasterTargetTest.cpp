// Direct pixel drawing: which painters allow it, and which pixels a line covers, clipped or not.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

#include "render/RasterTarget.h"

namespace zan {
namespace {

const QRgb kInk = qRgb(200, 10, 10);

// The pixels of the line by its definition: step i of n along the larger axis, the other axis at
// floor((2 i m + n) / (2 n)) of its extent m.
QImage Reference(QSize size, QPoint a, QPoint b, QRect clip) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const std::int64_t dx = b.x() - a.x(), dy = b.y() - a.y();
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const std::int64_t n = xMajor ? std::abs(dx) : std::abs(dy);
    const std::int64_t m = xMajor ? std::abs(dy) : std::abs(dx);
    for (std::int64_t i = 0; i < n; ++i) {
        const std::int64_t k = (2 * i * m + n) / (2 * n);
        const std::int64_t x = xMajor ? a.x() + (dx < 0 ? -i : i) : a.x() + (dx < 0 ? -k : k);
        const std::int64_t y = xMajor ? a.y() + (dy < 0 ? -k : k) : a.y() + (dy < 0 ? -i : i);
        if (clip.contains(static_cast<int>(x), static_cast<int>(y)))
            image.setPixel(static_cast<int>(x), static_cast<int>(y), kInk);
    }
    return image;
}

TEST(RasterTarget, LinesCoverTheirDefinedPixelsInsideTheClip) {
    const QSize size(64, 48);
    const QRect clip(8, 6, 40, 30);
    struct Case {
        QPoint a, b;
    };
    const Case cases[] = {
        {{10, 10}, {40, 10}},       // horizontal
        {{20, 40}, {20, 2}},        // vertical, upwards, leaving the clip
        {{10, 10}, {40, 25}},       // shallow
        {{40, 30}, {12, 8}},        // shallow, backwards
        {{30, 5}, {22, 45}},        // steep
        {{-500, -300}, {900, 700}}, // far outside at both ends, crossing the clip
        {{-1000, 20}, {1000, 21}},  // nearly horizontal, very long
        {{100, 100}, {200, 120}},   // entirely outside
        {{47, 35}, {48, 36}},       // one pixel at the clip's corner
    };
    for (const Case& c : cases) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setClipRect(clip);
            const auto target = TRasterTarget::For(painter);
            ASSERT_TRUE(target.has_value());
            EXPECT_EQ(target->Clip(), clip);
            target->Line(kInk, c.a, c.b);
        }
        EXPECT_EQ(image, Reference(size, c.a, c.b, clip))
            << c.a.x() << "," << c.a.y() << " " << c.b.x() << "," << c.b.y();
    }
}

TEST(RasterTarget, FillIncludesBothCornersAndStaysInTheImage) {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const auto target = TRasterTarget::For(painter);
        ASSERT_TRUE(target.has_value());
        target->Fill(kInk, QPoint(2, 3), QPoint(4, 5));
        target->Fill(kInk, QPoint(18, 8), QPoint(100, 100));
    }
    int inked = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            inked += image.pixel(x, y) == kInk ? 1 : 0;
    EXPECT_EQ(inked, 9 + 4);
    EXPECT_EQ(image.pixel(4, 5), kInk);
    EXPECT_EQ(image.pixel(19, 9), kInk);
}

TEST(RasterTarget, OnlyPaintersWhoseResultItMatches) {
    struct Case {
        const char* name;
        QImage::Format format;
        void (*setup)(QPainter&);
        bool direct;
    };
    const Case cases[] = {
        {"plain", QImage::Format_RGB32, [](QPainter&) {}, true},
        {"rectangular clip", QImage::Format_ARGB32_Premultiplied,
         [](QPainter& p) { p.setClipRect(1, 1, 5, 5); }, true},
        {"other format", QImage::Format_RGB888, [](QPainter&) {}, false},
        {"antialiased", QImage::Format_RGB32, [](QPainter& p) { p.setRenderHint(QPainter::Antialiasing); },
         false},
        {"translated", QImage::Format_RGB32, [](QPainter& p) { p.translate(3, 0); }, false},
        {"exclusive-or", QImage::Format_RGB32,
         [](QPainter& p) { p.setCompositionMode(QPainter::RasterOp_SourceXorDestination); }, false},
        {"translucent", QImage::Format_RGB32, [](QPainter& p) { p.setOpacity(0.5); }, false},
        {"two clip rectangles", QImage::Format_RGB32,
         [](QPainter& p) { p.setClipRegion(QRegion(0, 0, 2, 2) + QRegion(5, 5, 2, 2)); }, false},
    };
    for (const Case& c : cases) {
        QImage image(16, 16, c.format);
        QPainter painter(&image);
        c.setup(painter);
        EXPECT_EQ(TRasterTarget::For(painter).has_value(), c.direct) << c.name;
    }
}

} // namespace
} // namespace zan
