#include "render/PlotImage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <memory>

#include "display/Widths.h"
#include "files/NetworkCommands.h"
#include "model/Network.h"
#include "model/WindowSettings.h"
#include "render/BitmapStore.h"
#include "render/Renderer.h"

namespace zan {

namespace {

void Draw(QPainter& painter, TNetwork& net, TWindowSettings& window, const TBitmapStore& bitmaps,
          QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    ComputeWorstSizes(net, window, bitmaps);
    TNetworkRenderer renderer(net, window, bitmaps, Qt::white);
    const TRedrawOptions options = renderer.FitOptions(size);
    // Every unit of the picture, in logical units (the whole sketch pad).
    TRect rect{0, 0, ClampToInt32(static_cast<std::int64_t>(size.width() / options.factor) + 1),
               ClampToInt32(static_cast<std::int64_t>(size.height() / options.factor) + 1)};
    net.Hash.Touch(rect, false, window);
    renderer.RedrawNetwork(painter, rect, options);
}

QString Extension(const QString& path) {
    return QFileInfo(path).suffix().toLower();
}

} // namespace

bool IsPlotExtension(const QString& path) {
    const QString e = Extension(path);
    return e == QLatin1String("png") || e == QLatin1String("svg") || e == QLatin1String("pdf");
}

QImage PlotToImage(TNetwork& net, TWindowSettings& window, const TBitmapStore& bitmaps, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    Draw(painter, net, window, bitmaps, size);
    return image;
}

std::string PlotToFile(TNetwork& net, TWindowSettings& window, const TBitmapStore& bitmaps,
                       const QString& path, QSize size) {
    if (!IsPlotExtension(path))
        return "the picture's name must end in .png, .svg or .pdf";
    if (size.width() < 1 || size.height() < 1)
        return "the picture size must be at least 1 by 1";
    // Hatched and bitmap brushes, fonts and the vector generators need the graphics of a
    // QGuiApplication; without one they would crash.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return "drawing a picture needs a graphical application object";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return "cannot create " + path.toLocal8Bit().toStdString() + ": " + file.errorString().toStdString();
    const QString e = Extension(path);
    bool drawn = true;
    if (e == QLatin1String("png")) {
        drawn = PlotToImage(net, window, bitmaps, size).save(&file, "PNG");
    } else if (e == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Network"));
        QPainter painter;
        drawn = painter.begin(&svg);
        if (drawn) {
            Draw(painter, net, window, bitmaps, size);
            drawn = painter.end();
        }
    } else {
        QPdfWriter pdf(&file);
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(size.width() / 96.0, size.height() / 96.0), QPageSize::Inch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        drawn = painter.begin(&pdf);
        if (drawn) {
            Draw(painter, net, window, bitmaps, size);
            drawn = painter.end();
        }
    }
    if (!drawn) {
        file.cancelWriting();
        return "cannot write the picture " + path.toLocal8Bit().toStdString();
    }
    if (!file.commit())
        return "cannot write " + path.toLocal8Bit().toStdString() + ": " + file.errorString().toStdString();
    return {};
}

int PlotCommand(const QString& out, const QString& file, QSize size, std::ostream& err, TWhenDone whenDone) {
    const TCommandNetwork net(whenDone);
    TWindowSettings window;
    if (!OpenForCommand(file.toLocal8Bit().toStdString(), *net, window, err))
        return 1;
    TBitmapStore bitmaps;
    if (QCoreApplication::instance() != nullptr)
        bitmaps.Load(QCoreApplication::applicationDirPath());
    const std::string failure = PlotToFile(*net, window, bitmaps, out, size);
    if (!failure.empty()) {
        err << failure << "\n";
        return 1;
    }
    return 0;
}

} // namespace zan
