// A platform seam for tests.
#include "FakePlatform.h"

#include "linux/Shell.h"
#include "network/NetworkBrowser.h"
#include "widgets/Fx.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMutex>
#include <QWidget>
#include <QWindow>
#include <memory>

namespace {
QMutex callsLock;
} // namespace

bool FakePlatform::messageBox(MessageKind kind, const QString &title, const QString &text)
{
    const Box box {kind, title, text};
    boxes.append(box);
    if (realBoxes) {
        std::unique_ptr<QMessageBox> real(buildMessageBox(kind, title, text));
        return runMessageBox(real.get());
    }
    if (onBox)
        onBox(box);
    if (kind == MessageKind::Question && !answers.isEmpty())
        return answers.takeFirst();
    return false;
}

void FakePlatform::shellOpen(const QString &target)
{
    opened.append(target);
}

void FakePlatform::shellOpenMail(const QString &address, const QString &subject, const QString &body)
{
    opened.append(Fx::TestoMail(address, subject, body));
}

QString FakePlatform::executablePath()
{
    return exePath;
}

bool FakePlatform::fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

bool FakePlatform::folderWritable(const QString &)
{
    return foldersWritable;
}

QString FakePlatform::configFolder()
{
    return configHome;
}

QTime FakePlatform::localTime()
{
    return now;
}

QDateTime FakePlatform::localDateTime()
{
    return QDateTime(today, now, zone);
}

int FakePlatform::platformId()
{
    return id;
}

void FakePlatform::record(const QString &call)
{
    const QMutexLocker lock(&callsLock);
    calls.append(call);
}

void FakePlatform::systemTone(int frequency, int msecs)
{
    record(QStringLiteral("tone %1 %2").arg(frequency).arg(msecs));
}

void FakePlatform::messageSound(unsigned type)
{
    record(QStringLiteral("sound %1").arg(type));
}

QString FakePlatform::soundFault()
{
    return soundFaultText;
}

void FakePlatform::sleepMs(int msecs)
{
    record(QStringLiteral("wait %1").arg(msecs));
    if (onWait)
        onWait(msecs);
}

void FakePlatform::portOut(std::uint16_t port, std::uint8_t value)
{
    record(QStringLiteral("port 0x%1 0x%2").arg(port, 0, 16).arg(value, 0, 16));
}

QString FakePlatform::siteHost()
{
    return host;
}

Browser *FakePlatform::createBrowser(QWidget *parent)
{
    if (browserFactory)
        return browserFactory(parent);
    auto *browser = new NetworkBrowser(parent, browserTimeoutMs);
    browser->setDeadline(browserDeadlineMs);
    return browser;
}

void FakePlatform::wakeAt(const std::optional<QDateTime> &when)
{
    wakes.append(when ? when->toString(Qt::ISODate) : QStringLiteral("off"));
    if (onWake)
        onWake(when);
}

void FakePlatform::showAlarmNotice(const NoticeTexts::Words &words, bool withSound, std::function<void()> onClose)
{
    if (noticeService)
        noticeService->show(AlarmNoticeKey, alarmNotice(words, withSound), std::move(onClose));
}

namespace {

class FakeWitness : public FocusWitness
{
public:
    FakeWitness()
        : FocusWitness(qGuiApp)
    {
        connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &FocusWitness::userWindowChanged);
    }
    QWindow *userWindow() override { return fake().wmNames.value_or(QGuiApplication::focusWindow()); }
};

} // namespace

FocusWitness &FakePlatform::focusWitness()
{
    // Outlives every reset, as the windows stay connected to it; goes with the application.
    static FakeWitness *witness = new FakeWitness;
    return *witness;
}

void FakePlatform::activate(QWidget *window, QWindow *byInputIn)
{
    QString asked = window->objectName();
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (byInputIn && other->windowHandle() == byInputIn)
            asked += QStringLiteral(" by input in ") + other->objectName();
    }
    activated.append(asked);
    window->raise();
    window->activateWindow();
}

void FakePlatform::withdrawAlarmNotice()
{
    if (noticeService)
        noticeService->withdraw(AlarmNoticeKey);
}

void FakePlatform::showMissedAlarm(int slot, const NoticeTexts::Words &words, std::function<void()> onDelete)
{
    missed.append(QStringLiteral("%1 %2: %3").arg(slot).arg(words.summary, words.body));
    onDeleteMissed[slot] = std::move(onDelete);
}

void FakePlatform::withdrawMissedAlarm(int slot)
{
    missed.append(QStringLiteral("%1 withdrawn").arg(slot));
    onDeleteMissed.erase(slot);
}

qint64 FakePlatform::msecsAsleep()
{
    return asleepMs;
}

qint64 FakePlatform::msecsSinceBoot()
{
    return sinceBootMs;
}

void FakePlatform::reset()
{
    *this = FakePlatform();
}

void FakePlatform::reset(const QString &folder)
{
    reset();
    exePath = folder + QStringLiteral("/trillora");
}

FakePlatform &fake()
{
    return static_cast<FakePlatform &>(platform());
}
