// CSplashWnd: the picture shown over the main window at start-up. It goes at the first key or
// mouse-button press anywhere in the application (that press does nothing else), when the program
// shows a box or dialog, or after 140000 ms, and deletes itself. At most one exists.
#pragma once

#include <QPixmap>
#include <QWidget>

class QEvent;

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 140000;

    static void EnableSplashScreen(bool enable) { c_bShowSplashWnd = enable; }
    static void ShowSplashScreen(QWidget* parent);
    // The application's first look at every event: true when it closed the splash (the event is
    // then eaten).
    static bool PreTranslateAppMessage(QEvent* event);
    static CSplashWnd* Current() { return c_pSplashWnd; }

    ~CSplashWnd() override;

    void HideSplashScreen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    explicit CSplashWnd(QWidget* parent);
    bool Create();

    static bool c_bShowSplashWnd;
    static CSplashWnd* c_pSplashWnd;

    QPixmap bitmap_;
};
