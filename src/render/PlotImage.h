// Whole pictures of a network without a window: fitted into a given size, as the window's saved
// settings show it, into an image or a PNG, SVG or PDF file.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <ostream>
#include <string>

#include "files/NetworkCommands.h"

namespace zan {

class TNetwork;
struct TWindowSettings;
class TBitmapStore;

// The network's extents (plus the sketch pad's margin of 10) fitted into `size`, on white.
QImage PlotToImage(TNetwork& net, TWindowSettings& window, const TBitmapStore& bitmaps, QSize size);

// The same picture written to `path`; the format follows the extension (.png, .svg, .pdf). The
// file is replaced only when the whole picture was written. Returns an empty text, or what failed.
std::string PlotToFile(TNetwork& net, TWindowSettings& window, const TBitmapStore& bitmaps,
                       const QString& path, QSize size);

// Whether `path` ends in an extension PlotToFile writes.
bool IsPlotExtension(const QString& path);

// Reads the network file `file` and plots it to `out`. Messages go to `err`. Returns the exit
// status: 0, or 1 when the file cannot be read or the picture cannot be written.
int PlotCommand(const QString& out, const QString& file, QSize size, std::ostream& err,
                TWhenDone whenDone = TWhenDone::Release);

} // namespace zan
