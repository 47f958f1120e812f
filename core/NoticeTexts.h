// Every text the program's desktop notices show, and the rules that form them.
#pragma once

#include <QDateTime>
#include <QString>

// The windows and the platform's rooms that post a notice ask here for its words, so that a notice
// reads the same wherever it comes from.
namespace NoticeTexts {

// One notice's words: what names it, what it says, and the caption of its one action (none when
// empty).
struct Words
{
    QString summary;
    QString body;
    QString action;
};

// An alarm's minute as the notices name it, "07.30": a slot's hour and minute texts, or a moment.
QString alarmMinute(const QString &hour, const QString &minute);
QString alarmMinute(const QDateTime &moment);

// The ringing alarm of `minute` ("07.30"), whose window the user may not see; its action closes it.
Words unseenAlarm(const QString &minute);

// Why the clock passed a set alarm's whole minute between two looks.
enum class Missed { Asleep, ClockSetForward, StoodStill };

// The alarm of `minute` went by unrung for `why`; it rings at its time again, `today` or tomorrow.
// Its action empties the alarm's slot.
Words missedAlarm(const QString &minute, Missed why, bool today);

// The wake helper cannot wake the computer for the alarm at `alarm`, and may be given the
// capability: with the action "Consenti" where the desktop can ask for the administrator's
// password, otherwise (`helperFile` named) with the command that gives it, the file quoted for the
// shell where it needs it.
Words wakeNotPermitted(const QDateTime &alarm);
Words wakeNotPermitted(const QDateTime &alarm, const QString &helperFile);

} // namespace NoticeTexts
