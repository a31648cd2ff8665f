// A document's three panes without a frame: the tree, the editor view and the output pane, wired
// as the child frame wires them, with the toolbar states the view asked for recorded.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <tuple>
#include <vector>

#include "shell/kestrum_view.h"
#include "shell/left_view.h"
#include "shell/output_pane.h"

struct ViewPanes {
    using Buttons = std::tuple<bool, bool, bool>;  // Compile/Run, Pause/Stop, Resume shown
    static constexpr Buttons kIdle{true, false, false};
    static constexpr Buttons kRunning{false, true, false};
    static constexpr Buttons kPaused{false, false, true};

    CLeftView tree;
    COutputPane pane;
    CKestrumView view;  // last: it goes first, while its panes still stand
    std::vector<Buttons> buttons;

    explicit ViewPanes(const QString& script = QString()) {
        view.SetPanes(&pane, &tree);
        tree.SetEditorView(&view);
        view.setPlainText(script);
        QObject::connect(&view, &CKestrumView::runButtonsChanged,
                         [this](bool a, bool b, bool c) { buttons.emplace_back(a, b, c); });
    }

    QString Pane() {
        view.FlushPendingOutput();
        return pane.toPlainText();
    }

    // Serves events until the worker has ended; false when it is still running at the deadline.
    bool WaitForEnd(int milliseconds = 30000) {
        QDeadlineTimer deadline(milliseconds);
        while (view.WorkerActive() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        view.FlushPendingOutput();
        return !view.WorkerActive();
    }

    bool RunToEnd(int milliseconds = 30000) {
        view.OnRun();
        return WaitForEnd(milliseconds);
    }
};

// Serves events until the condition holds or the time is up; answers the condition.
template <typename Condition>
bool ServeEventsUntil(Condition condition, int milliseconds = 10000) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return condition();
}
