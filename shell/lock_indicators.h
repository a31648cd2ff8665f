// The states of the Caps, Num and Scroll locks, read from the X11 server's keyboard indicators.
// Elsewhere (Wayland, offscreen) they are unknown.
#pragma once

#include <optional>

struct LockStates {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// nullopt when the platform does not tell.
std::optional<LockStates> ReadLockStates();
