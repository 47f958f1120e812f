// A private Xvfb for the footprint benchmark, with a watch on the windows that appear on it.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

using Clock = std::chrono::steady_clock;

class XServer
{
public:
    XServer();
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    bool ok() const { return display != nullptr; }
    // ":N", for the DISPLAY of the programs started on it.
    const std::string &name() const { return displayName; }

    // Waits for the next top-level window to be mapped; false when none comes before `until`.
    bool waitForMap(Clock::time_point until, Clock::time_point &when);
    // Drops the events left by the windows of earlier launches.
    void discardEvents();

private:
    pid_t server = -1;
    struct _XDisplay *display = nullptr;
    std::string displayName;
};

// Starts `argv` with `overrides` added to this process's environment and its output sent to
// /dev/null; returns the pid, or -1.
pid_t spawn(const std::vector<std::string> &argv, const std::map<std::string, std::string> &overrides);
// SIGTERM, then SIGKILL if it has not ended within two seconds.
void stopProcess(pid_t pid);
