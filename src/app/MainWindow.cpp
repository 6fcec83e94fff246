#include "app/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QSettings>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QCursor>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QToolTip>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <set>

#include "app/CommandLine.h"
#include "app/CommandRules.h"
#include "app/EntityDialog.h"
#include "app/CommandTree.h"
#include "app/PreferencesDialog.h"
#include "app/SketchPadWindow.h"
#include "app/ViewDialogs.h"
#include "display/Widths.h"
#include "files/NetworkFile.h"
#include "geometry/Viewport.h"
#include "editing/LinkOperations.h"
#include "editing/NodeOperations.h"
#include "model/Network.h"
#include "render/TextCodec.h"

namespace zan {

namespace {

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The Save As file types, newest first; the last keeps the current version.
struct TFileType {
    const char* filter;
    int version;
};
constexpr TFileType kFileTypes[] = {
    {"ZAN Network (*.dta)", 9},
    {"Version 8 Network (*.dt7)", 8},
    {"Version 7 Network (*.dt6)", 7},
    {"Version 6 Network (*.dt5)", 6},
    {"Version 5.1 Network (*.dt4)", 5},
    {"Version 5 Network (*.dt3)", 4},
    {"Versions 3-4 Network (*.dt2)", 3},
    {"Versions 1-2 Network (*.dt1)", 1},
    {"All Files (*.*)", 9},
};

// A chosen file name with the extension of the version added when it has none.
QString WithVersionExtension(const QString& path, int version) {
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QString::fromLatin1(ExtensionOfVersion(version));
}

// Drawn nodes and links of a network.
std::pair<long, long> DrawnCounts(const TNetwork& net) {
    long nodes = 0, links = 0;
    net.Hash.ForEachNode([&](const TNode& n) {
        if (!n.IsDrawnN)
            return;
        ++nodes;
        for (const TLink* half : n.LinkList)
            links += half->IsAEnd() && half->LinkData->IsDrawnL ? 1 : 0;
    });
    return {nodes, links};
}

// The edit modes: menu command, toolbar hint, mode, and whether this build carries it out (the
// polygon, reinitialize and shape point geography modes come with their operations).
struct TModeCommand {
    const char* id;
    const char* hint;
    int mode;
    bool works;
};
constexpr TModeCommand kModeCommands[] = {
    {"mode.nodeplot", "Node Plot", 1, true},
    {"mode.linkplot", "Link Plot", 2, true},
    {"mode.nodeopen", "Node Open", 3, true},
    {"mode.linkopen", "Link Open", 4, true},
    {"mode.nodedelete", "Node Delete", 5, true},
    {"mode.linkdelete", "Link Delete", 8, true},
    {"mode.polygoninsert", "Polygon Insert", 6, false},
    {"mode.polygondelete", "Polygon Delete", 7, false},
    {"mode.nodeplotopen", "Node Plot/Open", 9, true},
    {"mode.linkplotopen", "Link Plot/Open", 10, true},
    {"mode.linkdirection", "Link Direction", 12, true},
    {"mode.shapeinsert", "Shape Point Insert", 17, true},
    {"mode.shaperemove", "Shape Point Remove", 19, true},
    {"mode.shapetonode", "Convert Shape Point to a Node", 23, true},
    {"mode.nodetoshape", "Convert Node to a Shape Point", 22, true},
    {"mode.nodemerge", "Node Merge", 24, true},
    {"mode.linkintersect", "Link Intersect", 25, true},
    {"mode.shapeopen", "Shape Point Open", 27, false},
    {"mode.reinit.nodes", "Node Reinitialize", 20, false},
    {"mode.reinit.links", "Link Reinitialize", 21, false},
    {"mode.nodemove", "Node Move", 11, true},
    {"mode.linksplit", "Link Split", 14, true},
    {"mode.linksplice", "Link Splice", 16, true},
    {"mode.polygonmove", "Polygon Move", 26, false},
    {"mode.select", "Select Object", 0, true},
};

// Status bar panel widths.
constexpr std::array<int, 6> kPanelWidths{180, 40, 40, 70, 140, 50};

// Toolbar captions and the View, Tool Bars command of each.
struct TToolBarDef {
    const char* caption;
    const char* hint;
    const char* command;
};
constexpr std::array<TToolBarDef, 6> kToolBars{{
    {"Sketch Modes", "Sketch Pad Mode Buttons", "view.toolbars.modes"},
    {"Sketch Operations", "Sketch Pad Operations", "view.toolbars.operations"},
    {"Labels", "Labels", "view.toolbars.labels"},
    {"Widths and Sizes", "Widths and Sizes", "view.toolbars.widths"},
    {"Snap Controls", "Snap Controls", "view.toolbars.snap"},
    {"Labels", "Loop Settings", "view.toolbars.loop"},
}};

} // namespace

TZanMainWindow::TZanMainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Zan"));

    MdiArea_ = new QMdiArea(this);
    MdiArea_->setObjectName(QStringLiteral("mdiArea"));
    MdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MdiArea_);
    connect(MdiArea_, &QMdiArea::subWindowActivated, this, &TZanMainWindow::WindowActivated);

    if (QCoreApplication::instance() != nullptr)
        Bitmaps_.Load(QCoreApplication::applicationDirPath());
    CreateStatusBar();
    CreateCommands();
    CreateToolBars();
    ConnectCommands();
    LoadRecentFiles();
    UpdateMenus();
    resize(1024, 720);
    // Every 500 ms the active window shows what the pointer rests on.
    HintTimer_.setInterval(500);
    connect(&HintTimer_, &QTimer::timeout, this, &TZanMainWindow::ShowHint);
    HintTimer_.start();
    BackupTimer_.setInterval(kBackupIntervalMs);
    connect(&BackupTimer_, &QTimer::timeout, this, &TZanMainWindow::BackupTick);
    BackupTimer_.start();
}

void TZanMainWindow::ShowAtStart() {
    // Window managers maximise; without one the frame still covers the available screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    showMaximized();
}

