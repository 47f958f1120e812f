// Resident memory over an hour of simulated clock ticks and over a hundred openings of each
// window, in the real program's windows on the real desktop seam (sound, links and boxes
// silenced); run by the footprint benchmark on its Xvfb.
#include "BenchSupport.h"
#include "BuildIdentity.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "linux/LinuxPlatform.h"
#include "ringing/Sveglia.h"
#include "support/About.h"
#include "support/Start.h"
#include "widgets/Fx.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmapCache>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <malloc.h>

namespace {

// The desktop seam on a clock the benchmark moves; silent, and answering every question No
// unless real boxes are asked for.
class SoakPlatform : public LinuxPlatform
{
public:
    QTime timeOfDay {7, 0};
    bool realBoxes = false;

    SoakPlatform()
        : LinuxPlatform(TRILLORA_IDENTITA, Bench::programFolder())
    {
    }
    QTime localTime() override { return timeOfDay; }
    bool messageBox(MessageKind kind, const QString &title, const QString &text) override
    {
        return realBoxes && LinuxPlatform::messageBox(kind, title, text);
    }
    void shellOpen(const QString &) override {}
    void systemTone(int, int) override {}
    void messageSound(unsigned) override {}
    void sleepMs(int) override {}
    void portOut(std::uint16_t, std::uint8_t) override {}
};

struct Measure
{
    double rssKiB;
    double heapKiB;
};

Measure measure()
{
    // Qt keeps rendered icons in its pixmap cache, bounded at 10 MiB, and a new message box or
    // window puts its icons there again under new keys; emptied, what remains is the program's.
    QPixmapCache::clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QFile status(QStringLiteral("/proc/self/status"));
    double rss = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                rss = line.mid(6).trimmed().split(' ').value(0).toDouble();
        }
    }
    const struct mallinfo2 heap = mallinfo2();
    return {rss, double(heap.uordblks + heap.hblkhd) / 1024.0};
}

// A heap that grows by less than this over the whole run is taken as flat: allocator bookkeeping
// and Qt's caches settling, not a leak.
constexpr double HeapNoiseKiB = 16;
constexpr double RssNoiseKiB = 256;

bool row(const char *what, int cycles, Measure before, Measure after)
{
    const double heap = after.heapKiB - before.heapKiB;
    const double rss = after.rssKiB - before.rssKiB;
    const bool flat = heap < HeapNoiseKiB && rss < RssNoiseKiB;
    std::printf("| %s | %d | %.1f → %.1f | %+.0f | %.0f → %.0f | %+.1f | %+.0f | %s |\n", what, cycles,
                before.rssKiB / 1024, after.rssKiB / 1024, rss, before.heapKiB, after.heapKiB, heap,
                heap * 1024 / cycles, flat ? "flat" : "GROWS");
    std::fflush(stdout);
    return flat;
}

// Closes whatever modal window is up once the modal run has started.
void closeModalWithin(int ms)
{
    QTimer::singleShot(ms, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Bench::errorsOnly);
    TrilloraApplication app(argc, argv);
    SoakPlatform desktop;
    installPlatform(&desktop);

    creaFinestre();
    // The splash's ten seconds are not what is measured here.
    QTimer::singleShot(0, frmStart, &TfrmStart::TimerStartTimer);
    FrmMain->show();
    Bench::spin(300);

    std::printf("| soak | cycles | RSS (MiB) | RSS growth (KiB) | heap in use (KiB) | heap growth (KiB) | per cycle (bytes) "
                "| |\n|---|---|---|---|---|---|---|---|\n");
    bool flat = true;

    // ---- An hour of ticks, with an alarm every ten minutes.
    int n = 0;
    const auto tick = [&] {
        desktop.timeOfDay = desktop.timeOfDay.addMSecs(400);
        if (n % 1500 == 0) {
            const QTime nextAlarm = desktop.timeOfDay.addSecs(60);
            FrmMain->ed1sv1->setText(nextAlarm.toString(QStringLiteral("HH")));
            FrmMain->Ed1sv2->setText(nextAlarm.toString(QStringLiteral("mm")));
        }
        FrmMain->Timer1Timer();
        if (n % 12 == 0)
            FrmMain->TimerEliminaTimer();
        QCoreApplication::processEvents();
        if (FrmSveglia->isVisible()) {
            FrmSveglia->close();
            FrmSveglia->TimerClose->stop();
        }
        ++n;
    };
    // Arguments: a part of the names of the soaks to run (all by default) and the openings a window gets.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int openings = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
    const auto chosen = [&only](const char *name) { return QString::fromUtf8(name).contains(only); };

    const char *hourOfTicks = "an hour of 400 ms ticks, six alarms";
    if (chosen(hourOfTicks)) {
        for (int i = 0; i < 1500; ++i)
            tick();
        const Measure hourStart = measure();
        for (int i = 0; i < 9000; ++i)
            tick();
        flat &= row(hourOfTicks, 9000, hourStart, measure());
    }

    // ---- Each window a hundred times, after five openings that fill Qt's caches.
    const std::pair<const char *, std::function<void()>> windows[] = {
        {"main window hidden and shown", [] {
             FrmMain->hide();
             QCoreApplication::processEvents();
             FrmMain->show();
             QCoreApplication::processEvents();
         }},
        {"splash window", [] {
             QTimer::singleShot(10, frmStart, &TfrmStart::TimerStartTimer);
             frmStart->exec();
         }},
        {"about window", [] {
             closeModalWithin(10);
             FrmMain->sbHelpClick();
         }},
        {"bug report window (reads the tables)", [] {
             closeModalWithin(10);
             FrmMain->sbBugClick();
         }},
        {"version check window (reads the tables)", [] {
             closeModalWithin(20);
             FrmMain->sbControllaVersioneClick();
         }},
        {"ringing window with its sound timer", [] {
             FrmSveglia->show();
             FrmSveglia->raise();
             FrmSveglia->activateWindow();
             Bench::spin(80);
             FrmSveglia->close();
             FrmSveglia->TimerClose->stop();
         }},
        {"message box", [&desktop] {
             desktop.realBoxes = true;
             QTimer::singleShot(10, [] {
                 for (QWidget *w : QApplication::topLevelWidgets()) {
                     if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                         box->accept();
                 }
             });
             Fx::MsgInfo(QStringLiteral("Orari e tipologia di suono memorizzati!"));
             desktop.realBoxes = false;
         }},
    };
    for (const auto &[name, openAndClose] : windows) {
        if (!chosen(name))
            continue;
        for (int i = 0; i < 5; ++i)
            openAndClose();
        const Measure before = measure();
        for (int i = 0; i < openings; ++i)
            openAndClose();
        flat &= row(name, openings, before, measure());
    }

    distruggiFinestre();
    return flat ? 0 : 2;
}
