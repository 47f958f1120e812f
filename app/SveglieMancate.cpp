// A word to the user for an alarm whose minute the clock passed between two ticks.
#include "app/SveglieMancate.h"

#include "platform/Platform.h"

#include <utility>

namespace {

constexpr qint64 GiornoMs = 24 * 60 * 60 * 1000;

} // namespace

void SveglieMancate::aggiorna(const QList<Sveglie::TestiSlot> &sveglie, const QDateTime &now, qint64 daAvvioMs,
                              qint64 addormentatoMs, const std::function<void(int)> &elimina)
{
    for (int i = 0; i < sveglie.size() && i < dette.size(); ++i) {
        if (!dette[i].first.isEmpty() && dette[i] != sveglie[i])
            ritira(i);
    }
    // The clock's face, which a change of time zone moves as a clock set does. Most ticks come
    // 400 ms after the last: one subtraction tells them, with no time zone looked up.
    const qint64 adesso = now.date().toJulianDay() * GiornoMs + now.time().msecsSinceStartOfDay();
    const qint64 salto = adesso - std::exchange(primaMs, adesso);
    const QDateTime allora = std::exchange(prima, now);
    const qint64 passato = daAvvioMs - std::exchange(daAvvioPrima, daAvvioMs);
    const qint64 dormito = addormentatoMs - std::exchange(addormentatoPrima, addormentatoMs);
    if (!allora.isValid() || salto <= 60000)
        return;
    // Only sleep moves the time asleep on. A clock set forward moves the face further than the time
    // that passed; a program that stood still (stopped, or starved of the processor) does neither.
    const QString perche = dormito * 2 >= salto           ? QStringLiteral("Il computer era sospeso")
                         : (salto - passato) * 2 >= salto ? QStringLiteral("L'orologio è stato spostato in avanti")
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
