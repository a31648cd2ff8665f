// What a running script asks of the desktop, answered by the Qt desktop: message boxes and
// questions over the output printed before them, the clipboard.
#include "tests/shell/app_harness.h"
#include "tests/shell/script_dialogs.h"
#include "tests/shell/view_harness.h"

#include "platform/desktop.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QPointer>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <fstream>

#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/kestrum_doc.h"
#include "shell/qt_desktop.h"

namespace {

// The Qt desktop for the length of a test.
struct QtDesktopInstalled {
    QtDesktopInstalled() { InstallQtDesktop(nullptr); }
    ~QtDesktopInstalled() { desktop::Install(nullptr); }
};

struct SeenBox {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    QString paneThen;
};

// Answers each message box as it appears with the button given for it, noting what it showed.
class BoxAnswerer {
public:
    BoxAnswerer(ViewPanes& doc, std::vector<QMessageBox::StandardButton> answers)
        : doc_(doc), answers_(std::move(answers)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { Answer(); });
        poll_.start(10);
    }
    std::vector<SeenBox> seen;

private:
    void Answer() {
        QMessageBox* box = ShownBox();
        if (box == nullptr || seen.size() >= answers_.size()) return;
        seen.push_back({box->text(), box->icon(), static_cast<int>(box->standardButtons()), doc_.pane.toPlainText()});
        box->button(answers_[seen.size() - 1])->click();
    }
    ViewPanes& doc_;
    std::vector<QMessageBox::StandardButton> answers_;
    QTimer poll_;
};

TEST(DesktopQt, MessageBoxesOfARunningScriptShowAfterTheOutputBeforeThem) {
    QtDesktopInstalled installed;
    ViewPanes doc(QStringLiteral("Println \"before\"\nMsgBoxInfo \"hello\"\n"
                                 "If Ask \"Go on?\" Then\nPrintln \"yes\"\nElse\nPrintln \"no\"\nEndif\n"));
    BoxAnswerer answerer(doc, {QMessageBox::Ok, QMessageBox::Yes});
    ASSERT_TRUE(doc.RunToEnd());
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_EQ(answerer.seen[0].text, QStringLiteral("hello"));
    EXPECT_EQ(answerer.seen[0].icon, QMessageBox::Information);
    EXPECT_EQ(answerer.seen[0].paneThen, QStringLiteral("before\n"));
    EXPECT_EQ(answerer.seen[1].text, QStringLiteral("Go on?"));
    EXPECT_EQ(answerer.seen[1].icon, QMessageBox::Question);
    EXPECT_EQ(answerer.seen[1].buttons, static_cast<int>(QMessageBox::Yes | QMessageBox::No));
    EXPECT_EQ(doc.Pane(), QStringLiteral("before\nyes\n"));
}

