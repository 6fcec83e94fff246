// zan_renderbench: what a repaint costs on a large network.
//
//   zan_renderbench [--nodes N] [--links N] [--runs N] [--no-full]
//
// Builds a generated network (by default 1,000,000 nodes and 1,500,000 links with one shape point a
// link on average and 100 polygons) and times, into a 1920 x 1080 image:
//   full   the whole network fitted into the image (the command-line plot)
//   pan    a screen repaint at 1:72, which shows about 1% of the network, at the centre
//   zoom   a screen repaint at 1:1 at the centre
// Each figure is the median of the runs; the repaints include marking the cells to draw.
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "NetworkGenerator.h"
#include "display/Widths.h"
#include "geometry/Viewport.h"
#include "render/BitmapStore.h"
#include "render/PlotImage.h"
#include "render/Renderer.h"

using namespace zan;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Counts the pixels that are not white, to show that something was drawn.
long Drawn(const QImage& image) {
    long n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            n += (line[x] & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
    }
    return n;
}

} // namespace

int main(int argc, char** argv) {
    bench::TGeneratorOptions options;
    int runs = 5;
    bool full = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-full") == 0)
            full = false;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--no-full") == 0) {
            --i;
            continue;
        }
        if (std::strcmp(argv[i], "--nodes") == 0)
            options.nodes = std::atoll(argv[i + 1]);
        else if (std::strcmp(argv[i], "--links") == 0)
            options.links = std::atoll(argv[i + 1]);
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    auto net = std::make_unique<TNetwork>();
    TWindowSettings window;
    const auto generated = bench::GenerateNetwork(options);
    bench::BuildNetwork(generated, *net, window);
    window.XScroll = 10 - window.XMin;
    window.YScroll = 10 - window.YMin;
    TBitmapStore bitmaps;
    ComputeWorstSizes(*net, window, bitmaps);
    std::printf("network: %lld nodes, %lld links, extents %d..%d x %d..%d, %d cells of %d x %d\n",
                static_cast<long long>(options.nodes), static_cast<long long>(options.links), window.XMin,
                window.XMax, window.YMin, window.YMax, net->Hash.Count(), net->Hash.MyXCellSize,
                net->Hash.MyYCellSize);

    const QSize size(1920, 1080);
    QImage image(size, QImage::Format_RGB32);

    std::vector<double> fullTimes;
    for (int r = 0; full && r < runs; ++r) {
        const auto start = Clock::now();
        image = PlotToImage(*net, window, bitmaps, size);
        fullTimes.push_back(Ms(start));
    }
    if (full)
        std::printf("full   %8.1f ms  (%ld pixels drawn)\n", Median(fullTimes), Drawn(image));
    if (const char* dump = std::getenv("ZAN_RENDERBENCH_DUMP"))
        image.save(QString::fromLocal8Bit(dump) + "-full.png");

    window.ClientWidth = size.width();
    window.ClientHeight = size.height();
    for (const auto& [name, zoom] : {std::pair{"pan ", 1}, std::pair{"zoom", 13}}) {
        ResetZoomCheck(window, zoom);
        // Centre the view on the middle of the network.
        SetScrollPositions(window, (window.HorzRange - size.width()) / 2,
                           (window.VertRange - size.height()) / 2);
        TNetworkRenderer renderer(*net, window, bitmaps);
        std::vector<double> times;
        for (int r = 0; r < runs; ++r) {
            image.fill(Qt::white);
            QPainter painter(&image);
            const auto start = Clock::now();
            renderer.Paint(painter, QRect(QPoint(0, 0), size));
            times.push_back(Ms(start));
        }
        std::vector<double> touch;
        for (int r = 0; r < runs; ++r) {
            const auto start = Clock::now();
            net->Hash.Touch(VisiblePlaneArea(window, TRect{0, 0, size.width() - 1, size.height() - 1}), false,
                            window);
            touch.push_back(Ms(start));
        }
        std::printf("%s   %8.2f ms  (%ld pixels drawn; marking the cells %.2f ms)\n", name, Median(times),
                    Drawn(image), Median(touch));
        if (const char* dump = std::getenv("ZAN_RENDERBENCH_DUMP"))
            image.save(QString::fromLocal8Bit(dump) + "-" + QString::fromLatin1(name).trimmed() + ".png");
    }
    return 0;
}
