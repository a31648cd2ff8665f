#include "shell/main_frame.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "platform/cp1256.h"
#include "platform/desktop.h"
#include "shell/about_dlg.h"
#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/edit_commands.h"
#include "shell/find_dialog.h"
#include "shell/kestrum_doc.h"
#include "shell/kestrum_view.h"
#include "shell/lock_indicators.h"
#include "shell/open_documents.h"
#include "shell/output_pane.h"
#include "shell/simulation_bar.h"
#include "shell/splash_wnd.h"
#include "windows/chart_viewer.h"
#include "windows/nn_structure_dialog.h"

// The pictures live in the shell's static library: a program that links it must pull them in.
static void InitResources() { Q_INIT_RESOURCE(kestrum); }

namespace {

constexpr char kHelpPath[] = "/_HTML/Kestrum_Help/index.htm";
constexpr char kDefaultHelpServer[] = "http://localhost";
constexpr char kHelpServerKey[] = "Settings/HelpServer";

// The toolbar, in order; 0 is a separator.
constexpr int kToolBar[] = {
    cmd::kFileNew, cmd::kFileOpen, cmd::kFileSave, 0, cmd::kEditCut, cmd::kEditCopy, cmd::kEditPaste, 0,
    cmd::kFilePrint, cmd::kAppAbout, cmd::kContextHelp, 0, cmd::kNextPaneFrame, 0, cmd::kToggleStructure,
    cmd::kToggleCharts, 0, cmd::kCompile, cmd::kRun, cmd::kPause, cmd::kStop, cmd::kResume,
};

struct Picture {
    int id;
    const char* name;
};
constexpr Picture kPictures[] = {
    {cmd::kFileNew, "new"},         {cmd::kFileOpen, "open"},          {cmd::kFileSave, "save"},
    {cmd::kEditCut, "cut"},         {cmd::kEditCopy, "copy"},          {cmd::kEditPaste, "paste"},
    {cmd::kFilePrint, "print"},     {cmd::kAppAbout, "about"},         {cmd::kContextHelp, "context_help"},
    {cmd::kNextPaneFrame, "next_pane"}, {cmd::kToggleStructure, "structure"}, {cmd::kToggleCharts, "charts"},
    {cmd::kCompile, "compile"},     {cmd::kRun, "run"},                {cmd::kPause, "pause"},
    {cmd::kStop, "stop"},           {cmd::kResume, "resume"},
};

QString ToolBarPicture(int id) {
    for (const Picture& picture : kPictures) {
        if (picture.id == id) return QString(":/kestrum/toolbar/%1.svg").arg(picture.name);
    }
    return QString();
}

void OpenWithDesktop(const QString& target) { desktop::Current().Open(cp1256::FromUtf8(target.toStdString())); }

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), mdi_(new QMdiArea(this)) {
    InitResources();
    setWindowTitle(kTitle);
    setWindowIcon(QIcon(":/kestrum/kestrum.svg"));
    setAcceptDrops(true);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Closing the active document window gives the activation back to the one used before it.
    mdi_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(mdi_);
    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (qobject_cast<QMenuBar*>(now) != nullptr) focusBeforeMenuBar_ = old;
        UpdateCommands();
    });
    findDialog_ = new CFindDialog([this] { return ActiveEditor(); }, this);
    connect(findDialog_->FindField(), &QLineEdit::textChanged, this, &CMainFrame::UpdateEditCommands);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateEditCommands);
    FollowEditState(simulationBar_->TextField());
    qApp->installEventFilter(this);
    UpdateCommands();
}

// The frame's own updates stop before its parts go.
CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(mdi_, nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    // A view still waiting for its worker keeps serving events while it is destroyed: none of
    // its signals (nor those of the other text fields) may reach this half-destroyed frame.
    for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
}

QRect CMainFrame::InitialGeometry(const QRect& screen) {
    const int width = screen.width() * 37 / 40;
    const int height = screen.height() * 33 / 40;
    return QRect(screen.x() + (screen.width() - width) / 2, screen.y() + (screen.height() - height) / 2, width,
                 height);
}

