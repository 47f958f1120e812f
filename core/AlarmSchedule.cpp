// The rules of the alarm slots and the clock.
#include "core/AlarmSchedule.h"

#include "core/IntegerText.h"

namespace Sveglie {

namespace {

bool dueCifre(const QString &text)
{
    return text.size() == 2 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9')
        && text[1] >= QLatin1Char('0') && text[1] <= QLatin1Char('9');
}

bool nelIntervallo(const QString &text, int highest)
{
    const auto value = testoInIntero(text);
    return value && *value >= 0 && *value <= highest;
}

} // namespace

QString completaZero(const QString &text)
{
    return text.size() < 2 ? QLatin1Char('0') + text : text;
}

QString limitaInserimento(const QString &prima, const QString &dopo, int &cursore, int limite)
{
    // What follows the cursor is what followed the edit before it.
    const qsizetype coda = dopo.size() - cursore;
    if (cursore < 0 || coda < 0 || coda > prima.size() || !prima.endsWith(QStringView(dopo).right(coda)))
        return dopo;
    // The insertion starts where the two texts part. Were the first inserted characters equal to
    // the replaced ones, they count as kept, which for a text of up to `limite` characters gives
    // the same result.
    qsizetype inizio = 0;
    const qsizetype fineComune = qMin<qsizetype>(cursore, prima.size() - coda);
    while (inizio < fineComune && prima[inizio] == dopo[inizio])
        ++inizio;
    const qsizetype spazio = qMax<qsizetype>(0, limite - (inizio + coda));
    if (cursore - inizio <= spazio)
        return dopo;
    cursore = static_cast<int>(inizio + spazio);
    return dopo.left(cursore) + dopo.right(coda);
}

bool orarioValido(const QString &hour, const QString &minute)
{
    return nelIntervallo(hour, 23) && nelIntervallo(minute, 59) && dueCifre(hour) && dueCifre(minute);
}

bool occupato(const QString &hour, const QString &minute)
{
    return hour != Vuoto || minute != Vuoto;
}

QString testoOrologio(const QTime &time)
{
    return time.toString(QStringLiteral("HH.mm.ss"));
}

bool chiaviUguali(const QString &clockText, const QString &hour, const QString &minute)
{
    const QStringView chiave = QStringView(clockText).left(5);
    return chiave.size() == hour.size() + 1 + minute.size() && chiave.startsWith(hour)
        && chiave[hour.size()] == QLatin1Char('.') && chiave.sliced(hour.size() + 1) == minute;
}

} // namespace Sveglie
