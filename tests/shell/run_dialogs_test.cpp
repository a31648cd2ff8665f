// A running script's dialogs as the user meets them: Stop, Pause and Resume act at once while one
// waits, a question is answered by its buttons only, the box stays over its document window and
// has the keyboard whenever that document is active again, and shows its whole caption.
#include "tests/shell/app_harness.h"
#include "tests/shell/script_dialogs.h"
#include "tests/shell/view_harness.h"
#include "tests/windows/caption_needs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMdiArea>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>
#include <utility>

#include "platform/desktop.h"
#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/kestrum_doc.h"
#include "shell/qt_desktop.h"

namespace {

const QString kStoppedByUser = QStringLiteral("before\n\nProgram Terminated  By User.\n");

// A shown main frame with the Qt desktop, and a document running script until it asks.
struct AskingDocument {
    ShownMainFrame shown;
    CChildFrame* other = nullptr;  // a document opened before, idle
    CChildFrame* frame = nullptr;
    QPointer<QDialog> dialog;

    explicit AskingDocument(const QString& script) {
        InstallQtDesktop(&shown.frame);
        other = shown.frame.OnFileNew();
        frame = shown.frame.OnFileNew();
        frame->Document()->TextDocument()->setPlainText(script);
        shown.frame.MdiArea()->setActiveSubWindow(frame);
        shown.frame.Execute(cmd::kRun);
        if (ServeEventsUntil([] { return NewScriptDialog({}) != nullptr; })) dialog = NewScriptDialog({});
    }
    // A dialog left up by a failure goes, so that the run can end.
    ~AskingDocument() {
        while (QDialog* left = NewScriptDialog({})) left->reject();
    }
    CKestrumView* View() const { return frame->EditorView(); }
    bool Ended(int milliseconds = 10000) {
        return ServeEventsUntil([this] { return !View()->WorkerActive(); }, milliseconds);
    }
    QString Pane() {
        View()->FlushPendingOutput();
        return frame->OutputPane()->toPlainText();
    }
    bool Shows(int command) const { return shown.frame.Action(command)->isVisible(); }
    bool DialogUp() const { return dialog && dialog->isVisible(); }
    void Activate(QWidget* window) {
        window->show();
        QApplication::setActiveWindow(window);
        ServeEventsUntil([] { return false; }, 50);  // the activation's own work
    }
};

QString AskingScript(const char* asking) {
    return QStringLiteral("Integer n\nString f\nPrintln \"before\"\n%1\nPrintln \"after\"\n").arg(QLatin1String(asking));
}

// Stop takes the dialog away at once, unanswered, and the run ends "By User."; while paused the
// dialog goes at once too, and the run ends at Resume.
TEST(RunDialogs, StopTakesTheDialogAwayAndEndsTheRun) {
    enum class Stop { kCommand, kKeyInDialog, kKeyInDialogWhilePaused };
    const struct {
        const char* what;
        const char* asking;
        Stop stop;
    } cases[] = {
        {"question, Stop button", "n = Ask \"Go on?\"", Stop::kCommand},
        {"message box, Ctrl+Break in it", "MsgBoxInfo \"hi\"", Stop::kKeyInDialog},
        {"file dialog, Stop button", "f = SelectFile(\"*.txt\")", Stop::kCommand},
        {"question while paused, Ctrl+Break in it", "n = Ask \"Go on?\"", Stop::kKeyInDialogWhilePaused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AskingDocument doc(AskingScript(c.asking));
        ASSERT_TRUE(doc.DialogUp());
        const bool paused = c.stop == Stop::kKeyInDialogWhilePaused;
        if (paused) doc.shown.frame.Execute(cmd::kPause);
        if (c.stop == Stop::kCommand) {
            doc.shown.frame.Execute(cmd::kStop);
        } else {
            PressPauseKey(doc.dialog, Qt::ControlModifier);
        }
        EXPECT_TRUE(ServeEventsUntil([&] { return !doc.DialogUp(); }, 3000));
        if (paused) {
            EXPECT_FALSE(doc.Ended(300));  // a paused run never looks at the stop
            EXPECT_TRUE(doc.Shows(cmd::kResume));
            doc.shown.frame.Execute(cmd::kResume);
        }
        ASSERT_TRUE(doc.Ended());
        EXPECT_EQ(doc.Pane(), kStoppedByUser);
        EXPECT_TRUE(doc.frame->widget()->isEnabled());
    }
}

// Pause and Resume, by their keys in the dialog, show on the toolbar at once; the dialog stays,
// and a run paused while it waited stays paused once answered.
TEST(RunDialogs, PauseAndResumeActWhileADialogWaits) {
    AskingDocument doc(AskingScript("n = Ask \"Go on?\"\nPrintln n"));
    ASSERT_TRUE(doc.DialogUp());
    const struct {
        Qt::KeyboardModifiers modifiers;
        bool paused;
    } keys[] = {{Qt::NoModifier, true}, {Qt::ControlModifier | Qt::AltModifier, false}, {Qt::NoModifier, true}};
    for (const auto& key : keys) {
        PressPauseKey(doc.dialog, key.modifiers);
        EXPECT_TRUE(ServeEventsUntil([&] { return doc.Shows(cmd::kResume) == key.paused; }, 3000)) << key.paused;
        EXPECT_EQ(doc.Shows(cmd::kStop), !key.paused);
        EXPECT_TRUE(doc.DialogUp());
    }
    qobject_cast<QMessageBox*>(doc.dialog.data())->button(QMessageBox::Yes)->click();
    EXPECT_FALSE(doc.Ended(300));
    EXPECT_EQ(doc.Pane(), QStringLiteral("before\n"));
    doc.shown.frame.Execute(cmd::kResume);
    ASSERT_TRUE(doc.Ended());
    EXPECT_EQ(doc.Pane(), QStringLiteral("before\n1\nafter\n"));
}

// A question has no Cancel: Esc and the title bar's close button leave it up; a box with OK alone
// is answered by either.
TEST(RunDialogs, EscAndCloseAnswerOnlyABoxWithoutAQuestion) {
    const struct {
        const char* asking;
        bool stays;
        QString output;  // once answered (Yes where it stays)
    } cases[] = {
        {"Println Ask \"Go on?\"", true, QStringLiteral("before\n1\nafter\n")},
        {"MsgBoxInfo \"hi\"", false, QStringLiteral("before\nafter\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asking);
        for (bool byEsc : {true, false}) {
            AskingDocument doc(AskingScript(c.asking));
            ASSERT_TRUE(doc.DialogUp());
            if (byEsc) {
                QTest::keyClick(doc.dialog, Qt::Key_Escape);
            } else {
                doc.dialog->close();
            }
            QCoreApplication::processEvents();
            EXPECT_EQ(doc.DialogUp(), c.stays) << byEsc;
            if (doc.DialogUp()) qobject_cast<QMessageBox*>(doc.dialog.data())->button(QMessageBox::Yes)->click();
            ASSERT_TRUE(doc.Ended());
            EXPECT_EQ(doc.Pane(), c.output);
        }
    }
}

// Back from another program, or back in its document window, the question has the keyboard, and
// Return answers it; with another document active it leaves the keyboard there.
TEST(RunDialogs, AQuestionHasTheKeyboardWhenItsDocumentIsActiveAgain) {
    AskingDocument doc(AskingScript("Println Ask \"Go on?\""));
    ASSERT_TRUE(doc.DialogUp());
    QWidget elsewhere;  // another program's window
    QMdiArea* area = doc.shown.frame.MdiArea();
    const auto backFromElsewhere = [&] {
        doc.Activate(&elsewhere);
        doc.Activate(&doc.shown.frame);
    };
    const struct {
        const char* what;
        std::function<void()> act;
        bool dialogActive;
    } steps[] = {
        {"another program, then back", backFromElsewhere, true},
        {"another document clicked",
         [&] {
             area->setActiveSubWindow(doc.other);
             doc.Activate(&doc.shown.frame);
         },
         false},
        {"another program, then back to the other document", backFromElsewhere, false},
        {"its document again", [&] { area->setActiveSubWindow(doc.frame); }, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        // A wrong activation would come with the activation's own events: a short look finds it.
        EXPECT_EQ(ServeEventsUntil([&] { return QApplication::activeWindow() == doc.dialog; },
                                   step.dialogActive ? 5000 : 300),
                  step.dialogActive);
    }
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(doc.Ended());
    EXPECT_EQ(doc.Pane(), QStringLiteral("before\n1\nafter\n"));
}

// Does what once, as soon as the watched window is raised.
struct ClickWhenRaised : QObject {
    std::function<void()> what;
    bool done = false;
    ClickWhenRaised(QObject* watched, std::function<void()> click) : what(std::move(click)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ZOrderChange && !std::exchange(done, true)) what();
        return false;
    }
};

// A click into another document activates the main window before it activates that document, and
// the question takes the keyboard at the main window's activation: the clicked document becomes the
// active one and keeps the keyboard, whether the question's activation has arrived by then or is on
// its way, and whether the press finds the main window active or not; Return goes there.
TEST(RunDialogs, AnotherDocumentClickedAsTheQuestionTakesTheKeyboardKeepsIt) {
    enum class Click { kAfterArrival, kOnItsWay, kPressIntoInactiveWindow };
    for (const Click when : {Click::kAfterArrival, Click::kOnItsWay, Click::kPressIntoInactiveWindow}) {
        const bool arrived = when != Click::kOnItsWay;
        SCOPED_TRACE(static_cast<int>(when));
        AskingDocument doc(AskingScript("Println Ask \"Go on?\""));
        ASSERT_TRUE(doc.DialogUp());
        ASSERT_TRUE(ServeEventsUntil([&] { return QApplication::activeWindow() == doc.dialog; }));
        QApplication::setActiveWindow(&doc.shown.frame);  // the click's activation of the main window
        QMdiArea* area = doc.shown.frame.MdiArea();
        if (arrived) {
            ASSERT_TRUE(ServeEventsUntil([&] { return QApplication::activeWindow() == doc.dialog; }));
            if (when == Click::kAfterArrival) {
                area->setActiveSubWindow(doc.other);  // the click itself
            } else {
                QWidget* editor = doc.other->EditorView()->viewport();
                QTest::mouseClick(editor, Qt::LeftButton, Qt::NoModifier, editor->rect().center());
            }
        } else {
            // The question comes to the top as it asks for the keyboard: the click is served then.
            ClickWhenRaised click(doc.dialog, [&] { area->setActiveSubWindow(doc.other); });
            ASSERT_TRUE(ServeEventsUntil([&] { return click.done; }));
        }
        EXPECT_TRUE(ServeEventsUntil([&] { return QApplication::activeWindow() == &doc.shown.frame; }));
        EXPECT_EQ(area->activeSubWindow(), doc.other);
        EXPECT_FALSE(ServeEventsUntil([&] { return QApplication::activeWindow() == doc.dialog; }, 300));
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(doc.DialogUp());
        qobject_cast<QMessageBox*>(doc.dialog.data())->button(QMessageBox::Yes)->click();
        ASSERT_TRUE(doc.Ended());
        EXPECT_EQ(doc.Pane(), QStringLiteral("before\n1\nafter\n"));
    }
}

// Tiling, cascading or another document leave the question over its own document window.
TEST(RunDialogs, AQuestionStaysOverItsDocumentWindow) {
    AskingDocument doc(AskingScript("Println Ask \"Go on?\""));
    ASSERT_TRUE(doc.DialogUp());
    const struct {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"tile", [&] { doc.shown.frame.Execute(cmd::kWindowTile); }},
        {"cascade", [&] { doc.shown.frame.Execute(cmd::kWindowCascade); }},
        {"another document", [&] { doc.shown.frame.OnFileNew(); }},
        {"tile with three", [&] { doc.shown.frame.Execute(cmd::kWindowTile); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const QRect before = doc.frame->geometry();
        step.act();
        QCoreApplication::processEvents();
        const QPoint centre = doc.frame->mapToGlobal(doc.frame->rect().center());
        EXPECT_LE((doc.dialog->frameGeometry().center() - centre).manhattanLength(), 2)
            << "frame moved from " << before.x() << "," << before.y();
    }
    qobject_cast<QMessageBox*>(doc.dialog.data())->button(QMessageBox::No)->click();
    ASSERT_TRUE(doc.Ended());
}

TEST(RunDialogs, AScriptBoxShowsItsWholeCaption) {
    for (const char* asking : {"MsgBoxInfo 1", "MsgBoxError \"\"", "Println Ask \"?\""}) {
        SCOPED_TRACE(asking);
        AskingDocument doc(AskingScript(asking));
        ASSERT_TRUE(doc.DialogUp());
        EXPECT_EQ(doc.dialog->windowTitle(), QStringLiteral("Loriant Script"));
        EXPECT_GE(doc.dialog->width(), CaptionNeeds(*doc.dialog, QStringLiteral("Loriant Script")));
    }
}

// A run already told to stop gets no more dialogs: its question is not asked; any other run's is.
TEST(RunDialogs, ARunToldToStopAsksNothingMore) {
    InstallQtDesktop(nullptr);
    for (bool stopping : {true, false}) {
        SCOPED_TRACE(stopping);
        ViewPanes doc;
        doc.view.stopRequested = stopping ? 1 : 0;
        std::atomic<int> answer{0};
        std::thread worker([&] {
            answer = desktop::Current().MessageBox(doc.view.OwnerWindow(), "Go on?", "Loriant Script", desktop::kYesNo);
        });
        QMessageBox* box = nullptr;
        ServeEventsUntil([&] { return answer != 0 || (box = ShownBox("Go on?")) != nullptr; }, 3000);
        EXPECT_EQ(box == nullptr, stopping);
        if (box != nullptr) box->button(QMessageBox::Yes)->click();
        EXPECT_TRUE(ServeEventsUntil([&] { return answer != 0; }, 3000));
        worker.join();
        EXPECT_EQ(answer.load(), stopping ? desktop::kIdCancel : desktop::kIdYes);
    }
    desktop::Install(nullptr);
}

}  // namespace