// Two documents' scripts ask at once: each question is answered on its own, in any order, and each
// script's questions come in its order; a box holds its own document window only.
TEST(DesktopQt, QuestionsOfTwoRunningDocumentsAreEachAnsweredOnTheirOwn) {
    ShownMainFrame shown;
    InstallQtDesktop(&shown.frame);
    auto script = [](const char* name) {
        return QStringLiteral("Integer n\nn = Ask \"%1 first\"\nPrintln n\nn = Ask \"%1 second\"\nPrintln n\n")
            .arg(QLatin1String(name));
    };
    CChildFrame* a = shown.frame.OnFileNew();
    a->Document()->TextDocument()->setPlainText(script("A"));
    CChildFrame* b = shown.frame.OnFileNew();
    b->Document()->TextDocument()->setPlainText(script("B"));
    for (CChildFrame* frame : {a, b}) {
        shown.frame.MdiArea()->setActiveSubWindow(frame);
        shown.frame.Execute(cmd::kRun);
    }
    ASSERT_TRUE(ServeEventsUntil([] { return ShownBox("A first") && ShownBox("B first"); }));
    EXPECT_FALSE(a->widget()->isEnabled());
    EXPECT_FALSE(b->widget()->isEnabled());

    struct Step {
        const char* answer;
        QMessageBox::StandardButton button;
        const char* next;  // the box that shows then
        const char* stays;  // the other document's box, still open
        bool aHeld, bHeld;  // the document windows that take no input then
    };
    const Step steps[] = {
        {"A first", QMessageBox::Yes, "A second", "B first", true, true},
        {"B first", QMessageBox::No, "B second", "A second", true, true},
        {"A second", QMessageBox::No, nullptr, "B second", false, true},
        {"B second", QMessageBox::Yes, nullptr, nullptr, false, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.answer);
        QMessageBox* box = ShownBox(step.answer);
        ASSERT_NE(box, nullptr);
        box->button(step.button)->click();
        if (step.next != nullptr) {
            EXPECT_TRUE(ServeEventsUntil([&] { return ShownBox(step.next) != nullptr; }));
        }
        if (step.stays != nullptr) {
            EXPECT_NE(ShownBox(step.stays), nullptr);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the answered box goes
        EXPECT_EQ(a->widget()->isEnabled(), !step.aHeld);
        EXPECT_EQ(b->widget()->isEnabled(), !step.bHeld);
    }
    ASSERT_TRUE(ServeEventsUntil([&] { return !a->EditorView()->WorkerActive() && !b->EditorView()->WorkerActive(); }));
    a->EditorView()->FlushPendingOutput();
    b->EditorView()->FlushPendingOutput();
    EXPECT_EQ(a->OutputPane()->toPlainText(), QStringLiteral("1\n0\n"));
    EXPECT_EQ(b->OutputPane()->toPlainText(), QStringLiteral("0\n1\n"));
    EXPECT_TRUE(a->widget()->isEnabled());
    EXPECT_TRUE(b->widget()->isEnabled());
}

// Chooses path in a file dialog, or answers Yes in a message box.
void AnswerScriptDialog(QDialog* dialog, const QString& path) {
    if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(files)->accept();  // as the Open button does
    } else {
        qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::Yes)->click();
    }
}

