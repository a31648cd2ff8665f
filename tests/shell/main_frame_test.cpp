// The main frame as a user meets it: its File menu, the toolbar's toggle, its title, the window
// commands, and its keys wherever the focus is.
#include "app_harness.h"
#include "view_harness.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QKeyEvent>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/kestrum_doc.h"
#include "shell/kestrum_view.h"
#include "shell/left_view.h"
#include "shell/output_pane.h"
#include "shell/simulation_bar.h"
#include "shell/splash_wnd.h"
#include "windows/chart_viewer.h"
#include "windows/nn_structure_dialog.h"

namespace {

QMenu* MenuOf(CMainFrame& frame, const QString& title) {
    for (QAction* action : frame.menuBar()->actions()) {
        if (action->text() == title) return action->menu();
    }
    return nullptr;
}

// The items of a menu as it shows them, separators left out.
QStringList ItemsOf(QMenu* menu) {
    Q_EMIT menu->aboutToShow();
    QStringList items;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) items << action->text().section('\t', 0, 0);
    }
    return items;
}

// The recent-file list of the test settings, written as a previous session left it.
void WriteRecentFiles(const QStringList& files) {
    QSettings settings(CRecentFileList::kOrganization, CRecentFileList::kApplication);
    settings.remove("Recent File List");
    for (int i = 0; i < files.size(); ++i) settings.setValue(QString("Recent File List/File%1").arg(i + 1), files[i]);
}

TEST(MainFrame, FileMenuOrderWithAndWithoutADocument) {
    WriteRecentFiles({});
    ShownMainFrame shown;
    QMenu* file = MenuOf(shown.frame, "&File");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ItemsOf(file), QStringList({"&New", "&Open...", "Recent File", "&Close", "E&xit"}));
    shown.frame.OnFileNew();
    EXPECT_EQ(ItemsOf(file),
              QStringList({"&New", "&Open...", "&Close", "&Save", "Save &As...", "Recent File", "E&xit"}));
}

TEST(MainFrame, TenRecentFilesHaveTenMnemonics) {
    QStringList files;
    for (int i = 1; i <= 10; ++i) files << QString("/nowhere/doc%1.NNProg").arg(i);
    WriteRecentFiles(files);
    {
        ShownMainFrame shown;
        const QStringList items = ItemsOf(MenuOf(shown.frame, "&File"));
        QList<QKeySequence> mnemonics;
        for (const QString& item : items) {
            if (!item.contains("doc")) continue;
            const QKeySequence mnemonic = QKeySequence::mnemonic(item);
            EXPECT_FALSE(mnemonic.isEmpty()) << item.toStdString();
            EXPECT_FALSE(mnemonics.contains(mnemonic)) << item.toStdString();
            mnemonics << mnemonic;
        }
        EXPECT_EQ(mnemonics.size(), 10);
        EXPECT_TRUE(items.contains("1&0 doc10.NNProg"));
    }
    WriteRecentFiles({});
}

// The File menu names a recent file by its file name, and by its shortened path where two share a
// file name.
TEST(MainFrame, RecentFilesShowTheirDisplayNames) {
    const QString home = QDir::homePath();
    WriteRecentFiles({"/work/a/script.NNProg", home + "/b/script.NNProg", "/tmp/only.NNProg", "/tmp/R&D.NNProg",
                      "/very/long/folder/names/that/go/on/script.NNProg"});
    {
        ShownMainFrame shown;
        const QStringList items = ItemsOf(MenuOf(shown.frame, "&File"));
        const QStringList expected = {"&1 /work/a/script.NNProg", "&2 ~/b/script.NNProg", "&3 only.NNProg",
                                      "&4 R&&D.NNProg", "&5 /.../that/go/on/script.NNProg"};
        for (const QString& item : expected) EXPECT_TRUE(items.contains(item)) << item.toStdString();
    }
    WriteRecentFiles({});
}