void CMainFrame::ShowAtStartUp() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) setGeometry(InitialGeometry(screen->geometry()));
    showNormal();
    CSplashWnd::ShowSplashScreen(this);
    QTimer::singleShot(kMaximizeDelayMs, this, &QWidget::showMaximized);
}

// ---- commands -------------------------------------------------------------------------------

QAction* CMainFrame::NewAction(int id) {
    const cmd::Command* command = cmd::Find(id);
    QString text = command->menuText.isEmpty() ? cmd::ToolTip(*command) : command->menuText;
    auto* action = new QAction(text, this);
    action->setStatusTip(cmd::StatusText(*command));
    action->setToolTip(cmd::ToolTip(*command));
    if (const QString picture = ToolBarPicture(id); !picture.isEmpty()) action->setIcon(QIcon(picture));
    actions_.insert(id, action);
    // The keys belong to a twin that is never hidden: a run button the toolbar hides still has
    // its keys, and a key of a disabled command does nothing.
    const std::vector<QKeySequence> keys = cmd::KeysOf(id);
    if (!keys.empty()) {
        auto* keyAction = new QAction(this);
        keyAction->setShortcuts(QList<QKeySequence>(keys.begin(), keys.end()));
        keyAction->setShortcutContext(Qt::WindowShortcut);
        connect(keyAction, &QAction::triggered, action, &QAction::trigger);
        addAction(keyAction);
    }
    return action;
}

void CMainFrame::Connect(int id, void (CMainFrame::*handler)()) {
    connect(Action(id), &QAction::triggered, this, handler);
}

void CMainFrame::ConnectToFrame(int id, void (CChildFrame::*handler)()) {
    connect(Action(id), &QAction::triggered, this, [this, handler] {
        if (CChildFrame* frame = ActiveChildFrame()) (frame->*handler)();
    });
}

// Edit commands act on the text that has the focus (the editor, the output pane, the
// "Simulation:" field): each of them has the slots by these names.
void CMainFrame::ConnectToFocus(int id, const char* slot) {
    connect(Action(id), &QAction::triggered, this, [this, slot] {
        if (QWidget* target = EditTarget()) QMetaObject::invokeMethod(target, slot);
    });
}

// The text widget that has the keyboard in this window, or gets it back when the window is active
// again.
QWidget* CMainFrame::EditTarget() const {
    QWidget* focus = focusWidget();
    // The menu bar borrows the focus while the keyboard walks it: the commands act where it was.
    if (qobject_cast<QMenuBar*>(focus) != nullptr) focus = focusBeforeMenuBar_;
    return IsEditTarget(focus) ? focus : nullptr;
}

