// The next moment the computer must be awake for an alarm slot, by the trigger's own rule.
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

// Whether the clock passed the whole minute of the slot's alarm between two looks at it, `prima`
// and `ora`, so that no tick can have fired it: the computer slept, the clock was set forward, or
// the program stood still. The local times are compared as the clock showed them, each in its own
// zone: a change of time zone that skips the minute counts as a clock set forward.
bool saltata(const TestiSlot &slot, const QDateTime &prima, const QDateTime &ora);

} // namespace Sveglie
