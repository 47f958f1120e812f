// Keeping the platform told of the next moment the computer must be awake for an alarm slot.
#pragma once

#include "core/NextWake.h"

#include <QDateTime>
#include <QList>
#include <optional>

// Tells the platform the next wake time whenever it changes, and only then.
class WakeTime
{
public:
    // `alarms` and `now` as for prossimoRisveglio; meant to be called on every tick.
    void update(const QList<Sveglie::TestiSlot> &alarms, const QDateTime &now);
    // Nothing armed and every slot empty: there is nothing to work out, nor any need to read the clock.
    bool atRest(const QList<Sveglie::TestiSlot> &alarms) const;

private:
    bool unchanged(const QList<Sveglie::TestiSlot> &alarms, const QDateTime &now) const;

    // At start the platform holds no wake time.
    std::optional<QDateTime> told;
    // What it was worked out from.
    QList<Sveglie::TestiSlot> slotsSeen;
    QDateTime seenAt;
};
