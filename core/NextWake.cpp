// The next wake time of the alarm slots, by the trigger's own rule, across midnight and clock changes.
#include "core/NextWake.h"

#include "core/AlarmSchedule.h"

#include <QTimeZone>
#include <algorithm>

namespace Sveglie {

namespace {

constexpr qint64 GiornoSecondi = 24 * 60 * 60;
// A minute missing from a day is back the next day, and a zone that drops a whole day drops one.
constexpr int GiorniCercati = 3;

// The minute of the day whose clock key equals the slot's, if the clock can ever show it.
std::optional<QTime> minutoDelloSlot(const QString &hour, const QString &minute)
{
    const QTime time = QTime::fromString(hour + QLatin1Char('.') + minute, QStringLiteral("HH.mm"));
    // Back through the clock's own text, so that only slots the trigger can match pass.
    if (!time.isValid() || !chiaviUguali(testoOrologio(time), hour, minute))
        return std::nullopt;
    return time;
}

// The moments at which the clock of `zone` shows `time` on `day`, earliest first: none when the
// clocks skip it, two when they go back over it.
QList<QDateTime> occorrenze(QDate day, QTime time, const QTimeZone &zone)
{
    const qint64 comeUtc = QDateTime(day, time, QTimeZone::utc()).toSecsSinceEpoch();
    QList<QDateTime> found;
    // The offsets in force a day either side of it cover any change of offset on the day itself.
    for (const qint64 probe : {comeUtc - GiornoSecondi, comeUtc, comeUtc + GiornoSecondi}) {
        const int offset = zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(probe, QTimeZone::utc()));
        const QDateTime candidate = QDateTime::fromSecsSinceEpoch(comeUtc - offset, zone);
        if (candidate.date() == day && candidate.time() == time && !found.contains(candidate))
            found.append(candidate);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<QDateTime> prossimo(QTime time, const QDateTime &now, const QTimeZone &zone)
{
    for (int day = 0; day < GiorniCercati; ++day) {
        for (const QDateTime &start : occorrenze(now.date().addDays(day), time, zone)) {
            if (start > now)
                return start;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QDateTime> prossimoRisveglio(const QList<TestiSlot> &sveglie, const QDateTime &now)
{
    // The zone's rules are looked up only for a slot that can fire: with none set, as at start,
    // the time zone database is never read.
    std::optional<QTimeZone> zone;
    std::optional<QDateTime> earliest;
    for (const TestiSlot &slot : sveglie) {
        const std::optional<QTime> time = minutoDelloSlot(slot.first, slot.second);
        if (!time)
            continue;
        if (!zone)
            zone = now.timeZone();
        const std::optional<QDateTime> next = prossimo(*time, now, *zone);
        if (next && (!earliest || *next < *earliest))
            earliest = next;
    }
    return earliest;
}

bool saltata(const TestiSlot &slot, const QDateTime &prima, const QDateTime &ora)
{
    // The clock's faces, as if in one zone without changes of offset.
    const QDateTime da(prima.date(), prima.time(), QTimeZone::utc());
    const QDateTime a(ora.date(), ora.time(), QTimeZone::utc());
    // A gap of a minute or less holds no whole minute; most ticks end here.
    if (a <= da.addSecs(60))
        return false;
    const std::optional<QTime> time = minutoDelloSlot(slot.first, slot.second);
    if (!time)
        return false;
    // The slot's first minute after the earlier look; the tick fires it until its end.
    QDateTime inizio(da.date(), *time, QTimeZone::utc());
    if (inizio <= da)
        inizio = inizio.addDays(1);
    return inizio.addSecs(60) <= a;
}

} // namespace Sveglie
