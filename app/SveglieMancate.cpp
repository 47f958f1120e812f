// A word to the user for an alarm whose minute the clock passed between two ticks.
#include "app/SveglieMancate.h"

#include "platform/Platform.h"

#include <utility>

void SveglieMancate::aggiorna(const QList<Sveglie::TestiSlot> &sveglie, const QDateTime &now, qint64 addormentatoMs,
                              const std::function<void(int)> &elimina)
{
    for (int i = 0; i < sveglie.size() && i < dette.size(); ++i) {
        if (!dette[i].first.isEmpty() && dette[i] != sveglie[i])
            ritira(i);
    }
    // Most ticks come 400 ms after the last: one subtraction tells them, with no time zone looked up.
    const qint64 adesso = now.toMSecsSinceEpoch();
    const qint64 salto = adesso - primaMs;
    const QDateTime allora = prima;
    prima = now;
    primaMs = adesso;
    const qint64 dormito = addormentatoMs - std::exchange(addormentatoPrima, addormentatoMs);
    if (!allora.isValid() || salto <= 60000)
        return;
    // Only sleep moves the time asleep on; a clock set forward leaves it where it was.
    const bool sospeso = dormito * 2 >= salto;
    for (int i = 0; i < sveglie.size() && i < dette.size(); ++i) {
        if (!Sveglie::saltata(sveglie[i], allora, now))
            continue;
        const QString orario = sveglie[i].first + QLatin1Char('.') + sveglie[i].second;
        const std::optional<QDateTime> prossima = Sveglie::prossimoRisveglio({sveglie[i]}, now);
        const QString quando = prossima && prossima->date() == now.date() ? QStringLiteral("di oggi")
                                                                           : QStringLiteral("di domani");
        const QString perche = sospeso ? QStringLiteral("Il computer era sospeso")
                                       : QStringLiteral("L'orologio è stato spostato in avanti");
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
