// What a running script asks of the desktop, answered by the Qt desktop: message boxes and
// questions over the output printed before them, the clipboard.
#include "tests/shell/view_harness.h"

#include "platform/desktop.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTimer>

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
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
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

TEST(DesktopQt, ClipboardTakesTheScriptsTextInUnicode) {
    QtDesktopInstalled installed;
    ViewPanes doc(QString::fromUtf8("CopyToClipboard \"\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85 \" + 3\n"));
    ASSERT_TRUE(doc.RunToEnd());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85 3"));
}

}  // namespace
