#include "app/CommandLine.h"

#include <algorithm>
#include <array>

namespace zan {

namespace {

// Options QGuiApplication and QApplication take out of argv themselves. Qt accepts each with one
// or two leading dashes.
constexpr std::array kQtOptionsWithValue = {
    "platform",        "platformpluginpath", "platformtheme", "plugin", "display",    "geometry",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "style",  "stylesheet", "session"};
constexpr std::array kQtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

template <std::size_t N> bool Contains(const std::array<const char*, N>& names, const QString& name) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == QLatin1String(n); });
}

// The largest picture side --size accepts: a 16384 x 16384 image already takes a gigabyte.
constexpr int kMaxPlotSide = 16384;

bool IsNetworkVersion(int v) {
    return v == 1 || (v >= 3 && v <= 9);
}

// An option's name without its one or two leading dashes.
QString QtOptionName(const QString& arg) {
    if (arg.startsWith(QLatin1String("--"))) {
        return arg.mid(2);
    }
    return arg.mid(1);
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& args) {
    TCommandLine result;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.startsWith(QLatin1Char('-'));
        if (!isOption) {
            if (!result.File.isEmpty()) {
                result.Action = TCommandLine::EAction::Error;
                result.ErrorMessage =
                    QStringLiteral("only one file can be opened, got '%1' and '%2'").arg(result.File, arg);
                return result;
            }
            result.File = arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            result.Action = TCommandLine::EAction::ShowHelp;
            return result;
        } else if (arg == QLatin1String("--version") && result.Action == TCommandLine::EAction::SaveAs) {
            // After --save-as, --version names the network file version to write.
            bool ok = false;
            const int version = i + 1 < args.size() ? args.at(i + 1).toInt(&ok) : 0;
            if (!ok || !IsNetworkVersion(version)) {
                result.Action = TCommandLine::EAction::Error;
                result.ErrorMessage =
                    QStringLiteral("--version needs a network file version: 1, 3, 4, 5, 6, 7, 8 or 9");
                return result;
            }
            result.Version = version;
            ++i;
        } else if (arg == QLatin1String("--version")) {
            result.Action = TCommandLine::EAction::ShowVersion;
            return result;
        } else if (arg == QLatin1String("--info")) {
            result.Action = TCommandLine::EAction::Info;
        } else if (arg == QLatin1String("--save-as")) {
            if (i + 1 >= args.size()) {
                result.Action = TCommandLine::EAction::Error;
                result.ErrorMessage = QStringLiteral("option '--save-as' needs the file to write");
                return result;
            }
            result.Action = TCommandLine::EAction::SaveAs;
            result.Output = args.at(++i);
        } else if (arg == QLatin1String("--plot")) {
            if (i + 1 >= args.size()) {
                result.Action = TCommandLine::EAction::Error;
                result.ErrorMessage = QStringLiteral("option '--plot' needs the picture to write");
                return result;
            }
            result.Action = TCommandLine::EAction::Plot;
            result.Output = args.at(++i);
        } else if (arg == QLatin1String("--screenshot")) {
            if (i + 1 >= args.size()) {
                result.Action = TCommandLine::EAction::Error;
                result.ErrorMessage = QStringLiteral("option '--screenshot' needs the picture to write");
                return result;
            }
            result.Action = TCommandLine::EAction::Screenshot;
            result.Output = args.at(++i);
        } else if (arg == QLatin1String("--size")) {
            const QStringList parts =
                i + 1 < args.size() ? args.at(i + 1).split(QLatin1Char('x')) : QStringList();
            bool okW = false, okH = false;
            const int w = parts.size() == 2 ? parts[0].toInt(&okW) : 0;
            const int h = parts.size() == 2 ? parts[1].toInt(&okH) : 0;
            if (!okW || !okH || w < 1 || h < 1 || w > kMaxPlotSide || h > kMaxPlotSide) {
                result.Action = TCommandLine::EAction::Error;
                result.ErrorMessage =
                    QStringLiteral("--size needs WIDTHxHEIGHT in pixels, each 1 to %1").arg(kMaxPlotSide);
                return result;
            }
            result.PlotSize = QSize(w, h);
            ++i;
        } else if (Contains(kQtOptionsWithValue, QtOptionName(arg))) {
            if (i + 1 >= args.size()) {
                result.Action = TCommandLine::EAction::Error;
                result.ErrorMessage = QStringLiteral("option '%1' needs a value").arg(arg);
                return result;
            }
            ++i;
        } else if (Contains(kQtFlags, QtOptionName(arg))) {
            // Left to Qt.
        } else {
            result.Action = TCommandLine::EAction::Error;
            result.ErrorMessage = QStringLiteral("unknown option '%1'").arg(arg);
            return result;
        }
    }
    if ((result.Action == TCommandLine::EAction::Info || result.Action == TCommandLine::EAction::SaveAs ||
         result.Action == TCommandLine::EAction::Plot) &&
        result.File.isEmpty()) {
        result.Action = TCommandLine::EAction::Error;
        result.ErrorMessage = QStringLiteral("no network file given");
    }
    return result;
}

QString UsageText() {
    return QStringLiteral("Usage: zanwin [OPTIONS] [FILE]\n"
                          "Editor for planar transportation networks.\n"
                          "\n"
                          "  FILE                    network file to open\n"
                          "  --info FILE             print a summary of the network file and exit\n"
                          "  --save-as OUT [--version V] FILE\n"
                          "                          write FILE to OUT in network file version V\n"
                          "                          (1, 3, 4, 5, 6, 7, 8 or 9; default 9) and exit\n"
                          "  --plot OUT [--size WxH] FILE\n"
                          "                          draw FILE's network into the picture OUT (.png,\n"
                          "                          .svg or .pdf) of W by H pixels (default 1920x1080)\n"
                          "                          and exit\n"
                          "  --screenshot OUT [FILE]  start the editor (opening FILE), save a picture of\n"
                          "                          its window to OUT (.png) and exit\n"
                          "  -h, --help              show this help and exit\n"
                          "  --version               show the version and exit\n"
                          "\n"
                          "Qt's own options, such as -platform NAME or -style NAME, are accepted too.\n");
}

QString VersionText() {
    return QStringLiteral("zanwin %1\n").arg(ProgramVersion());
}

QString ProgramVersion() {
    return QStringLiteral(ZAN_VERSION);
}

} // namespace zan
