// A fresh main window and ringing window for one test, made as the program makes them (no splash).
#pragma once

#include "FakePlatform.h"
#include "WindowSystem.h"
#include "app/Main.h"
#include "ringing/Sveglia.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <utility>

struct RingingFixture
{
    QTemporaryDir dir;

    RingingFixture()
    {
        fake().reset(dir.path());
        FrmMain = new TFrmMain;
        // The tests drive the clock themselves.
        FrmMain->Timer1->stop();
        FrmSveglia = new TFrmSveglia;
    }
    ~RingingFixture()
    {
        delete FrmSveglia;
        FrmSveglia = nullptr;
        delete FrmMain;
        FrmMain = nullptr;
    }

    // Hour and minute fields of slots 1 to 5.
    static std::pair<QLineEdit *, QLineEdit *> slotCampi(int i)
    {
        const std::pair<QLineEdit *, QLineEdit *> all[] = {
            {FrmMain->ed1sv1, FrmMain->Ed1sv2}, {FrmMain->Ed2sv1, FrmMain->ED2sv2}, {FrmMain->Ed3sv1, FrmMain->ed3sv2},
            {FrmMain->ed4sv1, FrmMain->ed4sv2}, {FrmMain->ed5sv1, FrmMain->ed5sv2}};
        return all[i - 1];
    }

    static bool mostraPrincipale()
    {
        FrmMain->show();
        return QTest::qWaitForWindowActive(FrmMain);
    }

    // The clock reaches slot 1's alarm: the ringing window is shown the program's own way.
    static void scatta()
    {
        FrmMain->ed1sv1->setText(fake().now.toString(QStringLiteral("HH")));
        FrmMain->Ed1sv2->setText(fake().now.toString(QStringLiteral("mm")));
        FrmMain->Timer1Timer();
    }
    // The same while another program holds the focus; the window system gives the ringing window
    // the focus at once (0), after `focusAfterMs`, or never (below 0). It closes after `closeMs`.
    static std::unique_ptr<WindowSystem::Activations> scattaAltrove(int focusAfterMs, int closeMs)
    {
        WindowSystem::focusTo(nullptr);
        FrmSveglia->winId();
        auto activations = std::make_unique<WindowSystem::Activations>(focusAfterMs != 0 ? FrmSveglia->windowHandle()
                                                                                         : nullptr);
        if (focusAfterMs > 0)
            QTimer::singleShot(focusAfterMs, FrmSveglia,
                               [a = activations.get()] { a->give(FrmSveglia->windowHandle()); });
        FrmSveglia->TimerClose->setInterval(closeMs);
        scatta();
        return activations;
    }
    // The same, and the window system activates the window.
    static bool suona()
    {
        scatta();
        return QTest::qWaitForWindowActive(FrmSveglia);
    }

    // The calls the seam recorded that start with `prefix` ("port", "sound", ...).
    static QStringList chiamate(const QString &prefix)
    {
        return fake().calls.filter(QRegularExpression(QLatin1Char('^') + prefix));
    }
};
