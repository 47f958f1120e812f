// Cutting speed on a 1 MiB page, and the time from "Yes" to the verdict against a loopback page.
#include "BenchSupport.h"
#include "BuildIdentity.h"
#include "LoopbackServer.h"
#include "Median.h"
#include "app/Application.h"
#include "core/VersionPage.h"
#include "linux/LinuxPlatform.h"
#include "support/About.h"
#include "version/ControllaVersione.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QEventLoop>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The desktop seam, answering Yes without a box and pointing the site at the loopback server.
class BenchPlatform : public LinuxPlatform
{
public:
    QString host;
    QElapsedTimer answered;

    BenchPlatform()
        : LinuxPlatform(TRILLORA_IDENTITA, Bench::programFolder())
    {
    }

    bool messageBox(MessageKind kind, const QString &, const QString &) override
    {
        answered.start();
        return kind == MessageKind::Question;
    }
    QString siteHost() override { return host; }
};

// A page like the maker's, padded with ordinary markup to 1 MiB, the version near its end.
QByteArray oneMegabytePage()
{
    const QByteArray row = "<tr><td class=\"nome\">TQZ_Agenda</td><td>04.2002 - 11</td><td><a href=\"/x\">x</a></td></tr>\n";
    QByteArray page = "<body><table>\n";
    while (page.size() < (1 << 20) - 64)
        page += row;
    page += "</table><p>Versione - 19</p></body>";
    return page;
}

void cutting()
{
    const QList<QByteArray> lines {oneMegabytePage()};
    const double mb = lines[0].size() / 1e6;
    for (const bool backward : {false, true}) {
        std::vector<double> timings;
        for (int i = 0; i < 30; ++i) {
            QList<QByteArray> pieces;
            QElapsedTimer t;
            t.start();
            PaginaVersione::EstraiURLConCriterio(lines, pieces, backward, "Versione", "-", "-", "<", {}, false,
                                                 false, 0);
            timings.push_back(t.nsecsElapsed() / 1e9);
            if (pieces.value(0) != (backward ? QByteArray(" 11") : QByteArray(" 19")))
                std::fprintf(stderr, "unexpected piece\n");
        }
        std::printf("cut 1 MiB page %s: median %.2f ms, %.0f MB/s\n", backward ? "backward" : "forward",
                    Bench::median(timings) * 1e3, mb / Bench::median(timings));
    }
}

void checkOnLoopback(BenchPlatform &seam)
{
    LoopbackServer server;
    server.page("/index.php", "<html><body><p>Versione - 19</p></body></html>");
    seam.host = server.host();
    std::vector<double> timings;
    for (int i = 0; i < 30; ++i) {
        TFrmControllaVersione w;
        // Connected after the window's own handler, so this runs once the verdict is shown.
        QEventLoop loop;
        double ms = -1;
        QObject::connect(w.WebBrowser1, &Browser::documentComplete, &loop, [&] {
            ms = seam.answered.nsecsElapsed() / 1e6;
            loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        w.show();
        loop.exec();
        if (ms < 0 || !w.sbControlla->isEnabled() || w.LabVerInternet->text() != QLatin1String("19")) {
            std::fprintf(stderr, "check %d did not end with 19\n", i);
            return;
        }
        timings.push_back(ms);
    }
    std::printf("Yes to verdict over %zu openings: median %.2f ms, max %.2f ms\n", timings.size(),
                Bench::median(timings), *std::max_element(timings.begin(), timings.end()));
}

} // namespace

int main(int argc, char *argv[])
{
    TrilloraApplication app(argc, argv);
    BenchPlatform seam;
    installPlatform(&seam);
    FrmAbout = new TFrmAbout;
    cutting();
    checkOnLoopback(seam);
    delete FrmAbout;
    return 0;
}
