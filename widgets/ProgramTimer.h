// The program's own timers: named, precise, and held while a tone pattern plays.
#pragma once

#include <QTimer>

// What the program times (its windows' timers, the clock's tick, the caret's rest) is what the user
// sees move: while a tone pattern plays it is held with the input, and makes up for what it missed
// afterwards (ringing/PatternPlayer.h). Any other timer, Qt's own and the platform's included, runs
// on, as the window system and the network need it to.
class ProgramTimer : public QTimer
{
    Q_OBJECT

public:
    // Precise: a coarse timer may end anywhere within 5 % of its interval.
    ProgramTimer(QObject *parent, const char *name, int intervalMs);
};
