// Which document window is active after another closes, and after the program loses and regains
// the keyboard: the one the user worked in before.
#include "app_harness.h"

#include <gtest/gtest.h>

#include <QMdiArea>
#include <algorithm>
#include <functional>
#include <vector>

#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/kestrum_view.h"

namespace {

struct ThreeDocuments {
    ShownMainFrame shown;
    std::vector<CChildFrame*> frames;

    ThreeDocuments() {
        for (int i = 0; i < 3; ++i) frames.push_back(shown.frame.OnFileNew());
    }
    void Activate(int index) {
        shown.frame.MdiArea()->setActiveSubWindow(frames[static_cast<std::size_t>(index)]);
        QApplication::processEvents();
    }
    int ActiveIndex() const {
        const auto found = std::find(frames.begin(), frames.end(), shown.frame.ActiveChildFrame());
        return found == frames.end() ? -1 : static_cast<int>(found - frames.begin());
    }
};

TEST(Activation, ClosingTheActiveWindowActivatesTheOneUsedBeforeIt) {
    struct Way {
        const char* what;
        std::function<void(ThreeDocuments&)> close;
    };
    const Way ways[] = {
        {"Ctrl+F4",
         [](ThreeDocuments& d) {
             QTest::keyClick(d.shown.frame.ActiveChildFrame()->EditorView(), Qt::Key_F4, Qt::ControlModifier);
         }},
        {"File Close", [](ThreeDocuments& d) { d.shown.frame.Execute(cmd::kFileClose); }},
        {"close button", [](ThreeDocuments& d) { d.shown.frame.ActiveChildFrame()->close(); }},
    };
    struct Case {
        std::vector<int> activated;  // after the three were made, in order; the last is closed
        int expected;
    };
    const Case cases[] = {
        {{0}, 2},        // made 0, 1, 2; 0 activated after 2
        {{1, 0}, 1},
        {{2, 0, 1}, 0},
        {{1}, 2},
        {{}, 1},         // the newest closed: the one made before it was active before it
    };
    for (const Way& way : ways) {
        for (const Case& c : cases) {
            ThreeDocuments d;
            for (int index : c.activated) d.Activate(index);
            const int closed = d.ActiveIndex();
            way.close(d);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents();
            ASSERT_EQ(d.shown.frame.ChildFrames().size(), 2) << way.what;
            d.frames.erase(d.frames.begin() + closed);
            d.frames.insert(d.frames.begin() + closed, nullptr);
            EXPECT_EQ(d.ActiveIndex(), c.expected)
                << way.what << " after activating " << ::testing::PrintToString(c.activated);
        }
    }
}

// Another program takes the keyboard and gives it back: the document window that was active
// stays so, minimised or not.
TEST(Activation, TheActiveWindowStaysActiveWhenTheProgramIsLeftAndComeBackTo) {
    for (const bool minimised : {true, false}) {
        for (int active = 0; active < 3; ++active) {
            ThreeDocuments d;
            d.Activate(active);
            if (minimised) d.frames[static_cast<std::size_t>(active)]->showMinimized();
            QApplication::processEvents();
            ASSERT_EQ(d.ActiveIndex(), active);
            // The other program takes the keyboard, then gives it back.
            QApplication::setActiveWindow(nullptr);
            QEvent leave(QEvent::ApplicationDeactivate);
            QApplication::sendEvent(qApp, &leave);
            QApplication::processEvents();
            QEvent back(QEvent::ApplicationActivate);
            QApplication::sendEvent(qApp, &back);
            QApplication::setActiveWindow(&d.shown.frame);
            QApplication::processEvents();
            EXPECT_EQ(d.ActiveIndex(), active) << (minimised ? "minimised" : "normal");
            EXPECT_EQ(d.shown.frame.MdiArea()->activeSubWindow(), d.frames[static_cast<std::size_t>(active)]);
        }
    }
}

}  // namespace
