// Driving modal windows from a test: steps that wait for the window they take.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

// Acts on modal windows as they come up: each step waits for the active modal window it takes
// (answering true once it has acted). Actions are posted, so that a window they open does not
// hold up the watch.
class ModalSteps {
public:
    using Step = std::function<bool(QWidget*)>;
    explicit ModalSteps(std::deque<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!steps_.empty() && modal != nullptr && steps_.front()(modal)) steps_.pop_front();
        });
        timer_.start(20);
    }
    bool AllTaken() const { return steps_.empty(); }

private:
    std::deque<Step> steps_;
    QTimer timer_;
};

// Answers a message box whose text holds words with button; seen records its text.
inline ModalSteps::Step Answer(const QString& words, QMessageBox::StandardButton button, QString* seen = nullptr) {
    return [=](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr || !box->text().contains(words)) return false;
        if (seen != nullptr) *seen = box->text();
        QTimer::singleShot(0, box->button(button), &QAbstractButton::click);
        return true;
    };
}
