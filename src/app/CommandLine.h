#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace zan {

// What the command line asks the program to do.
struct TCommandLine {
    enum class EAction {
        Run,         // start the editor
        ShowHelp,    // print the usage and exit
        ShowVersion, // print the version and exit
        Info,        // print a summary of File and exit
        SaveAs,      // read File, write it to Output in Version, and exit
        Plot,        // read File, draw it into the picture Output of PlotSize pixels, and exit
        Screenshot,  // start the editor (with File), save a picture of its window to Output, and exit
        Error,       // print ErrorMessage and the usage to stderr, exit with 1
    };

    EAction Action = EAction::Run;
    QString File;               // network file named on the command line, empty when none
    QString ErrorMessage;       // set when Action is Error
    QString Output;             // SaveAs: the file to write
    int Version = 9;            // SaveAs: the network file version to write
    QSize PlotSize{1920, 1080}; // Plot: the picture's size in pixels
};

// Reads the arguments that follow the program name. Options Qt itself handles when the
// application starts (such as -platform NAME or -style NAME) are accepted and left to Qt.
// Nothing here needs a display, so --help and --version work on a machine without one.
TCommandLine ParseCommandLine(const QStringList& args);

// "Usage: zanwin ..." followed by the options, ending with a newline.
QString UsageText();

// "zanwin <version>" followed by a newline.
QString VersionText();

// The version of this build, e.g. "0.1.0".
QString ProgramVersion();

} // namespace zan
