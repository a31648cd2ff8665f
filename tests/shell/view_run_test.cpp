// The editor view as run controller: the run state machine and its toolbar states, the check pass,
// the texts of a large source, two documents running at once.
#include "tests/shell/view_harness.h"

#include "netscript/script_interpreter.h"
#include "platform/cp1256.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

namespace {

// One top-level statement that runs on: once it has printed, a stop is only seen by its words.
const QString kEndlessLoop = QStringLiteral("Integer i\nFor i = 1 To 1000000\nPrintln i\nSleep 20\nNext\n");

// What a check pass shows without a window: it only ever replaces the pane's text.
class CheckRecorder : public ViewServices {
public:
    void OutputText(const std::string& text, int append, int, int, int) override {
        pane = append ? pane + text : text;
    }
    std::string pane;
};

QColor EditorBackground(const CKestrumView& view) { return view.palette().color(QPalette::Base); }

TEST(ViewRun, PauseShowsResumeAndAStopWaitsForTheResume) {
    ViewPanes doc(kEndlessLoop);
    const QColor idle = EditorBackground(doc.view);
    doc.view.OnRun();
    ASSERT_TRUE(doc.view.IsRunning());
    EXPECT_EQ(doc.buttons.back(), ViewPanes::kRunning);
    EXPECT_TRUE(ServeEventsUntil([&] { return doc.view.isReadOnly() && doc.Pane().startsWith(QStringLiteral("1\n")); }));
    EXPECT_EQ(EditorBackground(doc.view), QColor(0xBE, 0xBE, 0xFF));

    // F5 and Shift+F5 while running: nothing happens (no new check pass writes to the pane).
    doc.view.OnRun();
    doc.view.OnCompile();
    EXPECT_FALSE(doc.Pane().contains(QStringLiteral("Compiling")));

    doc.view.OnPause();
    EXPECT_EQ(doc.buttons.back(), ViewPanes::kPaused);
    doc.view.OnStop();
    ServeEventsUntil([] { return false; }, 1200);
    EXPECT_TRUE(doc.view.WorkerActive()) << "a paused run does not look at the stop";

    doc.view.OnResume();
    EXPECT_EQ(doc.buttons.back(), ViewPanes::kRunning);
    ASSERT_TRUE(doc.WaitForEnd());
    EXPECT_TRUE(doc.Pane().endsWith(QStringLiteral("\nProgram Terminated  By User.\n")));
    EXPECT_EQ(doc.buttons.back(), ViewPanes::kIdle);
    EXPECT_FALSE(doc.view.IsRunning());
    EXPECT_FALSE(doc.view.isReadOnly());
    EXPECT_EQ(EditorBackground(doc.view), idle);
    EXPECT_TRUE(doc.pane.isEnabled());
}

// The check pass in the desktop shows what it shows without a window, and selects the word at fault.
TEST(ViewRun, CompileShowsSuccessOrTheErrorWithItsWordSelected) {
    struct Case {
        const char* script;
        bool passes;
        const char* selected;  // the editor's selection after a failed check; nullptr: not looked at
    };
    const Case cases[] = {
        {"Integer a\na = 1\n", true, nullptr},
        {"Integer a\nb = 1\n", false, "b"},
        {"Integer a\nFor a = 1 To 3\nPrintln a\n", false, nullptr},
        // The interpreter reads the emoji as one "?": the editor selects the whole character.
        {"Println \"\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85\" + \xf0\x9f\x98\x80\n", false, "\xf0\x9f\x98\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ViewPanes doc(QString::fromUtf8(c.script));
        CheckRecorder console;
        ScriptInterpreter parser(&console);
        parser.SetSource(cp1256::FromUtf8(c.script));
        const int options[4] = {1, 0, 0, 0};
        const bool ok = parser.Compile(options) != 0;
        ASSERT_EQ(ok, c.passes);
        const QString expected = ok ? QStringLiteral("Compile Successful.")
                                    : QString::fromStdString(cp1256::ToUtf8(console.pane));

        doc.view.OnCompile();
        EXPECT_TRUE(ServeEventsUntil([&] { return doc.Pane() == expected; })) << doc.Pane().toStdString();
        EXPECT_TRUE(doc.pane.isEnabled());
        EXPECT_EQ(doc.buttons.back(), ViewPanes::kIdle);
        if (!ok && c.selected) {
            EXPECT_EQ(doc.view.textCursor().selectedText().toStdString(), c.selected);
        }
    }
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

// After an unclosed comment the message shows first, then the check pass waits 2,000 ms for it to
// be read, with the window painting meanwhile; Compile and Run alike.
TEST(ViewRun, AnUnclosedCommentShowsItsMessageThenWaitsWithTheWindowPainting) {
    for (const bool run : {false, true}) {
        SCOPED_TRACE(run ? "Run" : "Compile");
        ViewPanes doc(QStringLiteral("Println 1\n/* open\n"));
        doc.pane.show();
        PaintCounter counter(doc.pane.viewport());
        bool inCommand = true;
        bool firedInCommand = false;
        QString shownAt500;
        int paintsAt500 = 0;
        int paintsAt1000 = 0;
        QTimer::singleShot(500, [&] {
            firedInCommand = inCommand;
            shownAt500 = doc.pane.toPlainText();
            paintsAt500 = counter.paints;
            doc.pane.viewport()->update();
        });
        QTimer::singleShot(1000, [&] { paintsAt1000 = counter.paints; });
        QElapsedTimer took;
        took.start();
        run ? doc.view.OnRun() : doc.view.OnCompile();
        inCommand = false;
        EXPECT_GE(took.elapsed(), 1900);
        EXPECT_TRUE(firedInCommand) << "the window served nothing while it waited";
        EXPECT_EQ(shownAt500, QStringLiteral(" Syntax Error : \"/*\" without \"*/\"."));
        EXPECT_GT(paintsAt500, 0);
        EXPECT_GT(paintsAt1000, paintsAt500);
        EXPECT_FALSE(doc.view.IsRunning());
        EXPECT_TRUE(doc.pane.isEnabled());
    }
}

TEST(ViewRun, LargeSourceShowsTheTransferTexts) {
    const QString script = QStringLiteral("/* ") + QString(50000, QLatin1Char('x')) + QStringLiteral(" */\nInteger a\n");
    struct Case {
        void (CKestrumView::*command)();
        QStringList shown;
    };
    const Case cases[] = {
        {&CKestrumView::OnCompile,
         {QStringLiteral("Transfering the source to the compiler..."), QStringLiteral("Compiling...")}},
        {&CKestrumView::OnRun,
         {QStringLiteral("Transfering the source to the interpreter..."),
          QStringLiteral("Transfering the source finished.\nGetting ready to start...")}},
    };
    for (const Case& c : cases) {
        ViewPanes doc(script);
        QStringList shown;
        QObject::connect(&doc.pane, &QPlainTextEdit::textChanged, [&] {
            if (!doc.pane.document()->isEmpty()) shown << doc.pane.toPlainText();
        });
        (doc.view.*c.command)();
        ASSERT_TRUE(doc.WaitForEnd());
        ASSERT_GE(shown.size(), 2);
        EXPECT_EQ(shown.mid(0, 2), c.shown);
    }
}

TEST(ViewRun, TwoDocumentsRunAtOnceEachWithItsOwnFlagsAndOutput) {
    const QString loop = QStringLiteral("Integer i\nFor i = 1 To 1000000\nPrintln \"%1\" + i\nSleep 5\nNext\n");
    ViewPanes first(loop.arg(QStringLiteral("first")));
    ViewPanes second(loop.arg(QStringLiteral("second")));
    first.view.OnRun();
    second.view.OnRun();
    ASSERT_TRUE(first.view.IsRunning() && second.view.IsRunning());
    second.view.OnPause();
    EXPECT_EQ(second.buttons.back(), ViewPanes::kPaused);
    EXPECT_EQ(first.buttons.back(), ViewPanes::kRunning);
    EXPECT_TRUE(ServeEventsUntil([&] { return first.Pane().contains(QStringLiteral("first3\n")); }));

    first.view.OnStop();
    ASSERT_TRUE(first.WaitForEnd());
    EXPECT_TRUE(second.view.IsRunning());
    EXPECT_TRUE(first.Pane().endsWith(QStringLiteral("\nProgram Terminated  By User.\n")));
    EXPECT_FALSE(first.Pane().contains(QStringLiteral("second")));

    second.view.OnResume();
    EXPECT_TRUE(ServeEventsUntil([&] { return second.Pane().contains(QStringLiteral("second2\n")); }));
    second.view.OnStop();
    ASSERT_TRUE(second.WaitForEnd());
    EXPECT_FALSE(second.Pane().contains(QStringLiteral("first")));
}

TEST(ViewRun, OutputAppendedByARunMarksTheDocumentModified) {
    ViewPanes doc(QStringLiteral("Println 1\n"));
    doc.view.document()->setModified(false);
    doc.view.OnCompile();
    ServeEventsUntil([&] { return doc.Pane() == QStringLiteral("Compile Successful."); });
    EXPECT_FALSE(doc.view.document()->isModified()) << "replacing the pane's text changes nothing";
    ASSERT_TRUE(doc.RunToEnd());
    EXPECT_EQ(doc.Pane(), QStringLiteral("1\n"));
    EXPECT_TRUE(doc.view.document()->isModified());
}

}  // namespace
