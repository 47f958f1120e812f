// The ringing window: its layout, what each activation starts, the ways it closes and the click that ends the program.
#include "RingingFixture.h"
#include "TestMain.h"
#include "WindowSystem.h"
#include "ringing/PatternPlayer.h"
#include "widgets/Fx.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScreen>
#include <QSemaphore>
#include <QToolButton>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <optional>

class TestRingingWindow : public QObject
{
    Q_OBJECT

    // Runs the event loop until something quits it: true when that was the program's end (code 0)
    // rather than the test's own stop.
    static bool programmaFinito(const std::function<void()> &action)
    {
        QTimer::singleShot(0, action);
        QTimer::singleShot(500, [] { QCoreApplication::exit(99); });
        return QCoreApplication::exec() == 0;
    }

    static void aspettaFineSuono()
    {
        QTRY_VERIFY(!FrmSveglia->TimerCasse->isActive() && !FrmSveglia->TimerSpeaker->isActive());
    }

    // What happens while a pattern plays. At its first wait, its thread posts a call to this thread
    // and waits for it: the call runs `inizio`, queues a click on "Chiudi" (or the title bar's close
    // if `barra`), lets the loop turn until the clock's 1 ms timer has surely come due, inside a box's
    // loop if `scatola`, and notes what has been handled so far.
    struct DuranteIlSuono
    {
        QSemaphore fatto;
        QElapsedTimer trascorso;
        bool servito = false, visibile = false, dovuto = false, scatola = false, barra = false;
        int colpi = 0, colpiDurante = -1, colpiDopo = -1;
        std::function<void()> inizio;

        DuranteIlSuono()
        {
            connect(FrmMain->Timer1, &QTimer::timeout, FrmSveglia, [this] { ++colpi; });
            FrmMain->Timer1->start(1);
            fake().onWait = [this, primo = true](int) mutable {
                if (std::exchange(primo, false)) {
                    QMetaObject::invokeMethod(FrmSveglia, [this] { durante(); }, Qt::QueuedConnection);
                    servito = fatto.tryAcquire(1, 10000);
                }
            };
        }
        ~DuranteIlSuono() { fake().onWait = nullptr; }
        void durante()
        {
            colpi = 0;
            if (inizio)
                inizio();
            const QPoint at = FrmSveglia->sbChiudi->geometry().center();
            for (const auto &[tasto, tipo] : {std::pair(Qt::LeftButton, QEvent::MouseButtonPress),
                                              std::pair(Qt::NoButton, QEvent::MouseButtonRelease)}) {
                if (!barra)
                    QWindowSystemInterface::handleMouseEvent(FrmSveglia->windowHandle(), at,
                                                             FrmSveglia->mapToGlobal(at), tasto, Qt::LeftButton, tipo);
            }
            if (barra)
                QWindowSystemInterface::handleCloseEvent(FrmSveglia->windowHandle());
            PatternPlayer::after([this] { colpiDopo = colpi; });
            trascorso.start();
            passo();
            if (scatola) {
                fake().realBoxes = true;
                Fx::MsgInfo(QStringLiteral("Una domanda"));
            }
        }
        void passo()
        {
            if (!dovuto) {
                dovuto = trascorso.elapsed() >= 2;
                QMetaObject::invokeMethod(FrmSveglia, [this] { passo(); }, Qt::QueuedConnection);
                return;
            }
            visibile = FrmSveglia->isVisible();
            colpiDurante = colpi;
            // The box answered, the window manager gives the focus back to the ringing window.
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible()) {
                    box->done(QMessageBox::Ok);
                    WindowSystem::focusTo(FrmSveglia->windowHandle());
                }
            }
            fatto.release();
        }
    };

