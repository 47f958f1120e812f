// Shared helpers of every window: the four message boxes, shell links, mail and the program's folder.
#pragma once

#include <QString>

namespace Fx {

inline const QString CodiceProdotto = QStringLiteral("TRILOR");

void MsgInfo(const QString &text);
void MsgAttenzione(const QString &text);
void MsgErrore(const QString &text);
bool MsgRichiesta(const QString &text);

void ApriLink(const QString &target);
QString TestoMail(const QString &address, const QString &subject, const QString &body);
void ComponiMail(const QString &address, const QString &subject, const QString &body);

QString CartellaProgramma();

} // namespace Fx
