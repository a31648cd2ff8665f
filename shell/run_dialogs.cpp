#include "shell/run_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "shell/commands.h"

namespace {

std::vector<RunDialog*>& OpenDialogs() {
    static std::vector<RunDialog*> dialogs;
    return dialogs;
}

// The document window of an owner (the editor view of a running script), if it has one.
QMdiSubWindow* DocumentFrame(QWidget* owner) {
    for (QWidget* w = owner; w != nullptr; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) return frame;
    }
    return nullptr;
}

// The editor view's slot for a run command, nullptr for any other command.
const char* RunCommandSlot(int command) {
    switch (command) {
        case cmd::kPause: return "OnPause";
        case cmd::kStop: return "OnStop";
        case cmd::kResume: return "OnResume";
        default: return nullptr;
    }
}

// Hands every mouse press in the program, whatever it lands on, to a callback.
class PressWatcher : public QObject {
public:
    PressWatcher(QObject* owner, std::function<void(QObject*)> onPress) : QObject(owner), onPress_(std::move(onPress)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) onPress_(watched);
        return false;
    }

private:
    std::function<void(QObject*)> onPress_;
};

}  // namespace

RunDialog::RunDialog(QDialog* dialog, QWidget* owner, std::function<void()> abandon)
    : QObject(dialog), dialog_(dialog), owner_(owner), frame_(DocumentFrame(owner)), abandon_(std::move(abandon)) {
    OpenDialogs().push_back(this);
    dialog->installEventFilter(this);
    connect(dialog, &QDialog::finished, this, &RunDialog::Release);
    if (!frame_) return;
    Hold();
    Place();
    frame_->installEventFilter(this);
    frame_->window()->installEventFilter(this);
    new PressWatcher(this, [this](QObject* pressed) { TakeClickElsewhere(pressed); });
    if (QMdiArea* area = frame_->mdiArea()) {
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
            if (window == nullptr) return;
            if (window == frame_) {
                TakeKeyboardLater();
            } else {
                LeaveKeyboard();
            }
        });
    }
}

RunDialog::~RunDialog() {
    Release();
    auto& open = OpenDialogs();
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

void RunDialog::AbandonAll(const QWidget* owner) {
    const std::vector<RunDialog*> open = OpenDialogs();  // abandoning only schedules the deletion
    for (RunDialog* dialog : open) {
        if (dialog->owner_.data() != owner) continue;
        dialog->Release();
        dialog->abandon_();
    }
}

// Keeps the document window's contents from input, as a modal box keeps its owner. The window
// itself stays enabled, so that it can stay the active one, and the main window takes the keyboard
// from its contents first: the focus that disabling hands on would land in another document
// window, which the main window's next activation would then make the active one.
void RunDialog::Hold() {
    QWidget* contents = frame_->widget();
    if (contents == nullptr || !contents->isEnabled()) return;  // held by another of its dialogs
    focus_ = frame_->focusWidget();
    const QWidget* keyboard = frame_->window()->focusWidget();
    const bool active = frame_->mdiArea() != nullptr && frame_->mdiArea()->activeSubWindow() == frame_;
    if (active || (keyboard != nullptr && contents->isAncestorOf(keyboard))) frame_->window()->setFocus(Qt::OtherFocusReason);
    contents->setEnabled(false);
    held_ = true;
}

// Once: when answered, abandoned or gone, whichever comes first.
void RunDialog::Release() {
    if (!held_) return;
    held_ = false;
    if (!frame_) return;
    if (QWidget* contents = frame_->widget()) contents->setEnabled(true);
    if (focus_ && frame_->mdiArea() != nullptr && frame_->mdiArea()->activeSubWindow() == frame_) focus_->setFocus();
}

void RunDialog::Place() {
    if (!frame_) return;
    // Its title bar and frame included.
    const QSize outer = dialog_->frameGeometry().size();
    dialog_->move(frame_->mapToGlobal(frame_->rect().center()) - QPoint(outer.width() / 2, outer.height() / 2));
}

void RunDialog::TakeKeyboardLater() {
    QTimer::singleShot(0, this, [this] {
        if (!frame_ || !dialog_->isVisible()) return;
        const QMdiArea* area = frame_->mdiArea();
        if (area == nullptr || area->currentSubWindow() != frame_ || !frame_->window()->isActiveWindow()) return;
        takingKeyboard_ = true;
        dialog_->raise();
        dialog_->activateWindow();
    });
}

// A click into another document window activates the main window before that document: this
// dialog may have taken the keyboard at the first, or be on its way to it, when the click makes
// the other document the active one. The keyboard stays with that document.
void RunDialog::LeaveKeyboard() {
    if (frame_ && dialog_->isActiveWindow()) frame_->window()->activateWindow();
}

void RunDialog::KeyboardArrived() {
    if (!std::exchange(takingKeyboard_, false) || !frame_) return;
    const QMdiArea* area = frame_->mdiArea();
    if (area != nullptr && area->currentSubWindow() != frame_) frame_->window()->activateWindow();
}

// A press into another document window may come after this dialog has taken the keyboard at the
// main window's activation: the inactive main window would only note the new focus, and the press
// would activate nothing. That document is made the active one.
void RunDialog::TakeClickElsewhere(QObject* pressed) {
    if (!frame_ || !pressed->isWidgetType() || !(takingKeyboard_ || dialog_->isActiveWindow())) return;
    QMdiSubWindow* clicked = DocumentFrame(static_cast<QWidget*>(pressed));
    QMdiArea* area = frame_->mdiArea();
    if (clicked == nullptr || clicked == frame_ || area == nullptr || clicked->mdiArea() != area) return;
    takingKeyboard_ = false;
    area->setActiveSubWindow(clicked);
    frame_->window()->activateWindow();
}

bool RunDialog::PassRunKey(const QEvent& event) {
    const char* slot = RunCommandSlot(cmd::CommandOfKeyEvent(static_cast<const QKeyEvent&>(event)));
    if (slot == nullptr || !owner_) return false;
    QMetaObject::invokeMethod(owner_, slot, Qt::QueuedConnection);
    return true;
}

bool RunDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Move:
            if (watched == frame_) Place();
            break;
        case QEvent::Resize:
            if (watched == frame_ || watched == dialog_) Place();  // the frame tiled, the box fitted to its text
            break;
        case QEvent::WindowActivate:
            if (frame_ && watched == frame_->window()) TakeKeyboardLater();
            if (watched == dialog_) KeyboardArrived();
            break;
        case QEvent::KeyPress:
            if (watched == dialog_ && PassRunKey(*event)) return true;
            break;
        default: break;
    }
    return false;
}
