/* trillora-wake: holds one alarm timer that wakes the computer from sleep at the moment it is told. */
/*
 * Input, one line per change:
 *   <seconds since the epoch>   wake the computer at that moment (replaces the earlier one); not 0
 *   off                         no wake
 * The helper only wakes the computer; the program's own clock tick then rings the alarm.
 * End of input, or the death of the program that started it, ends it and drops the alarm.
 * Exit statuses: WakeStatus.h. Runs with the file capability cap_wake_alarm+ep and nothing more,
 * so it reads no environment and takes no arguments.
 * Each step below answers -1 to go on, or the exit status to end with.
 */
#define _GNU_SOURCE
#include "WakeStatus.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

/* Absolute realtime, and a clock change cancels the wait so that it is noticed. */
enum { ARM_FLAGS = TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET };

static int failed(const char *what)
{
    fprintf(stderr, "trillora-wake: %s: %s\n", what, strerror(errno));
    return WAKE_FAILED;
}

/* The parent-death signal does not survive the exec of a program with file capabilities, so the
   helper asks for it itself. A parent that died before the request shows as a changed parent;
   one that died even before the first look closed the input, which ends the helper as well. */
static int endWithParent(void)
{
    const pid_t parent = getppid();
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0)
        return failed("PR_SET_PDEATHSIG");
    if (getppid() != parent)
        return WAKE_ENDED;
    return -1;
}

/* A standard descriptor left closed would be the next one opened: the timer would then be read as
   the input, or written to as the error output. */
static int openStandardDescriptors(void)
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        /* The lower ones are open, so this one is the lowest free descriptor that open takes. */
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF && open("/dev/null", O_RDWR) < 0)
            return failed("/dev/null");
    return -1;
}

static int openAlarm(int *timer)
{
    *timer = timerfd_create(CLOCK_REALTIME_ALARM, TFD_NONBLOCK | TFD_CLOEXEC);
    if (*timer < 0) {
        if (errno == EPERM)
            return WAKE_NOT_PERMITTED;
        if (errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP || errno == ENODEV)
            return WAKE_NO_ALARM_CLOCK;
        return failed("timerfd_create");
    }
    /* Without a real-time clock the kernel still makes the timer, but it cannot wake anything;
       the alarm clock then refuses to tell its resolution. */
    struct timespec resolution;
    if (clock_getres(CLOCK_REALTIME_ALARM, &resolution) != 0)
        return WAKE_NO_ALARM_CLOCK;
    return -1;
}

/* Whole seconds since the epoch: decimal digits only, no sign, no blanks, no overflow, and not 0,
   which the timer would take for "off". */
static int readSeconds(const char *text, time_t *seconds)
{
    if (*text == '\0')
        return 0;
    int64_t value = 0;
    for (const char *c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || value > (INT64_MAX - (*c - '0')) / 10)
            return 0;
        value = value * 10 + (*c - '0');
    }
    *seconds = (time_t)value;
    return value != 0 && (int64_t)*seconds == value;
}

/* Arms the timer at `wake`; a zero it_value disarms it, and a disarmed timer has no clock change
   to notice. */
static int arm(int timer, const struct itimerspec *wake)
{
    const int flags = wake->it_value.tv_sec == 0 && wake->it_value.tv_nsec == 0 ? 0 : ARM_FLAGS;
    return timerfd_settime(timer, flags, wake, NULL) == 0 ? -1 : failed("timerfd_settime");
}

static int obey(int timer, const char *line, struct itimerspec *wake)
{
    struct itimerspec next;
    memset(&next, 0, sizeof next);
    if (strcmp(line, "off") != 0 && !readSeconds(line, &next.it_value.tv_sec)) {
        fprintf(stderr, "trillora-wake: not a time: %s\n", line);
        return WAKE_BAD_INPUT;
    }
    *wake = next;
    return arm(timer, wake);
}

/* Takes the complete lines of `buffer`; keeps an unfinished one at its start. */
static int takeLines(int timer, char *buffer, size_t *used, struct itimerspec *wake)
{
    char *start = buffer;
    char *end;
    while ((end = memchr(start, '\n', *used - (size_t)(start - buffer))) != NULL) {
        *end = '\0';
        const int status = obey(timer, start, wake);
        if (status >= 0)
            return status;
        start = end + 1;
    }
    *used -= (size_t)(start - buffer);
    memmove(buffer, start, *used);
    return -1;
}

static int readInput(int timer, char *buffer, size_t size, size_t *used, struct itimerspec *wake)
{
    if (*used == size) {
        fprintf(stderr, "trillora-wake: line too long\n");
        return WAKE_BAD_INPUT;
    }
    const ssize_t got = read(STDIN_FILENO, buffer + *used, size - *used);
    if (got == 0)
        return WAKE_ENDED;
    if (got < 0)
        return errno == EINTR || errno == EAGAIN ? -1 : failed("read");
    *used += (size_t)got;
    return takeLines(timer, buffer, used, wake);
}

static int readTimer(int timer, struct itimerspec *wake)
{
    uint64_t expirations;
    if (read(timer, &expirations, sizeof expirations) >= 0) {
        /* One-shot: the computer is awake now, and the program says what comes next. */
        memset(wake, 0, sizeof *wake);
        return -1;
    }
    if (errno == ECANCELED)
        /* The clock was set. The moment still stands on the new clock; arming afresh makes sure
           the timer holds it and watches for the next change. */
        return arm(timer, wake);
    return errno == EAGAIN || errno == EINTR ? -1 : failed("read timer");
}

int main(void)
{
    /* Whatever the program's own parent left open without close-on-exec is no business of a
       privileged helper. Where close_range is missing (kernels before 5.9) or refused (some
       sandboxes filter it), closefrom closes what /proc/self/fd lists instead, and aborts the
       helper where it cannot. */
    closefrom(STDERR_FILENO + 1);
    int status = openStandardDescriptors();
    if (status < 0)
        status = endWithParent();
    if (status >= 0)
        return status;
    int timer;
    status = openAlarm(&timer);
    if (status >= 0)
        return status;

    struct itimerspec wake;
    memset(&wake, 0, sizeof wake);
    char buffer[64];
    size_t used = 0;
    while (status < 0) {
        struct pollfd watched[2] = {{STDIN_FILENO, POLLIN, 0}, {timer, POLLIN, 0}};
        if (poll(watched, 2, -1) < 0) {
            if (errno != EINTR)
                status = failed("poll");
            continue;
        }
        if (watched[1].revents & POLLIN)
            status = readTimer(timer, &wake);
        if (status < 0 && watched[0].revents & (POLLIN | POLLHUP | POLLERR))
            status = readInput(timer, buffer, sizeof buffer, &used, &wake);
    }
    return status;
}
