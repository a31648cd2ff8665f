// The show state that the network and chart windows keep, as the window command numbers it:
// 0 hidden, 5 shown. A toggle flips between those two and leaves any other state alone.
#pragma once

#include <QWidget>

inline void ToggleShowState(QWidget& window, int& showState) {
    if (showState == 0) {
        showState = 5;
        window.show();
    } else if (showState == 5) {
        showState = 0;
        window.hide();
    }
}
