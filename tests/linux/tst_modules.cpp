// The sound and network modules as the program loads them: a missing one, an unloadable one and one
// from another build leave the alarm ringing and the version window working, and the seam says why.
#include "BuildIdentity.h"
#include "TestMain.h"
#include "linux/LinuxPlatform.h"
#include "linux/SoundClient.h"
#include "support/About.h"
#include "version/ControllaVersione.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>
#include <fcntl.h>

namespace {

const QString rotto = QStringLiteral("rotto");
const QString assente = QStringLiteral("assente");
// Beside the good sound module, another file: in haswell/, or put in its place after the check.
const QString haswell = QStringLiteral("haswell");
const QString scambiato = QStringLiteral("scambiato");

// The build's `modulo` in `cartella`: missing, with its ELF header spoilt, or as built; another file
// where the loader might prefer it (a copy, told apart by its path), or one ready to take its place
// (the network module).
bool preparaCartella(const QString &cartella, const QString &modulo, const QString &guasto)
{
    const QString copia = cartella + QLatin1Char('/') + modulo;
    const QString estraneo = QStringLiteral(TRILLORA_CARTELLA_MODULI "/") + QLatin1String(Modules::Network);
    QFile file(copia);
    return guasto == assente
        || (QFile::copy(QStringLiteral(TRILLORA_CARTELLA_MODULI "/") + modulo, copia)
            && (guasto != rotto || (file.open(QIODevice::ReadWrite) && file.write("\0\0\0\0", 4) == 4))
            && (guasto != haswell || (QDir(cartella).mkdir(haswell) && QFile::copy(copia, cartella + "/haswell/" + modulo)))
            && (guasto != scambiato || QFile::copy(estraneo, cartella + "/estraneo.so")));
}

bool mappato(const QByteArray &path)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(path);
}

} // namespace

class TestModules : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

