// Keeping the platform told of the next wake time: only its changes, and no clock read while nothing is set.
#include "app/WakeTime.h"

#include "core/AlarmSchedule.h"
#include "platform/Platform.h"

#include <algorithm>

// While time runs on without reaching the wake time, no slot's minute comes between, so the
// answer stands. A change of the alarms, a clock set back, a jump past the wake time (a clock set
// forward, or a computer that slept through it) and a change of the time zone's offset all call
// for working it out again; looking it up in the time zone costs far more than this test.
bool WakeTime::unchanged(const QList<Sveglie::TestiSlot> &alarms, const QDateTime &now) const
{
    return seenAt.isValid() && alarms == slotsSeen && now >= seenAt
        && now.offsetFromUtc() == seenAt.offsetFromUtc() && (!told || now < *told);
}

void WakeTime::update(const QList<Sveglie::TestiSlot> &alarms, const QDateTime &now)
{
    if (unchanged(alarms, now))
        return;
    slotsSeen = alarms;
    seenAt = now;
    const std::optional<QDateTime> next = Sveglie::prossimoRisveglio(alarms, now);
    if (next == told)
        return;
    told = next;
    platform().wakeAt(next);
}

bool WakeTime::atRest(const QList<Sveglie::TestiSlot> &alarms) const
{
    return !told && std::all_of(alarms.begin(), alarms.end(), [](const Sveglie::TestiSlot &slot) {
               return slot.first == Sveglie::Vuoto;
           });
}
