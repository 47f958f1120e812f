// What keeping the next wake time up to date, and looking for alarms slept through, costs a clock
// tick, beside the whole tick.
#include "app/Application.h"
#include "app/Main.h"
#include "Median.h"
#include "app/WakeTime.h"
#include "app/MissedAlarms.h"
#include "linux/LinuxPlatform.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The desktop seam without a helper process: only the work of the main window is measured.
class BenchPlatform : public LinuxPlatform
{
public:
    void wakeAt(const std::optional<QDateTime> &) override {}
};

// Mean time of one call over a batch, in microseconds.
template <typename Call>
double batch(int calls, Call call)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i)
        call();
    return timer.nsecsElapsed() / 1e3 / calls;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TrilloraApplication app(argc, argv);
    BenchPlatform desktop;
    installPlatform(&desktop);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    constexpr int Calls = 200;

    FrmMain = new TFrmMain;
    FrmMain->Timer1->stop();
    // Five alarms two to six hours ahead, so that none fires while this runs.
    QList<Sveglie::TestiSlot> five;
    QLineEdit *const fields[][2] = {{FrmMain->ed1sv1, FrmMain->Ed1sv2}, {FrmMain->Ed2sv1, FrmMain->ED2sv2},
                                    {FrmMain->Ed3sv1, FrmMain->ed3sv2}, {FrmMain->ed4sv1, FrmMain->ed4sv2},
                                    {FrmMain->ed5sv1, FrmMain->ed5sv2}};
    for (int i = 0; i < 5; ++i) {
        const QTime time = QTime::currentTime().addSecs((2 + i) * 3600);
        five.append({time.toString(QStringLiteral("HH")), time.toString(QStringLiteral("mm"))});
        fields[i][0]->setText(five.last().first);
        fields[i][1]->setText(five.last().second);
    }
    const QList<Sveglie::TestiSlot> free(5, {QStringLiteral("*"), QStringLiteral("*")});

    // Interleaved, so that the noise of the shared machine falls on all five alike.
    WakeTime ordinary;
    MissedAlarms missed;
    std::vector<double> tick, check, slept, fiveSlots, freeSlots;
    for (int round = 0; round < rounds; ++round) {
        tick.push_back(batch(Calls, [] { FrmMain->Timer1Timer(); }));
        check.push_back(batch(Calls, [&] { ordinary.update(five, QDateTime::currentDateTime()); }));
        slept.push_back(batch(Calls, [&] {
            missed.update(five, QDateTime::currentDateTime(), desktop.msecsSinceBoot(), desktop.msecsAsleep(),
                            [](int) {});
        }));
        fiveSlots.push_back(batch(Calls, [&] { Sveglie::prossimoRisveglio(five, QDateTime::currentDateTime()); }));
        freeSlots.push_back(batch(Calls, [&] { Sveglie::prossimoRisveglio(free, QDateTime::currentDateTime()); }));
    }

    const double t = Bench::median(tick);
    std::printf("median of %d rounds of %d calls, microseconds per call, and share of a whole tick:\n", rounds,
                Calls);
    std::printf("  whole tick, five alarms set, wake check included    %8.2f\n", t);
    const auto row = [t](const char *what, double value) {
        std::printf("  %-50s %8.2f  %4.0f %%\n", what, value, 100 * value / t);
    };
    row("wake check of an ordinary tick (nothing changed)", Bench::median(check));
    row("look for alarms slept through, an ordinary tick", Bench::median(slept));
    row("working the wake time out, five alarms set", Bench::median(fiveSlots));
    row("working the wake time out, all slots free", Bench::median(freeSlots));
    delete FrmMain;
    return 0;
}
