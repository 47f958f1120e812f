// How soon the ringing window answers the window manager's liveness check while it sounds.
// Run by hand on the X display where Trillora runs (see ping_check.sh): it waits for the ringing
// window ("Trillora") to be mapped, then sends it a _NET_WM_PING every 100 ms for 7 s, as a window
// manager does, and prints the answer times. mutter gives up on a window after 5000 ms.
#include "Median.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/select.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

bool isRingingWindow(Display *display, Window window)
{
    char *name = nullptr;
    const bool match = XFetchName(display, window, &name) && std::strcmp(name, "Trillora") == 0;
    if (name)
        XFree(name);
    XWindowAttributes attributes;
    return match && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// The ringing window once it is on screen; Qt's top-level windows are children of the root window
// when no window manager reparents them.
Window waitForRingingWindow(Display *display, Window root)
{
    Window parent, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        Window found = 0;
        for (unsigned i = 0; i < count && !found; ++i)
            if (isRingingWindow(display, children[i]))
                found = children[i];
        if (children)
            XFree(children);
        if (found)
            return found;
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && isRingingWindow(display, event.xmap.window))
            return event.xmap.window;
    }
}

} // namespace

int main(int argc, char **argv)
{
    const double sendingS = argc > 1 ? std::atof(argv[1]) : 7;
    const int intervalMs = argc > 2 ? std::atoi(argv[2]) : 100;
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    // The answer comes back to the root window with this mask; maps of new windows come with it too.
    XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);

    std::printf("waiting for the ringing window...\n");
    std::fflush(stdout);
    const Window ringing = waitForRingingWindow(display, root);
    const Clock::time_point sendingStart = Clock::now();
    std::vector<Clock::time_point> sentAt;
    std::vector<double> answers; // in the order sent; below 0: no answer yet
    const int fd = ConnectionNumber(display);
    Clock::time_point nextPing = sendingStart;
    const Clock::time_point sendingEnd = sendingStart + std::chrono::milliseconds(static_cast<long>(sendingS * 1000));
    // Answers to the last pings may come after the sending ends: a little more time for them.
    while (Clock::now() < sendingEnd + std::chrono::seconds(6)) {
        if (Clock::now() >= nextPing && nextPing < sendingEnd) {
            XEvent event {};
            event.xclient.type = ClientMessage;
            event.xclient.window = ringing;
            event.xclient.message_type = protocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = static_cast<long>(ping);
            event.xclient.data.l[1] = CurrentTime;
            event.xclient.data.l[2] = static_cast<long>(ringing);
            event.xclient.data.l[3] = static_cast<long>(sentAt.size());
            XSendEvent(display, ringing, False, NoEventMask, &event);
            XFlush(display);
            sentAt.push_back(Clock::now());
            answers.push_back(-1);
            nextPing += std::chrono::milliseconds(intervalMs);
        }
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != ClientMessage || event.xclient.message_type != protocols
                || static_cast<Atom>(event.xclient.data.l[0]) != ping)
                continue;
            const long n = event.xclient.data.l[3];
            if (n >= 0 && n < static_cast<long>(sentAt.size()) && answers[n] < 0)
                answers[n] = ms(Clock::now() - sentAt[n]);
        }
        if (nextPing >= sendingEnd && std::none_of(answers.begin(), answers.end(), [](double r) { return r < 0; }))
            break;
        const double waitMs = nextPing < sendingEnd ? std::max(0.0, ms(nextPing - Clock::now())) : 20;
        timeval tv {0, static_cast<long>(waitMs * 1000)};
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        select(fd + 1, &fds, nullptr, nullptr, &tv);
    }

    std::vector<double> date;
    int overSecond = 0;
    std::printf("answer times, ms, one per ping sent every %d ms from the mapping:\n", intervalMs);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (answers[i] >= 0) {
            date.push_back(answers[i]);
            std::printf("%.0f ", answers[i]);
        } else {
            std::printf("- ");
        }
        overSecond += answers[i] < 0 || answers[i] > 1000;
    }
    std::printf("\npings %zu, answered %zu, median %.1f ms, max %.1f ms, over 1 s or never: %d\n", answers.size(),
                date.size(), Bench::median(date), date.empty() ? 0.0 : *std::max_element(date.begin(), date.end()),
                overSecond);
    XCloseDisplay(display);
    return overSecond == 0 ? 0 : 2;
}
