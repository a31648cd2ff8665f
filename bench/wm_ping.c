/* How long a window keeps a window manager's ping waiting: sends _NET_WM_PING to a client window
 * every few milliseconds and notes how long each reply takes. Only the client's GUI thread
 * answers, so the longest reply is the longest time the window was frozen.
 *
 *   wm_ping WINDOW [SECONDS [INTERVAL_MS]]
 *
 * WINDOW is the top-level window that lists _NET_WM_PING in WM_PROTOCOLS (decimal or 0x hex, as
 * `xdotool search --pid` or xwininfo give it). It runs for SECONDS (default 60; 0 until SIGINT or
 * SIGTERM), prints each reply slower than 250 ms as it comes, and at the end the count of pings
 * and replies and the longest wait, counting a ping still unanswered at the end. The client sends
 * its reply to the root window with a mask of redirection and notification (Qt names
 * StructureNotify, others SubstructureNotify); the window manager holds the root's redirection, so
 * this program watches the root for both notifications only. */
#include <X11/Xlib.h>
#include <X11/Xatom.h>

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

enum { kMaxOutstanding = 4096, kReportMs = 250 };

static volatile sig_atomic_t stopping = 0;

static void Stop(int signalNumber) {
    (void)signalNumber;
    stopping = 1;
}

static long NowMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000L + now.tv_nsec / 1000000L;
}

static int HasPing(Display* display, Window window, Atom ping) {
    Atom* list = NULL;
    int count = 0;
    int found = 0;
    if (XGetWMProtocols(display, window, &list, &count) == 0) return 0;
    for (int i = 0; i < count; ++i) found |= list[i] == ping;
    XFree(list);
    return found;
}

static void SendPing(Display* display, Window window, Atom protocols, Atom ping, long stamp) {
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)ping;
    event.xclient.data.l[1] = stamp & 0xFFFFFFFFL;
    event.xclient.data.l[2] = (long)window;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s WINDOW [SECONDS [INTERVAL_MS]]\n", argv[0]);
        return 2;
    }
    const Window window = (Window)strtoul(argv[1], NULL, 0);
    const long seconds = argc > 2 ? atol(argv[2]) : 60;
    const long interval = argc > 3 && atol(argv[3]) > 0 ? atol(argv[3]) : 20;
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "wm_ping: cannot open the display\n");
        return 1;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    if (!HasPing(display, window, ping)) {
        fprintf(stderr, "wm_ping: window 0x%lx does not take _NET_WM_PING\n", (unsigned long)window);
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask | SubstructureNotifyMask);
    signal(SIGINT, Stop);
    signal(SIGTERM, Stop);

    /* The stamps of pings not yet answered, oldest first; replies come in order. */
    static long outstanding[kMaxOutstanding];
    int head = 0, size = 0;
    long sent = 0, replies = 0, longest = 0, lastShown = 0;
    const long start = NowMs();
    long nextPing = start;
    while (!stopping && (seconds == 0 || NowMs() - start < seconds * 1000L)) {
        long now = NowMs();
        if (now >= nextPing) {
            if (size < kMaxOutstanding) {
                SendPing(display, window, protocols, ping, now);
                outstanding[(head + size++) % kMaxOutstanding] = now;
                ++sent;
            }
            nextPing = now + interval;
        }
        struct pollfd descriptor = {ConnectionNumber(display), POLLIN, 0};
        if (XPending(display) == 0 && poll(&descriptor, 1, (int)(nextPing - now > 0 ? nextPing - now : 0)) < 0 &&
            errno != EINTR) {
            break;
        }
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != ClientMessage || event.xclient.message_type != protocols ||
                (Atom)event.xclient.data.l[0] != ping || (Window)event.xclient.data.l[2] != window) {
                continue;
            }
            const long stamp = event.xclient.data.l[1] & 0xFFFFFFFFL;  /* Xlib widens it with its sign */
            while (size > 0 && (outstanding[head] & 0xFFFFFFFFL) != stamp) {  /* a lost reply: skip it */
                head = (head + 1) % kMaxOutstanding;
                --size;
            }
            if (size == 0) continue;
            const long wait = NowMs() - outstanding[head];
            head = (head + 1) % kMaxOutstanding;
            --size;
            ++replies;
            if (wait > longest) longest = wait;
            if (wait > kReportMs && NowMs() - lastShown > kReportMs) {  /* one line for a freeze's queued replies */
                lastShown = NowMs();
                printf("%8.3f s  reply after %ld ms\n", (lastShown - start) / 1000.0, wait);
            }
            fflush(stdout);
        }
    }
    if (size > 0 && NowMs() - outstanding[head] > longest) longest = NowMs() - outstanding[head];
    printf("pings %ld  replies %ld  longest wait %ld ms%s\n", sent, replies, longest,
           size > 0 ? "  (last ping unanswered)" : "");
    XCloseDisplay(display);
    return 0;
}