void CMainFrame::CreateActions() {
    for (const cmd::Command& command : cmd::Commands()) NewAction(command.id);
    Connect(cmd::kFileNew, &CMainFrame::OnFileNewSlot);
    Connect(cmd::kFileOpen, &CMainFrame::OnFileOpen);
    Connect(cmd::kFileClose, &CMainFrame::OnFileClose);
    Connect(cmd::kFileSave, &CMainFrame::OnFileSave);
    Connect(cmd::kFileSaveAs, &CMainFrame::OnFileSaveAs);
    Connect(cmd::kFilePrint, &CMainFrame::OnFilePrint);
    connect(Action(cmd::kAppExit), &QAction::triggered, this, &QWidget::close);
    ConnectToFocus(cmd::kEditUndo, "undo");
    ConnectToFocus(cmd::kEditCut, "cut");
    ConnectToFocus(cmd::kEditCopy, "copy");
    ConnectToFocus(cmd::kEditPaste, "paste");
    ConnectToFocus(cmd::kEditSelectAll, "selectAll");
    Connect(cmd::kEditPasteSpecial, &CMainFrame::OnEditPasteSpecial);
    Connect(cmd::kEditFind, &CMainFrame::OnEditFind);
    Connect(cmd::kEditFindNext, &CMainFrame::OnEditFindNext);
    Connect(cmd::kEditReplace, &CMainFrame::OnEditReplace);
    Connect(cmd::kWindowNew, &CMainFrame::OnWindowNewSlot);
    Connect(cmd::kWindowCascade, &CMainFrame::OnWindowCascade);
    Connect(cmd::kWindowTile, &CMainFrame::OnWindowTile);
    Connect(cmd::kWindowArrange, &CMainFrame::OnWindowArrange);
    // The multiple-document keys outside the accelerator table: Ctrl+F6 goes to the next document
    // window, Ctrl+Shift+F6 to the previous one.
    const std::pair<QKeySequence, void (QMdiArea::*)()> windowKeys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_F6), &QMdiArea::activateNextSubWindow},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6), &QMdiArea::activatePreviousSubWindow},
    };
    for (const auto& [key, move] : windowKeys) {
        auto* action = new QAction(this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, mdi_, move);
        addAction(action);
    }
    Connect(cmd::kAppAbout, &CMainFrame::OnAppAbout);
    Connect(cmd::kHelpWebOnline, &CMainFrame::OnHelpWebOnline);
    Connect(cmd::kHelpWebOffline, &CMainFrame::OnHelpWebOffline);
    Connect(cmd::kHelp, &CMainFrame::OnHelp);
    Connect(cmd::kContextHelp, &CMainFrame::OnHelp);
    ConnectToFrame(cmd::kCompile, &CChildFrame::OnCompile);
    ConnectToFrame(cmd::kRun, &CChildFrame::OnRun);
    ConnectToFrame(cmd::kPause, &CChildFrame::OnPause);
    ConnectToFrame(cmd::kResume, &CChildFrame::OnResume);
    ConnectToFrame(cmd::kStop, &CChildFrame::OnStop);
    ConnectToFrame(cmd::kToggleStructure, &CChildFrame::OnToggleStructureWindow);
    ConnectToFrame(cmd::kToggleCharts, &CChildFrame::OnToggleChartWindows);
    ConnectToFrame(cmd::kNextPaneFrame, &CChildFrame::OnNextPane);
    ConnectToFrame(cmd::kNextPane, &CChildFrame::OnNextPane);
    ConnectToFrame(cmd::kPrevPane, &CChildFrame::OnPrevPane);
    ConnectToFrame(cmd::kWindowSplit, &CChildFrame::OnSplit);

    QAction* toolbar = Action(cmd::kViewToolbar);
    QAction* statusBarAction = Action(cmd::kViewStatusBar);
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    statusBarAction->setCheckable(true);
    statusBarAction->setChecked(true);
    // The toolbar's band only: the "Simulation:" bar stays.
    connect(toolbar, &QAction::toggled, this, [this](bool on) { toolBar_->setVisible(on); });
    connect(statusBarAction, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    // No handlers here: embedded objects are not supported, Esc does nothing.
    for (int id : {cmd::kOleInsertNew, cmd::kOleEditLinks, cmd::kOleProperties, cmd::kOleVerbFirst, cmd::kEscape,
                   cmd::kFileMru}) {
        Action(id)->setEnabled(false);
    }
}

void CMainFrame::Execute(int id) {
    if (QAction* action = Action(id); action != nullptr && action->isEnabled()) action->trigger();
}

void CMainFrame::CreateMenus() {
    fileMenu_ = menuBar()->addMenu("&File");
    connect(fileMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateFileMenu);
    UpdateFileMenu();

    editMenu_ = menuBar()->addMenu("&Edit");
    connect(editMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateEditCommands);
    const int editItems[] = {cmd::kEditUndo, 0, cmd::kEditCut, cmd::kEditCopy, cmd::kEditPaste,
                             cmd::kEditPasteSpecial, 0, cmd::kEditSelectAll, cmd::kEditFind, cmd::kEditFindNext,
                             cmd::kEditReplace, 0, cmd::kOleInsertNew, cmd::kOleEditLinks, cmd::kOleProperties,
                             cmd::kOleVerbFirst};
    for (int id : editItems) {
        if (id == 0) {
            editMenu_->addSeparator();
        } else {
            editMenu_->addAction(Action(id));
        }
    }

    QMenu* view = menuBar()->addMenu("&View");
    for (int id : {cmd::kViewToolbar, cmd::kViewStatusBar, cmd::kWindowSplit}) view->addAction(Action(id));

    windowMenu_ = menuBar()->addMenu("&Window");
    connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowMenu);
    UpdateWindowMenu();

    QMenu* help = menuBar()->addMenu("&Help");
    for (int id : {cmd::kHelpWebOnline, cmd::kHelpWebOffline}) help->addAction(Action(id));
    help->addSeparator();
    help->addAction(Action(cmd::kAppAbout));
}

