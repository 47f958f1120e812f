// Keeping the platform told of the next moment the computer must be awake for an alarm slot.
#pragma once

#include "core/NextWake.h"

#include <QDateTime>
#include <QList>
#include <optional>

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
