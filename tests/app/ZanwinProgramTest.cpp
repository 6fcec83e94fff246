// Runs the built zanwin program. The options that only print must work on a machine without a
// display, so these cases run it with the X11 platform and no DISPLAY: had it created its
// application object, it would have aborted.

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QProcessEnvironment>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "TestNetworks.h"
#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace {

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env;
}

struct TRunCase {
    const char* Name;
    QStringList Args;
    int ExitCode;
    std::string StdoutStartsWith;
    std::string StderrContains; // empty: stderr must be empty
};

void PrintTo(const TRunCase& c, std::ostream* os) {
    *os << c.Name;
}

class ZanwinWithoutDisplay : public ::testing::TestWithParam<TRunCase> {};

TEST_P(ZanwinWithoutDisplay, PrintsAndExits) {
    const TRunCase& c = GetParam();
    QProcess process;
    process.setProcessEnvironment(WithoutDisplay());
    process.start(QStringLiteral(ZANWIN_PROGRAM), c.Args);
    ASSERT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    const std::string out = process.readAllStandardOutput().toStdString();
    const std::string err = process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), c.ExitCode) << err;
    EXPECT_EQ(out.substr(0, c.StdoutStartsWith.size()), c.StdoutStartsWith);
    if (c.StdoutStartsWith.empty()) {
        EXPECT_EQ(out, "");
    }
    if (c.StderrContains.empty()) {
        EXPECT_EQ(err, "");
    } else {
        EXPECT_NE(err.find(c.StderrContains), std::string::npos) << err;
        EXPECT_NE(err.find("Usage: zanwin"), std::string::npos) << err;
    }
}

const std::vector<TRunCase> kRuns = {
    {"Version", {"--version"}, 0, "zanwin " ZAN_VERSION "\n", ""},
    {"Help", {"--help"}, 0, "Usage: zanwin [OPTIONS] [FILE]\n", ""},
    {"HelpWithFile", {"net.dt", "-h"}, 0, "Usage: zanwin", ""},
    {"UnknownOption", {"--frobnicate"}, 1, "", "zanwin: unknown option '--frobnicate'"},
    {"TwoFiles", {"a.dt", "b.dt"}, 1, "", "zanwin: only one file"},
};

INSTANTIATE_TEST_SUITE_P(Table, ZanwinWithoutDisplay, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<TRunCase>& info) {
                             return std::string(info.param.Name);
                         });

struct TRun {
    int exitCode;
    std::string out, err;
};

TRun RunZanwin(const QStringList& args) {
    QProcess process;
    process.setProcessEnvironment(WithoutDisplay());
    process.start(QStringLiteral(ZANWIN_PROGRAM), args);
    EXPECT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// --info and --save-as work on network files without a display.
TEST(Zanwin, SummarisesAndConvertsNetworkFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string net9 = dir.filePath(QStringLiteral("net.dta")).toStdString();
    {
        zan::TNetwork net;
        zan::TWindowSettings window;
        net.NodeDef.Classs[1].ename = "Zone";
        net.NodeDef.Classs[1].atcount = 2;
        net.InitialNode.NType = 1;
        zan::THashEntry* cell = nullptr;
        zan::TNode* a = net.Hash.InsertNode(0, 0, 2, true, cell);
        zan::TNode* b = net.Hash.InsertNode(300, -40, 2, true, cell);
        zan::TLink* l1 = nullptr;
        zan::TLink* l2 = nullptr;
        zan::TLinkValues* link = net.Hash.InsertLink(*a, *b, l1, l2, 0, true);
        net.Hash.InsertShapePoint(150, 20, *link, 0);
        net.Hash.fixrectangles(window);
        ASSERT_EQ(zan::SaveNetworkFile(net9, net, window, 9).code, zan::kFileOK);
    }

    const TRun info = RunZanwin({QStringLiteral("--info"), QString::fromStdString(net9)});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.out, "version: 9\nnodes: 2\nlinks: 1\nshape points: 1\npolygons: 0\n"
                        "node type 1: Zone, 2 attributes\nextents: 0 -40 300 0\n");

    const QString net5 = dir.filePath(QStringLiteral("net.dt4"));
    const TRun saved = RunZanwin({QStringLiteral("--save-as"), net5, QStringLiteral("--version"),
                                  QStringLiteral("5"), QString::fromStdString(net9)});
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    const TRun info5 = RunZanwin({QStringLiteral("--info"), net5});
    // Version 5 has no shape points.
    const std::string head5 = "version: 5\nnodes: 2\nlinks: 1\nshape points: 0\npolygons: 0\n";
    EXPECT_EQ(info5.out.substr(0, head5.size()), head5);

    const TRun bad = RunZanwin({QStringLiteral("--info"), dir.filePath(QStringLiteral("missing.dta"))});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "Network will be closed. (Network Read Error 1)\n");
}