void CMainFrame::CreateToolBars() {
    toolBar_ = addToolBar("Toolbar");
    toolBar_->setObjectName("toolbar");
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setMovable(true);
    for (int id : kToolBar) {
        if (id == 0) {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(Action(id));
        }
    }

    // Hidden or shown from the toolbars' context menu, the View menu's check follows.
    connect(toolBar_, &QToolBar::visibilityChanged, Action(cmd::kViewToolbar), &QAction::setChecked);

    simulationBar_ = new CSimulationBar(this);
    addToolBar(simulationBar_);
}

void CMainFrame::CreateStatusBar() {
    statusBar()->addPermanentWidget(new CLockIndicators(this));
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty()) statusBar()->showMessage("Ready");
    });
    statusBar()->showMessage("Ready");
}

// ---- the run buttons -------------------------------------------------------------------------

// The toolbar holds all five; only a document's view hides some of them, and the last one to
// show its state leaves them so.
void CMainFrame::SetRunButtons(bool showCompileRun, bool showPauseStop, bool showResume) {
    Action(cmd::kCompile)->setVisible(showCompileRun);
    Action(cmd::kRun)->setVisible(showCompileRun);
    Action(cmd::kPause)->setVisible(showPauseStop);
    Action(cmd::kStop)->setVisible(showPauseStop);
    Action(cmd::kResume)->setVisible(showResume);
}

// ---- frames and documents ---------------------------------------------------------------------

CChildFrame* CMainFrame::ActiveChildFrame() const { return qobject_cast<CChildFrame*>(mdi_->currentSubWindow()); }

QList<CChildFrame*> CMainFrame::ChildFrames() const {
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* frame = qobject_cast<CChildFrame*>(window)) frames.append(frame);
    }
    return frames;
}

CChildFrame* CMainFrame::AddFrame(CKestrumDoc* document) {
    auto* frame = new CChildFrame(document);
    CKestrumView* view = frame->EditorView();
    FollowEditState(view);
    FollowEditState(frame->OutputPane());
    connect(view, &CKestrumView::runButtonsChanged, this, [this, frame](bool compileRun, bool pauseStop, bool resume) {
        if (frame == ActiveChildFrame()) SetRunButtons(compileRun, pauseStop, resume);
        UpdateCommands();  // Undo follows the run state of the active document
    });
    connect(view, &CKestrumView::simulationTextChanged, simulationBar_, &CSimulationBar::SetSimulationText);
    connect(view, &CKestrumView::simulationProgressChanged, simulationBar_, &CSimulationBar::SetSimulationProgress);
    connect(document, &CKestrumDoc::titleChanged, frame, [this, document] { UpdateTitles(document); });
    connect(frame, &QObject::destroyed, this, [this, document] {
        if (document->FrameCount() == 0) {
            document->deleteLater();
        } else {
            UpdateTitles(document);
        }
        UpdateCommands();
    });
    mdi_->addSubWindow(frame);
    // After the MDI area's own handling of the state change, which sets the title of a maximised one.
    connect(frame, &QMdiSubWindow::windowStateChanged, this, [this] {
        QTimer::singleShot(0, this, &CMainFrame::UpdateMainTitle);
    });
    UpdateTitles(document);
    frame->show();
    mdi_->setActiveSubWindow(frame);
    // Installed again so that this filter sees keys before the MDI area's own filter.
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
    return frame;
}

void CMainFrame::UpdateTitles(CKestrumDoc* document) {
    QList<CChildFrame*> frames;
    for (CChildFrame* frame : ChildFrames()) {
        if (frame->Document() == document) frames.append(frame);
    }
    for (int i = 0; i < frames.size(); ++i) frames[i]->UpdateTitle(i + 1, static_cast<int>(frames.size()));
    UpdateMainTitle();
}

