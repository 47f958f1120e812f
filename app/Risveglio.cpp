// Keeping the platform told of the next wake time: only its changes, and no clock read while nothing is set.
#include "app/Risveglio.h"

#include "core/AlarmSchedule.h"
#include "platform/Platform.h"

#include <algorithm>

// While time runs on without reaching the wake time, no slot's minute comes between, so the
// answer stands. A change of the slots, a clock set back, a jump past the wake time (a clock set
// forward, or a computer that slept through it) and a change of the time zone's offset all call
// for working it out again; looking it up in the time zone costs far more than this test.
bool Risveglio::immutato(const QList<Sveglie::TestiSlot> &sveglie, const QDateTime &now) const
{
    return visto.isValid() && sveglie == sveglieViste && now >= visto
        && now.offsetFromUtc() == visto.offsetFromUtc() && (!detto || now < *detto);
}

void Risveglio::aggiorna(const QList<Sveglie::TestiSlot> &sveglie, const QDateTime &now)
{
    if (immutato(sveglie, now))
        return;
    sveglieViste = sveglie;
    visto = now;
    const std::optional<QDateTime> next = Sveglie::prossimoRisveglio(sveglie, now);
    if (next == detto)
        return;
    detto = next;
    platform().wakeAt(next);
}

bool Risveglio::aRiposo(const QList<Sveglie::TestiSlot> &sveglie) const
{
    return !detto && std::all_of(sveglie.begin(), sveglie.end(), [](const Sveglie::TestiSlot &slot) {
               return slot.first == Sveglie::Vuoto;
           });
}
