// A word to the user for an alarm whose minute the clock passed between two ticks.
#include "app/MissedAlarms.h"

#include "core/NoticeTexts.h"
#include "platform/Platform.h"

#include <QTimeZone>

#include <utility>

namespace {

constexpr qint64 DayMs = 24 * 60 * 60 * 1000;

// How far the clock's face moved between the two looks because their zone changed its offset, in
// milliseconds; none across a change to another zone, which counts as a clock set.
qint64 zoneShift(const QDateTime &then, const QDateTime &now)
{
    if (then.timeZone() != now.timeZone())
        return 0;
    return qint64(now.offsetFromUtc() - then.offsetFromUtc()) * 1000;
}

} // namespace

void MissedAlarms::update(const QList<Sveglie::TestiSlot> &alarms, const QDateTime &now, qint64 sinceBootMs,
                          qint64 asleepMs, const std::function<void(int)> &empty)
{
    for (int i = 0; i < alarms.size() && i < told.size(); ++i) {
        if (!told[i].first.isEmpty() && told[i] != alarms[i])
            withdraw(i);
    }
    const QDateTime then = std::exchange(lastLook, now);
    const qint64 passed = sinceBootMs - std::exchange(lastSinceBootMs, sinceBootMs);
    const qint64 slept = asleepMs - std::exchange(lastAsleepMs, asleepMs);
    if (!now.isValid())
        return;
    // The clock's face, which a change of time zone moves as a clock set does. Most ticks come
    // 400 ms after the last: one subtraction tells them, with no time zone looked up.
    const qint64 face = now.date().toJulianDay() * DayMs + now.time().msecsSinceStartOfDay();
    const qint64 jump = face - std::exchange(lastFaceMs, face);
    if (!then.isValid() || jump <= 60000)
        return;
    // The zone's own change of offset (summer time) moves the face with no clock set: the time that
    // really passed is judged without it, unless that change alone skipped the minute.
    const qint64 real = jump - zoneShift(then, now);
    // Only sleep moves the time asleep on. A clock set forward moves the face further than the time
    // that passed; a program that stood still (stopped, or starved of the processor) does neither.
    using NoticeTexts::Missed;
    const Missed why = real <= 60000                 ? Missed::ClockSetForward
                     : slept * 2 >= real             ? Missed::Asleep
                     : (real - passed) * 2 >= real   ? Missed::ClockSetForward
                                                     : Missed::StoodStill;
    for (int i = 0; i < alarms.size() && i < told.size(); ++i) {
        if (!Sveglie::saltata(alarms[i], then, now))
            continue;
        const std::optional<QDateTime> next = Sveglie::prossimoRisveglio({alarms[i]}, now);
        const NoticeTexts::Words words = NoticeTexts::missedAlarm(
            NoticeTexts::alarmMinute(alarms[i].first, alarms[i].second), why, next && next->date() == now.date());
        told[i] = alarms[i];
        platform().showMissedAlarm(i + 1, words, [empty, i] { empty(i + 1); });
    }
}

void MissedAlarms::atRest()
{
    lastLook = QDateTime();
    for (int i = 0; i < told.size(); ++i) {
        if (!told[i].first.isEmpty())
            withdraw(i);
    }
}

void MissedAlarms::withdraw(int slot)
{
    told[slot] = {};
    platform().withdrawMissedAlarm(slot + 1);
}