private slots:
    void layout()
    {
        RingingFixture f;
        QCOMPARE(FrmSveglia->windowTitle(), QStringLiteral("Trillora"));
        QCOMPARE(FrmSveglia->size(), QSize(338, 100));
        QCOMPARE(FrmSveglia->minimumSize(), FrmSveglia->maximumSize());
        QVERIFY(!(FrmSveglia->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(FrmSveglia->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(FrmSveglia->palette().color(QPalette::Window), QColor(Qt::red));
        QCOMPARE(FrmSveglia->sbChiudi->focusPolicy(), Qt::NoFocus);
        const std::pair<QTimer *, int> timers[] = {
            {FrmSveglia->TimerClose, 50000}, {FrmSveglia->TimerSpeaker, 100}, {FrmSveglia->TimerCasse, 50}};
        for (const auto &[timer, interval] : timers) {
            QCOMPARE(timer->interval(), interval);
            QVERIFY(!timer->isActive());
        }
        // The three labels spell the product's name on a falling diagonal.
        QVERIFY(FrmSveglia->Label1->y() < FrmSveglia->Label3->y() && FrmSveglia->Label3->y() < FrmSveglia->Label2->y());
        const QString name = FrmSveglia->Label1->text() + FrmSveglia->Label3->text().remove(' ').toLower()
            + FrmSveglia->Label2->text();
        QCOMPARE(name, QStringLiteral("Trillora"));
    }

    void soundTypeChoosesTheTimer_data()
    {
        QTest::addColumn<QString>("suono");
        QTest::addColumn<bool>("soundCard");

        QTest::newRow("Casse uses the sound card") << "Casse" << true;
        QTest::newRow("Speaker uses the speaker") << "Speaker" << false;
        QTest::newRow("lower-case casse uses the speaker") << "casse" << false;
        QTest::newRow("empty uses the speaker") << "" << false;
    }

    void soundTypeChoosesTheTimer()
    {
        QFETCH(QString, suono);
        QFETCH(bool, soundCard);
        RingingFixture f;
        FrmMain->sbSuono->setText(suono);
        FrmSveglia->FormActivate();
        QVERIFY(FrmSveglia->TimerClose->isActive());
        QCOMPARE(FrmSveglia->TimerCasse->isActive(), soundCard);
        QCOMPARE(FrmSveglia->TimerSpeaker->isActive(), !soundCard);
        // A close stops the sound-card timer and leaves the speaker's and the closing one alone.
        FrmSveglia->FormClose();
        QVERIFY(!FrmSveglia->TimerCasse->isActive());
        QCOMPARE(FrmSveglia->TimerSpeaker->isActive(), !soundCard);
        QVERIFY(FrmSveglia->TimerClose->isActive());
    }

    void showWhileActivePlaysNothingMore()
    {
        RingingFixture f;
        QVERIFY(f.mostraPrincipale());
        QVERIFY(f.suona());
        QVERIFY(FrmSveglia->TimerClose->remainingTime() > 49000);
        aspettaFineSuono();
        QVERIFY(f.suona());
        QTest::qWait(200);
        QCOMPARE(f.chiamate("sound").size(), 10);
    }

    // Where the focus goes after the first pattern: "main" is the main window, "program" another
    // program's window, "ring" the ringing window, "alarm" a second alarm showing it again, "late" a
    // return from another program on a platform that reports the program's state only afterwards.
    void activeAgain_data()
    {
        QTest::addColumn<QStringList>("route");
        QTest::addColumn<int>("patterns");

        QTest::newRow("back from the main window plays again") << QStringList {"main", "ring"} << 2;
        QTest::newRow("back from another program plays nothing") << QStringList {"program", "ring"} << 1;
        QTest::newRow("twice to another program and back plays nothing")
            << QStringList {"program", "ring", "program", "ring"} << 1;
        QTest::newRow("another program, the main window, then back plays again")
            << QStringList {"program", "main", "ring"} << 2;
        QTest::newRow("the main window, another program, then back plays again")
            << QStringList {"main", "program", "ring"} << 2;
        QTest::newRow("back from another program, state reported late, plays nothing") << QStringList {"late"} << 1;
        QTest::newRow("a second alarm while shown, another program and back plays nothing")
            << QStringList {"alarm", "program", "ring"} << 1;
        QTest::newRow("a message box over it and back plays nothing") << QStringList {"box"} << 1;
        QTest::newRow("closed and shown again at once, the focus reports late: one pattern each")
            << QStringList {"reshow"} << 2;
    }

    void activeAgain()
    {
        QFETCH(QStringList, route);
        QFETCH(int, patterns);
        RingingFixture f;
        QVERIFY(f.mostraPrincipale());
        FrmMain->sbDurata->setText(QStringLiteral("Minore"));
        QVERIFY(f.suona());
        aspettaFineSuono();
        QTest::qWait(100);
        const int before = FrmSveglia->TimerClose->remainingTime();
        for (const QString &step : route) {
            if (step == QLatin1String("late")) {
                WindowSystem::focusTo(nullptr);
                WindowSystem::reportState(Qt::ApplicationInactive);
                WindowSystem::focusTo(FrmSveglia->windowHandle());
                WindowSystem::reportState(Qt::ApplicationActive);
            } else if (step == QLatin1String("alarm")) {
                QVERIFY(f.suona());
            } else if (step == QLatin1String("box")) {
                QMessageBox box;
                box.show();
                WindowSystem::focusTo(box.windowHandle());
                box.hide();
                QTest::qWait(50);
                WindowSystem::focusTo(FrmSveglia->windowHandle());
            } else if (step == QLatin1String("reshow")) {
                // The main window's activation at the close is reported after the new showing, and
                // the ringing window's after its pattern.
                WindowSystem::Activations tardive(FrmSveglia->windowHandle());
                FrmSveglia->close();
                f.scatta();
                aspettaFineSuono();
                tardive.give(FrmSveglia->windowHandle());
            } else {
                WindowSystem::focusTo(step == QLatin1String("main")    ? FrmMain->windowHandle()
                                          : step == QLatin1String("ring") ? FrmSveglia->windowHandle()
                                                                          : nullptr);
            }
            QTest::qWait(150);
            aspettaFineSuono();
        }
        QCOMPARE(QApplication::activeWindow(), FrmSveglia);
        QCOMPARE(f.chiamate("sound").size(), 3 * patterns);
        // A second pattern does not lengthen the count of the first activation.
        QVERIFY(FrmSveglia->TimerClose->remainingTime() < before);
    }

    // A desktop that keeps the focus elsewhere (weston), or gives it late: the alarm sounds once and
    // ends all the same, and the main window is asked to the front only while the program has the focus.
    void withoutTheFocus_data()
    {
        QTest::addColumn<int>("focusAfterMs"); // -1: never
        QTest::addColumn<bool>("mainAsked");
        // "wm": the window manager names another program's window; "left": the focus goes to another
        // program as Qt's X11 connection reports it, through a timer of its own, while the pattern
        // plays and "Chiudi" waits for its end.
        QTest::addColumn<QString>("scene");

        QTest::newRow("never focused: plays, ends, asks nothing") << -1 << false << "";
        QTest::newRow("focused at once") << 0 << true << "";
        QTest::newRow("focused late: no second pattern") << 500 << true << "";
        QTest::newRow("focused for Qt, another window for the window manager: asks nothing") << 0 << false << "wm";
        QTest::newRow("left for another program while it plays, Chiudi clicked meanwhile: asks nothing")
            << 0 << false << "left";
        QTest::newRow("the same, the window manager granting the click's own activation first: asks nothing")
            << 0 << false << "left, granted";
    }

    void withoutTheFocus()
    {
        QFETCH(int, focusAfterMs);
        QFETCH(bool, mainAsked);
        QFETCH(QString, scene);
        RingingFixture f;
        QVERIFY(f.mostraPrincipale());
        if (scene == QLatin1String("wm"))
            fake().wmNames = nullptr;
        QTimer altrove;
        std::optional<DuranteIlSuono> durante;
        if (scene.startsWith(QLatin1String("left"))) {
            // Qt's X11 connection asks for the clicked window, and the record names it, before the click.
            if (scene.endsWith(QLatin1String("granted")))
                connect(FrmSveglia->sbChiudi, &QToolButton::pressed, [] { fake().wmNames = FrmSveglia->windowHandle(); });
            altrove.setSingleShot(true);
            connect(&altrove, &QTimer::timeout, [] { WindowSystem::focusTo(nullptr); });
            durante.emplace().inizio = [&altrove] { altrove.start(0); };
        }
        const auto activations = f.scattaAltrove(focusAfterMs, 1000);
        QTRY_VERIFY(!FrmSveglia->isVisible());
        QCOMPARE(f.chiamate("sound").size(), 10);
        QCOMPARE(FrmMain->focusWidget(), FrmMain->Edsveglia1);
        QTest::qWait(50);
        QCOMPARE(activations->asked.contains(FrmMain->windowHandle()), mainAsked);
        QCOMPARE(QApplication::focusWidget() == nullptr, !mainAsked);
    }

    // Its showing is the window's own activation, wherever the focus was.
    void alarmWhileAnotherProgramHasTheFocusPlays()
    {
        RingingFixture f;
        QVERIFY(f.mostraPrincipale());
        WindowSystem::focusTo(nullptr);
        QCOMPARE(QGuiApplication::applicationState(), Qt::ApplicationInactive);
        QVERIFY(f.suona());
        QVERIFY(FrmSveglia->TimerCasse->isActive());
        QVERIFY(FrmSveglia->TimerClose->isActive());
    }

    // `asked`: the activation asked of the platform, with the window of the user's input if it came from one.
    void everyCloseHidesAndGivesTheHourFieldBack_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("countGoesOn");
        QTest::addColumn<QString>("asked");

        const QString byInput = QStringLiteral("FrmMain by input in FrmSveglia");
        QTest::newRow("Chiudi button") << "chiudi" << true << byInput;
        QTest::newRow("title-bar close box") << "titlebar" << true << byInput;
        QTest::newRow("closing timer") << "timer" << false << "FrmMain";
        QTest::newRow("Chiudi clicked while the pattern plays: after it, and the clock's tick once")
            << "pattern" << true << byInput;
        QTest::newRow("the same with a box opened meanwhile: its loop holds the click too") << "box" << true << byInput;
        QTest::newRow("the title bar's close with a box opened meanwhile: held too") << "box titlebar" << true << byInput;
    }

    void everyCloseHidesAndGivesTheHourFieldBack()
    {
        QFETCH(QString, how);
        QFETCH(bool, countGoesOn);
        QFETCH(QString, asked);
        RingingFixture f;
        QVERIFY(f.mostraPrincipale());
        FrmMain->EDSveglia2->setFocus();
        std::optional<DuranteIlSuono> durante;
        if (how == QLatin1String("pattern") || how.startsWith(QLatin1String("box"))) {
            durante.emplace().scatola = how.startsWith(QLatin1String("box"));
            durante->barra = how.endsWith(QLatin1String("titlebar"));
        }
        QVERIFY(f.suona());
        aspettaFineSuono();
        if (durante) {
            QVERIFY(durante->servito);
            QVERIFY(durante->visibile);
            QCOMPARE(durante->colpiDurante, 0);
            QTRY_COMPARE(durante->colpiDopo, 1);
        } else if (how == QLatin1String("chiudi"))
            QTest::mouseClick(FrmSveglia->windowHandle(), Qt::LeftButton, {}, FrmSveglia->sbChiudi->geometry().center());
        else if (how == QLatin1String("titlebar"))
            QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(FrmSveglia->windowHandle());
        else
            FrmSveglia->TimerCloseTimer();
        QTRY_VERIFY(!FrmSveglia->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), FrmMain);
        QTRY_COMPARE(QApplication::focusWidget(), FrmMain->Edsveglia1);
        QCOMPARE(FrmSveglia->TimerClose->isActive(), countGoesOn);
        QCOMPARE(fake().activated, QStringList {asked});
        // What was held in the pattern was handled once: the next one ends with the window shown.
        QVERIFY(f.suona());
        aspettaFineSuono();
        QTest::qWait(50);
        QVERIFY(FrmSveglia->isVisible());
    }

    void earlyCloseKeepsTheCountThatLaterRefocusesWhileHidden()
    {
        RingingFixture f;
        QVERIFY(f.mostraPrincipale());
        QVERIFY(f.suona());
        const int first = FrmSveglia->TimerClose->remainingTime();
        FrmSveglia->sbChiudi->click();
        QVERIFY(FrmSveglia->TimerClose->isActive());
        // A new alarm during that count does not restart it.
        QTest::qWait(150);
        QVERIFY(f.suona());
        QVERIFY(FrmSveglia->TimerClose->remainingTime() < first);
        FrmSveglia->sbChiudi->click();

        FrmMain->EDSveglia2->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), FrmMain->EDSveglia2);
        FrmSveglia->TimerCloseTimer();
        QVERIFY(!FrmSveglia->isVisible());
        QVERIFY(!FrmSveglia->TimerClose->isActive());
        QTRY_COMPARE(QApplication::focusWidget(), FrmMain->Edsveglia1);
        // Once it has fired, the next alarm gets a full count again.
        QVERIFY(f.suona());
        QVERIFY(FrmSveglia->TimerClose->remainingTime() > 49000);
    }

    void closeSwitchesTheSpeakerOffOnlyOn9x_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("suono");
        QTest::addColumn<QStringList>("ports");

        const QStringList off {QStringLiteral("port 0x61 0x0")};
        QTest::newRow("9x after the sound card") << "9x" << "Casse" << off;
        QTest::newRow("9x after the speaker") << "9x" << "Speaker" << off;
        QTest::newRow("NT makes no port access") << "NT" << "Speaker" << QStringList();
        QTest::newRow("unknown family makes no port access") << "" << "Speaker" << QStringList();
    }

    void closeSwitchesTheSpeakerOffOnlyOn9x()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, suono);
        QFETCH(QStringList, ports);
        RingingFixture f;
        FrmMain->TipoSistema = tipo;
        FrmMain->sbSuono->setText(suono);
        FrmMain->sbDurata->setText(QStringLiteral("Minore"));
        QVERIFY(f.mostraPrincipale());
        QVERIFY(f.suona());
        aspettaFineSuono();
        fake().calls.clear();
        FrmSveglia->close();
        QCOMPARE(f.chiamate("port"), ports);
    }

    void closingNeverEndsTheProgram()
    {
        RingingFixture f;
        // The ringing window alone on screen: closing it is not the last window closing.
        QVERIFY(f.suona());
        QVERIFY(!programmaFinito([] { FrmSveglia->close(); }));
    }

    void clickEndsTheProgramOnlyOnTheRedSurface_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("ends");

        QTest::newRow("red surface") << "" << true;
        QTest::newRow("first label") << "Label1" << false;
        QTest::newRow("middle label") << "Label3" << false;
        QTest::newRow("last label") << "Label2" << false;
        QTest::newRow("Chiudi button closes only") << "sbChiudi" << false;
    }

    void clickEndsTheProgramOnlyOnTheRedSurface()
    {
        QFETCH(QString, target);
        QFETCH(bool, ends);
        RingingFixture f;
        QVERIFY(f.mostraPrincipale());
        QVERIFY(f.suona());
        aspettaFineSuono();
        const QPoint where = target.isEmpty() ? QPoint(320, 90)
                                              : FrmSveglia->findChild<QWidget *>(target)->geometry().center();
        QCOMPARE(programmaFinito([where] { QTest::mouseClick(FrmSveglia->windowHandle(), Qt::LeftButton, {}, where); }),
                 ends);
    }

    // A press on the red surface that is dragged out of the window before the release is no click.
    void dragOutOfTheRedSurfaceDoesNotEndTheProgram()
    {
        RingingFixture f;
        QVERIFY(f.mostraPrincipale());
        QVERIFY(f.suona());
        aspettaFineSuono();
        QVERIFY(!programmaFinito([] {
            QTest::mousePress(FrmSveglia->windowHandle(), Qt::LeftButton, {}, QPoint(320, 90));
            QTest::mouseRelease(FrmSveglia->windowHandle(), Qt::LeftButton, {}, QPoint(360, 120));
        }));
    }

    // The screen's corner: at the origin, or elsewhere, as below a panel at the top or left or on a
    // second screen.
    void centredFirstThenWhereItWasLeft_data()
    {
        QTest::addColumn<QPoint>("corner");

        QTest::newRow("at the origin") << QPoint(0, 0);
        QTest::newRow("away from the origin: the area's own corner") << QPoint(300, 200);
    }

    void centredFirstThenWhereItWasLeft()
    {
        QFETCH(QPoint, corner);
        // The offscreen platform's one screen, moved through the platform's own configuration.
        QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
        const QJsonObject before = reinterpret_cast<QJsonObject (*)(QPlatformNativeInterface *)>(
            native->nativeResourceForIntegration("configuration"))(native);
        const auto configure = reinterpret_cast<void (*)(const QJsonObject &, QPlatformNativeInterface *)>(
            native->nativeResourceForIntegration("setConfiguration"));
        QJsonObject screen = before[QLatin1String("screens")][0].toObject(), moved = before;
        screen[QLatin1String("x")] = corner.x();
        screen[QLatin1String("y")] = corner.y();
        moved[QLatin1String("screens")] = QJsonArray{screen};
        configure(moved, native);
        const auto back = qScopeGuard([&] { configure(before, native); });
        QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry().topLeft(), corner);

        RingingFixture f;
        QVERIFY(f.suona());
        // The whole window, its frame included, is centred: as much room on either side.
        const QRect area = FrmSveglia->screen()->availableGeometry();
        QVERIFY(FrmSveglia->frameGeometry() != FrmSveglia->geometry());
        QTRY_VERIFY(qAbs((FrmSveglia->frameGeometry().left() - area.left()) - (area.right() - FrmSveglia->frameGeometry().right())) <= 1);
        QVERIFY(qAbs((FrmSveglia->frameGeometry().top() - area.top()) - (area.bottom() - FrmSveglia->frameGeometry().bottom())) <= 1);
        // Where the user dragged it.
        FrmSveglia->move(40, 60);
        const QPoint left = FrmSveglia->pos();
        FrmSveglia->close();
        QVERIFY(f.suona());
        QCOMPARE(FrmSveglia->pos(), left);
    }
};

TRILLORA_TEST_MAIN(TestRingingWindow)
#include "tst_ringing_window.moc"
