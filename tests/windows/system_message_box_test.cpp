// The message box as the system shows it: Esc and the title bar answer only a box that has a
// Cancel (or nothing but OK), and the box is wide enough for its whole caption.
#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/windows/caption_needs.h"
#include "windows/system_message_box.h"

namespace {

using Button = QMessageBox::StandardButton;

struct Shown {
    SystemMessageBox box;
    Shown(QMessageBox::StandardButtons buttons, const QString& caption, const QString& text)
        : box(QMessageBox::Question, caption, text, buttons) {
        box.show();
        QCoreApplication::processEvents();
    }
};

// What a box does with Esc and with its title bar's close button: the button they answer, or
// NoButton while the box stays up unanswered.
TEST(SystemMessageBox, EscAndCloseAnswerOnlyABoxWithACancel) {
    const struct {
        QMessageBox::StandardButtons buttons;
        Button answered;
        bool closeButton;
    } cases[] = {
        {QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton, false},
        {QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::NoButton, false},
        {QMessageBox::Ok, QMessageBox::Ok, true},
        {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, true},
        {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        EXPECT_EQ(SystemMessageBox(QMessageBox::Question, "Loriant Script", "?", c.buttons)
                      .windowFlags()
                      .testFlag(Qt::WindowCloseButtonHint),
                  c.closeButton);
        for (const char* how : {"Esc", "close"}) {
            SCOPED_TRACE(how);
            Shown shown(c.buttons, "Loriant Script", "Go on?");
            if (how[0] == 'E') {
                QTest::keyClick(&shown.box, Qt::Key_Escape);
            } else {
                shown.box.close();
            }
            QCoreApplication::processEvents();
            QAbstractButton* clicked = shown.box.clickedButton();
            EXPECT_EQ(clicked != nullptr ? shown.box.standardButton(clicked) : QMessageBox::NoButton, c.answered);
            EXPECT_EQ(shown.box.isVisible(), c.answered == QMessageBox::NoButton);
        }
    }
}

TEST(SystemMessageBox, IsWideEnoughForItsWholeCaption) {
    const struct {
        const char* caption;
        const char* text;
    } cases[] = {
        {"Loriant Script", "1"},
        {"Loriant Script", "Go on?"},
        {"Loriant Script", ""},
        {"Kestrum", "Error: Could not write into file."},
        {"Loriant Script", "A text far wider than its caption, which sets the width of the box by itself"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Shown shown(QMessageBox::Ok, c.caption, c.text);
        EXPECT_GE(shown.box.width(), CaptionNeeds(shown.box, c.caption));
        // Laid out again (its text set anew), it stays as wide.
        shown.box.setText(QString::fromLatin1(c.text) + " ");
        QCoreApplication::processEvents();
        EXPECT_GE(shown.box.width(), CaptionNeeds(shown.box, c.caption));
    }
}

TEST(SystemMessageBox, AskYesNoIsAnsweredByItsButtonsOnly) {
    for (Button answer : {QMessageBox::Yes, QMessageBox::No}) {
        QTimer::singleShot(0, [answer] {
            auto* box = qobject_cast<SystemMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Sure?");
            EXPECT_EQ(box->windowTitle(), "Kestrum");
            QTest::keyClick(box, Qt::Key_Escape);
            box->close();
            EXPECT_TRUE(box->isVisible());
            box->button(answer)->click();
        });
        EXPECT_EQ(SystemMessageBox::AskYesNo(nullptr, "Kestrum", "Sure?"), answer == QMessageBox::Yes);
    }
}

}  // namespace
