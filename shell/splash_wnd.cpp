#include "shell/splash_wnd.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPainter>
#include <QScreen>

namespace {

bool IsBoxOrDialog(const QObject* object) {
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (widget == nullptr || !widget->isWindow()) return false;
    return widget->isModal() || qobject_cast<const QDialog*>(widget) != nullptr;
}

}  // namespace

bool CSplashWnd::c_bShowSplashWnd = true;
CSplashWnd* CSplashWnd::c_pSplashWnd = nullptr;

CSplashWnd::CSplashWnd(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window keeps the keyboard: the splash only shows.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setCursor(Qt::ArrowCursor);
}

CSplashWnd::~CSplashWnd() {
    if (c_pSplashWnd == this) c_pSplashWnd = nullptr;
}

void CSplashWnd::ShowSplashScreen(QWidget* parent) {
    if (!c_bShowSplashWnd || c_pSplashWnd != nullptr) return;
    c_pSplashWnd = new CSplashWnd(parent);
    if (!c_pSplashWnd->Create()) {
        delete c_pSplashWnd;
        return;
    }
    c_pSplashWnd->repaint();
}

bool CSplashWnd::Create() {
    if (!bitmap_.load(":/kestrum/splash.svg")) return false;
    setFixedSize(bitmap_.size());
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) move(screen->geometry().center() - rect().center());
    startTimer(kTimeoutMs);
    qApp->installEventFilter(this);
    show();
    return true;
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, bitmap_);
}

// The splash stays on top of the program's windows, so a box shown meanwhile would sit under it;
// a modal one would also block the click meant to dismiss the splash. It gives way instead.
bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && c_pSplashWnd == this && IsBoxOrDialog(watched)) HideSplashScreen();
    return false;
}

void CSplashWnd::timerEvent(QTimerEvent*) { HideSplashScreen(); }

void CSplashWnd::HideSplashScreen() {
    if (c_pSplashWnd == this) c_pSplashWnd = nullptr;
    QWidget* mainWindow = parentWidget();
    close();
    if (mainWindow == nullptr) return;
    mainWindow->update();
    // A click on the splash may have taken the activation: it goes back to the main window, so
    // that its keys act at once.
    if (QApplication::activeWindow() == nullptr) mainWindow->activateWindow();
}

bool CSplashWnd::PreTranslateAppMessage(QEvent* event) {
    if (c_pSplashWnd == nullptr) return false;
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Claimed so that no shortcut acts; the key press that follows closes the splash.
            event->accept();
            return true;
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            c_pSplashWnd->HideSplashScreen();
            return true;
        default:
            return false;
    }
}
