// A word to the user for an alarm whose minute the clock passed between two ticks.
#include "app/SveglieMancate.h"

#include "platform/Platform.h"

#include <QTimeZone>

#include <utility>

namespace {

constexpr qint64 GiornoMs = 24 * 60 * 60 * 1000;

// How far the clock's face moved between the two looks because their zone changed its offset, in
// milliseconds; none across a change to another zone, which counts as a clock set.
qint64 cambioDelFuso(const QDateTime &allora, const QDateTime &ora)
{
    if (allora.timeZone() != ora.timeZone())
        return 0;
    return qint64(ora.offsetFromUtc() - allora.offsetFromUtc()) * 1000;
}

} // namespace

void SveglieMancate::aggiorna(const QList<Sveglie::TestiSlot> &sveglie, const QDateTime &now, qint64 daAvvioMs,
                              qint64 addormentatoMs, const std::function<void(int)> &elimina)
{
    for (int i = 0; i < sveglie.size() && i < dette.size(); ++i) {
        if (!dette[i].first.isEmpty() && dette[i] != sveglie[i])
            ritira(i);
    }
    const QDateTime allora = std::exchange(prima, now);
    const qint64 passato = daAvvioMs - std::exchange(daAvvioPrima, daAvvioMs);
    const qint64 dormito = addormentatoMs - std::exchange(addormentatoPrima, addormentatoMs);
    if (!now.isValid())
        return;
    // The clock's face, which a change of time zone moves as a clock set does. Most ticks come
    // 400 ms after the last: one subtraction tells them, with no time zone looked up.
    const qint64 adesso = now.date().toJulianDay() * GiornoMs + now.time().msecsSinceStartOfDay();
    const qint64 salto = adesso - std::exchange(primaMs, adesso);
    if (!allora.isValid() || salto <= 60000)
        return;
    // The zone's own change of offset (summer time) moves the face with no clock set: the time that
    // really passed is judged without it, unless that change alone skipped the minute.
    const qint64 reale = salto - cambioDelFuso(allora, now);
    // Only sleep moves the time asleep on. A clock set forward moves the face further than the time
    // that passed; a program that stood still (stopped, or starved of the processor) does neither.
    const QString perche = reale <= 60000               ? QStringLiteral("L'orologio è stato spostato in avanti")
                         : dormito * 2 >= reale         ? QStringLiteral("Il computer era sospeso")
                         : (reale - passato) * 2 >= reale ? QStringLiteral("L'orologio è stato spostato in avanti")
                                                        : QStringLiteral("Trillora è rimasto fermo");
    for (int i = 0; i < sveglie.size() && i < dette.size(); ++i) {
        if (!Sveglie::saltata(sveglie[i], allora, now))
            continue;
        const QString orario = sveglie[i].first + QLatin1Char('.') + sveglie[i].second;
        const std::optional<QDateTime> prossima = Sveglie::prossimoRisveglio({sveglie[i]}, now);
        const QString quando = prossima && prossima->date() == now.date() ? QStringLiteral("di oggi")
                                                                           : QStringLiteral("di domani");
        dette[i] = sveglie[i];
        platform().showMissedAlarm(i + 1, QStringLiteral("Sveglia delle %1 non suonata").arg(orario),
                                   QStringLiteral("%1: la sveglia resta impostata e suonerà alle %2 %3.")
                                       .arg(perche, orario, quando),
                                   [elimina, i] { elimina(i + 1); });
    }
}

void SveglieMancate::aRiposo()
{
    prima = QDateTime();
    for (int i = 0; i < dette.size(); ++i) {
        if (!dette[i].first.isEmpty())
            ritira(i);
    }
}

void SveglieMancate::ritira(int slot)
{
    dette[slot] = {};
    platform().withdrawMissedAlarm(slot + 1);
}
