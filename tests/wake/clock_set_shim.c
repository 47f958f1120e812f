/* For the tests: the first alarm armed expires at once, and reading it fails as after a clock change
   or a resume (LD_PRELOAD). Only an arming after that holds the moment asked for. */
#define _GNU_SOURCE
#include <errno.h>
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <unistd.h>

static int changed = -1;
static int armed;

int timerfd_settime(int timer, int flags, const struct itimerspec *value, struct itimerspec *old)
{
    /* A moment long past. */
    static const struct itimerspec expired = {{0, 0}, {1, 0}};
    if (armed || value->it_value.tv_sec == 0)
        return (int)syscall(SYS_timerfd_settime, timer, flags, value, old);
    armed = 1;
    changed = timer;
    return (int)syscall(SYS_timerfd_settime, timer, flags, &expired, old);
}

ssize_t read(int fd, void *buffer, size_t size)
{
    if (fd != changed)
        return syscall(SYS_read, fd, buffer, size);
    changed = -1;
    errno = ECANCELED;
    return -1;
}
