#include "app/MainWindow.h"

#include "app/CommandLine.h"

#include <QAction>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

namespace zan {

TZanMainWindow::TZanMainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Zan"));

    MdiArea_ = new QMdiArea(this);
    MdiArea_->setObjectName(QStringLiteral("mdiArea"));
    MdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MdiArea_);

    CreateMenus();
    statusBar()->showMessage(tr("Ready"));
    resize(1024, 720);
}

void TZanMainWindow::CreateMenus() {
    QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    QAction* exitAction = fileMenu->addAction(tr("E&xit"), this, &QWidget::close);
    exitAction->setObjectName(QStringLiteral("exitAction"));
    exitAction->setShortcuts(QKeySequence::Quit);
    exitAction->setStatusTip(tr("Close the editor"));

    QMenu* helpMenu = menuBar()->addMenu(tr("&Help"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    QAction* aboutAction = helpMenu->addAction(tr("&About..."), this, &TZanMainWindow::ShowAbout);
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
    aboutAction->setStatusTip(tr("Show the program's version"));
}

void TZanMainWindow::ShowAbout() {
    QMessageBox::about(this, tr("About Zan"),
                       tr("<h3>Zan %1</h3>"
                          "<p>Editor for planar transportation networks: nodes, links, zones and their "
                          "attributes.</p>")
                           .arg(ProgramVersion()));
}

} // namespace zan
