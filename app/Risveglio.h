// The next moment the computer must be awake for an alarm slot, and keeping the platform told of it.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace Sveglie {

// The hour and minute texts of one slot, as its fields hold them.
using TestiSlot = std::pair<QString, QString>;

// The start of the earliest minute after `now` in which the clock will show a slot's hour and
// minute, in now's time zone; none when no slot can ever fire ("*" and texts the clock never shows).
// Within a slot's own minute the tick fires it, so that minute is not ahead. A minute that a day
// lacks (clocks going forward) is taken on the next day that has it; a minute that a day has twice
// (clocks going back) is taken at the first of its occurrences that is still ahead.
std::optional<QDateTime> prossimoRisveglio(const QList<TestiSlot> &sveglie, const QDateTime &now);

} // namespace Sveglie

// Tells the platform the next wake time whenever it changes, and only then.
class Risveglio
{
public:
    // `sveglie` and `now` as for prossimoRisveglio; meant to be called on every tick.
    void aggiorna(const QList<Sveglie::TestiSlot> &sveglie, const QDateTime &now);
    // Nothing armed and every slot empty: there is nothing to work out, nor any need to read the clock.
    bool aRiposo(const QList<Sveglie::TestiSlot> &sveglie) const;

private:
    bool immutato(const QList<Sveglie::TestiSlot> &sveglie, const QDateTime &now) const;

    // At start the platform holds no wake time.
    std::optional<QDateTime> detto;
    // What it was worked out from.
    QList<Sveglie::TestiSlot> sveglieViste;
    QDateTime visto;
};
