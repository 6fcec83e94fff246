// The main window with its message boxes and file dialogs answered by the test instead of a user.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

#include "app/MainWindow.h"

namespace zan::testing {

struct TScriptedWindow {
    TZanMainWindow window;
    std::vector<std::pair<QString, QString>> asked; // caption, text of every box, in order
    int answer = QMessageBox::Ok;                   // the button every box is answered with
    QStringList files;                              // what every file dialog chooses

    TScriptedWindow() {
        window.MessageHook = [this](const QString& caption, const QString& text, int) {
            asked.emplace_back(caption, text);
            return answer;
        };
        window.FileDialogHook = [this](const QString&) { return files; };
    }
};

} // namespace zan::testing
