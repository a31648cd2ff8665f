// The splash stays on top of the program's windows: it gives way to every box or dialog the
// program shows, so that none sits under it, and stays for anything else until a press or its time.
#include "app_harness.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "file_bytes.h"
#include "modal_steps.h"
#include "shell/document_limits.h"
#include "shell/document_open_queue.h"
#include "shell/instance_start_up.h"
#include "shell/shell_open.h"
#include "shell/splash_wnd.h"

namespace {

bool Showing(const QPointer<CSplashWnd>& splash) { return !splash.isNull() && splash->isVisible(); }

// A first start with one document to open, as "--open" asks, and what was in front while its box was up.
TEST(SplashWndTest, AStartUpWhoseDocumentIsRefusedShowsItsBoxWithoutTheSplash) {
    QTemporaryDir dir;
    Write(dir.filePath("good.NNProg"), "Println 1");
    QFile large(dir.filePath("large.NNProg"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(doc_limits::kMaxFileBytes + 1));
    large.close();
    const struct {
        const char* document;
        bool refused;
    } cases[] = {{"missing.NNProg", true}, {"large.NNProg", true}, {"good.NNProg", false}};
    for (const auto& c : cases) {
        RecordingDesktop desktop;
        CMainFrame frame(nullptr);
        CSplashWnd::EnableSplashScreen(true);
        bool boxShowing = false;
        bool splashWithBox = true;
        ModalSteps steps({[&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) return false;
            boxShowing = box->isVisible();
            splashWithBox = CSplashWnd::Current() != nullptr;
            QTimer::singleShot(0, box->button(QMessageBox::Ok), &QAbstractButton::click);
            return true;
        }});
        QPointer<CSplashWnd> splash;
        CInstanceStartUp startUp(QString(), 300);
        ASSERT_EQ(startUp.Start({dir.filePath(c.document)},
                                [&] {
                                    frame.ShowAtStartUp();
                                    splash = CSplashWnd::Current();
                                    return &frame;
                                }),
                  CInstanceStartUp::Outcome::kStarted);
        ASSERT_TRUE(Showing(splash)) << c.document;
        QSignalSpy finished(startUp.Server()->Queue(), &CDocumentOpenQueue::finished);
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 20000)) << c.document;
        EXPECT_EQ(steps.AllTaken(), c.refused) << c.document;
        EXPECT_EQ(frame.ChildFrames().size(), c.refused ? 0 : 1) << c.document;
        if (c.refused) {
            EXPECT_TRUE(boxShowing) << c.document;
            EXPECT_FALSE(splashWithBox) << c.document;
        }
        // Without a box the splash waits for the user's first press.
        EXPECT_EQ(Showing(splash), !c.refused) << c.document;
        EXPECT_EQ(CSplashWnd::Current() != nullptr, !c.refused) << c.document;
    }
}

// What else may show while the splash is up: a box or dialog, modal or not, sends it away;
// another window or a new part of the main frame does not.
TEST(SplashWndTest, OnlyABoxOrADialogSendsTheSplashAway) {
    const struct {
        const char* what;
        std::function<QWidget*(QWidget*)> make;
        bool sendsAway;
    } cases[] = {
        {"a modal box",
         [](QWidget* frame) {
             auto* box = new QMessageBox(QMessageBox::Warning, "Kestrum", "Refused.", QMessageBox::Ok, frame);
             box->setModal(true);
             return box;
         },
         true},
        {"a dialog that is not modal", [](QWidget* frame) { return new QDialog(frame); }, true},
        {"a modal window",
         [](QWidget* frame) {
             auto* window = new QWidget(frame, Qt::Window);
             window->setWindowModality(Qt::ApplicationModal);
             return window;
         },
         true},
        {"a window that is not modal", [](QWidget* frame) { return new QWidget(frame, Qt::Window); }, false},
        {"a part of the main frame", [](QWidget* frame) { return new QWidget(frame); }, false},
    };
    for (const auto& c : cases) {
        ShownMainFrame shown;
        CSplashWnd::EnableSplashScreen(true);
        CSplashWnd::ShowSplashScreen(&shown.frame);
        const QPointer<CSplashWnd> splash = CSplashWnd::Current();
        ASSERT_TRUE(Showing(splash)) << c.what;
        std::unique_ptr<QWidget> widget(c.make(&shown.frame));
        widget->show();
        EXPECT_EQ(CSplashWnd::Current() == nullptr, c.sendsAway) << c.what;
        EXPECT_EQ(Showing(splash), !c.sendsAway) << c.what;
    }
}

}  // namespace
