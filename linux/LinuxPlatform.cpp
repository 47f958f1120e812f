// The platform seam on a Linux desktop: each call handed to the room of its service.
#include "linux/LinuxPlatform.h"

#include "core/Config.h"
#include "linux/DesktopNotice.h"
#include "linux/ProgramFile.h"
#include "linux/Shell.h"
#include "linux/UserFolders.h"
#include "linux/WakeGrant.h"
#include "linux/WakeHelper.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QThread>

namespace {

QString folderOf(const QString &file)
{
    return QFileInfo(file).path();
}

// How long the program's end may wait for the notification service to take its notices back.
constexpr int FinalWithdrawMs = 500;

QString missedAlarmKey(int slot)
{
    return QStringLiteral("mancata-%1").arg(slot);
}

// The icon theme has the program's icon once it is installed; run from the build or an unpacked
// archive, the file beside the program stands in, or the desktop would show its placeholder.
QString noticeIcon(const QString &folder)
{
    const QString name = QStringLiteral("trillora");
    const QString file = folder + QStringLiteral("/trillora.png");
    return QIcon::hasThemeIcon(name) || !QFileInfo::exists(file) ? name : file;
}

} // namespace

LinuxPlatform::LinuxPlatform(const QByteArray &moduleIdentity, const QString &moduleFolder)
    : programFile(ProgramFile::realPath())
    , filesFolder(moduleFolder.isEmpty() ? folderOf(programFile) : moduleFolder)
    , sound(filesFolder, moduleIdentity)
    , network(filesFolder, moduleIdentity)
    // Made at start, so that the press of a click that asks for an activation is known.
    , activation(QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
{
}

LinuxPlatform::~LinuxPlatform()
{
    grant.reset();
    if (notice)
        notice->withdrawAllNow(FinalWithdrawMs);
}

bool LinuxPlatform::messageBox(MessageKind kind, const QString &title, const QString &text)
{
    return Shell::messageBox(kind, title, text);
}

void LinuxPlatform::shellOpen(const QString &target)
{
    Shell::open(target);
}

void LinuxPlatform::shellOpenMail(const QString &address, const QString &subject, const QString &body)
{
    Shell::openMail(address, subject, body);
}

QString LinuxPlatform::executablePath()
{
    return programFile;
}

bool LinuxPlatform::fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

bool LinuxPlatform::folderWritable(const QString &folder)
{
    return UserFolders::folderWritable(folder);
}

QString LinuxPlatform::configFolder()
{
    return UserFolders::configFolder();
}

QTime LinuxPlatform::localTime()
{
    return clock.at(QDateTime::currentMSecsSinceEpoch());
}

QDateTime LinuxPlatform::localDateTime()
{
    return QDateTime::currentDateTime();
}

qint64 LinuxPlatform::msecsAsleep()
{
    return LocalClock::msecsAsleep();
}

qint64 LinuxPlatform::msecsSinceBoot()
{
    return LocalClock::msecsSinceBoot();
}

// Tones go through the desktop's sound service, as on the NT family.
int LinuxPlatform::platformId()
{
    return 2;
}

void LinuxPlatform::systemTone(int frequency, int msecs)
{
    sound.tone(frequency, msecs);
}

void LinuxPlatform::messageSound(unsigned type)
{
    sound.messageSound(type);
}

QString LinuxPlatform::soundFault()
{
    return sound.fault();
}

void LinuxPlatform::sleepMs(int msecs)
{
    QThread::msleep(static_cast<unsigned long>(msecs));
}

void LinuxPlatform::portOut(std::uint16_t port, std::uint8_t value)
{
    ports.write(port, value);
}

FocusWitness &LinuxPlatform::focusWitness()
{
    return windowManager;
}

void LinuxPlatform::activate(QWidget *window, QWindow *byInputIn)
{
    activation.activate(window, byInputIn);
}

QString LinuxPlatform::siteHost()
{
    return Config::SiteHost;
}

Browser *LinuxPlatform::createBrowser(QWidget *parent)
{
    return network.createBrowser(parent);
}

void LinuxPlatform::showAlarmNotice(const NoticeTexts::Words &words, bool withSound, std::function<void()> onClose)
{
    notices().show(AlarmNoticeKey, alarmNotice(words, withSound), std::move(onClose));
}

void LinuxPlatform::withdrawAlarmNotice()
{
    if (notice)
        notice->withdraw(AlarmNoticeKey);
}

void LinuxPlatform::showMissedAlarm(int slot, const NoticeTexts::Words &words, std::function<void()> onDelete)
{
    notices().show(missedAlarmKey(slot), Notice {words}, std::move(onDelete));
}

void LinuxPlatform::withdrawMissedAlarm(int slot)
{
    if (notice)
        notice->withdraw(missedAlarmKey(slot));
}

// The helper lies beside the program and alone holds the capability to wake the computer.
void LinuxPlatform::wakeAt(const std::optional<QDateTime> &when)
{
    if (!wake) {
        const QString helper = folderOf(programFile) + QStringLiteral("/trillora-wake");
        wake = std::make_unique<WakeHelper>(helper);
        grant = std::make_unique<WakeGrant>(wake.get(), helper, [this]() -> DesktopNotice & { return notices(); });
    }
    wake->wakeAt(when);
}

// The session bus is reached only when a notification is needed, never at start.
DesktopNotice &LinuxPlatform::notices()
{
    if (!notice)
        notice = std::make_unique<DesktopNotice>(QDBusConnection::sessionBus(), noticeIcon(filesFolder));
    return *notice;
}
