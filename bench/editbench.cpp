// zan_editbench: what a click costs on a large network: the hit test, the operation and the
// repaint of the rectangle it changed, in a 1920 x 1080 window at 1:24.
//
//   zan_editbench [--nodes N] [--links N] [--clicks N]
//
// Each click lands on a random node of the view, deletes it with its links (hit test plus Node
// Delete) and repaints what the deletion reported; the median and the slowest click are printed.
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "NetworkGenerator.h"
#include "display/Widths.h"
#include "editing/NodeOperations.h"
#include "geometry/Viewport.h"
#include "render/BitmapStore.h"
#include "render/Renderer.h"

using namespace zan;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    bench::TGeneratorOptions options;
    int clicks = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--nodes") == 0)
            options.nodes = std::atoll(argv[i + 1]);
        else if (std::strcmp(argv[i], "--links") == 0)
            options.links = std::atoll(argv[i + 1]);
        else if (std::strcmp(argv[i], "--clicks") == 0)
            clicks = std::max(1, std::atoi(argv[i + 1]));
    }
    auto net = std::make_unique<TNetwork>();
    TWindowSettings window;
    const auto generated = bench::GenerateNetwork(options);
    const std::vector<TNode*> nodes = bench::BuildNetwork(generated, *net, window);
    window.XScroll = 10 - window.XMin;
    window.YScroll = 10 - window.YMin;
    window.ClientWidth = 1920;
    window.ClientHeight = 1080;
    TBitmapStore bitmaps;
    ComputeWorstSizes(*net, window, bitmaps);
    // 1:24, where a view holds about 1,500 nodes to click on.
    ResetZoomCheck(window, 4);
    SetScrollPositions(window, window.HorzRange / 2, window.VertRange / 2);

    QImage image(1920, 1080, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TNetworkRenderer renderer(*net, window, bitmaps);
    renderer.Paint(painter, QRect(0, 0, 1920, 1080));

    std::mt19937 random(7);
    std::vector<double> times;
    int hits = 0;
    for (int c = 0; c < clicks; ++c) {
        // A node of the view, clicked where it is drawn (plus a pixel or two of aim).
        const TPoint topLeft = PixelToPlane(window, 0, 0);
        const TPoint bottomRight = PixelToPlane(window, 1919, 1079);
        TPoint at{0, 0};
        for (int tries = 0; tries < 1000000; ++tries) {
            const TNode* n = nodes[random() % nodes.size()];
            if (n->IsDrawnN && n->x_cent >= topLeft.x && n->x_cent <= bottomRight.x &&
                n->y_cent >= topLeft.y && n->y_cent <= bottomRight.y) {
                at = TPoint{n->x_cent + static_cast<std::int32_t>(random() % 3) - 1,
                            n->y_cent + static_cast<std::int32_t>(random() % 3) - 1};
                break;
            }
        }
        const auto start = Clock::now();
        TNode* node = HitNode(*net, window, at.x, at.y);
        TEditResult result;
        if (node != nullptr) {
            ++hits;
            DoNodeDelete(*net, window, *node, false, result);
        }
        // The window gathers the invalidated rectangles into one paint of their bounds, as here.
        QRect clip;
        for (const TRect& r : result.repaint) {
            if (const auto pixels = RefreshRectangle(window, r, 1))
                clip |= QRect(QPoint(pixels->left, pixels->top), QPoint(pixels->right, pixels->bottom));
        }
        clip &= image.rect();
        if (!clip.isEmpty()) {
            painter.setClipRect(clip);
            painter.fillRect(clip, Qt::white);
            renderer.Paint(painter, clip);
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%d clicks (%d on a node): median %.3f ms, slowest %.3f ms\n", clicks, hits,
                times[times.size() / 2], times.back());
    return 0;
}
