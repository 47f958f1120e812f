// The platform seam on a Linux desktop: Qt for boxes and the shell, the sound and network modules, ports.
#include "linux/LinuxPlatform.h"

#include "core/Config.h"
#include "linux/DesktopNotice.h"
#include "linux/Modules.h"
#include "linux/SpeakerPorts.h"
#include "linux/WakeHelper.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Fx.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QUrl>
#include <QWindow>

#include <chrono>
#include <thread>

QMessageBox *buildMessageBox(MessageKind kind, const QString &title, const QString &text)
{
    auto *box = new QMessageBox;
    box->setWindowTitle(title);
    box->setText(text);
    switch (kind) {
    case MessageKind::Info:
        box->setIcon(QMessageBox::Information);
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case MessageKind::Warning:
        box->setIcon(QMessageBox::Warning);
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case MessageKind::Error:
        box->setIcon(QMessageBox::Critical);
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case MessageKind::Question:
        box->setIcon(QMessageBox::Question);
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        break;
    }
    // A QMessageBox is application-modal from birth; the program's other windows must stay usable.
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    return box;
}

bool runMessageBox(QMessageBox *box)
{
    // Still no owner, but a modal window open meanwhile (the splash, a dialog) would otherwise
    // block the box itself: tie it to that window so it can be answered.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        box->winId();
        box->windowHandle()->setTransientParent(modal->windowHandle());
    }
    QEventLoop loop;
    QObject::connect(box, &QMessageBox::finished, &loop, &QEventLoop::quit);
    box->show();
    box->raise();
    box->activateWindow();
    loop.exec();
    return box->standardButton(box->clickedButton()) == QMessageBox::Yes;
}

bool LinuxPlatform::messageBox(MessageKind kind, const QString &title, const QString &text)
{
    std::unique_ptr<QMessageBox> box(buildMessageBox(kind, title, text));
    return runMessageBox(box.get());
}

QUrl urlForShell(const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(target);
    // Tolerant parsing keeps "?", "&" and "#" where the caller put them and encodes blanks and accents.
    return QUrl(target, QUrl::TolerantMode);
}

QUrl mailtoUrl(const QString &address, const QString &subject, const QString &body)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(address);
    url.setQuery(QStringLiteral("subject=") + QString::fromLatin1(QUrl::toPercentEncoding(subject))
                     + QStringLiteral("&body=") + QString::fromLatin1(QUrl::toPercentEncoding(body)),
                 QUrl::StrictMode);
    return url;
}

void LinuxPlatform::shellOpen(const QString &target)
{
    // xdg-open is started as a program with one argument, never through a shell command line.
    QDesktopServices::openUrl(urlForShell(target));
}

void LinuxPlatform::shellOpenMail(const QString &address, const QString &subject, const QString &body)
{
    QDesktopServices::openUrl(mailtoUrl(address, subject, body));
}

namespace {

// The reason a module cannot be used, in the general error box as soon as the event loop runs
// again: a sound pattern runs inside one timer tick, and an alarm must never wait for an answer.
void mostraPiuTardi(const QString &motivo)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [motivo] { ErrorDisplay::mostra(motivo); }, Qt::QueuedConnection);
}

// The page loader when its module cannot be used. Each navigation ends as a failed load does, in
// an empty document, and then the reason is shown: the version window opens and asks as always,
// and its check ends without a build number.
class PaginaIrraggiungibile : public Browser
{
public:
    PaginaIrraggiungibile(QObject *parent, const QString &motivo)
        : Browser(parent)
        , motivo(motivo)
    {
    }
    void navigate(const QString &address) override
    {
        QMetaObject::invokeMethod(
            this,
            [this, address, motivo = motivo] {
                documento = true;
                emit documentComplete(address);
                // The box runs its own event loop, in which this loader may go with its window.
                ErrorDisplay::mostra(motivo);
            },
            Qt::QueuedConnection);
    }
    bool hasDocument() const override { return documento; }
    QByteArray bodyOuterHtml() const override { return {}; }

private:
    QString motivo;
    bool documento = false;
};

// /proc/self/exe names the executable's own file, also when the program was started through a
// link such as bin/trillora: its companions and the alarm file lie beside that file.
QString percorsoReale()
{
    const QString real = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!real.isEmpty())
        return real;
    // Without /proc Qt goes by the name the program was started with; resolve that the same way.
    return QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
}

} // namespace

// Taken at start: an update that replaces the file while the program runs leaves /proc/self/exe
// naming a deleted file, and the alarms must still be saved beside the new one.
LinuxPlatform::LinuxPlatform(const QByteArray &identitaModuli, const QString &moduleFolder)
    : identita(identitaModuli)
    , moduli(moduleFolder)
    , ports(std::make_unique<SpeakerPorts>())
    , programma(percorsoReale())
{
}

LinuxPlatform::~LinuxPlatform() = default;

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

QString LinuxPlatform::cartellaModuli() const
{
    return moduli.isEmpty() ? QFileInfo(programma).path() : moduli;
}

SoundOutput *LinuxPlatform::suono()
{
    if (!soundTried) {
        soundTried = true;
        QString errore;
        if (auto *crea = reinterpret_cast<CreaSuono *>(
                Moduli::entrata(cartellaModuli(), Moduli::Suono, "trillora_sound_create", identita, errore)))
            sound.reset(crea());
        else
            mostraPiuTardi(errore);
    }
    return sound.get();
}

// Without its module the alarm still rings where it can: the window system's bell stands in for
// each tone, and the tone's length is kept, so the patterns keep their timing.
void LinuxPlatform::systemTone(int frequency, int msecs)
{
    if (SoundOutput *s = suono()) {
        s->tone(frequency, msecs);
        return;
    }
    QApplication::beep();
    if (msecs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(msecs));
}

void LinuxPlatform::messageSound(unsigned type)
{
    if (SoundOutput *s = suono())
        s->messageSound(type);
    else
        QApplication::beep();
}

void LinuxPlatform::sleepMs(int msecs)
{
    QThread::msleep(static_cast<unsigned long>(msecs));
}

void LinuxPlatform::portOut(std::uint16_t port, std::uint8_t value)
{
    ports->write(port, value);
}

QString LinuxPlatform::siteHost()
{
    return Config::SiteHost;
}

Browser *LinuxPlatform::createBrowser(QWidget *parent)
{
    if (!creaBrowser) {
        QString errore;
        creaBrowser = reinterpret_cast<CreaBrowser *>(
            Moduli::entrata(cartellaModuli(), Moduli::Rete, "trillora_network_browser", identita, errore));
        if (!creaBrowser)
            return new PaginaIrraggiungibile(parent, errore);
    }
    return creaBrowser(parent);
}

// The session bus is reached only when a notification is needed, never at start.
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
        wake = std::make_unique<WakeHelper>(Fx::CartellaProgramma() + QStringLiteral("trillora-wake"));
    wake->wakeAt(when);
}
