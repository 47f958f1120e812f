// Xvfb started with -displayfd, a root-window watch for MapNotify, and the programs' start and end.
#include "XServer.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

std::vector<char *> argPointers(std::vector<std::string> &texts)
{
    std::vector<char *> out;
    for (std::string &t : texts)
        out.push_back(t.data());
    out.push_back(nullptr);
    return out;
}

} // namespace

XServer::XServer()
{
    int pipeFd[2];
    if (pipe(pipeFd) != 0)
        return;
    std::vector<std::string> argv {"Xvfb", "-displayfd", std::to_string(pipeFd[1]), "-screen", "0",
                                   "1280x1024x24", "-nolisten", "tcp", "-noreset"};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFd[0]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    auto args = argPointers(argv);
    const int spawned = posix_spawnp(&server, "Xvfb", &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFd[1]);
    if (spawned != 0) {
        server = -1;
        close(pipeFd[0]);
        return;
    }
    std::string number;
    char c;
    pollfd waiting {pipeFd[0], POLLIN, 0};
    while (poll(&waiting, 1, 10000) > 0 && read(pipeFd[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(pipeFd[0]);
    if (number.empty())
        return;
    displayName = ":" + number;
    display = XOpenDisplay(displayName.c_str());
    if (display)
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
}

XServer::~XServer()
{
    if (display)
        XCloseDisplay(display);
    if (server > 0)
        stopProcess(server);
}

bool XServer::waitForMap(Clock::time_point until, Clock::time_point &when)
{
    const int fd = ConnectionNumber(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) {
                when = Clock::now();
                return true;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd waiting {fd, POLLIN, 0};
        poll(&waiting, 1, static_cast<int>(left));
    }
}

void XServer::discardEvents()
{
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

pid_t spawn(const std::vector<std::string> &argv, const std::map<std::string, std::string> &overrides)
{
    std::map<std::string, std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string entry(*e);
        const auto eq = entry.find('=');
        if (eq != std::string::npos)
            env[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto &[key, value] : overrides)
        env[key] = value;
    std::vector<std::string> envTexts;
    for (const auto &[key, value] : env)
        envTexts.push_back(key + "=" + value);
    std::vector<std::string> argTexts = argv;
    auto args = argPointers(argTexts);
    auto envp = argPointers(envTexts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv.front().c_str(), &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

void stopProcess(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
