#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/SketchPadWindow.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

#include <cstdio>
#include <iostream>

#include "files/NetworkCommands.h"
#include "render/PlotImage.h"

namespace {

void Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// A command's network is left to the process exit, except under AddressSanitizer, where the tests
// that run the program check its release.
#if defined(__SANITIZE_ADDRESS__)
#define ZAN_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZAN_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef ZAN_ADDRESS_SANITIZER
constexpr zan::TWhenDone kWhenDone = zan::TWhenDone::Release;
#else
constexpr zan::TWhenDone kWhenDone = zan::TWhenDone::LeaveToExit;
#endif

QtMessageHandler QtHandler = nullptr;

// A command's standard error carries its own messages: Qt's notes about the session's folders (a
// missing runtime folder, say) are dropped, everything else Qt reports still goes through.
void WithoutPathNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: ")) || QtHandler == nullptr)
        return;
    QtHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[]) {
    // The command line is read before QApplication exists: QApplication needs a display, and
    // --help and --version must work without one.
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args.append(QString::fromLocal8Bit(argv[i]));
    }
    const zan::TCommandLine commandLine = zan::ParseCommandLine(args);
    switch (commandLine.Action) {
    case zan::TCommandLine::EAction::ShowHelp:
        Print(stdout, zan::UsageText());
        return 0;
    case zan::TCommandLine::EAction::ShowVersion:
        Print(stdout, zan::VersionText());
        return 0;
    case zan::TCommandLine::EAction::Error:
        Print(stderr, QStringLiteral("zanwin: %1\n\n").arg(commandLine.ErrorMessage) + zan::UsageText());
        return 1;
    case zan::TCommandLine::EAction::Info:
        return zan::InfoCommand(commandLine.File.toLocal8Bit().toStdString(), std::cout, std::cerr,
                                kWhenDone);
    case zan::TCommandLine::EAction::SaveAs:
        return zan::SaveAsCommand(commandLine.File.toLocal8Bit().toStdString(),
                                  commandLine.Output.toLocal8Bit().toStdString(), commandLine.Version,
                                  std::cerr, kWhenDone);
    case zan::TCommandLine::EAction::Plot: {
        // Drawing into an image, SVG or PDF needs no display, but brushes, fonts and bitmaps need a
        // QGuiApplication: it runs on the offscreen platform whatever the environment names.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QtHandler = qInstallMessageHandler(WithoutPathNotes);
        QGuiApplication app(argc, argv);
        return zan::PlotCommand(commandLine.Output, commandLine.File, commandLine.PlotSize, std::cerr,
                                kWhenDone);
    }
    case zan::TCommandLine::EAction::Run:
    case zan::TCommandLine::EAction::Screenshot:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zan"));
    QApplication::setApplicationVersion(zan::ProgramVersion());

    // The splash shows while the frame is built (colour tables, bitmaps, recent files).
    QPixmap picture(360, 160);
    picture.fill(QColor(0, 0, 127));
    QSplashScreen splash(picture);
    splash.showMessage(QStringLiteral("Zan %1").arg(zan::ProgramVersion()), Qt::AlignCenter, Qt::white);
    splash.show();
    QApplication::processEvents();
    zan::TZanMainWindow window;
    window.ShowAtStart();
    splash.finish(&window);
    window.NewSketchWindow();
    if (!commandLine.File.isEmpty())
        window.OpenCommandLineFile(commandLine.File);
    if (zan::TSketchPadWindow* first = window.ActiveSketch()) {
        // The first window fills the frame; once laid out at that size it shows the whole network.
        first->parentWidget()->showMaximized();
        QApplication::processEvents();
        first->ZoomToFit();
    }
    if (commandLine.Action == zan::TCommandLine::EAction::Screenshot) {
        // Once the window has been painted: its picture, then exit.
        QTimer::singleShot(1000, &window, [&window, out = commandLine.Output] {
            const bool saved = window.grab().save(out);
            if (!saved)
                Print(stderr, QStringLiteral("zanwin: cannot write %1\n").arg(out));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
