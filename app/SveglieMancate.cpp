// A word to the user for an alarm whose minute the clock passed between two ticks.
#include "app/SveglieMancate.h"

#include "platform/Platform.h"

void SveglieMancate::aggiorna(const QList<Sveglie::TestiSlot> &sveglie, const QDateTime &now, qint64 addormentatoMs,
                              const std::function<void(int)> &elimina)
{
    for (int i = 0; i < sveglie.size() && i < dette.size(); ++i) {
        if (!dette[i].first.isEmpty() && dette[i] != sveglie[i])
            ritira(i);
    }
    // Only sleep moves the time asleep on; a clock set forward leaves it where it was.
    const bool sospeso = (addormentatoMs - addormentatoPrima) * 2 >= prima.msecsTo(now);
    for (int i = 0; prima.isValid() && i < sveglie.size() && i < dette.size(); ++i) {
        if (!Sveglie::saltata(sveglie[i], prima, now))
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
    prima = now;
    addormentatoPrima = addormentatoMs;
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
