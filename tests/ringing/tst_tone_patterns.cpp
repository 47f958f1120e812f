// The two sound patterns as the seam hears them, the speaker's port writes and the tone routine's checks.
#include "RingingFixture.h"
#include "TestMain.h"
#include "ringing/PatternPlayer.h"
#include "ringing/TonePatterns.h"
#include "widgets/ErrorDisplay.h"

#include <QToolButton>

class TestTonePatterns : public QObject
{
    Q_OBJECT

    static QString porta(int port, int value)
    {
        return QStringLiteral("port 0x%1 0x%2").arg(port, 0, 16).arg(value, 0, 16);
    }

    // What the speaker pattern must ask of the system for the family and the number of passes.
    static QStringList speakerAtteso(const QString &tipo, int passes)
    {
        QStringList calls;
        for (int p = 0; tipo == QLatin1String("9x") && p < passes; ++p)
            for (int f = 50; f <= 1000; f += 50)
                calls << "wait 50" << porta(0x43, 0xb6) << porta(0x42, (1193280 / f) & 0xff)
                      << porta(0x42, (1193280 / f) >> 8) << porta(0x61, 3);
        if (tipo == QLatin1String("9x"))
            calls << porta(0x61, 0);
        for (int p = 0; tipo == QLatin1String("NT") && p < passes; ++p)
            calls << "tone 1050 100" << "tone 1100 100" << "tone 1150 100";
        return calls;
    }

private slots:
    void speakerPattern_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("durata");
        QTest::addColumn<int>("passes");

