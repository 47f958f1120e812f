// A word to the user for an alarm whose minute the clock passed between two ticks.
#pragma once

#include "core/NextWake.h"

#include <QDateTime>
#include <QList>
#include <functional>

// The slot stays set and rings at its time on a later day, as ever; the desktop is told, once for
// each slot and jump, and the notice goes when the slot fires or is emptied.
class MissedAlarms
{
public:
    // `alarms` as read at `now`, `sinceBootMs` after the computer started, of which it spent
    // `asleepMs` asleep; `empty(i)` empties slot i, for the notice's "Elimina".
    void update(const QList<Sveglie::TestiSlot> &alarms, const QDateTime &now, qint64 sinceBootMs, qint64 asleepMs,
                const std::function<void(int)> &empty);
    // Every slot empty, and the clock not read: no notice stands, and the next look starts afresh.
    void atRest();

private:
    void withdraw(int slot);

    // The last look at the clock, also as the milliseconds its face showed; and the boot clocks then.
    QDateTime lastLook;
    qint64 lastFaceMs = 0;
    qint64 lastSinceBootMs = 0;
    qint64 lastAsleepMs = 0;
    // For each slot, the texts it was told for; empty where nothing was told.
    QList<Sveglie::TestiSlot> told = QList<Sveglie::TestiSlot>(5);
};
