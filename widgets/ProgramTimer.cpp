// The program's own timers: named, precise, and held while a tone pattern plays.
#include "widgets/ProgramTimer.h"

ProgramTimer::ProgramTimer(QObject *parent, const char *name, int intervalMs)
    : QTimer(parent)
{
    setObjectName(QLatin1String(name));
    setInterval(intervalMs);
    setTimerType(Qt::PreciseTimer);
}