private slots:
    void initTestCase()
    {
        // Tones that the module really plays go to ALSA's null device, never to a loudspeaker.
        QFile rc(home.filePath(QStringLiteral(".asoundrc")));
        QVERIFY(rc.open(QIODevice::WriteOnly));
        rc.write("pcm.!default { type null }\nctl.!default { type hw card 31 }\n");
        rc.close();
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
        qputenv("PULSE_SERVER", "unix:" + home.filePath("nessun-server").toUtf8());
        FrmAbout = new TFrmAbout;
    }

    void moduleFaults_data()
    {
        QTest::addColumn<QString>("modulo");
        QTest::addColumn<QString>("guasto");
        QTest::addColumn<QByteArray>("identita");
        // Empty: the module works and nothing is shown.
        QTest::addColumn<QString>("motivo");
        const QByteArray nostra = TRILLORA_IDENTITA;
        const QByteArray altra = "0123456789abcdef0123456789abcdef";
        QFile nessuno(home.filePath(QStringLiteral("nessuno")));
        QVERIFY(!nessuno.open(QIODevice::ReadOnly));
        const QString mancante = nessuno.errorString();
        const QString versione = QStringLiteral("modulo di un'altra versione del programma: riavviare Trillora");
        for (const QString modulo : {QLatin1String(Modules::Sound), QLatin1String(Modules::Network)}) {
            const auto riga = [&](const char *caso) { return (modulo + QLatin1String(caso)).toUtf8(); };
            // The network module of this build is loaded by the installed-program test: here it would
            // meet its own classes, which this test links for the fake seam.
            if (modulo == QLatin1String(Modules::Sound)) {
                QTest::newRow(riga(" of this build is used").constData()) << modulo << QString() << nostra << QString();
                QTest::newRow(riga(" used, the foreign one in haswell/ never mapped").constData())
                    << modulo << haswell << nostra << QString();
                QTest::newRow(riga(" swapped after the check: the checked one is loaded").constData())
                    << modulo << scambiato << nostra << QString();
            }
            QTest::newRow(riga(" missing: the reason is the missing file").constData()) << modulo << assente << nostra << mancante;
            QTest::newRow(riga(" unloadable: the loader's reason").constData()) << modulo << rotto << nostra << QStringLiteral("ELF");
            QTest::newRow(riga(" from another build is refused").constData()) << modulo << QString() << altra << versione;
        }
    }

    void moduleFaults()
    {
        QFETCH(QString, modulo);
        QFETCH(QString, guasto);
        QFETCH(QByteArray, identita);
        QFETCH(QString, motivo);
        QTemporaryDir cartella;
        QVERIFY(preparaCartella(cartella.path(), modulo, guasto));
        fake().reset(home.path());
        if (guasto == scambiato) {
            Modules::Module controllato(cartella.path(), Modules::Sound, identita);
            // As an install does: the new file renamed over the old one.
            QCOMPARE(std::rename(qPrintable(cartella.filePath("estraneo.so")), qPrintable(cartella.filePath(modulo))), 0);
            QVERIFY2(controllato.entry("trillora_sound_create"), qPrintable(controllato.error()));
            return;
        }
        LinuxPlatform reale(identita, cartella.path());
        if (modulo == QLatin1String(Modules::Sound)) {
            // The seam's sound as LinuxPlatform holds it, with a bell that can be heard here.
            int campanelli = 0;
            SoundClient suono(cartella.path(), identita, [&campanelli] { ++campanelli; });
            // Part of a pattern: two tones and a message sound, each time the module is needed.
            QElapsedTimer durata;
            durata.start();
            suono.tone(1050, 100);
            suono.messageSound(152);
            suono.tone(1100, 100);
            // The tones keep their length, and no box holds up the pattern while it runs.
            QVERIFY2(durata.elapsed() >= 200, qPrintable(QString::number(durata.elapsed())));
            suono.tone(1150, 100);
            // Without the module, the bell stands in for each sound.
            QCOMPARE(campanelli, motivo.isEmpty() ? 0 : 4);
            // The reason goes to the caller, whose window shows it.
            const QString detto = suono.fault();
            QVERIFY2(motivo.isEmpty() ? detto.isEmpty() : detto.contains(modulo) && detto.contains(motivo),
                     qPrintable(detto));
            QTest::qWait(100);
            QVERIFY(fake().boxes.isEmpty());
            QVERIFY(!mappato("/haswell/"));
            // The loaded module's descriptor stays open, and goes to no program started later
            // (pkexec, the wake helper).
            int aperti = 0;
            for (const QFileInfo &fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files)) {
                if (fd.symLinkTarget().startsWith(cartella.path()) && ++aperti)
                    QVERIFY(fcntl(fd.fileName().toInt(), F_GETFD) & FD_CLOEXEC);
            }
            QCOMPARE(aperti > 0, motivo.isEmpty());
            return;
        } else {
            // The version window opens, asks, and its check ends red.
            fake().answers = {true};
            fake().browserFactory = [&reale](QWidget *parent) { return reale.createBrowser(parent); };
            TFrmControllaVersione w;
            w.show();
            // "Controlla" is disabled from the answer to the check's end.
            QTRY_VERIFY_WITH_TIMEOUT(!fake().boxes.isEmpty() && w.sbControlla->isEnabled(), 15000);
            QCOMPARE(fake().boxes.takeFirst().kind, MessageKind::Question);
            QCOMPARE(w.LabMessaggioGrande->text(), QStringLiteral("Nessuna nuova versione disponibile."));
            QCOMPARE(w.LabMessaggioGrande->palette().color(QPalette::WindowText), QColor(255, 0, 0));
            QVERIFY(!w.sbScarica->isEnabled());
        }

        // The version window shows it once, in the general error box, after the check has ended.
        QTest::qWait(200);
        const QList<FakePlatform::Box> &mostrati = fake().boxes;
        QCOMPARE(mostrati.size(), motivo.isEmpty() ? 0 : 1);
        for (const FakePlatform::Box &box : mostrati) {
            QCOMPARE(box.kind, MessageKind::Error);
            QCOMPARE(box.title, QStringLiteral("TQZ_Trillora"));
            QVERIFY2(box.text.contains(modulo) && box.text.contains(motivo), qPrintable(box.text));
        }
    }
};

TRILLORA_TEST_MAIN(TestModules)
#include "tst_modules.moc"
