#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "app/WindowTable.h"
#include "editing/EditModes.h"
#include "files/RecentFiles.h"
#include "render/BitmapStore.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace zan {

class TSketchPadWindow;
class TNetwork;
struct TReadReport;
struct TWriteReport;

// The editor's frame: the menus of the active sketch window (or its own short menu when none is
// open), six toolbars, the six-panel status bar and the MDI area in which every sketch window and
// view of a network is a sub-window.
class TZanMainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit TZanMainWindow(QWidget* parent = nullptr);
    ~TZanMainWindow() override;

    // Shows the frame as the program starts: over the whole available screen, maximised.
    void ShowAtStart();

    QMdiArea* MdiArea() const { return MdiArea_; }
    // The sketch window every command applies to, or null.
    TSketchPadWindow* ActiveSketch() const;
    // The open sketch windows in creation order.
    QList<TSketchPadWindow*> SketchWindows() const;
    // The action of a command of the command tree ("file.open"), or null.
    QAction* Command(const std::string& id) const;
    // Status bar panel 0..5.
    QLabel* StatusPanel(int i) const { return Panels_[static_cast<std::size_t>(i)]; }
    // Where the mode's help line shows, beside the panels.
    QLabel* HelpLine() const { return HelpLine_; }
    int SnapDistance() const { return SnapDistance_; }
    const TBitmapStore& Bitmaps() const { return Bitmaps_; }

    // A new empty sketch window (File, New, Schema), or null at the window limit.
    TSketchPadWindow* NewSketchWindow();
    // A view of the active window, or null.
    TSketchPadWindow* NewView();
    // Opens each file into a new window; returns the windows that stayed open. `ask` asks "Later
    // save to this file name?" for an empty network.
    QList<TSketchPadWindow*> OpenFiles(const QStringList& paths, bool ask = true);
    // File, Save and Save As of the active window; they return whether the network was written.
    bool Save(TSketchPadWindow& window);
    bool SaveAs(TSketchPadWindow& window);
    // File, Append: the elements of another network file into the window's network.
    bool Append(TSketchPadWindow& window);

    // The file named on the command line: opened when it exists (an untouched first window makes
    // way for it), ignored otherwise.
    void OpenCommandLineFile(const QString& path);

    // Opens entry n (1..4) of the recent files; a file that no longer exists is ignored.
    void Reopen(int n);
    const TRecentFiles& RecentFiles() const { return Recent_; }
    // One tick of the backup timer (every 15 minutes): backs up the active window when it is due.
    void BackupTick();
    // Set while a calculation runs: no window may close.
    bool Busy = false;

    // Switches the active window to an edit mode (menu entry or toolbar button).
    void ChooseMode(sketchstates mode);

    // Stores the snap distance (1..1000) and shows it.
    void setsnap(int snap);

    // Replaces message boxes for tests: receives caption and text and returns the button pressed
    // (a QMessageBox::StandardButton). Unset, real message boxes are shown.
    std::function<int(const QString& caption, const QString& text, int buttons)> MessageHook;
    // Replaces the file dialogs for tests: receives the caption and returns the chosen path(s).
    std::function<QStringList(const QString& caption)> FileDialogHook;

public slots:
    void ShowAbout();

signals:
    // A double click on the status bar asked for the Snap or the Coordinates dialog.
    void SnapDialogRequested();
    void CoordinatesDialogRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateStatusBar();
    void CreateCommands();
    void CreateToolBars();
    void ConnectCommands();
    void UpdateMenus();
    void UpdateCommandStates();
    TSketchPadWindow* AddSketchWindow(std::optional<TWindowId> id);
    TSketchPadWindow* WidgetOf(TWindowId id) const;
    void DiscardWindow(TWindowId id);
    void WindowClosed(TSketchPadWindow* window);
    // Writes the window's network with the program's messages; on success the network (all its
    // windows) takes the name and counts as saved.
    bool Write(TSketchPadWindow& window, const QString& path, int version);
    // The messages of a finished write; whether it succeeded.
    bool WriteMessages(const TWriteReport& report);
    // Names the network of the window: it and every window of the same base, captions included.
    void SetNetworkName(TSketchPadWindow& window, const QString& name);
    void UpdateReopen(TSketchPadWindow& window);
    std::string PrefStringOf(TSketchPadWindow& window) const;
    void UsePrefString(TSketchPadWindow& window, const std::string& text);
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    void FillReopenMenus();
    void NetworkEdited(TSketchPadWindow* window);
    void OpenByName(TSketchPadWindow& window, bool nodes);
    void ShowHint();
    void PointsFreed(TSketchPadWindow* window, const std::vector<const TNetworkPoint*>& points, bool all);
    bool CloseAllowed(TSketchPadWindow& window);
    bool ReadMessages(const TReadReport& report, const QString& caption);
    void StatusDoubleClicked(int x);
    void WindowActivated(QMdiSubWindow* sub);
    int Ask(const QString& caption, const QString& text, int buttons, int icon);
    QStringList ChooseFiles(const QString& caption, bool save, bool many, QString* filter = nullptr);
    void ShowHelp();

    QMdiArea* MdiArea_ = nullptr;
    TBitmapStore Bitmaps_;
    int SnapDistance_ = 1;
    std::array<QLabel*, 6> Panels_{};
    std::map<std::string, QAction*> Commands_;
    std::map<std::string, QMenu*> Menus_;
    QList<QAction*> SketchMenus_; // top-level menus of the sketch-window command tree
    QList<QAction*> FrameMenus_;  // the short menu
    std::array<QToolBar*, 6> ToolBars_{};
    std::array<QAction*, kModeCount> ModeButtons_{};
    QMenu* WindowMenu_ = nullptr;
    QAction* ZoomInButton_ = nullptr;
    QAction* ZoomOutButton_ = nullptr;
    QLabel* HelpLine_ = nullptr;      // the mode's help line, right of the panels
    QTimer* HelpLineTimer_ = nullptr; // clears the help line
    QTimer HintTimer_;
    QPointer<TSketchPadWindow> Active_;
    TWindowTable Table_;
    std::map<TWindowId, TSketchPadWindow*> Widgets_;
    TRecentFiles Recent_;
    QTimer BackupTimer_;
    bool FileOperation_ = false;
    int StatusPressX_ = -1;
};

} // namespace zan