// A script's file dialog belongs to its run as its boxes do: with another document's file dialog or
// question on the screen, no window is blocked and each is answered on its own, the earlier one
// first too (a modal loop would keep the earlier answer until the later dialog had gone).
TEST(DesktopQt, FileDialogsOfTwoRunningDocumentsAreEachAnsweredOnTheirOwn) {
    QTemporaryDir folder;
    const QString chosen = folder.filePath(QStringLiteral("chosen.txt"));
    QFile(chosen).open(QIODevice::WriteOnly);
    const QString pick = QStringLiteral("String f\nf = SelectFile(\"*.txt\")\nPrintln f\n");
    const struct {
        const char* other;
        QString script;
        QString output;  // once answered
    } cases[] = {
        {"file dialog", pick, chosen + QLatin1Char('\n')},
        {"question", QStringLiteral("Println Ask \"B?\"\n"), QStringLiteral("1\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.other);
        ShownMainFrame shown;
        InstallQtDesktop(&shown.frame);
        // A dialog shown in a modal loop keeps this test inside it: it goes after a while, so that
        // such a failure cannot hang.
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, [] {
            while (QDialog* left = NewScriptDialog({})) left->reject();
        });
        giveUp.start(5000);
        std::vector<QDialog*> dialogs;
        std::vector<CChildFrame*> frames;
        for (const QString& script : {pick, c.script}) {
            CChildFrame* frame = shown.frame.OnFileNew();
            frame->Document()->TextDocument()->setPlainText(script);
            shown.frame.MdiArea()->setActiveSubWindow(frame);
            shown.frame.Execute(cmd::kRun);
            ASSERT_TRUE(ServeEventsUntil([&] { return NewScriptDialog(dialogs) != nullptr; }));
            dialogs.push_back(NewScriptDialog(dialogs));
            frames.push_back(frame);
        }
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_FALSE(frames[0]->widget()->isEnabled());
        EXPECT_FALSE(frames[1]->widget()->isEnabled());
        const QPointer<QDialog> later = dialogs[1];
        for (std::size_t i = 0; i < 2; ++i) {
            AnswerScriptDialog(dialogs[i], chosen);
            CKestrumView* view = frames[i]->EditorView();
            ASSERT_TRUE(ServeEventsUntil([&] { return !view->WorkerActive(); }));
            view->FlushPendingOutput();
            EXPECT_EQ(frames[i]->OutputPane()->toPlainText(), i == 0 ? chosen + QLatin1Char('\n') : c.output);
            EXPECT_TRUE(frames[i]->widget()->isEnabled());
            if (i == 0) {
                EXPECT_TRUE(later && later->isVisible());
                EXPECT_FALSE(frames[1]->widget()->isEnabled());
            }
        }
    }
}

// A box holds its document window's contents, not the window: the window stays the active one and
// keeps the keyboard, so the main window's next activation (back from another application) does not
// bring another document window forward over it.
TEST(DesktopQt, ADocumentWindowHeldByItsBoxStaysActive) {
    ShownMainFrame shown;
    InstallQtDesktop(&shown.frame);
    CChildFrame* other = shown.frame.OnFileNew();
    CChildFrame* asking = shown.frame.OnFileNew();
    asking->Document()->TextDocument()->setPlainText(QStringLiteral("Println Ask \"held?\"\n"));
    shown.frame.MdiArea()->setActiveSubWindow(asking);
    asking->EditorView()->setFocus();
    shown.frame.Execute(cmd::kRun);
    ASSERT_TRUE(ServeEventsUntil([] { return ShownBox("held?") != nullptr; }));
    EXPECT_FALSE(asking->widget()->isEnabled());
    QWidget elsewhere;  // another application's window
    for (QWidget* window : {&elsewhere, static_cast<QWidget*>(&shown.frame)}) {
        window->show();
        QApplication::setActiveWindow(window);
        static_cast<void>(QTest::qWaitForWindowActive(window, 500));
        }
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.frame.ActiveChildFrame(), asking);
    EXPECT_NE(shown.frame.ActiveChildFrame(), other);
    ShownBox("held?")->button(QMessageBox::Yes)->click();
    ASSERT_TRUE(ServeEventsUntil([&] { return !asking->EditorView()->WorkerActive(); }));
    EXPECT_TRUE(asking->widget()->isEnabled());
    EXPECT_EQ(shown.frame.ActiveChildFrame(), asking);
}

TEST(DesktopQt, ClipboardTakesTheScriptsTextInUnicode) {
    QtDesktopInstalled installed;
    ViewPanes doc(QString::fromUtf8("CopyToClipboard \"\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85 \" + 3\n"));
    ASSERT_TRUE(doc.RunToEnd());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85 3"));
}

// A mono 16-bit WAV file of the given number of 8 kHz samples, all silence.
void WriteWave(const std::string& path, std::uint32_t samples) {
    const auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    const auto u16 = [](std::uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::uint32_t bytes = samples * 2;
    std::ofstream(path, std::ios::binary) << "RIFF" << u32(36 + bytes) << "WAVEfmt " << u32(16) << u16(1) << u16(1)
                                          << u32(8000) << u32(16000) << u16(2) << u16(16) << "data" << u32(bytes)
                                          << std::string(bytes, '\0');
}

// Whether or not the machine has an audio device, sounds start and stop and a waited sound ends.
TEST(DesktopQt, WavesPlayWaitAndStop) {
    QtDesktopInstalled installed;
    QTemporaryDir folder;
    const std::string wave = folder.filePath(QStringLiteral("short.wav")).toStdString();
    WriteWave(wave, 800);
    ViewPanes doc(QString::fromStdString("PlayWave \"" + wave + "\", WAIT\nPrintln \"waited\"\n"
                                         "PlayWave \"" + wave + "\", LOOP\nSleep 50\nStopWave\nPrintln \"stopped\"\n"));
    ASSERT_TRUE(doc.RunToEnd());
    EXPECT_EQ(doc.Pane(), QStringLiteral("waited\nstopped\n"));
}

}  // namespace
