// The capability to wake the computer, asked for once when the wake helper lacks it.
#include "linux/WakeGrant.h"

#include "linux/DesktopNotice.h"
#include "linux/WakeHelper.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const QString Chiave = QStringLiteral("permesso");

// A word as a POSIX shell reads it back: in single quotes unless it holds nothing a shell would read.
QString perLaShell(const QString &parola)
{
    static const QRegularExpression sicura(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    if (sicura.match(parola).hasMatch())
        return parola;
    return QLatin1Char('\'') + QString(parola).replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

} // namespace

WakeGrant::WakeGrant(WakeHelper *helper, const QString &helperFile, std::function<DesktopNotice &()> notices,
                     QObject *parent)
    : QObject(parent)
    , helper(helper)
    , helperFile(helperFile)
    , notices(std::move(notices))
{
    connect(helper, &WakeHelper::permessoMancante, this, &WakeGrant::offri);
    connect(helper, &WakeHelper::permessoSuperfluo, this, &WakeGrant::ritira);
}

void WakeGrant::ritira()
{
    if (stato != Stato::Offerto)
        return;
    stato = Stato::Muto;
    notices().withdraw(Chiave);
}

void WakeGrant::offri(const QDateTime &when)
{
    if (stato != Stato::Muto)
        return;
    stato = Stato::Offerto;
    // The capability goes to the file itself, never to a link that could be pointed elsewhere.
    file = QFileInfo(helperFile).canonicalFilePath();
    if (file.isEmpty())
        file = helperFile;
    pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
    setcap = QStandardPaths::findExecutable(QStringLiteral("setcap"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    Avviso avviso;
    avviso.summary = QStringLiteral("Trillora non può risvegliare il computer");
    avviso.body = QStringLiteral("Se il computer va in sospensione, la sveglia delle %1 non suonerà. ")
                      .arg(when.toString(QStringLiteral("HH.mm")));
    if (pkexec.isEmpty() || setcap.isEmpty()) {
        avviso.body += QStringLiteral("Per consentirlo: sudo setcap cap_wake_alarm+ep ") + perLaShell(file);
        notices().show(Chiave, avviso);
        return;
    }
    avviso.body += QStringLiteral("«Consenti» chiede una volta la password di amministratore.");
    avviso.action = QStringLiteral("Consenti");
    notices().show(Chiave, avviso, [this] { consenti(); });
}

// pkexec waits for the administrator's password in a dialog of its own: the program goes on
// meanwhile. One try a run: dismissed (126), not authorised (127) or gone from the path since the
// offer, there is nothing more to do and nothing to say.
void WakeGrant::consenti()
{
    if (stato != Stato::Offerto)
        return;
    stato = Stato::Chiesto;
    auto *concessione = new QProcess(this);
    concessione->setProgram(pkexec);
    concessione->setArguments({setcap, QStringLiteral("cap_wake_alarm+ep"), file});
    concessione->setStandardOutputFile(QProcess::nullDevice());
    concessione->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(concessione, &QProcess::finished, this, [this, concessione](int exitCode, QProcess::ExitStatus status) {
        concessione->deleteLater();
        if (status == QProcess::NormalExit && exitCode == 0) {
            notices().withdraw(Chiave);
            helper->permessoConcesso();
        }
    });
    connect(concessione, &QProcess::errorOccurred, this, [concessione](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            concessione->deleteLater();
    });
    concessione->start();
}