// --plot draws a network file into a picture without a display.
TEST(Zanwin, PlotsANetworkFileIntoAPicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string file = dir.filePath(QStringLiteral("plot.dta")).toStdString();
    ASSERT_TRUE(zan::testing::SaveTwoNodeNetwork(file, 600, 400));
    zan::TNetwork read;
    zan::TWindowSettings window;
    ASSERT_EQ(zan::OpenNetworkFile(file, read, window).code, zan::kFileOK);
    // The sketch pad (extents plus 10 on every side) fitted into 200 x 150.
    const double f =
        std::min(200.0 / (window.XMax - window.XMin + 20), 150.0 / (window.YMax - window.YMin + 20));
    const auto pixel = [&](int x, int y) {
        return QPoint(static_cast<int>(std::nearbyint((x - window.XMin + 10) * f)),
                      static_cast<int>(std::nearbyint((y - window.YMin + 10) * f)));
    };

    const QString png = dir.filePath(QStringLiteral("plot.png"));
    const TRun run = RunZanwin({QStringLiteral("--plot"), png, QStringLiteral("--size"),
                                QStringLiteral("200x150"), QString::fromStdString(file)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(200, 150));
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_NE(image.pixel(pixel(0, 0)), white);     // node A
    EXPECT_NE(image.pixel(pixel(600, 400)), white); // node B
    EXPECT_NE(image.pixel(pixel(300, 200)), white); // the middle of the link
    EXPECT_EQ(image.pixel(pixel(600, 0)), white);   // nothing at the other corners
    EXPECT_EQ(image.pixel(pixel(0, 400)), white);

    for (const char* ext : {"svg", "pdf"}) {
        const QString out = dir.filePath(QStringLiteral("plot.") + QLatin1String(ext));
        const TRun vector = RunZanwin({QStringLiteral("--plot"), out, QString::fromStdString(file)});
        EXPECT_EQ(vector.exitCode, 0) << ext << ": " << vector.err;
        QFile written(out);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << ext;
        const QByteArray head = written.read(64);
        EXPECT_TRUE(head.contains(std::string(ext) == "svg" ? "<?xml" : "%PDF")) << head.toStdString();
    }

    const TRun missing =
        RunZanwin({QStringLiteral("--plot"), png, dir.filePath(QStringLiteral("missing.dta"))});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Network will be closed. (Network Read Error 1)\n");
    EXPECT_EQ(QImage(png).size(), QSize(200, 150)); // the earlier picture stays

    const TRun badName = RunZanwin(
        {QStringLiteral("--plot"), dir.filePath(QStringLiteral("plot.bmp")), QString::fromStdString(file)});
    EXPECT_EQ(badName.exitCode, 1);
    EXPECT_NE(badName.err.find(".png, .svg or .pdf"), std::string::npos) << badName.err;
}

// The bundled sample, with hatched and filled zones, plots into every format; what is written
// opens in other programs' readers.
TEST(Zanwin, PlotsTheSampleInEveryFormat) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString sample = QStringLiteral(ZAN_EXAMPLES "/sample.dta");
    const QSize size(800, 600);
    const QString sizeText = QStringLiteral("800x600");
    const QRgb white = qRgb(255, 255, 255);
    auto drawnPixels = [&](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) != white ? 1 : 0;
        return n;
    };

    const QString png = dir.filePath(QStringLiteral("town.png"));
    const TRun pngRun =
        RunZanwin({QStringLiteral("--plot"), png, QStringLiteral("--size"), sizeText, sample});
    ASSERT_EQ(pngRun.exitCode, 0) << pngRun.err;
    const QImage raster(png);
    ASSERT_EQ(raster.size(), size);
    const int drawn = drawnPixels(raster.convertToFormat(QImage::Format_RGB32));
    EXPECT_GT(drawn, size.width() * size.height() / 10); // roads and zones cover the picture

    const QString svg = dir.filePath(QStringLiteral("town.svg"));
    const TRun svgRun =
        RunZanwin({QStringLiteral("--plot"), svg, QStringLiteral("--size"), sizeText, sample});
    ASSERT_EQ(svgRun.exitCode, 0) << svgRun.err;
    {
        // Well-formed XML whose every url(#id) names an element the file defines.
        QFile file(svg);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QSet<QString> ids, used;
        const QRegularExpression url(QStringLiteral("url\\(#([^)]+)\\)"));
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (a.name() == QLatin1String("id"))
                    ids.insert(a.value().toString());
                for (auto m = url.globalMatch(a.value().toString()); m.hasNext();)
                    used.insert(m.next().captured(1));
            }
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_FALSE(used.isEmpty()); // the hatched zones refer to their patterns
        for (const QString& id : used)
            EXPECT_TRUE(ids.contains(id)) << id.toStdString();
    }
    QSvgRenderer reader(svg);
    ASSERT_TRUE(reader.isValid());
    EXPECT_EQ(reader.viewBox(), QRect(QPoint(0, 0), size));
    QImage vector(size, QImage::Format_RGB32);
    vector.fill(white);
    {
        QPainter painter(&vector);
        reader.render(&painter);
    }
    // The same picture, up to antialiasing at the edges of lines and the hatches this renderer
    // leaves out.
    EXPECT_NEAR(drawnPixels(vector), drawn, drawn / 5);

    const QString pdf = dir.filePath(QStringLiteral("town.pdf"));
    const TRun pdfRun =
        RunZanwin({QStringLiteral("--plot"), pdf, QStringLiteral("--size"), sizeText, sample});
    ASSERT_EQ(pdfRun.exitCode, 0) << pdfRun.err;
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000)) << "pdfinfo (poppler-utils) must be installed";
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_EQ(info.exitCode(), 0) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << text.toStdString();
    // 800 x 600 pixels at 96 per inch: 600 x 450 points.
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Page size:\\s+600 x 450 pts"))))
        << text.toStdString();
}

// --screenshot starts the editor with a network and saves a picture of its window.
TEST(Zanwin, TakesAScreenshotOfTheEditorWithANetwork) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string file = dir.filePath(QStringLiteral("shot.dta")).toStdString();
    ASSERT_TRUE(zan::testing::SaveTwoNodeNetwork(file, 400, 300));
    const QString shot = dir.filePath(QStringLiteral("shot.png"));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZANWIN_PROGRAM),
                  {QStringLiteral("--screenshot"), shot, QString::fromStdString(file)});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 640);
    // The blue link of the network is in the picture.
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            blue += image.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
    EXPECT_GT(blue, 100);
}

// With a display (here the offscreen one) and a file name, the editor starts and keeps running.
TEST(Zanwin, StartsWithAFileArgument) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZANWIN_PROGRAM), {QStringLiteral("no-such-network.dt")});
    ASSERT_TRUE(process.waitForStarted(10000)) << process.errorString().toStdString();
    EXPECT_FALSE(process.waitForFinished(2000))
        << "exited with " << process.exitCode() << ": " << process.readAllStandardError().toStdString();
    process.kill();
    process.waitForFinished(10000);
}

} // namespace
