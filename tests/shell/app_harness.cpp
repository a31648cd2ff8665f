#include "app_harness.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

void AnswerNextMessageBox(int button) {
    QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr) box->button(static_cast<QMessageBox::StandardButton>(button))->click();
    });
}
