// The rules of the alarm slots and the clock, apart from any window.
#pragma once

#include <QString>
#include <QTime>

namespace Sveglie {

inline const QString Vuoto = QStringLiteral("*");

// One "0" in front of a text shorter than two characters: "7" -> "07", "*" -> "0*", "" -> "0".
QString completaZero(const QString &text);

// The text of an entry field of at most `limite` typed characters after an edit: `dopo` is the text
// with the edit made to `prima`, `cursore` the position just after what was typed, pasted or dropped.
// The inserted part is cut to the room the rest of the text leaves (a replaced selection frees its
// room), and `cursore` follows the cut. An edit that inserts nothing stays as it is.
QString limitaInserimento(const QString &prima, const QString &dopo, int &cursore, int limite);

// Hour 0..23 and minute 0..59 by the program's integer conversion, and both exactly two decimal
// digits: a text such as "0", "+7" or " 7" would pass the range and then never match the clock.
bool orarioValido(const QString &hour, const QString &minute);

// A slot holds an alarm, for its delete button, when either of its texts is not the empty marker.
bool occupato(const QString &hour, const QString &minute);

// The clock as the main window shows it, 24-hour HH.MM.SS.
QString testoOrologio(const QTime &time);
// Whether a slot's key, hour + "." + minute, equals the clock's key, the first five characters of
// the clock text; compared as texts, without building either.
bool chiaviUguali(const QString &clockText, const QString &hour, const QString &minute);

} // namespace Sveglie