        QTest::newRow("9x long sweeps ten times") << "9x" << "Maggiore" << 10;
        QTest::newRow("9x short sweeps three times") << "9x" << "Minore" << 3;
        QTest::newRow("9x lower-case length is short") << "9x" << "maggiore" << 3;
        QTest::newRow("NT long plays ten triples") << "NT" << "Maggiore" << 10;
        QTest::newRow("NT short plays three triples") << "NT" << "Minore" << 3;
        QTest::newRow("NT empty length is short") << "NT" << "" << 3;
        QTest::newRow("unknown family is silent") << "" << "Maggiore" << 10;
        QTest::newRow("family compared exactly") << "nt" << "Maggiore" << 10;
    }

    void speakerPattern()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, durata);
        QFETCH(int, passes);
        RingingFixture f;
        FrmMain->TipoSistema = tipo;
        FrmMain->sbDurata->setText(durata);
        FrmSveglia->TimerSpeaker->start();
        FrmSveglia->TimerSpeakerTimer();
        QCOMPARE(fake().calls, speakerAtteso(tipo, passes));
        // One tick, one pattern: the timer does not fire again by itself, whatever the family.
        QVERIFY(!FrmSveglia->TimerSpeaker->isActive());
        if (tipo == QLatin1String("9x"))
            QCOMPARE(FrmSveglia->Frequenza, 1000);
    }

    void soundCardPattern_data()
    {
        QTest::addColumn<QString>("durata");
        QTest::addColumn<int>("sounds");
        QTest::addColumn<QString>("guasto"); // why the seam rings the bell instead, if it does

        QTest::newRow("long plays ten") << "Maggiore" << 10 << "";
        QTest::newRow("short plays three") << "Minore" << 3 << "";
        QTest::newRow("lower-case length is short") << "maggiore" << 3 << "";
        QTest::newRow("trailing blank is short") << "Maggiore " << 3 << "";
        QTest::newRow("through the bell: why, once after the pattern") << "Minore" << 3 << "suono assente";
    }

    void soundCardPattern()
    {
        QFETCH(QString, durata);
        QFETCH(int, sounds);
        QFETCH(QString, guasto);
        RingingFixture f;
        fake().soundFaultText = guasto;
        // No speaker access from the sound card, even on 9x.
        FrmMain->TipoSistema = QStringLiteral("9x");
        FrmMain->sbDurata->setText(durata);
        FrmSveglia->TimerCasse->start();
        FrmSveglia->TimerCasseTimer();
        QStringList expected;
        for (int i = 0; i < sounds; ++i)
            expected << "wait 500" << "sound 152";
        QCOMPARE(fake().calls, expected);
        QVERIFY(!FrmSveglia->TimerCasse->isActive());
        QVERIFY(fake().boxes.isEmpty());
        FrmSveglia->TimerCasseTimer();
        QTest::qWait(50);
        QCOMPARE(fake().boxes.size(), guasto.isEmpty() ? 0 : 1);
        for (const FakePlatform::Box &box : fake().boxes)
            QCOMPARE(box.text, guasto + '.');
    }

    void speakerOn_data()
    {
        QTest::addColumn<int>("frequency");
        // Low and high byte of the divisor; none when the frequency is refused before any port.
        QTest::addColumn<QList<int>>("divisor");

        QTest::newRow("50 Hz divisor 23865") << 50 << QList<int> {0x39, 0x5d};
        QTest::newRow("100 Hz divisor 11932") << 100 << QList<int> {0x9c, 0x2e};
        QTest::newRow("1000 Hz divisor 1193") << 1000 << QList<int> {0xa9, 0x04};
        QTest::newRow("18 Hz divisor cut to 16 bits") << 18 << QList<int> {0xf5, 0x02};
        QTest::newRow("0 Hz refused, no division by zero") << 0 << QList<int>();
        QTest::newRow("negative refused") << -50 << QList<int>();
    }

    void speakerOn()
    {
        QFETCH(int, frequency);
        QFETCH(QList<int>, divisor);
        fake().reset();
        if (divisor.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(RangeError, Toni::AccendiSpeaker(frequency));
            QVERIFY(fake().calls.isEmpty());
            return;
        }
        Toni::AccendiSpeaker(frequency);
        QCOMPARE(fake().calls, QStringList({porta(0x43, 0xb6), porta(0x42, divisor[0]), porta(0x42, divisor[1]),
                                            porta(0x61, 3)}));
    }

    void bleeper_data()
    {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("msecs");
        QTest::addColumn<QString>("error");

        QTest::newRow("36 Hz too low") << 36 << 100 << "Bleeper: Freq < 37";
        QTest::newRow("37 Hz sounds") << 37 << 100 << "";
        QTest::newRow("20000 Hz sounds") << 20000 << 100 << "";
        QTest::newRow("20001 Hz too high") << 20001 << 100 << "Bleeper: Freq > 20000";
        QTest::newRow("-2 ms fails before a good frequency") << 1000 << -2 << "Bleeper: MSecs < -1";
        QTest::newRow("-2 ms fails before a low frequency") << 36 << -2 << "Bleeper: MSecs < -1";
        QTest::newRow("-2 ms fails before a high frequency") << 20001 << -2 << "Bleeper: MSecs < -1";
        QTest::newRow("-1 ms passes") << 1000 << -1 << "";
    }

    void bleeper()
    {
        QFETCH(int, frequency);
        QFETCH(int, msecs);
        QFETCH(QString, error);
        fake().reset();
        QString raised;
        try {
            Toni::Bleeper(static_cast<std::uint16_t>(frequency), msecs);
        } catch (const RangeError &e) {
            raised = e.message();
        }
        QCOMPARE(raised, error);
        const QStringList tone {QStringLiteral("tone %1 %2").arg(frequency).arg(msecs)};
        QCOMPARE(fake().calls, error.isEmpty() ? tone : QStringList());
    }

    void toneErrorInAPatternReachesTheErrorBox()
    {
        fake().reset();
        QObject context;
        QTimer::singleShot(0, &context,
                           ErrorDisplay::guarded([] { PatternPlayer::play([] { Toni::Bleeper(36, 100); }); }));
        QTRY_COMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].kind, MessageKind::Error);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("TQZ_Trillora"));
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Bleeper: Freq < 37."));
    }
};

TRILLORA_TEST_MAIN(TestTonePatterns)
#include "tst_tone_patterns.moc"
