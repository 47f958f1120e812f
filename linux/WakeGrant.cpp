// The capability to wake the computer, asked for once when the wake helper lacks it.
#include "linux/WakeGrant.h"

#include "linux/DesktopNotice.h"
#include "linux/WakeHelper.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString NoticeKey = QStringLiteral("permesso");

} // namespace

WakeGrant::WakeGrant(WakeHelper *helper, const QString &helperFile, std::function<DesktopNotice &()> notices,
                     QObject *parent)
    : QObject(parent)
    , helper(helper)
    , helperFile(helperFile)
    , notices(std::move(notices))
{
    connect(helper, &WakeHelper::capabilityMissing, this, &WakeGrant::offer);
    connect(helper, &WakeHelper::capabilityNotNeeded, this, &WakeGrant::withdraw);
}

void WakeGrant::withdraw()
{
    if (stage != Stage::Offered)
        return;
    stage = Stage::Silent;
    notices().withdraw(NoticeKey);
}

void WakeGrant::offer(const QDateTime &when)
{
    if (stage != Stage::Silent)
        return;
    stage = Stage::Offered;
    // The capability goes to the file itself, never to a link that could be pointed elsewhere.
    file = QFileInfo(helperFile).canonicalFilePath();
    if (file.isEmpty())
        file = helperFile;
    pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
    setcap = QStandardPaths::findExecutable(QStringLiteral("setcap"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (pkexec.isEmpty() || setcap.isEmpty())
        notices().show(NoticeKey, Notice {NoticeTexts::wakeNotPermitted(when, file)});
    else
        notices().show(NoticeKey, Notice {NoticeTexts::wakeNotPermitted(when)}, [this] { allow(); });
}

// pkexec waits for the administrator's password in a dialog of its own: the program goes on
// meanwhile. One try a run: dismissed (126), not authorised (127) or gone from the path since the
// offer, there is nothing more to do and nothing to say.
void WakeGrant::allow()
{
    if (stage != Stage::Offered)
        return;
    stage = Stage::Asked;
    auto *setcapRun = new QProcess(this);
    setcapRun->setProgram(pkexec);
    setcapRun->setArguments({setcap, QStringLiteral("cap_wake_alarm+ep"), file});
    setcapRun->setStandardOutputFile(QProcess::nullDevice());
    setcapRun->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(setcapRun, &QProcess::finished, this, [this, setcapRun](int exitCode, QProcess::ExitStatus status) {
        setcapRun->deleteLater();
        if (status == QProcess::NormalExit && exitCode == 0) {
            notices().withdraw(NoticeKey);
            helper->capabilityGranted();
        }
    });
    connect(setcapRun, &QProcess::errorOccurred, this, [setcapRun](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            setcapRun->deleteLater();
    });
    setcapRun->start();
}