// The active document's name follows the program's. A maximised document window adds its own
// title in brackets instead (the MDI area does that), so the name does not stand there twice.
void CMainFrame::UpdateMainTitle() {
    const CChildFrame* frame = ActiveChildFrame();
    if (frame == nullptr || frame->isMaximized()) {
        setWindowTitle(kTitle);
    } else {
        setWindowTitle(QString("%1 - %2").arg(kTitle, frame->Document()->Title()));
    }
}

CChildFrame* CMainFrame::OnFileNew() {
    auto* document = new CKestrumDoc(this);
    document->OnNewDocument();
    return AddFrame(document);
}

CChildFrame* CMainFrame::OpenDocumentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // The same file by another name (a link, a linked folder) is the document already open.
    if (const CKestrumDoc* open = COpenDocuments::Find(path)) {
        for (CChildFrame* frame : ChildFrames()) {
            if (frame->Document() == open) {
                mdi_->setActiveSubWindow(frame);
                return frame;
            }
        }
    }
    auto* document = new CKestrumDoc(this);
    QString error;
    if (!document->OnOpenDocument(path, error)) {
        delete document;
        recent_.Remove(absolute);
        QMessageBox::warning(this, "Kestrum", error);
        return nullptr;
    }
    recent_.Add(absolute);
    CChildFrame* frame = AddFrame(document);
    if (const QString notice = document->LeftOutNotice(); !notice.isEmpty()) {
        QMessageBox::information(this, "Kestrum", notice);
    }
    return frame;
}

CChildFrame* CMainFrame::OnWindowNew() {
    CChildFrame* active = ActiveChildFrame();
    return active != nullptr ? AddFrame(active->Document()) : nullptr;
}

void CMainFrame::OnFileNewSlot() { OnFileNew(); }
void CMainFrame::OnWindowNewSlot() { OnWindowNew(); }

void CMainFrame::OnFileOpen() {
    const QString path =
        QFileDialog::getOpenFileName(this, "Open", QString(), CKestrumDoc::FileFilter() + ";;All Files (*)");
    if (!path.isEmpty()) OpenDocumentFile(path);
}

// Closing goes through the frame's close, which refuses while the script runs and asks to save.
void CMainFrame::OnFileClose() {
    CChildFrame* frame = ActiveChildFrame();
    if (frame == nullptr) return;
    // The document goes with all its frames: not while the
    // script of any of them runs.
    CKestrumDoc* document = frame->Document();
    for (CChildFrame* other : ChildFrames()) {
        if (other->Document() == document && other->EditorView()->IsRunning()) {
            desktop::Current().Beep(desktop::kIconHand);
            return;
        }
    }
    if (!document->SaveModified(this)) return;
    document->TextDocument()->setModified(false);
    for (CChildFrame* other : ChildFrames()) {
        if (other->Document() == document) other->close();
    }
}

void CMainFrame::OnFileSave() {
    if (CChildFrame* frame = ActiveChildFrame(); frame != nullptr && frame->Document()->DoFileSave(this)) {
        recent_.Add(frame->Document()->PathName());
    }
}

void CMainFrame::OnFileSaveAs() {
    if (CChildFrame* frame = ActiveChildFrame(); frame != nullptr && frame->Document()->DoSaveAs(this)) {
        recent_.Add(frame->Document()->PathName());
    }
}

void CMainFrame::OnFilePrint() {
    CChildFrame* frame = ActiveChildFrame();
    if (frame != nullptr && frame->OutputPane()->hasFocus()) frame->OutputPane()->OnFilePrint();
}

// With a document: New, Open, Close, Save, Save As, the recent files, Exit; without one: New, Open,
// the recent files, Close, Exit ("Recent File", disabled, while there are none).
void CMainFrame::UpdateFileMenu() {
    fileMenu_->clear();  // the recent-file items it made go with it
    const bool hasDocument = ActiveChildFrame() != nullptr;
    fileMenu_->addAction(Action(cmd::kFileNew));
    fileMenu_->addAction(Action(cmd::kFileOpen));
    if (hasDocument) {
        for (int id : {cmd::kFileClose, cmd::kFileSave, cmd::kFileSaveAs}) fileMenu_->addAction(Action(id));
    }
    fileMenu_->addSeparator();
    AddRecentFileItems();
    fileMenu_->addSeparator();
    if (!hasDocument) fileMenu_->addAction(Action(cmd::kFileClose));
    fileMenu_->addAction(Action(cmd::kAppExit));
}

