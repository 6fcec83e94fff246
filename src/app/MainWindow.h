#pragma once

#include <QMainWindow>

class QAction;
class QMdiArea;

namespace zan {

// The editor's frame: menus, status bar and the MDI area in which each sketch of a network gets
// its own sub-window.
class TZanMainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit TZanMainWindow(QWidget* parent = nullptr);

    QMdiArea* MdiArea() const { return MdiArea_; }

public slots:
    void ShowAbout();

private:
    void CreateMenus();

    QMdiArea* MdiArea_ = nullptr;
};

} // namespace zan