TZanMainWindow::~TZanMainWindow() {
    // The sub-windows go with the frame's widgets; nothing of theirs may call back into a frame
    // that is half destroyed.
    disconnect(MdiArea_, nullptr, this, nullptr);
    for (QMdiSubWindow* sub : MdiArea_->subWindowList()) {
        disconnect(sub, nullptr, this, nullptr);
        if (auto* w = qobject_cast<TSketchPadWindow*>(sub->widget())) {
            w->disconnect();
            w->CanClose = nullptr;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Building the frame

void TZanMainWindow::CreateStatusBar() {
    for (std::size_t i = 0; i < Panels_.size(); ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("statusPanel%1").arg(i));
        panel->setAlignment(Qt::AlignCenter);
        panel->setFixedWidth(kPanelWidths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panel);
        Panels_[i] = panel;
    }
    Panels_[1]->setText(QString::number(SnapDistance_));
    // The mode's help line shows beside the panels, never over them.
    HelpLine_ = new QLabel(this);
    HelpLine_->setObjectName(QStringLiteral("statusHelpLine"));
    statusBar()->addWidget(HelpLine_, 1);
    HelpLineTimer_ = new QTimer(this);
    HelpLineTimer_->setObjectName(QStringLiteral("helpLineTimer"));
    HelpLineTimer_->setSingleShot(true);
    connect(HelpLineTimer_, &QTimer::timeout, HelpLine_, &QLabel::clear);
    statusBar()->installEventFilter(this);
}

void TZanMainWindow::CreateCommands() {
    auto build = [this](const std::vector<TCommandDef>& defs, const QString& prefix, QList<QAction*>& tops) {
        std::map<QString, QMenu*> menus;
        std::map<QString, QActionGroup*> groups;
        auto menuOf = [&](const QString& path) {
            QMenu* parentMenu = nullptr;
            QString sofar;
            for (const QString& level : path.split(QLatin1Char('/'))) {
                sofar = sofar.isEmpty() ? level : sofar + QLatin1Char('/') + level;
                auto it = menus.find(sofar);
                if (it != menus.end()) {
                    parentMenu = it->second;
                    continue;
                }
                QMenu* menu = parentMenu != nullptr ? parentMenu->addMenu(level) : menuBar()->addMenu(level);
                if (parentMenu == nullptr)
                    tops.append(menu->menuAction());
                menus[sofar] = menu;
                parentMenu = menu;
            }
            return parentMenu;
        };
        for (const TCommandDef& def : defs) {
            const QString menuPath = Q(def.menu);
            QMenu* menu = menuOf(menuPath);
            if (prefix.isEmpty())
                Menus_[menuPath.toStdString()] = menu;
            QAction* action = menu->addAction(Q(def.caption));
            action->setObjectName(prefix + Q(def.id));
            if (!def.shortcut.empty())
                action->setShortcut(QKeySequence(Q(def.shortcut)));
            action->setCheckable(def.checkable);
            if (def.radio) {
                QActionGroup*& group = groups[menuPath];
                if (group == nullptr)
                    group = new QActionGroup(this);
                group->addAction(action);
            }
            Commands_[(prefix + Q(def.id)).toStdString()] = action;
            if (def.id == "file.open") {
                // The recent files follow Open.
                QMenu* reopen = menu->addMenu(QStringLiteral("&Reopen"));
                reopen->setObjectName(prefix + QStringLiteral("file.reopen"));
                reopen->setEnabled(false);
            }
        }
        // Object names the tests and the keyboard reach menus by.
        if (auto it = menus.find(QStringLiteral("&File")); it != menus.end())
            it->second->setObjectName(prefix + QStringLiteral("fileMenu"));
        if (auto it = menus.find(QStringLiteral("&Help")); it != menus.end())
            it->second->setObjectName(prefix + QStringLiteral("helpMenu"));
        if (auto it = menus.find(QStringLiteral("&Window")); it != menus.end())
            WindowMenu_ = it->second;
    };
    build(SketchCommands(), QString(), SketchMenus_);
    build(FrameCommands(), QStringLiteral("frame."), FrameMenus_);
    if (WindowMenu_ != nullptr) {
        connect(WindowMenu_, &QMenu::aboutToShow, this, [this] {
            // The list of open windows after the arrangement commands.
            for (QAction* a : WindowMenu_->actions()) {
                if (a->property("windowEntry").toBool())
                    WindowMenu_->removeAction(a), a->deleteLater();
            }
            int n = 0;
            for (QMdiSubWindow* sub : MdiArea_->subWindowList()) {
                QAction* entry =
                    WindowMenu_->addAction(QStringLiteral("&%1 %2").arg(++n).arg(sub->windowTitle()));
                entry->setProperty("windowEntry", true);
                entry->setCheckable(true);
                entry->setChecked(sub == MdiArea_->activeSubWindow());
                connect(entry, &QAction::triggered, this, [this, sub] { MdiArea_->setActiveSubWindow(sub); });
            }
        });
    }
}

void TZanMainWindow::CreateToolBars() {
    for (std::size_t i = 0; i < kToolBars.size(); ++i) {
        QToolBar* bar = addToolBar(QString::fromLatin1(kToolBars[i].caption));
        bar->setObjectName(QStringLiteral("toolBar%1").arg(i + 1));
        bar->setToolTip(QString::fromLatin1(kToolBars[i].hint));
        ToolBars_[i] = bar;
        if (i == 2 || i == 4)
            insertToolBarBreak(bar);
        QAction* toggle = Command(kToolBars[i].command);
        toggle->setChecked(true);
        connect(toggle, &QAction::toggled, bar, &QWidget::setVisible);
        connect(bar, &QToolBar::visibilityChanged, toggle, [toggle, this](bool visible) {
            if (!isVisible() || isMinimized())
                return; // the frame hiding, not the user closing the toolbar
            toggle->setChecked(visible);
        });
    }
    auto button = [](QToolBar* bar, const char* hint, bool enabled) {
        QAction* a = bar->addAction(QString::fromLatin1(hint));
        a->setToolTip(QString::fromLatin1(hint));
        a->setObjectName(QStringLiteral("button ") + QString::fromLatin1(hint));
        a->setEnabled(enabled);
        return a;
    };
    // Sketch Modes: one radio group of mode buttons, as the Modes menu.
    auto* modeGroup = new QActionGroup(this);
    // Modes without a button of their own (chosen by the program, not the user) leave none pressed.
    modeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    auto* modeMenuGroup = new QActionGroup(this);
    modeMenuGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const TModeCommand& m : kModeCommands) {
        QAction* entry = Command(m.id);
        entry->setCheckable(true);
        modeMenuGroup->addAction(entry);
    }
    for (const TModeCommand& m : kModeCommands) {
        QAction* a = button(ToolBars_[0], m.hint, m.works);
        a->setCheckable(true);
        modeGroup->addAction(a);
        ModeButtons_[static_cast<std::size_t>(m.mode)] = a;
        connect(a, &QAction::triggered, this,
                [this, mode = m.mode] { ChooseMode(static_cast<sketchstates>(mode)); });
    }

    QToolBar* ops = ToolBars_[1];
    struct TRoom {
        const char* hint;
        bool (*apply)(TWindowSettings&);
    };
    for (const TRoom& room : {TRoom{"East Space", &WestButton}, TRoom{"South Space", &NorthButton},
                              TRoom{"North Space", &SouthButton}, TRoom{"West Space", &EastButton}}) {
        QAction* a = button(ops, room.hint, true);
        connect(a, &QAction::triggered, this, [this, apply = room.apply] {
            if (TSketchPadWindow* w = ActiveSketch()) {
                apply(w->Settings());
                w->Network().Modified = true;
                w->SettingsChanged();
            }
        });
    }
    button(ops, "Undelete Node/Link", false);
    connect(button(ops, "Refresh", true), &QAction::triggered, this, [this] {
        if (TSketchPadWindow* w = ActiveSketch())
            w->RefreshNetwork();
    });
    ZoomInButton_ = button(ops, "Zoom In", true);
    ZoomOutButton_ = button(ops, "Zoom Out", true);
    ZoomInButton_->setCheckable(true);
    ZoomOutButton_->setCheckable(true);
    // The buttons set the active window's zoom-click flags; the flags (also switched by the Z and Y
    // keys and by choosing a mode) set the buttons in UpdateCommandStates.
    auto zoomClick = [this](bool in, bool on) {
        TSketchPadWindow* w = ActiveSketch();
        if (w != nullptr) {
            w->Settings().NextClickIsInZoom = in && on;
            w->Settings().NextClickIsOutZoom = !in && on;
        }
        UpdateCommandStates();
    };
    connect(ZoomInButton_, &QAction::toggled, this, [zoomClick](bool on) { zoomClick(true, on); });
    connect(ZoomOutButton_, &QAction::toggled, this, [zoomClick](bool on) { zoomClick(false, on); });
    connect(button(ops, "Save Network", true), &QAction::triggered, this, [this] {
        if (TSketchPadWindow* w = ActiveSketch())
            Save(*w);
    });
    button(ops, "Finish Node Plot", false);

    for (const char* hint :
         {"Reset All Entity Labels", "Node Labels", "Link Labels", "Format", "Clear Labels"})
        button(ToolBars_[2], hint, false);
    for (const char* hint :
         {"Width Status", "Node Expressions", "Link Expressions", "Node Intervals", "Link Intervals",
          "Put Widths", "Clear Widths", "Get Widths", "Desire Line Expressions"})
        button(ToolBars_[3], hint, false);
    connect(ToolBars_[3]->actions().at(6), &QAction::triggered, this, [this] {
        if (TSketchPadWindow* w = ActiveSketch()) {
            ClearWidths(w->Network(), w->Settings(), Bitmaps_);
            w->Network().Modified = true;
            w->RefreshNetwork();
        }
    });
    ToolBars_[3]->actions().at(6)->setEnabled(true);

    QToolBar* snap = ToolBars_[4];
    struct TMove {
        const char* hint;
        int hotkey;
    };
    for (const TMove& move : {TMove{"Move Cursor North", kSnapNorth}, TMove{"Move Cursor South", kSnapSouth},
                              TMove{"Move Cursor East", kSnapEast}, TMove{"Move Cursor West", kSnapWest}}) {
        connect(button(snap, move.hint, true), &QAction::triggered, this, [this, hotkey = move.hotkey] {
            TSketchPadWindow* w = ActiveSketch();
            if (w != nullptr && IsPlotCursorMode(w->Session.Mode()) &&
                SnapPlotCursor(w->Settings(), hotkey, SnapDistance_))
                w->RefreshNetwork();
        });
    }
    auto* edit = new QSpinBox(snap);
    edit->setObjectName(QStringLiteral("SnapDistanceEdit"));
    edit->setRange(kMinSnapDistance, kMaxSnapDistance);
    edit->setValue(SnapDistance_);
    edit->setToolTip(QStringLiteral("Snap Distance"));
    snap->addWidget(edit);
    connect(edit, &QSpinBox::valueChanged, this, [this](int v) {
        if (v != SnapDistance_)
            setsnap(v);
    });

    for (const char* hint : {"Loop Stop", "Loop though Networks Settings", "Loop Play"})
        button(ToolBars_[5], hint, false);
    ToolBars_[5]->addWidget(new QLabel(QStringLiteral("12:00"), ToolBars_[5]));
}

void TZanMainWindow::ConnectCommands() {
    std::set<std::string> done;
    auto on = [&](const std::string& id, auto&& slot) {
        for (const std::string& key : {id, "frame." + id}) {
            if (QAction* a = Command(key)) {
                connect(a, &QAction::triggered, this, slot);
                done.insert(key);
            }
        }
    };
    auto withActive = [this](auto&& f) {
        return [this, f] {
            if (TSketchPadWindow* w = ActiveSketch())
                f(*w);
        };
    };
    on("file.new.schema", [this] { NewSketchWindow(); });
    on("file.new.view", [this] { NewView(); });
    on("file.open", [this] {
        const QStringList files = ChooseFiles(QStringLiteral("Open"), false, true);
        if (!files.isEmpty())
            OpenFiles(files);
    });
    on("file.save", withActive([this](TSketchPadWindow& w) { Save(w); }));
    on("file.saveas", withActive([this](TSketchPadWindow& w) { SaveAs(w); }));
    on("file.append", withActive([this](TSketchPadWindow& w) { Append(w); }));
    on("file.close", withActive([](TSketchPadWindow& w) { w.parentWidget()->close(); }));
    on("file.autobackup",
       withActive([this](TSketchPadWindow& w) { w.AutoBackup = Command("file.autobackup")->isChecked(); }));
    on("file.exit", [this] { close(); });
    for (int state = 1; state <= kZoomStates; ++state) {
        on(std::string(ZoomCommandId(state)),
           withActive([this, state](TSketchPadWindow& w) { Panels_[2]->setText(w.SetZoomState(state)); }));
    }
    on("view.darkcursor", withActive([](TSketchPadWindow& w) {
           w.Settings().DarkCursor = !w.Settings().DarkCursor;
           w.RefreshNetwork();
       }));
    on("view.refresh", withActive([](TSketchPadWindow& w) { w.RefreshNetwork(); }));
    on("view.search.ghost", withActive([](TSketchPadWindow& w) {
           w.Settings().Display.GhostDrawLinks = !w.Settings().Display.GhostDrawLinks;
           w.Network().Modified = true;
           w.RefreshNetwork();
       }));
    on("view.polygons.after", withActive([](TSketchPadWindow& w) {
           w.Settings().Display.PolygonLayerIsFirst = !w.Settings().Display.PolygonLayerIsFirst;
           w.Network().Modified = true;
           w.RefreshNetwork();
       }));
    on("view.polygons.opaque", withActive([](TSketchPadWindow& w) {
           w.Settings().Display.PolygonsAreOpaque = !w.Settings().Display.PolygonsAreOpaque;
           w.Network().Modified = true;
           w.RefreshNetwork();
       }));
    on("transform.trim", withActive([](TSketchPadWindow& w) {
           Trim(w.Settings(), w.Network().Hash);
           w.SettingsChanged();
       }));
    on("transform.status", withActive([this](TSketchPadWindow& w) {
           const auto [nodes, links] = DrawnCounts(w.Network());
           Ask(QString::fromLatin1(kNetworkStatusCaption),
               QString::fromStdString(NetworkStatusText(nodes, links, AllocatedMemoryBytes())),
               QMessageBox::Ok, QMessageBox::Information);
       }));
    on("file.preferences", withActive([this](TSketchPadWindow& w) {
           TPreferencesDB dialog(w.Settings(), this);
           dialog.exec();
       }));
    on("transform.extents", withActive([this](TSketchPadWindow& w) {
           const TWindowSettings& s = w.Settings();
           TExtentsDB dialog(s.YMin, s.YMax, s.XMin, s.XMax, this);
           if (dialog.exec() == QDialog::Accepted) {
               ApplyExtents(dialog, w.Settings());
               w.SettingsChanged();
           }
       }));
    connect(this, &TZanMainWindow::SnapDialogRequested, this, [this] {
        TSnapDB dialog(SnapDistance_, this);
        if (dialog.exec() == QDialog::Accepted)
            setsnap(dialog.SnapDistance());
    });
    connect(this, &TZanMainWindow::CoordinatesDialogRequested, this, [this] {
        TSketchPadWindow* w = ActiveSketch();
        if (w == nullptr)
            return;
        TCoordinates dialog(w->Settings().CurPosX, w->Settings().CurPosY, this);
        if (dialog.exec() == QDialog::Accepted) {
            ApplyCoordinates(dialog, w->Settings());
            Panels_[0]->setText(
                QStringLiteral("%1,%2").arg(w->Settings().CurPosX).arg(w->Settings().CurPosY));
            w->RefreshNetwork();
        }
    });
    on("window.tilehorizontal", [this] { MdiArea_->tileSubWindows(); });
    on("window.tilevertical", [this] { MdiArea_->tileSubWindows(); });
    on("window.arrange", [this] { MdiArea_->tileSubWindows(); });
    on("window.cascade", [this] { MdiArea_->cascadeSubWindows(); });
    for (const TModeCommand& m : kModeCommands) {
        if (m.works)
            on(m.id, [this, mode = m.mode] { ChooseMode(static_cast<sketchstates>(mode)); });
    }
    on("tools.initattributes.nodes", withActive([this](TSketchPadWindow& w) {
           TEntityDialog dialog(w.Network(), w.Network().InitialNode, this);
           if (dialog.exec() == QDialog::Accepted)
               NetworkEdited(&w);
       }));
    on("tools.initattributes.links", withActive([this](TSketchPadWindow& w) {
           TEntityDialog dialog(w.Network(), w.Network().InitialLink, this);
           if (dialog.exec() == QDialog::Accepted)
               NetworkEdited(&w);
       }));
    on("tools.initattributes.clear", withActive([this](TSketchPadWindow& w) {
           ClearTemplates(w.Network());
           NetworkEdited(&w);
       }));
    on("tools.openbyname.nodes", withActive([this](TSketchPadWindow& w) { OpenByName(w, true); }));
    on("tools.openbyname.links", withActive([this](TSketchPadWindow& w) { OpenByName(w, false); }));
    on("mode.undoshaperemove", withActive([this](TSketchPadWindow& w) {
           TEditResult result;
           if (UndoShapeRemove(w.Network(), w.Settings(), result))
               w.Apply(result);
           UpdateCommandStates();
       }));
    on("help.contents", [this] { ShowHelp(); });
    on("help.about", [this] { ShowAbout(); });
    for (const auto& [id, action] : Commands_) {
        const bool toolbar = id.rfind("view.toolbars.", 0) == 0;
        if (!done.count(id) && !toolbar)
            action->setEnabled(false);
    }
}

// ---------------------------------------------------------------------------------------------
// State of menus and commands

QAction* TZanMainWindow::Command(const std::string& id) const {
    const auto it = Commands_.find(id);
    return it == Commands_.end() ? nullptr : it->second;
}

TSketchPadWindow* TZanMainWindow::ActiveSketch() const {
    if (TSketchPadWindow* w = WidgetOf(Table_.Active()))
        return w;
    QMdiSubWindow* sub = MdiArea_->activeSubWindow();
    if (sub == nullptr && !MdiArea_->subWindowList().isEmpty())
        return Active_;
    return sub != nullptr ? qobject_cast<TSketchPadWindow*>(sub->widget()) : nullptr;
}

QList<TSketchPadWindow*> TZanMainWindow::SketchWindows() const {
    QList<TSketchPadWindow*> windows;
    for (TWindowId id : Table_.Ids()) {
        if (TSketchPadWindow* w = WidgetOf(id))
            windows.append(w);
    }
    return windows;
}

void TZanMainWindow::UpdateMenus() {
    // The menu bar holds the menus of the sketch windows while one is open, else the frame's own
    // (a hidden menu would still answer its access key).
    const bool any = !SketchWindows().isEmpty();
    const QList<QAction*>& wanted = any ? SketchMenus_ : FrameMenus_;
    if (menuBar()->actions() != wanted) {
        for (QAction* a : menuBar()->actions())
            menuBar()->removeAction(a);
        menuBar()->addActions(wanted);
    }
    UpdateCommandStates();
}

void TZanMainWindow::UpdateCommandStates() {
    TSketchPadWindow* w = ActiveSketch();
    const QSignalBlocker blockIn(ZoomInButton_), blockOut(ZoomOutButton_);
    if (w == nullptr) {
        for (std::size_t i = 0; i < 6; ++i)
            Panels_[i]->setText(i == 1 ? QString::number(SnapDistance_) : QString());
        ZoomInButton_->setChecked(false);
        ZoomOutButton_->setChecked(false);
        return;
    }
    ZoomInButton_->setChecked(w->Settings().NextClickIsInZoom);
    ZoomOutButton_->setChecked(w->Settings().NextClickIsOutZoom);
    const TWindowSettings& s = w->Settings();
    if (QAction* zoom = Command(std::string(ZoomCommandId(s.ZoomState))))
        zoom->setChecked(true);
    Command("view.darkcursor")->setChecked(s.DarkCursor);
    Command("view.search.ghost")->setChecked(s.Display.GhostDrawLinks);
    Command("view.polygons.after")->setChecked(!s.Display.PolygonLayerIsFirst);
    Command("view.polygons.opaque")->setChecked(s.Display.PolygonsAreOpaque);
    Command("file.autobackup")->setChecked(w->AutoBackup);
    Command("mode.undoshaperemove")->setEnabled(s.shapepointhold.TheLink != nullptr);
    // What the network holds decides the node, link, system and transform commands that exist.
    const TCommandStates states = CommandStates(w->Network());
    for (const char* hint : {"Node Labels", "Node Expressions"}) {
        if (auto* a = findChild<QAction*>(QStringLiteral("button ") + QLatin1String(hint)))
            a->setVisible(states.NodeCommands);
    }
    for (const char* hint : {"Link Labels", "Link Expressions"}) {
        if (auto* a = findChild<QAction*>(QStringLiteral("button ") + QLatin1String(hint)))
            a->setVisible(states.LinkCommands);
    }
    // The current mode's button is pressed and its menu entry checked; every other is released.
    const sketchstates mode = w->Session.Mode();
    for (const TModeCommand& m : kModeCommands) {
        const bool current = m.mode == static_cast<int>(mode);
        Command(m.id)->setChecked(current);
        ModeButtons_[static_cast<std::size_t>(m.mode)]->setChecked(current);
    }
    Panels_[0]->setText(IsPlotCursorMode(mode)
                            ? QString::fromStdString(CoordinatesText(s.CurPosX, s.CurPosY))
                            : QString::fromUtf8(ModeStatusText(mode).data(),
                                                static_cast<qsizetype>(ModeStatusText(mode).size())));
    Panels_[1]->setText(QString::number(SnapDistance_));
    Panels_[2]->setText(w->ZoomText());
}

void TZanMainWindow::WindowActivated(QMdiSubWindow* sub) {
    if (sub != nullptr) {
        if (auto* w = qobject_cast<TSketchPadWindow*>(sub->widget())) {
            // A window that loses the focus to another forgets its pending zoom click.
            if (Active_ != nullptr && Active_ != w) {
                Active_->Settings().NextClickIsInZoom = false;
                Active_->Settings().NextClickIsOutZoom = false;
            }
            Active_ = w;
            Table_.Activate(w->Id);
        }
    }
    UpdateMenus();
}

void TZanMainWindow::setsnap(int snap) {
    SnapDistance_ = ClampSnapDistance(snap);
    Panels_[1]->setText(QString::number(SnapDistance_));
    if (auto* edit = findChild<QSpinBox*>(QStringLiteral("SnapDistanceEdit"))) {
        const QSignalBlocker block(edit);
        edit->setValue(SnapDistance_);
    }
}

// ---------------------------------------------------------------------------------------------
// Sketch windows

TSketchPadWindow* TZanMainWindow::WidgetOf(TWindowId id) const {
    const auto it = Widgets_.find(id);
    return it == Widgets_.end() ? nullptr : it->second;
}

TSketchPadWindow* TZanMainWindow::AddSketchWindow(std::optional<TWindowId> id) {
    if (!id) {
        Ask(QString::fromLatin1(kWindowLimitCaption), QString::fromLatin1(kWindowLimitText), QMessageBox::Ok,
            QMessageBox::Warning);
        return nullptr;
    }
    const TWindowEntry& entry = *Table_.Find(*id);
    auto* window = new TSketchPadWindow(entry.Network, Bitmaps_, SnapDistance_);
    window->Id = *id;
    window->setWindowTitle(QString::fromStdString(entry.Caption));
    Widgets_[*id] = window;
    QMdiSubWindow* sub = MdiArea_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    window->CanClose = [this](TSketchPadWindow& w) { return CloseAllowed(w); };
    connect(window, &TSketchPadWindow::Closed, this, &TZanMainWindow::WindowClosed);
    connect(window, &TSketchPadWindow::ZoomChanged, this, [this](const QString& text) {
        Panels_[2]->setText(text);
        UpdateCommandStates();
    });
    connect(window, &TSketchPadWindow::PointerMoved, Panels_[4], &QLabel::setText);
    connect(window, &TSketchPadWindow::ZoomClickModeChanged, this, &TZanMainWindow::UpdateCommandStates);
    connect(window, &TSketchPadWindow::StatusText, Panels_[0], &QLabel::setText);
    connect(window, &TSketchPadWindow::NetworkEdited, this, &TZanMainWindow::NetworkEdited);
    connect(window, &TSketchPadWindow::PointsFreed, this, &TZanMainWindow::PointsFreed);
    connect(window, &TSketchPadWindow::Reshaped, this,
            [this](TSketchPadWindow* from, const TEditResult& result) {
                // Each view keeps its own removal to undo; an edit in one view makes the others' stale.
                for (TWindowId id : Table_.SameBase(from->Id)) {
                    if (TSketchPadWindow* view = WidgetOf(id); view != nullptr && view != from)
                        ForgetStaleShapeUndo(view->Settings(), result);
                }
                UpdateCommandStates();
            });
    connect(window, &TSketchPadWindow::SnapChangeRequested, this, &TZanMainWindow::setsnap);
    connect(sub, &QObject::destroyed, this,
            [this] { QTimer::singleShot(0, this, [this] { UpdateMenus(); }); });
    sub->resize(640, 480);
    sub->show();
    MdiArea_->setActiveSubWindow(sub);
    Active_ = window;
    UpdateMenus();
    return window;
}

void TZanMainWindow::ChooseMode(sketchstates mode) {
    TSketchPadWindow* w = ActiveSketch();
    if (w == nullptr)
        return;
    w->ChooseMode(mode);
    // The help line stays 100 ms for each of its characters.
    const std::string_view help = ModeHelpLine(mode);
    HelpLine_->setText(QString::fromUtf8(help.data(), static_cast<qsizetype>(help.size())));
    HelpLineTimer_->start(static_cast<int>(help.size()) * 100);
    UpdateCommandStates();
}

void TZanMainWindow::OpenByName(TSketchPadWindow& w, bool nodes) {
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, nodes ? QStringLiteral("Open Node") : QStringLiteral("Open Link"),
                              QStringLiteral("Enter name:"), QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    const std::string pattern = FromQString(name);
    if (nodes) {
        if (TNode* n = w.Network().Hash.FindNodeByName(pattern, false, w.Settings()))
            w.OpenEntity(*n);
    } else if (TLink* l = w.Network().Hash.FindLinkByName(pattern, false, w.Settings())) {
        w.OpenEntity(*l->LinkData);
    }
}

void TZanMainWindow::ShowHint() {
    TSketchPadWindow* w = ActiveSketch();
    if (w == nullptr || !w->hasFocus() || !w->viewport()->underMouse())
        return;
    const std::optional<std::string> hint = w->Session.GenerateHint(w->Network(), w->Settings());
    if (hint)
        QToolTip::showText(QCursor::pos(), ToQString(*hint), w->viewport());
    else
        QToolTip::hideText();
}

void TZanMainWindow::NetworkEdited(TSketchPadWindow* window) {
    window->Network().Modified = true;
    Table_.SetAllowClose(window->Id, false);
    UpdateCommandStates(); // "Undo Shape Remove" follows the window's undo record
    for (TWindowId id : Table_.SameBase(window->Id)) {
        TSketchPadWindow* view = WidgetOf(id);
        if (view != nullptr && view != window)
            view->RefreshNetwork();
    }
}

void TZanMainWindow::PointsFreed(TSketchPadWindow* window, const std::vector<const TNetworkPoint*>& points,
                                 bool all) {
    for (TWindowId id : Table_.SameBase(window->Id)) {
        TSketchPadWindow* view = WidgetOf(id);
        if (view == nullptr || view == window)
            continue;
        if (all)
            view->Session.ForgetShapePoints(view->Settings());
        for (const TNetworkPoint* p : points)
            view->Session.Forget(view->Settings(), p);
        view->RefreshNetwork();
    }
}

TSketchPadWindow* TZanMainWindow::NewSketchWindow() {
    TSketchPadWindow* w = AddSketchWindow(Table_.Create(kDefaultName));
    if (w != nullptr)
        ComputeWorstSizes(w->Network(), w->Settings(), Bitmaps_);
    return w;
}

TSketchPadWindow* TZanMainWindow::NewView() {
    TSketchPadWindow* active = ActiveSketch();
    if (active == nullptr)
        return nullptr;
    TSketchPadWindow* base = WidgetOf(Table_.BaseOf(active->Id));
    if (base == nullptr)
        base = active;
    TSketchPadWindow* view = AddSketchWindow(Table_.CreateView(active->Id));
    if (view == nullptr)
        return nullptr;
    // The view starts looking like its base; its minimum corner 10 units inside the window.
    TWindowSettings& s = view->Settings();
    s = base->Settings();
    s.XScroll = 10 - s.XMin;
    s.YScroll = 10 - s.YMin;
    s.CurPosX = s.XMin + 10;
    s.CurPosY = s.YMin + 10;
    s.HorzPosition = s.VertPosition = 0;
    // What the base was in the middle of is the base's own: the view starts with no picks, no
    // drag, no pending zoom click and nothing to undo.
    s.LastNode = nullptr;
    s.LastSp = nullptr;
    s.currentpolygon = nullptr;
    s.Dragged = nullptr;
    s.NextClickIsInZoom = s.NextClickIsOutZoom = false;
    s.shapepointhold = TShapePointUndo{};
    view->CurrentName = base->CurrentName;
    view->setWindowTitle(QString::fromStdString(Table_.Find(view->Id)->Caption));
    view->SettingsChanged();
    UpdateCommandStates();
    return view;
}

QList<TSketchPadWindow*> TZanMainWindow::OpenFiles(const QStringList& paths, bool ask) {
    QList<TSketchPadWindow*> opened;
    for (const QString& path : paths) {
        TSketchPadWindow* w = AddSketchWindow(Table_.Create(path.toStdString()));
        if (w == nullptr)
            break;
        FileOperation_ = true;
        const TReadReport report = w->OpenFile(path);
        FileOperation_ = false;
        if (!ReadMessages(report, QStringLiteral("Open/Append"))) {
            DiscardWindow(w->Id);
            continue;
        }
        // A partial network (memory ran out) must never be saved over the whole file, so it takes
        // the default name and a Save asks for one.
        QString name = report.code == kFileOK ? path : kDefaultNetworkName;
        const auto [nodes, links] = DrawnCounts(w->Network());
        if (report.code == kFileOK && nodes == 0 && links == 0 && ask &&
            Ask(QStringLiteral("Open"), QStringLiteral("Later save to this file name?"),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Question) == QMessageBox::No)
            name = kDefaultNetworkName;
        SetNetworkName(*w, name);
        w->ZoomToFit();
        opened.append(w);
        // Windows that were never touched make way for the opened file.
        for (TWindowId id : Table_.UntouchedWindows(w->Id)) {
            if (Table_.Find(id) != nullptr && !WidgetOf(id)->Network().Modified)
                DiscardWindow(id);
        }
    }
    UpdateMenus();
    return opened;
}

void TZanMainWindow::Reopen(int n) {
    const TRecentFile* entry = Recent_.Entry(n);
    if (entry == nullptr || !QFileInfo::exists(QString::fromStdString(entry->Name)))
        return;
    const std::string prefs = entry->PrefString;
    const QList<TSketchPadWindow*> opened = OpenFiles({QString::fromStdString(entry->Name)});
    if (!opened.isEmpty())
        UsePrefString(*opened.front(), prefs);
}

void TZanMainWindow::DiscardWindow(TWindowId id) {
    TSketchPadWindow* w = WidgetOf(id);
    if (w == nullptr)
        return;
    w->CanClose = nullptr;
    w->parentWidget()->close();
}

void TZanMainWindow::WindowClosed(TSketchPadWindow* window) {
    const TWindowId id = window->Id;
    if (Table_.Find(id) == nullptr)
        return;
    UpdateReopen(*window);
    Widgets_.erase(id);
    // A base takes its views with it.
    for (TWindowId removed : Table_.Remove(id)) {
        if (removed != id)
            DiscardWindow(removed);
    }
    QTimer::singleShot(0, this, [this] { UpdateMenus(); });
}

// ---------------------------------------------------------------------------------------------
// Recent files, preference strings and backups

namespace {

// The user's settings store for the recent files, under the organisation's name and group.
class TQtSettingsStore final : public TSettingsStore {
public:
    TQtSettingsStore() : settings_(QString::fromLatin1(kRecentFilesOrganisation), QStringLiteral("zanwin")) {
        settings_.beginGroup(QString::fromLatin1(kRecentFilesGroup));
    }
    bool Get(const std::string& name, std::string& value) const override {
        const QVariant v = settings_.value(QString::fromStdString(name));
        if (!v.isValid() || !v.canConvert<QString>())
            return false;
        value = FromQString(v.toString());
        return true;
    }
    void Set(const std::string& name, const std::string& value) override {
        settings_.setValue(QString::fromStdString(name), ToQString(value));
    }
    std::vector<std::string> ValueNames() const override {
        std::vector<std::string> names;
        for (const QString& key : settings_.childKeys())
            names.push_back(key.toStdString());
        return names;
    }
    void Sync() { settings_.sync(); }

private:
    mutable QSettings settings_;
};

} // namespace

void TZanMainWindow::LoadRecentFiles() {
    const TQtSettingsStore store;
    Recent_.Load(store);
    FillReopenMenus();
}

void TZanMainWindow::SaveRecentFiles() const {
    TQtSettingsStore store;
    Recent_.Save(store);
    store.Sync();
}

void TZanMainWindow::FillReopenMenus() {
    for (const QString& name : {QStringLiteral("file.reopen"), QStringLiteral("frame.file.reopen")}) {
        auto* menu = findChild<QMenu*>(name);
        if (menu == nullptr)
            continue;
        menu->clear();
        menu->setEnabled(Recent_.Count() > 0);
        for (int n = 1; n <= Recent_.Count(); ++n) {
            QAction* a = menu->addAction(ToQString(Recent_.ReopenCaption(n)));
            connect(a, &QAction::triggered, this, [this, n] { Reopen(n); });
        }
    }
}

std::string TZanMainWindow::PrefStringOf(TSketchPadWindow& window) const {
    const TWindowSettings& s = window.Settings();
    TPrefFields f;
    f.ZoomState = s.ZoomState;
    f.DarkCursor = s.DarkCursor;
    f.HorzPosition = s.HorzPosition;
    f.VertPosition = s.VertPosition;
    f.SnapDistance = SnapDistance_;
    f.Mode = window.currentmode();
    f.AutoBackup = window.AutoBackup;
    for (int i = 0; i < kPrefToolbars; ++i) {
        const QToolBar* bar = ToolBars_[static_cast<std::size_t>(i)];
        TToolbarPlace& place = f.Toolbars[static_cast<std::size_t>(i)];
        place.Shown = !bar->isHidden();
        place.Row = bar->height() > 0 ? bar->y() / bar->height() : 0;
        place.Position = bar->x();
    }
    return CreatePrefString(f);
}

void TZanMainWindow::UsePrefString(TSketchPadWindow& window, const std::string& text) {
    const TPrefFields f = ParsePrefString(text);
    window.Settings().DarkCursor = f.DarkCursor;
    Panels_[2]->setText(window.SetZoomState(f.ZoomState));
    window.SetScrollPositions(f.HorzPosition, f.VertPosition);
    setsnap(f.SnapDistance);
    if (const std::optional<std::int32_t> mode = ModeToApply(f))
        window.ChooseMode(static_cast<sketchstates>(*mode));
    for (int i = 0; i < kPrefToolbars; ++i)
        Command(kToolBars[static_cast<std::size_t>(i)].command)
            ->setChecked(f.Toolbars[static_cast<std::size_t>(i)].Shown);
    window.AutoBackup = f.AutoBackup;
    UpdateCommandStates();
}

void TZanMainWindow::UpdateReopen(TSketchPadWindow& window) {
    const TWindowEntry* entry = Table_.Find(window.Id);
    if (entry == nullptr || entry->HasBase())
        return; // a view's name is its base's; the base records it
    if (Recent_.UpdateReopen(window.CurrentName.toStdString(), PrefStringOf(window)))
        FillReopenMenus();
}

void TZanMainWindow::BackupTick() {
    TSketchPadWindow* w = ActiveSketch();
    if (w == nullptr)
        return;
    const TWindowEntry* entry = Table_.Find(w->Id);
    TBackupState state;
    state.Modified = w->Network().Modified || (entry != nullptr && !entry->AllowClose);
    state.AutoBackup = w->AutoBackup;
    state.SecondsSinceCreate = w->createtime.secsTo(QDateTime::currentDateTime());
    state.FileOperationInProgress = FileOperation_;
    state.ModalBoxOpen = QApplication::activeModalWidget() != nullptr;
    state.LongOperationInProgress = Busy;
    if (!BackupDue(state))
        return;
    const std::optional<std::string> name = BackupName(w->CurrentName.toStdString());
    if (!name)
        return;
    Panels_[3]->setText(QStringLiteral("Backup"));
    FileOperation_ = true;
    // The backup leaves the window's name, its creation time and its modified state as they are.
    const bool modified = w->Network().Modified;
    const TWriteReport report = w->SaveFile(QString::fromStdString(*name), kCurrentVersion);
    w->Network().Modified = modified;
    FileOperation_ = false;
    Panels_[3]->clear();
    WriteMessages(report);
}

bool TZanMainWindow::ReadMessages(const TReadReport& report, const QString& caption) {
    const std::string dropped = DroppedLinksMessage(report);
    if (!dropped.empty())
        Ask(caption, QString::fromStdString(dropped), QMessageBox::Ok, QMessageBox::Critical);
    if (report.code == kFileOK)
        return true;
    const std::string message = ReadErrorMessage(report);
    const QString title =
        QStringLiteral("Network Read Error") +
        (report.code == kFileOutOfMemory ? QString() : QStringLiteral(" %1").arg(report.code));
    Ask(title, QString::fromStdString(message), QMessageBox::Ok,
        report.code == kFileOutOfMemory ? QMessageBox::Warning : QMessageBox::Critical);
    return report.code == kFileOutOfMemory;
}

bool TZanMainWindow::WriteMessages(const TWriteReport& report) {
    if (!report.created) {
        Ask(QStringLiteral("Cannot Write File"), QStringLiteral("File creation error"), QMessageBox::Ok,
            QMessageBox::Critical);
        return false;
    }
    if (report.realErrors > 0)
        Ask(QStringLiteral("Cannot Write File"), QStringLiteral("Real number errors converted to 0"),
            QMessageBox::Ok, QMessageBox::Warning);
    if (report.code != kFileOK) {
        Ask(QStringLiteral("Cannot Write File"), QStringLiteral("Network write error %1").arg(report.code),
            QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    return true;
}

bool TZanMainWindow::Write(TSketchPadWindow& window, const QString& path, int version) {
    FileOperation_ = true;
    const TWriteReport report = window.SaveFile(path, version);
    FileOperation_ = false;
    if (!WriteMessages(report))
        return false;
    // The network now lives in that file, whichever of its windows saved it.
    SetNetworkName(window, path);
    const QDateTime now = QDateTime::currentDateTime();
    for (TWindowId id : Table_.SameBase(window.Id)) {
        if (TSketchPadWindow* w = WidgetOf(id))
            w->createtime = now;
    }
    window.Network().Modified = false;
    Table_.SetAllowClose(window.Id, true);
    return true;
}

bool TZanMainWindow::Save(TSketchPadWindow& window) {
    if (window.CurrentName == kDefaultNetworkName)
        return SaveAs(window);
    return Write(window, window.CurrentName, kCurrentVersion);
}

bool TZanMainWindow::SaveAs(TSketchPadWindow& window) {
    QString filter;
    const QStringList chosen = ChooseFiles(QStringLiteral("Save As"), true, false, &filter);
    if (chosen.isEmpty())
        return false;
    int version = kCurrentVersion;
    for (const TFileType& type : kFileTypes) {
        if (filter == QLatin1String(type.filter))
            version = type.version;
    }
    return Write(window, WithVersionExtension(chosen.front(), version), version);
}

void TZanMainWindow::SetNetworkName(TSketchPadWindow& window, const QString& name) {
    Table_.SetName(window.Id, name.toStdString());
    for (TWindowId id : Table_.SameBase(window.Id)) {
        if (TSketchPadWindow* w = WidgetOf(id)) {
            w->CurrentName = name;
            w->setWindowTitle(QString::fromStdString(Table_.Find(id)->Caption));
        }
    }
}

bool TZanMainWindow::Append(TSketchPadWindow& window) {
    // Which system attribute values stay: Escape keeps the window's own.
    bool useAppended = false;
    if (MessageHook) {
        useAppended = MessageHook(QStringLiteral("System Attribute Disposition"),
                                  QStringLiteral("Use Appended Network System Attribute Values"),
                                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    } else {
        QMessageBox box(QMessageBox::Question, QStringLiteral("System Attribute Disposition"),
                        QStringLiteral("System Attribute Disposition"), QMessageBox::NoButton, this);
        QPushButton* existing =
            box.addButton(QStringLiteral("Use Existing System Attribute Values"), QMessageBox::RejectRole);
        QPushButton* appended = box.addButton(QStringLiteral("Use Appended Network System Attribute Values"),
                                              QMessageBox::AcceptRole);
        box.setEscapeButton(existing);
        box.exec();
        useAppended = box.clickedButton() == appended;
    }
    const QStringList chosen = ChooseFiles(QStringLiteral("Append"), false, false);
    if (chosen.isEmpty())
        return false;
    FileOperation_ = true;
    const TReadReport report = AppendNetworkFile(chosen.front().toLocal8Bit().toStdString(), window.Network(),
                                                 window.Settings(), useAppended);
    FileOperation_ = false;
    if (report.code != kFileOK) {
        // Nothing was appended: the window and its network stay exactly as they were.
        Ask(QStringLiteral("Network Read Error %1").arg(report.code),
            QString::fromStdString(AppendErrorMessage(report)), QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    ReadMessages(report, QStringLiteral("Open/Append"));
    ComputeWorstSizes(window.Network(), window.Settings(), Bitmaps_);
    window.Network().Modified = true;
    Table_.SetAllowClose(window.Id, false);
    UpdateCommandStates();
    // Every window of the network shows the appended elements.
    for (TWindowId id : Table_.SameBase(window.Id)) {
        if (TSketchPadWindow* w = WidgetOf(id))
            w->SettingsChanged();
    }
    return true;
}

bool TZanMainWindow::CloseAllowed(TSketchPadWindow& window) {
    if (window.Network().Modified)
        Table_.SetAllowClose(window.Id, false);
    const TCloseDecision decision = Table_.DecideClose(window.Id, Busy);
    switch (decision.Action) {
    case TCloseAction::Close:
        return true;
    case TCloseAction::Refuse:
        Ask(QString::fromStdString(decision.Caption), QString::fromStdString(decision.Text), QMessageBox::Ok,
            QMessageBox::Critical);
        return false;
    case TCloseAction::Ask:
        break;
    }
    const int answer = Ask(QString::fromStdString(decision.Caption), QString::fromStdString(decision.Text),
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::No)
        return true;
    return Table_.SaveOnClose(window.Id) == TSaveOnClose::SaveAs ? SaveAs(window) : Save(window);
}

bool TZanMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusBar()) {
        if (event->type() == QEvent::MouseButtonPress)
            StatusPressX_ = static_cast<QMouseEvent*>(event)->position().toPoint().x();
        else if (event->type() == QEvent::MouseButtonDblClick)
            StatusDoubleClicked(StatusPressX_);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TZanMainWindow::StatusDoubleClicked(int x) {
    TSketchPadWindow* w = ActiveSketch();
    if (w == nullptr)
        return;
    if (x >= 130 && x <= 220)
        emit SnapDialogRequested();
    if (x >= 0 && x <= 180 &&
        (w->currentmode() == 1 || w->currentmode() == 9 || w->currentmode() == 13 || w->currentmode() == 15))
        emit CoordinatesDialogRequested();
}

void TZanMainWindow::OpenCommandLineFile(const QString& path) {
    if (QFileInfo::exists(path))
        OpenFiles({path});
}

void TZanMainWindow::closeEvent(QCloseEvent* event) {
    // Every window is asked first; one that stays open keeps everything open.
    std::vector<TSketchPadWindow*> order;
    std::vector<std::pair<std::string, std::string>> closing; // name and preference string of bases
    for (TWindowId id : Table_.Ids()) {
        TSketchPadWindow* w = WidgetOf(id);
        order.push_back(w);
        if (!Table_.Find(id)->HasBase())
            closing.emplace_back(w->CurrentName.toStdString(), PrefStringOf(*w));
    }
    const TShutdownResult result =
        Table_.Shutdown([this](const TWindowEntry& entry) { return CloseAllowed(*WidgetOf(entry.Id)); });
    if (!result.Proceed) {
        event->ignore();
        return;
    }
    for (const auto& [name, prefs] : closing)
        Recent_.UpdateReopen(name, prefs);
    for (TSketchPadWindow* w : order) {
        Widgets_.erase(w->Id);
        w->Id = kNoWindow;
        w->CanClose = nullptr;
        w->parentWidget()->close();
    }
    SaveRecentFiles();
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Dialogs

int TZanMainWindow::Ask(const QString& caption, const QString& text, int buttons, int icon) {
    if (MessageHook)
        return MessageHook(caption, text, buttons);
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), caption, text,
                    static_cast<QMessageBox::StandardButtons>(buttons), this);
    return box.exec();
}

QStringList TZanMainWindow::ChooseFiles(const QString& caption, bool save, bool many, QString* filter) {
    if (FileDialogHook) {
        QStringList chosen = FileDialogHook(caption);
        if (filter != nullptr)
            *filter = QString::fromLatin1(kFileTypes[0].filter);
        return chosen;
    }
    if (save) {
        QStringList filters;
        for (const TFileType& type : kFileTypes)
            filters << QString::fromLatin1(type.filter);
        TSketchPadWindow* w = ActiveSketch();
        const QString proposed = w != nullptr ? w->CurrentName : QString();
        const QString path =
            QFileDialog::getSaveFileName(this, caption, proposed, filters.join(QStringLiteral(";;")), filter);
        return path.isEmpty() ? QStringList() : QStringList{path};
    }
    const QString networks = QStringLiteral("ZAN Network (*.dta *.dt1 *.dt2 *.dt3 *.dt4 *.dt5 *.dt6 *.dt7);;"
                                            "All Files (*)");
    if (many)
        return QFileDialog::getOpenFileNames(this, caption, QString(), networks);
    const QString path = QFileDialog::getOpenFileName(this, caption, QString(), networks);
    return path.isEmpty() ? QStringList() : QStringList{path};
}

void TZanMainWindow::ShowHelp() {
    const QString page = QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
    const QString fallback = QStringLiteral(ZAN_SOURCE_DIR "/docs/help/index.html");
    const QString target = QFileInfo::exists(page) ? page : fallback;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(target)))
        Ask(QStringLiteral("Help"), QStringLiteral("The help pages are in ") + target, QMessageBox::Ok,
            QMessageBox::Information);
}

void TZanMainWindow::ShowAbout() {
    QMessageBox::about(this, tr("About Zan"),
                       tr("<h3>Zan %1</h3>"
                          "<p>Version: 64-bit  %1</p>"
                          "<p>Editor for planar transportation networks: nodes, links, zones and their "
                          "attributes.</p>")
                           .arg(ProgramVersion()));
}

} // namespace zan
