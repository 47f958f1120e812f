// Shared helpers of every window, all reached through the platform seam.
#include "widgets/Fx.h"

#include "platform/Platform.h"

namespace Fx {

void MsgInfo(const QString &text)
{
    platform().messageBox(MessageKind::Info, QStringLiteral("Messaggio."), text);
}

void MsgAttenzione(const QString &text)
{
    platform().messageBox(MessageKind::Warning, QStringLiteral("Attenzione."), text);
}

void MsgErrore(const QString &text)
{
    platform().messageBox(MessageKind::Error, QStringLiteral("Errore"), text);
}

bool MsgRichiesta(const QString &text)
{
    return platform().messageBox(MessageKind::Question, QStringLiteral("Richiesta."), text);
}

void ApriLink(const QString &target)
{
    platform().shellOpen(target);
}

// The mail link exactly as the program words it, nothing escaped. The Linux seam builds an encoded
// link from the three texts instead (mailtoUrl); the tests' seam records mails as this text.
QString TestoMail(const QString &address, const QString &subject, const QString &body)
{
    return QStringLiteral("mailto:") + address + QStringLiteral("?subject=") + subject
        + QStringLiteral("&body=") + body;
}

// The texts reach the seam apart: the link text alone cannot say where a subject holding
// "&body=" ends.
void ComponiMail(const QString &address, const QString &subject, const QString &body)
{
    platform().shellOpenMail(address, subject, body);
}

// Asked afresh at every call, as callers may run before anything else is set up.
QString CartellaProgramma()
{
    const QString path = platform().executablePath();
    const int cut = path.lastIndexOf(QLatin1Char('/'));
    return path.left(cut + 1);
}

} // namespace Fx
