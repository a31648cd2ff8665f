// Finding the dialogs a running script shows, and pressing the run's keys where the user would.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <algorithm>
#include <vector>

// The message box on the screen whose text is text (any when text is empty), if there is one.
inline QMessageBox* ShownBox(const QString& text = QString()) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box != nullptr && box->isVisible() && (text.isEmpty() || box->text() == text)) return box;
    }
    return nullptr;
}

// The visible script dialog (a file dialog or a message box) that is not one of known, if any.
inline QDialog* NewScriptDialog(const std::vector<QDialog*>& known) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog != nullptr && dialog->isVisible() && std::find(known.begin(), known.end(), dialog) == known.end() &&
            (qobject_cast<QFileDialog*>(dialog) != nullptr || qobject_cast<QMessageBox*>(dialog) != nullptr)) {
            return dialog;
        }
    }
    return nullptr;
}

// Presses Pause with modifiers on the widget with the keyboard in window, as the X keyboard
// gives it: with Ctrl it is the Break key, which Qt names no key.
inline void PressPauseKey(QWidget* window, Qt::KeyboardModifiers modifiers) {
    constexpr quint32 kPauseKeysym = 0xff13;
    constexpr quint32 kBreakKeysym = 0xff6b;
    const bool isBreak = modifiers.testFlag(Qt::ControlModifier);
    QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    for (QEvent::Type type : {QEvent::ShortcutOverride, QEvent::KeyPress}) {
        QKeyEvent key(type, isBreak ? 0 : Qt::Key_Pause, modifiers, 0, isBreak ? kBreakKeysym : kPauseKeysym, 0);
        QApplication::sendEvent(target, &key);
    }
}
