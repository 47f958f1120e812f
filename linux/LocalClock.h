// The local time of day from the system clock, converted to the local zone once a second.
#pragma once

#include <QTime>
#include <functional>

// The zone conversion reads the time zone anew on every call (a stat of /etc/localtime), and the
// clock asks for the time five times in each 400 ms tick. A zone's offset changes only on a whole
// second, so the conversion is done when the second changes and the milliseconds are added to it.
class LocalClock
{
public:
    // Local time of day of a whole second since the epoch.
    using Conversion = std::function<QTime(qint64 secsSinceEpoch)>;

    explicit LocalClock(Conversion conversion = localTimeOf);

    // The local time of day at that moment, to the millisecond.
    QTime at(qint64 msecsSinceEpoch);

    static QTime localTimeOf(qint64 secsSinceEpoch);

    // The time spent suspended since the computer started: CLOCK_BOOTTIME counts it and
    // CLOCK_MONOTONIC does not, and neither moves when the wall clock is set.
    static qint64 msecsAsleep();
    // The time since the computer started, sleep included (CLOCK_BOOTTIME): the time that really
    // passed, whatever the wall clock says.
    static qint64 msecsSinceBoot();

private:
    Conversion convert;
    qint64 second = 0;
    QTime secondStart;
};