void CMainFrame::AddRecentFileItems() {
    const QStringList& files = recent_.Files();
    if (files.isEmpty()) fileMenu_->addAction(Action(cmd::kFileMru));
    const QStringList shown = recent_.DisplayNames();
    for (int i = 0; i < files.size(); ++i) {
        // A "&" of the name is shown, not taken as a mnemonic.
        QAction* item = fileMenu_->addAction(CRecentFileList::Mnemonic(i) + QString(shown[i]).replace("&", "&&"));
        item->setStatusTip(cmd::StatusText(*cmd::Find(cmd::kFileMru)));
        const QString path = files[i];
        connect(item, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
    }
}

// The window commands, then one item per document window, the active one checked.
void CMainFrame::UpdateWindowMenu() {
    windowMenu_->clear();
    for (int id : {cmd::kWindowNew, cmd::kWindowCascade, cmd::kWindowTile, cmd::kWindowArrange}) {
        windowMenu_->addAction(Action(id));
    }
    const QList<CChildFrame*> frames = ChildFrames();
    if (!frames.isEmpty()) windowMenu_->addSeparator();
    for (int i = 0; i < frames.size(); ++i) {
        CChildFrame* frame = frames[i];
        QAction* item = windowMenu_->addAction(QString("&%1 %2").arg(i + 1).arg(frame->windowTitle()));
        item->setCheckable(true);
        item->setChecked(frame == ActiveChildFrame());
        connect(item, &QAction::triggered, this, [this, frame] { mdi_->setActiveSubWindow(frame); });
    }
}

// ---- edit -------------------------------------------------------------------------------------

QTextEdit* CMainFrame::ActiveEditor() const {
    CChildFrame* frame = ActiveChildFrame();
    return frame != nullptr ? frame->EditorView() : nullptr;
}

void CMainFrame::OnEditPasteSpecial() {
    QTextEdit* editor = ActiveEditor();
    if (!CanPasteSpecial(editor)) return;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QStringList formats;
    if (data->hasHtml()) formats << "Rich Text";
    if (data->hasText()) formats << "Unformatted Text";
    if (formats.isEmpty()) return;
    bool ok = false;
    const QString chosen = QInputDialog::getItem(this, "Paste Special", "As:", formats, 0, false, &ok);
    if (!ok) return;
    if (chosen == "Rich Text") {
        editor->insertHtml(data->html());
    } else {
        editor->insertPlainText(data->text());
    }
}

void CMainFrame::OnEditFind() { findDialog_->Open(CFindDialog::Mode::kFind); }
void CMainFrame::OnEditReplace() { findDialog_->Open(CFindDialog::Mode::kReplace); }
void CMainFrame::OnEditFindNext() { findDialog_->FindNext(); }

// ---- window -----------------------------------------------------------------------------------

// Minimised frames in a row along the bottom of the area.
// As a multiple-document client cascades: the frames step down from the top left by a title bar's
// height, bottom of the stack first, so that the active one comes last and stays on top; each is
// as large as the area less the room of the steps.
void CMainFrame::OnWindowCascade() {
    QList<QMdiSubWindow*> frames;
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::StackingOrder)) {
        if (!window->isMinimized()) frames.append(window);
    }
    if (frames.isEmpty()) return;
    const QStyle* look = frames.front()->style();
    const int step = std::max(1, look->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frames.front()) +
                                     look->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, frames.front()));
    const QSize area = mdi_->viewport()->size();
    const int steps = area.height() / (3 * step);
    const QSize size(area.width() - steps * step, area.height() - steps * step);
    for (int n = 0; n < frames.size(); ++n) {
        if (frames[n]->isMaximized()) frames[n]->showNormal();
        const int offset = step * (n % (steps + 1));
        frames[n]->setGeometry(QRect(QPoint(offset, offset), size));
    }
}

