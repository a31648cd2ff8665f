#include "windows/system_message_box.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <algorithm>

SystemMessageBox::SystemMessageBox(Icon icon, const QString& caption, const QString& text, StandardButtons buttons,
                                   QWidget* parent)
    : QMessageBox(icon, caption, text, buttons, parent) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (Dismissable()) flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
}

bool SystemMessageBox::Dismissable() const {
    const StandardButtons buttons = standardButtons();
    return buttons.testFlag(Cancel) || buttons == StandardButtons(Ok);
}

int SystemMessageBox::CaptionWidth() const {
    // The window manager draws the caption, mostly in a bold face of the title font; the icon and
    // the close button beside it take about a title bar's height each, with a margin around them.
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const int bar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return QFontMetrics(font).horizontalAdvance(windowTitle()) + 3 * bar;
}

bool SystemMessageBox::AskYesNo(QWidget* parent, const QString& caption, const QString& question) {
    SystemMessageBox box(Question, caption, question, Yes | No, parent);
    return box.exec() == Yes;
}

// The box fits itself to its text whenever it is shown or its text changes: the caption may need more.
void SystemMessageBox::KeepCaptionWidth() {
    if (!isVisible()) return;
    int wanted = CaptionWidth();
    if (const QScreen* where = screen()) wanted = std::min(wanted, where->availableGeometry().width());
    if (width() < wanted) setFixedSize(wanted, height());
}

void SystemMessageBox::showEvent(QShowEvent* event) {
    QMessageBox::showEvent(event);
    KeepCaptionWidth();
}

void SystemMessageBox::resizeEvent(QResizeEvent* event) {
    QMessageBox::resizeEvent(event);
    KeepCaptionWidth();
}

void SystemMessageBox::keyPressEvent(QKeyEvent* event) {
    if (!Dismissable() && event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void SystemMessageBox::closeEvent(QCloseEvent* event) {
    if (!Dismissable()) {
        event->ignore();
        return;
    }
    QMessageBox::closeEvent(event);
}
