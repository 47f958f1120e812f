// Every text the program's desktop notices show, and the rules that form them.
#include "core/NoticeTexts.h"

#include <QRegularExpression>

namespace NoticeTexts {

namespace {

// A word as a POSIX shell reads it back: in single quotes unless it holds nothing a shell would read.
QString forTheShell(const QString &word)
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    if (safe.match(word).hasMatch())
        return word;
    return QLatin1Char('\'') + QString(word).replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

QString wakeWarning(const QDateTime &alarm)
{
    return QStringLiteral("Se il computer va in sospensione, la sveglia delle %1 non suonerà. ").arg(alarmMinute(alarm));
}

} // namespace

QString alarmMinute(const QString &hour, const QString &minute)
{
    return hour + QLatin1Char('.') + minute;
}

QString alarmMinute(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("HH.mm"));
}

Words unseenAlarm(const QString &minute)
{
    return {QStringLiteral("Sveglia delle ") + minute, QString(), QStringLiteral("Chiudi")};
}

Words missedAlarm(const QString &minute, Missed why, bool today)
{
    const QString reason = why == Missed::Asleep           ? QStringLiteral("Il computer era sospeso")
                         : why == Missed::ClockSetForward ? QStringLiteral("L'orologio è stato spostato in avanti")
                                                          : QStringLiteral("Trillora è rimasto fermo");
    return {QStringLiteral("Sveglia delle %1 non suonata").arg(minute),
            QStringLiteral("%1: la sveglia resta impostata e suonerà alle %2 %3.")
                .arg(reason, minute, today ? QStringLiteral("di oggi") : QStringLiteral("di domani")),
            QStringLiteral("Elimina")};
}

Words wakeNotPermitted(const QDateTime &alarm)
{
    return {QStringLiteral("Trillora non può risvegliare il computer"),
            wakeWarning(alarm) + QStringLiteral("«Consenti» chiede una volta la password di amministratore."),
            QStringLiteral("Consenti")};
}

Words wakeNotPermitted(const QDateTime &alarm, const QString &helperFile)
{
    return {QStringLiteral("Trillora non può risvegliare il computer"),
            wakeWarning(alarm) + QStringLiteral("Per consentirlo: sudo setcap cap_wake_alarm+ep ") + forTheShell(helperFile),
            QString()};
}

} // namespace NoticeTexts
