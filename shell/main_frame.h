// CMainFrame: the main window: the document windows in an MDI area, the menus (one set without a
// document, one with), the toolbar, the "Simulation:" bar, the status bar with CAP, NUM and SCRL,
// the accelerators, and the rule that the application does not close while a script runs.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "shell/recent_files.h"

class CChildFrame;
class CFindDialog;
class CKestrumDoc;
class CSimulationBar;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTextEdit;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr char kTitle[] = "Kestrum (Built: 2021.12.14)";
    static constexpr int kMaximizeDelayMs = 400;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // 37/40 of the screen's width by 33/40 of its height, centred.
    static QRect InitialGeometry(const QRect& screen);
    // The places of count document windows in an area tiled horizontally, in the windows' order.
    static QList<QRect> TileRects(const QSize& area, int count);
    // Shows the frame at its initial size with the splash over it, maximised kMaximizeDelayMs later.
    void ShowAtStartUp();

    // Runs a command by its id as its menu item, toolbar button or key would.
    void Execute(int id);
    QAction* Action(int id) const { return actions_.value(id); }

    CChildFrame* ActiveChildFrame() const;
    QList<CChildFrame*> ChildFrames() const;
    QMdiArea* MdiArea() const { return mdi_; }
    QToolBar* ToolBar() const { return toolBar_; }
    CSimulationBar* SimulationBar() const { return simulationBar_; }
    QMenu* EditMenu() const { return editMenu_; }
    const CRecentFileList& RecentFiles() const { return recent_; }

    CChildFrame* OnFileNew();
    // Opens path in a new frame (or activates the frame that shows it); failures are shown.
    CChildFrame* OpenDocumentFile(const QString& path);
    CChildFrame* OnWindowNew();
    // The help page for F1 and Shift+F1: the local one when it exists, otherwise the online one.
    static QString OnlineHelpUrl();
    static QString OfflineHelpPath();

Q_SIGNALS:
    // The frame has agreed to close: the application ends (windows of scripts may still show).
    void frameClosed();

public Q_SLOTS:
    void SetRunButtons(bool showCompileRun, bool showPauseStop, bool showResume);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    QAction* NewAction(int id);
    void Connect(int id, void (CMainFrame::*handler)());
    void ConnectToFrame(int id, void (CChildFrame::*handler)());
    void ConnectToFocus(int id, const char* slot);

    CChildFrame* AddFrame(CKestrumDoc* document);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void UpdateCommands();
    void UpdateEditCommands();
    template <typename Text>
    void FollowEditState(Text* text);
    QWidget* EditTarget() const;
    void UpdateTitles(CKestrumDoc* document);
    void UpdateMainTitle();
    void UpdateFileMenu();
    void AddRecentFileItems();
    void UpdateWindowMenu();
    QTextEdit* ActiveEditor() const;
    bool AnyScriptRunning() const;
    // Opens the files dropped on a widget of this window; true when the event was theirs.
    bool TakeFileDrop(QWidget* widget, QEvent* event);
    // A chart or network window of a document, which has no keys of its own in the table.
    static bool IsRunWindow(const QWidget* window);

    void OnFileOpen();
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFilePrint();
    void OnEditPasteSpecial();
    void OnEditFind();
    void OnEditFindNext();
    void OnEditReplace();
    void OnWindowNewSlot();
    void OnWindowCascade();
    void OnWindowTile();
    void OnWindowArrange();
    void OnAppAbout();
    void OnHelpWebOnline();
    void OnHelpWebOffline();
    void OnHelp();
    void OnFileNewSlot();

    QMdiArea* mdi_;
    QHash<int, QAction*> actions_;
    QToolBar* toolBar_ = nullptr;
    CSimulationBar* simulationBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    CRecentFileList recent_;
    CFindDialog* findDialog_ = nullptr;
    QPointer<QWidget> focusBeforeMenuBar_;
};
