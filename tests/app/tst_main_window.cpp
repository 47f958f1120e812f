// The main window as it starts: layout, start-up state, help page, platform family, the caret's rest and exit.
#include "MainWindowFixture.h"
#include "TestMain.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <algorithm>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void window()
    {
        MainWindowFixture f;
        QCOMPARE(FrmMain->windowTitle(), QStringLiteral("TQZ_Trillora"));
        QCOMPARE(FrmMain->size(), QSize(371, 112));
        QCOMPARE(FrmMain->minimumSize(), FrmMain->maximumSize());
        QVERIFY(!(FrmMain->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(FrmMain->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(FrmMain->Timer1->isActive());
        QCOMPARE(FrmMain->Timer1->interval(), 400);
        QVERIFY(FrmMain->TimerElimina->isActive());
        QCOMPARE(FrmMain->TimerElimina->interval(), 5000);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("enabled");

        QTest::newRow("clock") << "EdOrologio" << QRect(6, 4, 63, 23) << "12.00.00" << "" << false;
        QTest::newRow("version") << "sbControllaVersione" << QRect(73, 4, 23, 22) << "" << "Controlla versione" << true;
        QTest::newRow("bug") << "sbBug" << QRect(100, 4, 23, 22) << "" << "Segnala Bug" << true;
        QTest::newRow("about") << "sbHelp" << QRect(125, 3, 23, 23) << "" << "Visualizza informazioni" << true;
        QTest::newRow("sound type") << "sbSuono" << QRect(155, 4, 72, 22) << "Casse" << "Tipo di suono" << true;
        QTest::newRow("hour entry") << "Edsveglia1" << QRect(232, 3, 25, 23) << "*" << "" << true;
        QTest::newRow("minute entry") << "EDSveglia2" << QRect(261, 3, 25, 23) << "*" << "" << true;
        QTest::newRow("insert") << "sbConferma" << QRect(289, 3, 78, 23) << "Inserisci" << "Inserisci sveglia" << true;
        QTest::newRow("slot frame 1") << "Panel1" << QRect(76, 24, 57, 31) << "" << "" << true;
        QTest::newRow("slot frame 5") << "Panel11" << QRect(308, 24, 57, 31) << "" << "" << true;
        QTest::newRow("slot 1 hour") << "ed1sv1" << QRect() << "*" << "" << false;
        QTest::newRow("slot 3 minute") << "ed3sv2" << QRect() << "*" << "" << false;
        QTest::newRow("slot 5 minute") << "ed5sv2" << QRect() << "*" << "" << false;
        QTest::newRow("delete 1") << "sbCanc1" << QRect(77, 7, 54, 16) << "Elimina" << "" << false;
        QTest::newRow("delete 4") << "SbCanc4" << QRect(251, 7, 54, 16) << "Elimina" << "" << false;
        QTest::newRow("delete 5") << "SbCanc5" << QRect(309, 7, 54, 16) << "Elimina" << "" << false;
        QTest::newRow("sound length") << "sbDurata" << QRect(4, 1, 77, 21) << "Maggiore" << "Allunga/diminuisci suono" << true;
        QTest::newRow("save") << "SpeedButton1" << QRect(83, 1, 117, 21) << "Salva impostazioni" << "Salva le impostazioni" << true;
        QTest::newRow("load without file") << "sbLoad" << QRect(201, 1, 118, 21) << "Carica impostazioni" << "Carica le impostazioni salvate" << false;
        QTest::newRow("exit") << "SpeedButton4" << QRect(320, 1, 48, 21) << "Esci" << "Esci" << true;
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, text);
        QFETCH(QString, hint);
        QFETCH(bool, enabled);
        MainWindowFixture f;
        auto *w = FrmMain->findChild<QWidget *>(name);
        QVERIFY2(w, qPrintable(name));
        if (!place.isNull())
            QCOMPARE(w->geometry(), place);
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            QCOMPARE(edit->text(), text);
        if (auto *button = qobject_cast<QToolButton *>(w)) {
            QCOMPARE(button->text(), text);
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(w->toolTip(), hint);
        QCOMPARE(w->isEnabled(), enabled);
    }

    void bands()
    {
        MainWindowFixture f;
        QCOMPARE(FrmMain->PanIns->geometry(), QRect(0, 0, 371, 30));
        QCOMPARE(FrmMain->PanControllo->geometry(), QRect(0, 30, 371, 57));
        QCOMPARE(FrmMain->Panel10->geometry(), QRect(0, 87, 371, 25));
        // Its own typefaces come with its first showing, after the splash.
        FrmMain->show();
        QCOMPARE(FrmMain->EdOrologio->font().family(), QStringLiteral("Times New Roman"));
        QVERIFY(FrmMain->EdOrologio->font().bold());
        QCOMPARE(FrmMain->ed1sv1->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(FrmMain->ed5sv2->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(FrmMain->SbCanc5->font().pixelSize(), 9);
    }

    void loadButtonFollowsTheFile()
    {
        MainWindowFixture f([](const QString &dir) {
            QFile file(dir + QStringLiteral("/sveglia.imptqz"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("07\r\n30\r\n");
        });
        QVERIFY(FrmMain->sbLoad->isEnabled());
        // The file is only looked for at start, never loaded.
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("*"));
    }

    void platformFamily_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("family");
        QTest::newRow("old consumer family") << 1 << "9x";
        QTest::newRow("NT family") << 2 << "NT";
        QTest::newRow("anything else") << 7 << "";
    }

    void platformFamily()
    {
        QFETCH(int, id);
        QFETCH(QString, family);
        MainWindowFixture f([id](const QString &) { fake().id = id; });
        QCOMPARE(FrmMain->TipoSistema, family);
    }

    void f1OpensTheHelpPageBesideTheProgram()
    {
        MainWindowFixture f([](const QString &dir) {
            QFile page(dir + QStringLiteral("/help.html"));
            QVERIFY(page.open(QIODevice::WriteOnly));
        });
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        QTest::keyClick(FrmMain->windowHandle(), Qt::Key_F1);
        QCOMPARE(fake().opened, QStringList {f.file(QStringLiteral("help.html"))});
        QVERIFY(fake().boxes.isEmpty());
    }

    void f1WithoutHelpPageShowsOnlyTheError()
    {
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        QTest::keyClick(FrmMain->windowHandle(), Qt::Key_F1);
        QVERIFY(fake().opened.isEmpty());
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("Errore"));
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Impossibile aprire la guida, file help.html non trovato"));
    }

    void focusStartsInTheHourField()
    {
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        QCOMPARE(QApplication::focusWidget(), FrmMain->Edsveglia1);
    }

    // The caret blinks by a timer of the focused field's own text control.
    static bool lampeggia(const QWidget *field)
    {
        const auto parts = field->findChildren<QObject *>();
        return std::any_of(parts.begin(), parts.end(), [](QObject *part) {
            return !QAbstractEventDispatcher::instance()->registeredTimers(part).isEmpty();
        });
    }

    void caretRestsWithoutInput_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("blinks");

        QTest::newRow("ten seconds without input: the caret rests") << "" << false;
        QTest::newRow("a key blinks again") << "key" << true;
        QTest::newRow("a click blinks again") << "click" << true;
        QTest::newRow("a mouse move over the window blinks again") << "move" << true;
        QTest::newRow("the next field taking the focus blinks") << "focus" << true;
    }

    void caretRestsWithoutInput()
    {
        QFETCH(QString, input);
        QFETCH(bool, blinks);
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        QVERIFY(lampeggia(FrmMain->Edsveglia1));
        auto *attesa = qApp->findChild<QTimer *>(QStringLiteral("TimerRiposoCursore"));
        QVERIFY(attesa && attesa->isActive());
        QCOMPARE(attesa->interval(), 10000);
        // The ten seconds pass.
        QMetaObject::invokeMethod(attesa, "timeout");
        QVERIFY(!lampeggia(FrmMain->Edsveglia1));

        QWindow *window = FrmMain->windowHandle();
        const QPoint field = FrmMain->Edsveglia1->mapTo(FrmMain, QPoint(5, 5));
        if (input == QLatin1String("key"))
            QTest::keyClick(window, Qt::Key_Left);
        else if (input == QLatin1String("click"))
            QTest::mouseClick(window, Qt::LeftButton, {}, field);
        else if (input == QLatin1String("move"))
            QTest::mouseMove(window, QPoint(2, 90));
        else if (input == QLatin1String("focus"))
            FrmMain->EDSveglia2->setFocus();
        QCOMPARE(lampeggia(QApplication::focusWidget()), blinks);
    }

    void exitEndsTheProgram()
    {
        MainWindowFixture f;
        QTimer::singleShot(0, FrmMain->SpeedButton4, &QToolButton::click);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void closeBoxEndsTheProgram()
    {
        MainWindowFixture f;
        FrmMain->show();
        QTimer::singleShot(0, FrmMain, &QWidget::close);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

TRILLORA_TEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
