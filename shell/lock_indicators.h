// The states of the Caps, Num and Scroll locks, read from the X11 server's keyboard indicators.
// Elsewhere (Wayland, offscreen) they are unknown.
#pragma once

#include <QWidget>
#include <optional>

class QLabel;

struct LockStates {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// nullopt when the platform does not tell.
std::optional<LockStates> ReadLockStates();

// The status bar's CAP, NUM and SCRL panes: each shows its name while its lock is on, and is
// blank otherwise or when the states are unknown.
class CLockIndicators : public QWidget {
    Q_OBJECT
public:
    explicit CLockIndicators(QWidget* parent = nullptr);
    void Update();

private:
    QLabel* labels_[3];
};
