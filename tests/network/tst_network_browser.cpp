// The page loader against a loopback server: bodies, failures that still complete, the size cut, downloads.
#include "LoopbackServer.h"
#include "TestMain.h"
#include "network/DownloadRules.h"
#include "network/DownloadWindow.h"
#include "network/FileDownload.h"
#include "network/NetworkBrowser.h"
#include "widgets/ErrorDisplay.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

Q_DECLARE_METATYPE(Risposta)

class TestNetworkBrowser : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QString scaricati() const { return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation); }

    // Navigates and waits for the one completion the loader promises.
    static QByteArray carica(NetworkBrowser &b, const QString &url)
    {
        QSignalSpy spy(&b, &Browser::documentComplete);
        b.navigate(url);
        if (!QTest::qWaitFor([&] { return spy.count() > 0; }, 15000))
            return "no completion";
        QTest::qWait(50);
        return spy.count() == 1 && b.hasDocument() ? b.bodyOuterHtml() : "not exactly one completion";
    }

    static DownloadWindow *finestra()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<DownloadWindow *>(w); d && d->isVisible())
                return d;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        // Downloads land in this test's own folder.
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
        QVERIFY(scaricati().startsWith(home.path()));
    }

    void pagine_data()
    {
        QTest::addColumn<Risposta>("risposta");
        QTest::addColumn<QVariant>("corpo");    // the exact body, when checked
        QTest::addColumn<QByteArray>("contiene");
        const QByteArray html = "Content-Type: text/html\r\n";
        const QByteArray errore = "Pagina non caricata";
        QTest::newRow("body serialised, head left out")
            << Risposta {200, "<html><head><title>Versione - 1</title></head><body><P>Versione - 19</P></body></html>"}
            << QVariant("<body><p>Versione - 19</p></body>") << QByteArray();
        QTest::newRow("head only gives an empty body")
            << Risposta {200, "<html><head><title>Versione - 19</title></head></html>"} << QVariant("") << QByteArray();
        QTest::newRow("empty page gives an empty body") << Risposta {200, ""} << QVariant("") << QByteArray();
        QTest::newRow("declared charset converted to the code page")
            << Risposta {200, "<body>caf\xc3\xa8</body>", "Content-Type: text/html; charset=utf-8\r\n"}
            << QVariant(QByteArray("<body>caf\xe8</body>")) << QByteArray();
        QTest::newRow("binary garbage is text of a body")
            << Risposta {200, QByteArray("\x01\x02\xff\xfe garbage\0x", 14)} << QVariant() << QByteArray("garbage");
        QTest::newRow("deep nesting does not crash")
            << Risposta {200, QByteArray("<div>").repeated(100000) + "Versione-1<"} << QVariant() << QByteArray("<body>");
        QTest::newRow("http error completes with its own body")
            << Risposta {404, "<body>Versione - 19</body>"} << QVariant() << errore;
        QTest::newRow("redirect followed") << Risposta {302, "", html + "Location: /p\r\n"}
                                          << QVariant("<body><p>finale</p></body>") << QByteArray();
        QTest::newRow("redirect loop completes with its own body")
            << Risposta {302, "", html + "Location: /x\r\n"} << QVariant() << errore;
        QTest::newRow("page over 1 MiB is cut there")
            << Risposta {200, "<body>" + QByteArray(50 << 20, 'a')} << QVariant() << QByteArray("<body>aaaa");
        Risposta inDueLetture {200, "<body>" + QByteArray(NetworkBrowser::pageLimit - 1006, 'a')};
        inDueLetture.poi = {QByteArray(50000, 'a')};
        QTest::newRow("1 MiB reached in a second read: exactly 1 MiB kept")
            << inDueLetture << QVariant("<body>" + QByteArray(NetworkBrowser::pageLimit - 6, 'a') + "</body>")
            << QByteArray();
    }

    void pagine()
    {
        QFETCH(Risposta, risposta);
        QFETCH(QVariant, corpo);
        QFETCH(QByteArray, contiene);
        LoopbackServer server;
        server.set("/x", risposta);
        server.page("/p", "<p>finale");
        NetworkBrowser browser;
        QCOMPARE(browser.hasDocument(), false);
        const QByteArray body = carica(browser, server.url("/x"));
        if (corpo.isValid())
            QCOMPARE(body, corpo.toByteArray());
        QVERIFY2(body.contains(contiene), body.left(200).constData());
        QVERIFY(body.size() <= NetworkBrowser::pageLimit + 20);
        QVERIFY(!contiene.startsWith("Pagina") || !body.contains("Versione"));
    }

    // The deadline bounds the whole page and the transfer time-out only each pause: a page that
    // keeps coming completes whole, well past the time-out.
    void paginaLentaMaContinua()
    {
        LoopbackServer server;
        Risposta lenta {200, "<body>"};
        lenta.poi = QByteArrayList(20, "<p>x</p>");
        lenta.pausaMs = 100;
        server.set("/x", lenta);
        NetworkBrowser browser(nullptr, 1000);
        browser.setDeadline(10000);
        QCOMPARE(carica(browser, server.url("/x")), "<body>" + QByteArray("<p>x</p>").repeated(20) + "</body>");
    }

    void senzaRisposta_data()
    {
        QTest::addColumn<bool>("rifiutata");
        QTest::newRow("refused connection") << true;
        QTest::newRow("silent server times out") << false;
    }
    void senzaRisposta()
    {
        QFETCH(bool, rifiutata);
        auto server = std::make_unique<LoopbackServer>();
        server->set("/x", Risposta {200, "", "", true});
        const QString url = server->url("/x");
        if (rifiutata)
            server.reset();
        NetworkBrowser browser(nullptr, 300);
        QVERIFY(carica(browser, url).contains("Pagina non caricata"));
    }

    void indirizziRifiutati_data()
    {
        QTest::addColumn<QString>("indirizzo");
        QTest::newRow("empty") << "";
        QTest::newRow("no host") << "http://";
        QTest::newRow("local file") << "file:///etc/passwd";
        QTest::newRow("other scheme") << "ftp://127.0.0.1/x";
    }
    void indirizziRifiutati()
    {
        QFETCH(QString, indirizzo);
        NetworkBrowser browser;
        QVERIFY_THROWS_EXCEPTION(TrilloraError, browser.navigate(indirizzo));
    }

    void nuovaPaginaSostituisceQuellaInCorso()
    {
        LoopbackServer server;
        server.set("/lenta", Risposta {200, "", "", true});
        server.page("/p", "<p>seconda");
        NetworkBrowser browser;
        browser.navigate(server.url("/lenta"));
        QTRY_COMPARE(server.requests.size(), 1);
        QCOMPARE(carica(browser, server.url("/p")), QByteArray("<body><p>seconda</p></body>"));
    }

    void distruttoDuranteIlCaricamento()
    {
        LoopbackServer server;
        server.set("/lenta", Risposta {200, "", "", true});
        auto *browser = new NetworkBrowser;
        browser->navigate(server.url("/lenta"));
        QTRY_COMPARE(server.requests.size(), 1);
        delete browser;
        QTest::qWait(100);
    }

    void scaricamenti_data()
    {
        QTest::addColumn<QString>("percorso");
        QTest::addColumn<Risposta>("risposta");
        QTest::addColumn<bool>("giaPresente");
        QTest::addColumn<QString>("file"); // empty: nothing may be saved
        // A page address whose answer is a file still completes, so a wait for the page ends.
        QTest::addColumn<int>("completions");
        const QByteArray exe = "MZ\x90\0programma";
        QTest::newRow("program file by its address")
            << "/prg/trilor.exe" << Risposta {200, exe} << false << "trilor.exe" << 0;
        QTest::newRow("earlier file is never replaced")
            << "/prg/trilor.exe" << Risposta {200, exe} << true << "trilor (1).exe" << 0;
        QTest::newRow("attachment name cannot leave the folder or hide")
            << "/get" << Risposta {200, exe, "Content-Disposition: attachment; filename=\"../../.bashrc\"\r\n"} << false
            << "bashrc" << 1;
        QTest::newRow("several leading dots are not kept")
            << "/get" << Risposta {200, exe, "Content-Disposition: attachment; filename=\"..hidden.exe\"\r\n"}
            << false << "hidden.exe" << 1;
        QTest::newRow("binary type is a download")
            << "/bin" << Risposta {200, exe, "Content-Type: application/octet-stream\r\n"} << false << "bin" << 1;
        QTest::newRow("http error saves nothing") << "/prg/manca.exe" << Risposta {404, "no"} << false << "" << 0;
    }

    void scaricamenti()
    {
        QFETCH(QString, percorso);
        QFETCH(Risposta, risposta);
        QFETCH(bool, giaPresente);
        QFETCH(QString, file);
        QFETCH(int, completions);
        QDir dir(scaricati());
        dir.removeRecursively();
        QVERIFY(dir.mkpath("."));
        if (giaPresente) {
            QFile earlier(dir.filePath("trilor.exe"));
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("vecchio");
        }
        LoopbackServer server;
        server.set(percorso, risposta);
        NetworkBrowser browser;
        QSignalSpy spy(&browser, &Browser::documentComplete);
        browser.navigate(server.url(percorso));
        QTRY_VERIFY(finestra());
        DownloadWindow *w = finestra();
        QTRY_COMPARE(w->button->text(), QStringLiteral("Chiudi"));
        QCOMPARE(spy.count(), completions);
        if (completions)
            QVERIFY(browser.bodyOuterHtml().contains("Pagina non caricata"));
        QStringList attesi {file};
        if (giaPresente)
            attesi.prepend("trilor.exe");
        attesi.removeAll(QString());
        attesi.sort();
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), attesi);
        if (!file.isEmpty()) {
            QFile saved(dir.filePath(file));
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QCOMPARE(saved.readAll(), risposta.body);
            QVERIFY(!(saved.permissions() & (QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther)));
        } else {
            QVERIFY(w->messageLabel->text().contains("non riuscito"));
        }
        // Closing the window of a finished download keeps the file.
        QPointer<DownloadWindow> chiusa = w;
        w->close();
        QTRY_VERIFY(!chiusa);
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), attesi);
    }

    // Each reservation takes a name no one else holds, a dangling link's included.
    void nomiRiservati()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::link(dir.filePath("altrove/x"), dir.filePath("trilor (1).exe")));
        QString errore;
        const QString primo = reserveFilePath(dir.path(), "trilor.exe", errore);
        const QString secondo = reserveFilePath(dir.path(), "trilor.exe", errore);
        QCOMPARE(primo, dir.filePath("trilor.exe"));
        QCOMPARE(secondo, dir.filePath("trilor (2).exe"));
        QVERIFY(QFileInfo(primo).isFile() && QFileInfo(secondo).isFile());
        QVERIFY(!QFileInfo::exists(dir.filePath("altrove/x")));
        QVERIFY(reserveFilePath(dir.filePath("manca"), "trilor.exe", errore).isEmpty());
        QVERIFY(!errore.isEmpty());
    }

    // Two transfers of the same file at once never share a name, and each is saved whole.
    void dueScaricamentiInsieme()
    {
        QDir dir(scaricati());
        dir.removeRecursively();
        LoopbackServer server;
        server.set("/prg/trilor.exe", Risposta {200, "MZ parte", "", false, 4});
        FileDownload primo(server.url("/prg/trilor.exe"), dir.path(), 10000);
        FileDownload secondo(server.url("/prg/trilor.exe"), dir.path(), 10000);
        QTRY_VERIFY(!primo.filePath().isEmpty() && !secondo.filePath().isEmpty());
        const QString nomePrimo = primo.filePath();
        QVERIFY(nomePrimo != secondo.filePath());
        QCOMPARE(QFileInfo(nomePrimo).dir(), dir);
        QSignalSpy fine(&primo, &FileDownload::finished);
        primo.cancel();
        QCOMPARE(fine.count(), 1);
        QVERIFY(!QFile::exists(nomePrimo));
        QVERIFY(QFile::exists(secondo.filePath()));
        secondo.cancel();
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // The program ends while a download is under way: nothing of it stays in the folder, whether
    // the end closes the windows first (quit) or not (exit).
    void fineProgrammaDuranteScaricamento_data()
    {
        QTest::addColumn<bool>("chiudeLeFinestre");
        QTest::newRow("quit closes the windows") << true;
        QTest::newRow("exit leaves them") << false;
    }
    void fineProgrammaDuranteScaricamento()
    {
        QFETCH(bool, chiudeLeFinestre);
        QDir dir(scaricati());
        dir.removeRecursively();
        LoopbackServer server;
        server.set("/prg/trilor.exe", Risposta {200, "MZ parte", "", false, 4});
        NetworkBrowser browser;
        browser.navigate(server.url("/prg/trilor.exe"));
        QTRY_VERIFY(finestra());
        QPointer<DownloadWindow> w = finestra();
        QTRY_VERIFY(!w->download()->filePath().isEmpty());
        QVERIFY(!dir.entryList(QDir::Files | QDir::Hidden).isEmpty());
        QTimer::singleShot(0, qApp, [chiudeLeFinestre] {
            if (chiudeLeFinestre)
                QCoreApplication::quit();
            else
                QCoreApplication::exit(0);
        });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList());
        delete w;
    }

    // Asked for from a modal window (as the version check is), it can still be stopped.
    void annullaScaricamentoDaFinestraModale()
    {
        QDir dir(scaricati());
        dir.removeRecursively();
        LoopbackServer server;
        server.set("/prg/trilor.exe", Risposta {200, "", "", true});
        QDialog modale;
        modale.setWindowModality(Qt::ApplicationModal);
        modale.show();
        auto *browser = new NetworkBrowser(&modale);
        browser->navigate(server.url("/prg/trilor.exe"));
        QTRY_VERIFY(finestra());
        QTRY_COMPARE(server.requests.size(), 1);
        DownloadWindow *w = finestra();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, w->button->mapTo(w, w->button->rect().center()));
        QTRY_VERIFY(!finestra());
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

TRILLORA_TEST_MAIN(TestNetworkBrowser)
#include "tst_network_browser.moc"
