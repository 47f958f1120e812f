// Wall-clock length of the ringing window's tone patterns through the program's own sound path,
// on whatever device ALSA's configuration makes the default (the footprint benchmark runs this once
// for each kind of device, with HOME pointing at a folder whose .asoundrc names it).
#include "BenchSupport.h"
#include "BuildIdentity.h"
#include "Median.h"
#include "app/Application.h"
#include "app/Main.h"
#include "linux/LinuxPlatform.h"
#include "ringing/Sveglia.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The desktop seam with its real sound; no boxes, links or ports.
class BenchPlatform : public LinuxPlatform
{
public:
    BenchPlatform()
        : LinuxPlatform(TRILLORA_IDENTITA, Bench::programFolder())
    {
    }
    bool messageBox(MessageKind, const QString &title, const QString &text) override
    {
        std::fprintf(stderr, "box: %s: %s\n", qPrintable(title), qPrintable(text));
        return false;
    }
    void shellOpen(const QString &) override {}
    void portOut(std::uint16_t, std::uint8_t) override {}
};

// What the process has mapped shows which sound pieces really took part.
QString soundPieces()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLocal8Bit(maps.readAll());
    QStringList found;
    const QRegularExpression piece(QStringLiteral("(trillora-sound\\.so|libasound_module_[a-z_]+\\.so|libcanberra-[a-z]+\\.so)"));
    for (auto it = piece.globalMatch(text); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!found.contains(name))
            found << name;
    }
    return found.join(QStringLiteral(", "));
}

} // namespace

int main(int argc, char *argv[])
{
    Bench::headless();
    TrilloraApplication app(argc, argv);
    BenchPlatform desktop;
    installPlatform(&desktop);
    const QString device = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("default device");
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    FrmMain = new TFrmMain;
    FrmSveglia = new TFrmSveglia;
    bool allWithin = true;
    struct Pattern
    {
        const char *name;
        const char *length;
        double nominalMs;
    };
    // The speaker pattern on the NT family: three tones of 100 ms a pass; the sound-card pattern: a
    // wait of 500 ms and a message sound a pass. Three passes for "Minore", ten for "Maggiore".
    const Pattern patterns[] = {{"Speaker NT", "Minore", 900},
                                {"Speaker NT", "Maggiore", 3000},
                                {"Casse", "Minore", 1500},
                                {"Casse", "Maggiore", 5000}};
    for (const Pattern &p : patterns) {
        FrmMain->sbDurata->setText(QLatin1String(p.length));
        std::vector<double> ms;
        for (int run = 0; run < runs; ++run) {
            // Every alarm finds the device closed, as it is after a second without tones.
            Bench::spin(1200);
            QElapsedTimer clock;
            clock.start();
            if (QLatin1String(p.name) == QLatin1String("Casse"))
                FrmSveglia->TimerCasseTimer();
            else
                FrmSveglia->TimerSpeakerTimer();
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        const double m = Bench::median(ms);
        const double deviation = 100.0 * (m - p.nominalMs) / p.nominalMs;
        const bool within = std::abs(deviation) <= 3.0;
        allWithin = allWithin && within;
        std::printf("| %s | %s %s | %.0f | %.1f | %.1f | %+.2f %% | %s |\n", qPrintable(device), p.name, p.length,
                    p.nominalMs, ms.front(), m, deviation, within ? "yes" : "NO");
        std::fflush(stdout);
    }
    std::printf("    (%s: %s)\n", qPrintable(device), qPrintable(soundPieces()));
    delete FrmSveglia;
    delete FrmMain;
    return allWithin ? 0 : 2;
}
