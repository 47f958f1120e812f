// The local time of day, converted to the local zone once a second.
#include "linux/LocalClock.h"

#include <QDateTime>

#include <time.h>

LocalClock::LocalClock(Conversion conversion)
    : convert(std::move(conversion))
{
}

QTime LocalClock::at(qint64 msecsSinceEpoch)
{
    // Rounded down also before 1970, so the milliseconds are never negative.
    const qint64 s = msecsSinceEpoch >= 0 ? msecsSinceEpoch / 1000 : -((999 - msecsSinceEpoch) / 1000);
    if (s != second || !secondStart.isValid()) {
        second = s;
        secondStart = convert(s);
    }
    return secondStart.addMSecs(static_cast<int>(msecsSinceEpoch - s * 1000));
}

QTime LocalClock::localTimeOf(qint64 secsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secsSinceEpoch).time();
}

namespace {

// The clock's nanoseconds; 0 where it cannot be read.
qint64 nanosecsOf(clockid_t clock)
{
    timespec now {};
    if (clock_gettime(clock, &now) != 0)
        return 0;
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

constexpr qint64 NanosecsPerMsec = 1000000;

} // namespace

qint64 LocalClock::msecsSinceBoot()
{
    return nanosecsOf(CLOCK_BOOTTIME) / NanosecsPerMsec;
}

qint64 LocalClock::msecsAsleep()
{
    // The boot clock is read after the monotonic one and the two are subtracted whole, so the
    // difference is never below the time really spent asleep, not even by a millisecond cut off.
    const qint64 monotonic = nanosecsOf(CLOCK_MONOTONIC);
    const qint64 boot = nanosecsOf(CLOCK_BOOTTIME);
    return boot > 0 && monotonic > 0 ? (boot - monotonic) / NanosecsPerMsec : 0;
}