// The windows' places of a horizontal tile: about sqrt(n) rows of full-width windows, in columns
// when there are four or more, the last column taking the windows left over.
QList<QRect> CMainFrame::TileRects(const QSize& area, int count) {
    QList<QRect> rects;
    if (count <= 0) return rects;
    const int columns = static_cast<int>(std::sqrt(static_cast<double>(count)));
    int rows = count / columns;
    const int width = area.width() / columns;
    for (int column = 0, placed = 0; column < columns; ++column) {
        if (column == columns - 1) rows = count - placed;
        const int height = area.height() / rows;
        for (int row = 0; row < rows; ++row, ++placed) {
            rects.append(QRect(column * width, row * height, width, height));
        }
    }
    return rects;
}

// The active window first, at the top left; minimised windows keep their places.
void CMainFrame::OnWindowTile() {
    QList<QMdiSubWindow*> frames;
    const QList<QMdiSubWindow*> stack = mdi_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (!(*it)->isMinimized()) frames.append(*it);
    }
    const QList<QRect> rects = TileRects(mdi_->viewport()->size(), static_cast<int>(frames.size()));
    for (int i = 0; i < frames.size(); ++i) {
        if (frames[i]->isMaximized()) frames[i]->showNormal();
        frames[i]->setGeometry(rects[i]);
    }
}

void CMainFrame::OnWindowArrange() {
    int x = 0;
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized()) continue;
        window->move(x, mdi_->viewport()->height() - window->height());
        x += window->width();
    }
}

// ---- help -------------------------------------------------------------------------------------

QString CMainFrame::OnlineHelpUrl() {
    QSettings settings(CRecentFileList::kOrganization, CRecentFileList::kApplication);
    QString server = settings.value(kHelpServerKey, kDefaultHelpServer).toString();
    while (server.endsWith('/')) server.chop(1);
    return server + kHelpPath;
}

QString CMainFrame::OfflineHelpPath() { return QDir::current().absoluteFilePath("Kestrum_Help/index.htm"); }

void CMainFrame::OnHelpWebOnline() { OpenWithDesktop(OnlineHelpUrl()); }
void CMainFrame::OnHelpWebOffline() { OpenWithDesktop(OfflineHelpPath()); }

void CMainFrame::OnHelp() {
    OpenWithDesktop(QFileInfo::exists(OfflineHelpPath()) ? OfflineHelpPath() : OnlineHelpUrl());
}

void CMainFrame::OnAppAbout() {
    CAboutDlg about(this);
    connect(&about, &CAboutDlg::helpSiteRequested, this, &CMainFrame::OnHelpWebOnline);
    about.exec();
    desktop::Current().Beep(0);
}

// ---- state ------------------------------------------------------------------------------------

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    if (auto* frame = qobject_cast<CChildFrame*>(window)) frame->OnMDIActivate();
    UpdateMainTitle();
    UpdateCommands();
}

// Menus and buttons follow the active document: without one, the document menus go and its
// commands are disabled; Print works only from the output pane.
void CMainFrame::UpdateCommands() {
    CChildFrame* frame = ActiveChildFrame();
    const bool hasDocument = frame != nullptr;
    editMenu_->menuAction()->setVisible(hasDocument);
    windowMenu_->menuAction()->setVisible(hasDocument);
    for (int id : {cmd::kFileClose, cmd::kFileSave, cmd::kFileSaveAs, cmd::kWindowNew, cmd::kWindowCascade,
                   cmd::kWindowTile, cmd::kWindowArrange, cmd::kCompile, cmd::kRun, cmd::kPause, cmd::kStop,
                   cmd::kResume, cmd::kToggleStructure, cmd::kToggleCharts, cmd::kNextPaneFrame, cmd::kNextPane,
                   cmd::kPrevPane, cmd::kWindowSplit}) {
        Action(id)->setEnabled(hasDocument);
    }
    Action(cmd::kFilePrint)->setEnabled(hasDocument && frame->OutputPane()->hasFocus());
    UpdateEditCommands();
}

