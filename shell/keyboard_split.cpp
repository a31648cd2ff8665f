#include "shell/keyboard_split.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QSplitter>
#include <QSplitterHandle>
#include <algorithm>

namespace {

CKeyboardSplit* current = nullptr;

}  // namespace

void CKeyboardSplit::Start(QSplitter* splitter) {
    if (current != nullptr || splitter == nullptr || splitter->count() < 2) return;
    current = new CKeyboardSplit(splitter);
}

bool CKeyboardSplit::Tracking() { return current != nullptr; }

CKeyboardSplit::CKeyboardSplit(QSplitter* splitter) : splitter_(splitter), original_(splitter->sizes()) {
    QApplication::setOverrideCursor(splitter->orientation() == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
    PointAtBar();
    qApp->installEventFilter(this);
}

// The mouse pointer stands on the bar, as it would to drag it.
void CKeyboardSplit::PointAtBar() const {
    const QSplitterHandle* bar = splitter_->handle(1);
    QCursor::setPos(bar->mapToGlobal(bar->rect().center()));
}

void CKeyboardSplit::Move(int by) {
    QList<int> sizes = splitter_->sizes();
    const int total = sizes[0] + sizes[1];
    sizes[0] = std::clamp(sizes[0] + by, 0, total);
    sizes[1] = total - sizes[0];
    splitter_->setSizes(sizes);
    PointAtBar();
}

void CKeyboardSplit::Finish(bool keep) {
    if (current != this) return;
    current = nullptr;
    if (!keep && splitter_) splitter_->setSizes(original_);
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    deleteLater();
}

// A bar between panes side by side moves left and right, one between panes one above the other
// up and down; other keys do nothing.
void CKeyboardSplit::OnKey(int key, bool fine) {
    const int step = fine ? 1 : kStep;
    const bool sideBySide = splitter_->orientation() == Qt::Horizontal;
    const int back = sideBySide ? Qt::Key_Left : Qt::Key_Up;
    const int forth = sideBySide ? Qt::Key_Right : Qt::Key_Down;
    if (key == back) {
        Move(-step);
    } else if (key == forth) {
        Move(step);
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        Finish(true);
    } else if (key == Qt::Key_Escape) {
        Finish(false);
    }
}

bool CKeyboardSplit::eventFilter(QObject*, QEvent* event) {
    if (!splitter_) {
        Finish(false);
        return false;
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            OnKey(key->key(), key->modifiers().testFlag(Qt::ControlModifier));
            return true;  // the keys are the tracking's while it lasts
        }
        case QEvent::ShortcutOverride:
            event->accept();  // no shortcut takes a key (Esc has one): it comes as a press
            return true;
        case QEvent::KeyRelease: return true;
        case QEvent::MouseButtonPress:
            Finish(true);
            return true;
        case QEvent::ApplicationDeactivate: Finish(false); return false;
        default: return false;
    }
}
