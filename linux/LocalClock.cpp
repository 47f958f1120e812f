// The local time of day, converted to the local zone once a second.
#include "linux/LocalClock.h"

#include <QDateTime>

#include <time.h>

LocalClock::LocalClock(Conversione conversione)
    : converti(std::move(conversione))
{
}

QTime LocalClock::at(qint64 msecsSinceEpoch)
{
    // Rounded down also before 1970, so the milliseconds are never negative.
    const qint64 s = msecsSinceEpoch >= 0 ? msecsSinceEpoch / 1000 : -((999 - msecsSinceEpoch) / 1000);
    if (s != secondo || !inizioSecondo.isValid()) {
        secondo = s;
        inizioSecondo = converti(s);
    }
    return inizioSecondo.addMSecs(static_cast<int>(msecsSinceEpoch - s * 1000));
}

QTime LocalClock::daSecondi(qint64 secsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secsSinceEpoch).time();
}

qint64 LocalClock::msecsSinceBoot()
{
    timespec boot {};
    if (clock_gettime(CLOCK_BOOTTIME, &boot) != 0)
        return 0;
    return qint64(boot.tv_sec) * 1000 + boot.tv_nsec / 1000000;
}

qint64 LocalClock::msecsAsleep()
{
    timespec boot {};
    timespec monotonic {};
    if (clock_gettime(CLOCK_BOOTTIME, &boot) != 0 || clock_gettime(CLOCK_MONOTONIC, &monotonic) != 0)
        return 0;
    return (qint64(boot.tv_sec) - monotonic.tv_sec) * 1000 + (boot.tv_nsec - monotonic.tv_nsec) / 1000000;
}