// Each Edit command is enabled exactly when it would act; none without a document.
void CMainFrame::UpdateEditCommands() {
    CChildFrame* frame = ActiveChildFrame();
    EditCommandStates can;
    if (frame != nullptr && findDialog_ != nullptr) {
        can = EditCommandStatesFor(EditTarget(), frame->EditorView(), findDialog_->FindField()->text());
    }
    const std::pair<int, bool> states[] = {
        {cmd::kEditUndo, can.undo},           {cmd::kEditCut, can.cut},           {cmd::kEditCopy, can.copy},
        {cmd::kEditPaste, can.paste},         {cmd::kEditPasteSpecial, can.pasteSpecial},
        {cmd::kEditSelectAll, can.selectAll}, {cmd::kEditFind, can.find},         {cmd::kEditFindNext, can.findNext},
        {cmd::kEditReplace, can.replace},
    };
    for (const auto& [id, enabled] : states) Action(id)->setEnabled(enabled);
}

// What the Edit commands' states follow besides the focus: the text, the selection and the undo
// history of the text widgets, the clipboard, and the text Find Next looks for.
template <typename Text>
void CMainFrame::FollowEditState(Text* text) {
    const auto update = [this] { UpdateEditCommands(); };
    connect(text, &Text::selectionChanged, this, update);
    connect(text, &Text::textChanged, this, update);
    if constexpr (requires { &Text::undoAvailable; }) connect(text, &Text::undoAvailable, this, update);
}

bool CMainFrame::AnyScriptRunning() const {
    for (CChildFrame* frame : ChildFrames()) {
        if (frame->EditorView()->IsRunning()) return true;
    }
    return false;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (AnyScriptRunning()) {
        desktop::Current().Beep(desktop::kIconHand);
        event->ignore();
        return;
    }
    QList<CKestrumDoc*> asked;
    for (CChildFrame* frame : ChildFrames()) {
        CKestrumDoc* document = frame->Document();
        if (asked.contains(document)) continue;
        asked.append(document);
        if (!document->SaveModified(this)) {
            event->ignore();
            return;
        }
    }
    findDialog_->hide();
    QMainWindow::closeEvent(event);
    Q_EMIT frameClosed();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) OpenDocumentFile(url.toLocalFile());
    }
    event->acceptProposedAction();
}

// Files dragged over any part of this window, an editor included, are the frame's to open: the
// editor would paste their names.
bool CMainFrame::TakeFileDrop(QWidget* widget, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    if (widget == this || widget->window() != this) return false;
    auto* drag = static_cast<QDropEvent*>(event);
    const QList<QUrl> urls = drag->mimeData()->urls();
    if (std::none_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); })) return false;
    if (type == QEvent::Drop) {
        dropEvent(drag);
    } else {
        drag->acceptProposedAction();
    }
    return true;
}

// The accelerators go before the widgets: an editor does not take their keys
// (Alt+Backspace, Ctrl+Tab, ...), and the MDI area does not take Ctrl+Tab. They also act from a
// chart or a network window, as if the main window had the keyboard.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (TakeFileDrop(widget, event)) return true;
    // A run makes its document read-only from its worker: the Edit commands follow.
    if (event->type() == QEvent::ReadOnlyChange && widget->window() == this) UpdateEditCommands();
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    if (CSplashWnd::Current() != nullptr) return false;  // the splash takes the first key
    const bool ownWindow = widget->window() == this;
    if (!ownWindow && !IsRunWindow(widget->window())) return false;
    const int id = cmd::CommandOfKeyEvent(*static_cast<QKeyEvent*>(event));
    if (id == 0) return false;
    UpdateEditCommands();  // a key acts on the state of this moment
    QAction* const command = Action(id);
    // A run button the toolbar hides counts as a disabled action, yet its keys act in this window
    // (through their twin): so they do from the others.
    if (!(command->isEnabled() || !command->isVisible())) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // In this window the shortcut acts; in another the key comes here as a press.
        if (ownWindow) {
            event->ignore();
        } else {
            event->accept();
        }
        return true;
    }
    if (ownWindow && id != cmd::kNextPaneFrame) return false;
    command->trigger();  // a command that is switched off ignores it
    return true;
}

bool CMainFrame::IsRunWindow(const QWidget* window) {
    return qobject_cast<const CChartViewer*>(window) != nullptr ||
           qobject_cast<const CNNStructureDialog*>(window) != nullptr;
}
