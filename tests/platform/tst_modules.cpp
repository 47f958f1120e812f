// The sound and network modules as the program loads them: a missing one, an unloadable one and one
// from another build leave the alarm ringing and the version window working, and say why.
#include "BuildIdentity.h"
#include "LoopbackServer.h"
#include "TestMain.h"
#include "platform/LinuxPlatform.h"
#include "support/About.h"
#include "version/ControllaVersione.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

const QString rotto = QStringLiteral("rotto");
const QString assente = QStringLiteral("assente");

// The build folder's modules, copied into `cartella`; `modulo` missing or with its ELF header spoilt.
bool preparaCartella(const QString &cartella, const QString &modulo, const QString &guasto)
{
    for (const char *nome : {Moduli::Suono, Moduli::Rete}) {
        const QString copia = cartella + QLatin1Char('/') + QLatin1String(nome);
        if (QLatin1String(nome) == modulo && guasto == assente)
            continue;
        if (!QFile::copy(QStringLiteral(TRILLORA_CARTELLA_MODULI "/") + QLatin1String(nome), copia))
            return false;
        if (QLatin1String(nome) == modulo && guasto == rotto) {
            QFile file(copia);
            if (!file.open(QIODevice::ReadWrite) || file.write("\0\0\0\0", 4) != 4)
                return false;
        }
    }
    return true;
}

QList<FakePlatform::Box> errori()
{
    QList<FakePlatform::Box> found;
    for (const FakePlatform::Box &box : fake().boxes)
        if (box.kind == MessageKind::Error)
            found.append(box);
    return found;
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
        for (const QString modulo : {QLatin1String(Moduli::Suono), QLatin1String(Moduli::Rete)}) {
            const auto riga = [&](const char *caso) { return (modulo + QLatin1String(caso)).toUtf8(); };
            QTest::newRow(riga(" of this build is used").constData()) << modulo << QString() << nostra << QString();
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
        LinuxPlatform reale(identita, cartella.path());

        if (modulo == QLatin1String(Moduli::Suono)) {
            // Part of a pattern: two tones and a message sound, each time the module is needed.
            QElapsedTimer durata;
            durata.start();
            reale.systemTone(1050, 100);
            reale.messageSound(152);
            reale.systemTone(1100, 100);
            // The tones keep their length, and no box holds up the pattern while it runs.
            QVERIFY2(durata.elapsed() >= 200, qPrintable(QString::number(durata.elapsed())));
            QVERIFY(fake().boxes.isEmpty());
            QTest::qWait(100);
            reale.systemTone(1150, 100);
        } else {
            // The version window opens, asks, and its check ends: green from the loopback page, or red.
            LoopbackServer server;
            server.page(QStringLiteral("/index.php"), "<p>Versione - 19</p>");
            fake().host = server.host();
            fake().answers = {true};
            fake().browserFactory = [&reale](QWidget *parent) { return reale.createBrowser(parent); };
            TFrmControllaVersione w;
            w.show();
            // "Controlla" is disabled from the answer to the check's end.
            QTRY_VERIFY_WITH_TIMEOUT(!fake().boxes.isEmpty() && w.sbControlla->isEnabled(), 15000);
            QCOMPARE(fake().boxes[0].kind, MessageKind::Question);
            const bool verde = motivo.isEmpty();
            QCOMPARE(w.LabMessaggioGrande->text(), verde ? QStringLiteral("Disponibile una nuove versione!!")
                                                         : QStringLiteral("Nessuna nuova versione disponibile."));
            QCOMPARE(w.sbScarica->isEnabled(), verde);
        }

        // Shown once, after the event loop has run again.
        QTest::qWait(200);
        const QList<FakePlatform::Box> mostrati = errori();
        if (motivo.isEmpty()) {
            QVERIFY2(mostrati.isEmpty(), qPrintable(mostrati.value(0).text));
            return;
        }
        QCOMPARE(mostrati.size(), 1);
        QCOMPARE(mostrati[0].title, QStringLiteral("TQZ_Trillora"));
        QVERIFY2(mostrati[0].text.contains(modulo) && mostrati[0].text.contains(motivo), qPrintable(mostrati[0].text));
    }
};

TRILLORA_TEST_MAIN(TestModules)
#include "tst_modules.moc"
