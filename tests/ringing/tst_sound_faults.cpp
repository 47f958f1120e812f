// The ringing window's patterns through the real Linux tones and message sound (the program's sound
// module, from the build folder) on a machine without sound: they keep their timing and show no box.
// TRILLORA_TEST_SENZA picks what is missing: "dispositivo" (no sound card) or "server" (ALSA routed
// to a sound server that is not running).
#include "BuildIdentity.h"
#include "RingingFixture.h"
#include "TestMain.h"
#include "linux/LinuxPlatform.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

// The fake seam, with the tones, the message sound and the waits of the real one. A call is
// recorded once the real one has returned.
class SuonoVero : public FakePlatform
{
public:
    void systemTone(int frequency, int msecs) override
    {
        reale.systemTone(frequency, msecs);
        FakePlatform::systemTone(frequency, msecs);
    }
    void messageSound(unsigned type) override
    {
        reale.messageSound(type);
        FakePlatform::messageSound(type);
    }
    void sleepMs(int msecs) override
    {
        reale.sleepMs(msecs);
        FakePlatform::sleepMs(msecs);
    }

private:
    LinuxPlatform reale {TRILLORA_IDENTITA, QStringLiteral(TRILLORA_CARTELLA_MODULI)};
};

// The sound module played the tones, not the stand-in for a missing one.
bool moduloCaricato()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/trillora-sound.so");
}

} // namespace

class TestSoundFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    SuonoVero suono;
    Platform *prima = nullptr;

private slots:
    void initTestCase()
    {
        // Before anything opens ALSA: its configuration is read once per process.
        const QByteArray senza = qgetenv("TRILLORA_TEST_SENZA");
        QByteArray config;
        if (senza == "server") {
            config = "pcm.!default { type pulse }\nctl.!default { type pulse }\n";
            qputenv("PULSE_SERVER", "unix:" + home.filePath("nessun-server").toUtf8());
        } else {
            config = "pcm.!default { type hw card 31 }\nctl.!default { type hw card 31 }\n";
        }
        QFile rc(home.filePath(QStringLiteral(".asoundrc")));
        QVERIFY(rc.open(QIODevice::WriteOnly));
        rc.write(config);
        rc.close();
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
        prima = &platform();
        installPlatform(&suono);
    }
    void cleanupTestCase() { installPlatform(prima); }

    void patternsKeepTheirTiming_data()
    {
        QTest::addColumn<QString>("tipoSuono");
        QTest::addColumn<QString>("chiamata");
        QTest::addColumn<int>("quante");
        QTest::addColumn<int>("durataMs");
        QTest::newRow("speaker pattern: nine tones of 100 ms") << "Speaker" << "tone" << 9 << 900;
        QTest::newRow("sound-card pattern: three sounds 500 ms apart") << "Casse" << "sound" << 3 << 1500;
    }

    void patternsKeepTheirTiming()
    {
        QFETCH(QString, tipoSuono);
        QFETCH(QString, chiamata);
        QFETCH(int, quante);
        QFETCH(int, durataMs);
        RingingFixture f;
        FrmMain->TipoSistema = QStringLiteral("NT");
        FrmMain->sbSuono->setText(tipoSuono);
        FrmMain->sbDurata->setText(QStringLiteral("Minore"));
        QVERIFY(f.mostraPrincipale());

        QElapsedTimer durata;
        durata.start();
        QVERIFY(f.suona());
        // The pattern runs inside one timer tick; its last call is the last of its sounds.
        QTRY_COMPARE_WITH_TIMEOUT(f.chiamate(chiamata).size(), quante, 20000);
        QVERIFY2(durata.elapsed() >= durataMs, qPrintable(QString::number(durata.elapsed())));
        QTest::qWait(200);
        QCOMPARE(f.chiamate(chiamata).size(), quante);
        QCOMPARE(fake().boxes.size(), 0);
        QVERIFY(moduloCaricato());
        // And the window still closes as always.
        FrmSveglia->sbChiudi->click();
        QVERIFY(!FrmSveglia->isVisible());
    }
};

TRILLORA_TEST_MAIN(TestSoundFaults)
#include "tst_sound_faults.moc"
