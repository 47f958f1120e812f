// Texts to and from the Windows-1252 code page, the 8-bit form of the program's files and pages.
#pragma once

#include <QByteArray>
#include <QString>

// Characters the code page lacks become "?".
QByteArray inCp1252(const QString &text);
QString daCp1252(const QByteArray &bytes);
