// A word to the user for an alarm whose minute the clock passed between two ticks.
#pragma once

#include "core/NextWake.h"

#include <QDateTime>
#include <QList>
#include <functional>

// The slot stays set and rings at its time on a later day, as ever; the desktop is told, once for
// each slot and jump, and the notice goes when the slot fires or is emptied.
class SveglieMancate
{
public:
    // `sveglie` as read at `now`, `daAvvioMs` after the computer started, of which it spent
    // `addormentatoMs` asleep; `elimina(i)` empties slot i, for the notice's "Elimina".
    void aggiorna(const QList<Sveglie::TestiSlot> &sveglie, const QDateTime &now, qint64 daAvvioMs,
                  qint64 addormentatoMs, const std::function<void(int)> &elimina);
    // Every slot empty, and the clock not read: no notice stands, and the next look starts afresh.
    void aRiposo();

private:
    void ritira(int slot);

    // The last look at the clock, also as the milliseconds its face showed; and the boot clocks then.
    QDateTime prima;
    qint64 primaMs = 0;
    qint64 daAvvioPrima = 0;
    qint64 addormentatoPrima = 0;
    // For each slot, the texts it was told for; empty where nothing was told.
    QList<Sveglie::TestiSlot> dette = QList<Sveglie::TestiSlot>(5);
};