TEST(MainFrame, DisplayNamesShortenOnlyWhatIsTooLong) {
    const struct {
        const char* path;
        int maxLength;
        const char* shown;
    } cases[] = {
        {"/a/b/c.NNProg", 30, "/a/b/c.NNProg"},
        {"/first/second/third/fourth/name.NNProg", 30, "/.../third/fourth/name.NNProg"},
        {"~/first/second/third/fourth/name.NNProg", 30, "~/.../third/fourth/name.NNProg"},
        {"/first/second/third/fourth/name.NNProg", 20, "/.../name.NNProg"},
        {"/first/second/a-very-long-file-name.NNProg", 20, "a-very-long-file-name.NNProg"},
        {"/first/x", 5, "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CRecentFileList::Abbreviated(c.path, c.maxLength).toStdString(), c.shown) << c.path;
    }
}

TEST(MainFrame, ViewToolbarHidesTheToolbarOnlyAndFollowsItsContextMenu) {
    ShownMainFrame shown;
    QAction* view = shown.frame.Action(cmd::kViewToolbar);
    QAction* contextItem = shown.frame.ToolBar()->toggleViewAction();
    const struct {
        QAction* clicked;
        bool shown;
    } steps[] = {{view, false}, {view, true}, {contextItem, false}, {contextItem, true}, {contextItem, false},
                 {view, true}};
    for (const auto& step : steps) {
        step.clicked->trigger();
        EXPECT_EQ(shown.frame.ToolBar()->isVisible(), step.shown);
        EXPECT_EQ(view->isChecked(), step.shown);
        EXPECT_EQ(contextItem->isChecked(), step.shown);
        EXPECT_TRUE(shown.frame.SimulationBar()->isVisible());
    }
}

TEST(MainFrame, TitleNamesTheActiveDocumentMaximisedOrNot) {
    ShownMainFrame shown;
    const QString program = CMainFrame::kTitle;
    EXPECT_EQ(shown.frame.windowTitle(), program);
    CChildFrame* first = shown.frame.OnFileNew();
    CChildFrame* second = shown.frame.OnFileNew();
    const auto shows = [&](CChildFrame* frame) {
        QApplication::processEvents();
        const QString title = shown.frame.windowTitle();
        return title.startsWith(program + " - ") && title.contains(frame->Document()->Title()) &&
               title.count(frame->Document()->Title()) == 1;
    };
    EXPECT_TRUE(shows(second)) << shown.frame.windowTitle().toStdString();
    shown.frame.MdiArea()->setActiveSubWindow(first);
    EXPECT_TRUE(shows(first)) << shown.frame.windowTitle().toStdString();
    first->showMaximized();
    EXPECT_TRUE(shows(first)) << shown.frame.windowTitle().toStdString();
    first->showNormal();
    EXPECT_TRUE(shows(first)) << shown.frame.windowTitle().toStdString();
    first->close();
    second->close();
    QApplication::processEvents();
    EXPECT_EQ(shown.frame.windowTitle(), program);
}

TEST(MainFrame, TileStacksWindowsOneAboveTheOther) {
    const QSize area(900, 600);
    const struct {
        int count;
        QList<QRect> rects;
    } cases[] = {
        {1, {QRect(0, 0, 900, 600)}},
        {2, {QRect(0, 0, 900, 300), QRect(0, 300, 900, 300)}},
        {3, {QRect(0, 0, 900, 200), QRect(0, 200, 900, 200), QRect(0, 400, 900, 200)}},
        {4, {QRect(0, 0, 450, 300), QRect(0, 300, 450, 300), QRect(450, 0, 450, 300), QRect(450, 300, 450, 300)}},
        {5, {QRect(0, 0, 450, 300), QRect(0, 300, 450, 300), QRect(450, 0, 450, 200), QRect(450, 200, 450, 200),
             QRect(450, 400, 450, 200)}},
    };
    for (const auto& c : cases) EXPECT_EQ(CMainFrame::TileRects(area, c.count), c.rects) << c.count;

    ShownMainFrame shown;
    CChildFrame* first = shown.frame.OnFileNew();
    CChildFrame* second = shown.frame.OnFileNew();
    second->showMaximized();
    shown.frame.Execute(cmd::kWindowTile);
    const QSize viewport = shown.frame.MdiArea()->viewport()->size();
    EXPECT_EQ(second->geometry(), QRect(0, 0, viewport.width(), viewport.height() / 2));
    EXPECT_EQ(first->geometry(), QRect(0, viewport.height() / 2, viewport.width(), viewport.height() / 2));
}

TEST(MainFrame, CtrlF6MovesThroughTheDocumentWindows) {
    ShownMainFrame shown;
    QList<CChildFrame*> frames;
    for (int i = 0; i < 3; ++i) frames << shown.frame.OnFileNew();
    QMdiArea* area = shown.frame.MdiArea();
    area->setActiveSubWindow(frames[0]);
    const struct {
        Qt::KeyboardModifiers modifiers;
        CChildFrame* then;
    } steps[] = {
        {Qt::ControlModifier, frames[1]},
        {Qt::ControlModifier, frames[2]},
        {Qt::ControlModifier, frames[0]},
        {Qt::ControlModifier | Qt::ShiftModifier, frames[2]},
    };
    for (const auto& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, step.modifiers);
        EXPECT_EQ(area->activeSubWindow(), step.then) << frames.indexOf(step.then);
    }
}

TEST(MainFrame, KeysActAtOnceAfterTheSplashAndNotInTheSimulationField) {
    ShownMainFrame shown;
    EXPECT_NE(QApplication::focusWidget(), static_cast<QWidget*>(shown.frame.SimulationBar()->TextField()));
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(&shown.frame);
    CSplashWnd* splash = CSplashWnd::Current();
    ASSERT_NE(splash, nullptr);
    QApplication::processEvents();
    // The click that dismisses the splash lands on it, as a user's does.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), splash->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::setActiveWindow(splash);
    EXPECT_TRUE(CSplashWnd::PreTranslateAppMessage(&press));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &shown.frame);
    QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &shown.frame;
    QTest::keyClick(focus, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(shown.frame.ChildFrames().size(), 1);
}

