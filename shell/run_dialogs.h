// The GUI side of a dialog that a running script shows (a message box, a question, the file
// dialog): it belongs to its run as a modal dialog belongs to its owner, while the GUI goes on
// serving everything else. It keeps its document window's contents from input, stays over that
// window, has the keyboard whenever that document is active again, passes the run's own keys
// (Pause, Stop, Resume) to its run, and goes unanswered when the run stops. GUI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QDialog;
class QMdiSubWindow;
class QWidget;

class RunDialog : public QObject {
public:
    // Made for a dialog just shown; lives as long as it. owner: the run's editor view; abandon
    // gives the waiting run its "no answer" and takes the dialog away.
    RunDialog(QDialog* dialog, QWidget* owner, std::function<void()> abandon);
    ~RunDialog() override;
    RunDialog(const RunDialog&) = delete;
    RunDialog& operator=(const RunDialog&) = delete;

    // The run of owner is told to stop: its open dialogs go, unanswered.
    static void AbandonAll(const QWidget* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Hold();
    void Release();
    void Place();
    // Once the events of this activation are served: whatever the user clicked has had its turn.
    void TakeKeyboardLater();
    // A click into another document can still come after that turn, or the keyboard arrive after
    // the click: the other document keeps the keyboard either way.
    void LeaveKeyboard();
    void KeyboardArrived();
    void TakeClickElsewhere(QObject* pressed);
    bool PassRunKey(const QEvent& event);

    QDialog* dialog_;
    QPointer<QWidget> owner_;
    QPointer<QMdiSubWindow> frame_;
    QPointer<QWidget> focus_;  // the frame's focus before the hold, given back after it
    std::function<void()> abandon_;
    bool held_ = false;
    bool takingKeyboard_ = false;  // asked for the keyboard, not yet given it
};
