// The platform seam on a Linux desktop: each call handed to the room of its service.
#include "linux/LinuxPlatform.h"

#include "core/Config.h"
#include "linux/DesktopNotice.h"
#include "linux/ProgramFile.h"
#include "linux/Shell.h"
#include "linux/WakeHelper.h"

#include <QDateTime>
#include <QFileInfo>
#include <QThread>

namespace {

QString cartella(const QString &file)
{
    return QFileInfo(file).path();
}

} // namespace

LinuxPlatform::LinuxPlatform(const QByteArray &identitaModuli, const QString &moduleFolder)
    : programma(ProgramFile::realPath())
    , suono(moduleFolder.isEmpty() ? cartella(programma) : moduleFolder, identitaModuli)
    , rete(moduleFolder.isEmpty() ? cartella(programma) : moduleFolder, identitaModuli)
{
}

LinuxPlatform::~LinuxPlatform() = default;

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
    return programma;
}

bool LinuxPlatform::fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

QTime LinuxPlatform::localTime()
{
    return ora.at(QDateTime::currentMSecsSinceEpoch());
}

QDateTime LinuxPlatform::localDateTime()
{
    return QDateTime::currentDateTime();
}

// Tones go through the desktop's sound service, as on the NT family.
int LinuxPlatform::platformId()
{
    return 2;
}

void LinuxPlatform::systemTone(int frequency, int msecs)
{
    suono.tone(frequency, msecs);
}

void LinuxPlatform::messageSound(unsigned type)
{
    suono.messageSound(type);
}

QString LinuxPlatform::soundFault()
{
    return suono.fault();
}

void LinuxPlatform::sleepMs(int msecs)
{
    QThread::msleep(static_cast<unsigned long>(msecs));
}

void LinuxPlatform::portOut(std::uint16_t port, std::uint8_t value)
{
    ports.write(port, value);
}

QString LinuxPlatform::siteHost()
{
    return Config::SiteHost;
}

Browser *LinuxPlatform::createBrowser(QWidget *parent)
{
    return rete.createBrowser(parent);
}

void LinuxPlatform::showAlarmNotice(const QString &summary, std::function<void()> onClose)
{
    if (!notice)
        notice = std::make_unique<DesktopNotice>(QDBusConnection::sessionBus());
    notice->show(summary, std::move(onClose));
}

void LinuxPlatform::withdrawAlarmNotice()
{
    if (notice)
        notice->withdraw();
}

// The helper lies beside the program and alone holds the capability to wake the computer.
void LinuxPlatform::wakeAt(const std::optional<QDateTime> &when)
{
    if (!wake)
        wake = std::make_unique<WakeHelper>(cartella(programma) + QStringLiteral("/trillora-wake"));
    wake->wakeAt(when);
}
