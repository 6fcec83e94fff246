#include "render/BitmapStore.h"

#include <QFile>
#include <QFileInfo>

namespace zan {

namespace {

const char* FamilyPrefix(TBitmapFamily family) {
    switch (family) {
    case TBitmapFamily::node:
        return "ZANNode";
    case TBitmapFamily::fill:
        return "ZANFill";
    case TBitmapFamily::link:
        return "ZANLink";
    }
    return "";
}

QRgb KeyColor(const QImage& image) {
    return image.pixel(0, image.height() - 1) | 0xFF000000u;
}

// The image with every pixel of the key colour transparent.
QImage WithKeyTransparent(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = KeyColor(out);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
        }
    }
    return out;
}

} // namespace

bool IsBmp24(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(30);
    if (header.size() < 30 || header[0] != 'B' || header[1] != 'M')
        return false;
    const auto bits = static_cast<unsigned char>(header[28]) | (static_cast<unsigned char>(header[29]) << 8);
    return bits == 24;
}

void TBitmapStore::Load(const QString& folder) {
    for (TBitmapFamily family : {TBitmapFamily::node, TBitmapFamily::fill, TBitmapFamily::link}) {
        for (int n = 1; n <= kBitmapNumbers; ++n) {
            const QString path = folder + "/" + FamilyPrefix(family) + QString::number(n) + ".bmp";
            if (!QFileInfo::exists(path))
                continue;
            if (family == TBitmapFamily::link && !IsBmp24(path))
                continue;
            QImage image;
            if (image.load(path, "BMP"))
                Set(family, n, image);
        }
    }
}

void TBitmapStore::Set(TBitmapFamily family, int n, const QImage& image) {
    if (n < 1 || n > kBitmapNumbers)
        return;
    auto& entries = families_[static_cast<std::size_t>(family)];
    if (entries.empty())
        entries.resize(kBitmapNumbers + 1);
    TEntry& e = entries[static_cast<std::size_t>(n)];
    e.image = image.isNull() || image.width() < 1 || image.height() < 1 ? QImage() : image;
    e.transparent = e.image.isNull() || family == TBitmapFamily::fill ? e.image : WithKeyTransparent(e.image);
}

const TBitmapStore::TEntry* TBitmapStore::Find(TBitmapFamily family, int n) const {
    const auto& entries = families_[static_cast<std::size_t>(family)];
    if (n < 1 || n > kBitmapNumbers || entries.empty())
        return nullptr;
    const TEntry& e = entries[static_cast<std::size_t>(n)];
    return e.image.isNull() ? nullptr : &e;
}

std::optional<TBitmapSize> TBitmapStore::Size(TBitmapFamily family, int n) const {
    const TEntry* e = Find(family, n);
    if (e == nullptr)
        return std::nullopt;
    return TBitmapSize{e->image.width(), e->image.height()};
}

const QImage& TBitmapStore::Image(TBitmapFamily family, int n) const {
    static const QImage none;
    const TEntry* e = Find(family, n);
    return e ? e->image : none;
}

const QImage& TBitmapStore::Transparent(TBitmapFamily family, int n) const {
    static const QImage none;
    const TEntry* e = Find(family, n);
    return e ? e->transparent : none;
}

QImage TBitmapStore::Silhouette(TBitmapFamily family, int n, QRgb color) const {
    const TEntry* e = Find(family, n);
    if (e == nullptr)
        return QImage();
    QImage out = e->image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = KeyColor(out);
    color |= 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
            else
                line[x] = color;
        }
    }
    return out;
}

} // namespace zan