TEST(MainFrame, AcceleratorsActFromChartAndNetworkWindows) {
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    ASSERT_NE(frame, nullptr);
    CChartViewer chart;
    CNNStructureDialog network(nullptr, nullptr);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int command;
    } keys[] = {
        {Qt::Key_F11, Qt::NoModifier, cmd::kToggleCharts},
        {Qt::Key_F12, Qt::NoModifier, cmd::kToggleStructure},
        {Qt::Key_F5, Qt::NoModifier, cmd::kRun},
        {Qt::Key_O, Qt::ControlModifier, cmd::kFileOpen},
        {Qt::Key_N, Qt::ControlModifier, cmd::kFileNew},
        {Qt::Key_Tab, Qt::ControlModifier, cmd::kNextPaneFrame},
    };
    for (QWidget* window : {static_cast<QWidget*>(&chart), static_cast<QWidget*>(&network)}) {
        for (const auto& k : keys) {
            window->show();
            QApplication::setActiveWindow(window);
            static_cast<void>(QTest::qWaitForWindowActive(window, 500));
            QSignalSpy spy(shown.frame.Action(k.command), &QAction::triggered);
            // Ctrl+O's dialog, were it shown, is answered at once.
            QTimer::singleShot(0, [] {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
            });
            QWidget* focus = window->focusWidget() != nullptr ? window->focusWidget() : window;
            QTest::keyClick(focus, k.key, k.modifiers);
            EXPECT_EQ(spy.count(), 1) << window->metaObject()->className() << " "
                                      << QKeySequence(k.key | k.modifiers).toString().toStdString();
        }
    }
    QApplication::processEvents();
}

// The X keyboard gives Pause with Ctrl as the Break key, which Qt names no key: the run's keys
// with Ctrl (Stop, Resume) act from a chart window all the same.
TEST(MainFrame, RunKeysWithCtrlActFromAChartWindow) {
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    ASSERT_NE(frame, nullptr);
    frame->Document()->TextDocument()->setPlainText(QStringLiteral("Integer i\nWhile i >= 0\ni = 1\nWend\n"));
    shown.frame.Execute(cmd::kRun);
    CKestrumView* view = frame->EditorView();
    ASSERT_TRUE(ServeEventsUntil([&] { return view->WorkerActive(); }));
    CChartViewer chart;
    chart.show();
    QApplication::setActiveWindow(&chart);
    static_cast<void>(QTest::qWaitForWindowActive(&chart, 500));
    constexpr quint32 kBreakKeysym = 0xff6b;
    const struct {
        int command;  // that must act
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        {cmd::kPause, Qt::NoModifier},  // plain Pause, named by Qt
        {cmd::kResume, Qt::ControlModifier | Qt::AltModifier},
        {cmd::kStop, Qt::ControlModifier},
    };
    for (const auto& k : keys) {
        const bool named = k.modifiers == Qt::NoModifier;
        QSignalSpy spy(shown.frame.Action(k.command), &QAction::triggered);
        for (QEvent::Type type : {QEvent::ShortcutOverride, QEvent::KeyPress}) {
            QKeyEvent key(type, named ? Qt::Key_Pause : 0, k.modifiers, 0, named ? 0xff13 : kBreakKeysym, 0);
            QApplication::sendEvent(&chart, &key);
        }
        EXPECT_EQ(spy.count(), 1) << k.command;
        QCoreApplication::processEvents();  // the command reaches the view
    }
    EXPECT_TRUE(ServeEventsUntil([&] { return !view->WorkerActive(); }, 3000));
    for (int command : {cmd::kResume, cmd::kStop}) shown.frame.Execute(command);
    ASSERT_TRUE(ServeEventsUntil([&] { return !view->WorkerActive(); }));
}

TEST(MainFrame, FilesDroppedOnAnyPaneOpenAsDocuments) {
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    frame->Document()->TextDocument()->setPlainText("Println 0");
    QTemporaryDir dir;
    const QString path = dir.filePath("dropped.NNProg");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Println 1");
    }
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const struct {
        const char* what;
        QWidget* target;
    } targets[] = {
        {"editor", frame->EditorView()->viewport()},
        {"output pane", frame->OutputPane()->viewport()},
        {"tree", frame->TreeView()->viewport()},
        {"document window", frame},
        {"main window", &shown.frame},
    };
    for (const auto& t : targets) {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t.target, &enter);
        EXPECT_TRUE(enter.isAccepted()) << t.what;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t.target, &drop);
        ASSERT_EQ(shown.frame.ChildFrames().size(), 2) << t.what;
        EXPECT_EQ(shown.frame.ChildFrames().back()->EditorView()->toPlainText(), "Println 1") << t.what;
        EXPECT_EQ(frame->EditorView()->toPlainText(), "Println 0") << t.what;
        shown.frame.ChildFrames().back()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace
