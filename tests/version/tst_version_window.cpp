// The version check window driven against a loopback version page.
#include "LoopbackServer.h"
#include "TestMain.h"
#include "WindowSystem.h"
#include "network/DownloadWindow.h"
#include "support/About.h"
#include "version/ControllaVersione.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <memory>

Q_DECLARE_METATYPE(Risposta)

namespace {
const QString domanda = "Per eseguire il controllo di evetuali nuove versioni bisogna essere connessi ad internet, continuo?";
const QString nuova = "Disponibile una nuove versione!!";
const QString nessuna = "Nessuna nuova versione disponibile.";
const QString scaricaOra = "Premi su scarica e chiudi il programma.";
const QString nonScaricabile = "Impossibile scaricare la nuova versione.";
const QString senzaNumero = "Impossibile trovare il numero di versione.";
const QString paginaVersione = "/index.php?show=ctrlvers&prg=TQZ_Trillora";
} // namespace

class TestVersionWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<LoopbackServer> server;

    // A fresh opening, answered as given; with Yes it returns once the check has ended.
    std::unique_ptr<TFrmControllaVersione> apri(bool si)
    {
        fake().answers = {si};
        const auto domande = [] {
            return std::count_if(fake().boxes.cbegin(), fake().boxes.cend(),
                                 [](const FakePlatform::Box &b) { return b.kind == MessageKind::Question; });
        };
        const auto prima = domande();
        auto w = std::make_unique<TFrmControllaVersione>();
        w->show();
        if (!QTest::qWaitFor([&] { return domande() > prima && w->sbControlla->isEnabled(); }, 15000))
            return nullptr;
        return w;
    }
    static bool controlla(TFrmControllaVersione *w)
    {
        w->sbControlla->click();
        return QTest::qWaitFor([&] { return w->sbControlla->isEnabled(); }, 15000);
    }
    static DownloadWindow *finestraScaricamento()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<DownloadWindow *>(w); d && d->isVisible())
                return d;
        return nullptr;
    }
    static QColor colore(QLabel *l) { return l->palette().color(QPalette::WindowText); }

    // Every text readable in full inside its label, and the advice line clear of "Scarica".
    static void testiAlLoroPosto(const TFrmControllaVersione &w)
    {
        for (const QLabel *l : w.findChildren<QLabel *>()) {
            QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(),
                     qPrintable(l->objectName() + ": " + l->text()));
            QVERIFY2(l->geometry().right() < w.Panel1->width(), qPrintable(l->objectName()));
        }
        QVERIFY2(w.LabMessaggioPiccolo->geometry().right() < w.sbScarica->x(),
                 qPrintable(w.LabMessaggioPiccolo->text()));
        // The coloured verdict, as drawn, ends above the buttons, which overlap its place.
        const QImage drawn = w.LabMessaggioGrande->grab().toImage();
        int bottom = -1;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (drawn.pixelColor(x, y) != drawn.pixelColor(0, 0) && qGray(drawn.pixel(x, y)) < 200)
                    bottom = y;
        QVERIFY2(w.LabMessaggioGrande->y() + bottom / qRound(drawn.devicePixelRatio()) < w.sbScarica->y(),
                 qPrintable(QString::number(bottom)));
    }

private slots:
    void initTestCase()
    {
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
        FrmAbout = new TFrmAbout;
    }
    void init()
    {
        fake().reset(home.path());
        server = std::make_unique<LoopbackServer>();
        fake().host = server->host();
    }

    void aspetto()
    {
        TFrmControllaVersione w;
        QCOMPARE(w.windowTitle(), "Controllo eventuali aggiornamenti disponibili");
        QCOMPARE(w.size(), QSize(391, 82));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        const QList<std::tuple<QWidget *, QRect, QString>> controlli {
            {w.Panel1, {0, 0, 391, 82}, ""},
            {w.Label1, {5, 6, 93, 13}, ""},
            {w.Label2, {209, 8, 178, 13}, ""},
            {w.LabMessaggioGrande, {5, 37, 378, 25}, ""},
            {w.sbControlla, {278, 56, 80, 21}, "Controlla versione"},
            {w.sbScarica, {196, 56, 80, 21}, "http://" + server->host() + "/prg/trilor.exe"},
            {w.sbEsci, {360, 57, 25, 20}, "Esci senza salvare le modifiche"},
            {w.ListURL, {163, 3, 38, 14}, "Lista URL..."},
            {w.Editurl, {104, 21, 33, 21}, ""},
        };
        for (const auto &[c, place, hint] : controlli) {
            QCOMPARE(c->geometry(), place);
            QCOMPARE(c->toolTip(), hint);
            QCOMPARE(c->objectName().isEmpty(), false);
        }
        QCOMPARE(w.Label1->text(), "Versione attuale");
        QCOMPARE(w.Label2->text(), "Versione disponibile su internet");
        QCOMPARE(w.LabMessaggioGrande->text(), "Controllo versione in corso...");
        QCOMPARE(w.LabMessaggioGrande->font().pixelSize(), 16);
        QCOMPARE(w.sbScarica->text(), "Scarica");
        QVERIFY(!w.sbScarica->isEnabled());
        QCOMPARE(w.Editurl->text(), w.sbScarica->toolTip());
        QVERIFY(w.ListURL->isHidden() && w.Editurl->isHidden());
        QCOMPARE(w.WebBrowser1->parent(), &w);
    }

    void aperturaENo()
    {
        server->page("/index.php", "<p>Versione - 19</p>");
        fake().answers = {false};
        auto w = std::make_unique<TFrmControllaVersione>();
        QStringList visto;
        fake().onBox = [&](const FakePlatform::Box &) {
            for (QLabel *l : {w->LabVerAttuale, w->LabVerInternet, w->LabMessaggioGrande, w->LabMessaggioPiccolo})
                visto << l->text();
            visto << colore(w->LabMessaggioGrande).name();
        };
        w->show();
        QTRY_COMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].kind, MessageKind::Question);
        QCOMPARE(fake().boxes[0].text, domanda);
        QCOMPARE(visto, QStringList({"18", "", "Controllo versione in corso...", "", "#000000"}));
        QCOMPARE(w->LabMessaggioGrande->text(), "");
        QTest::qWait(100);
        QCOMPARE(server->requests, QStringList());
        // Controlla checks without asking again.
        QVERIFY(controlla(w.get()));
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(server->requests, QStringList({paginaVersione}));
        QCOMPARE(w->LabVerInternet->text(), "19");
    }

    void verdetti_data()
    {
        QTest::addColumn<Risposta>("pagina");
        QTest::addColumn<QString>("letto");
        QTest::addColumn<bool>("nuovo");
        QTest::addColumn<QString>("consiglio");
        const auto p = [](const QByteArray &body) { return Risposta {200, body}; };
        QTest::newRow("newer build") << p("<P>Versione - 19</P>") << "19" << true << scaricaOra;
        QTest::newRow("same build") << p("<P>Versione - 18</P>") << "18" << false << nonScaricabile;
        QTest::newRow("older build") << p("Versione-17<br>") << "17" << false << nonScaricabile;
        QTest::newRow("zero is read but not newer") << p("Versione-0<br>") << "0" << false << nonScaricabile;
        QTest::newRow("largest build") << p("Versione-2147483647<br>") << "2147483647" << true << scaricaOra;
        QTest::newRow("no Versione") << p("<p>nulla</p>") << "" << false << senzaNumero;
        QTest::newRow("small v") << p("versione - 19<br>") << "" << false << senzaNumero;
        QTest::newRow("words before the number") << p("Versione 2.1 - build 19</p>") << "" << false << senzaNumero;
        QTest::newRow("blank after the number") << p("Versione - 19 </p>") << "" << false << senzaNumero;
        QTest::newRow("huge number") << p("Versione - 99999999999</p>") << "" << false << senzaNumero;
        QTest::newRow("version only in the head")
            << p("<head><title>Versione - 19</title></head>") << "" << false << senzaNumero;
        QTest::newRow("binary garbage") << p(QByteArray("\0\xff<\x01Versione-\x80\x02", 15)) << "" << false << senzaNumero;
        QTest::newRow("50 MiB of text") << p("Versione - " + QByteArray(50 << 20, '1') + "</p>") << "" << false << senzaNumero;
        QTest::newRow("http error page") << Risposta {500, "<p>Versione - 19</p>"} << "" << false << senzaNumero;
    }

    void verdetti()
    {
        QFETCH(Risposta, pagina);
        QFETCH(QString, letto);
        QFETCH(bool, nuovo);
        QFETCH(QString, consiglio);
        server->set("/index.php", pagina);
        auto w = apri(true);
        QVERIFY(w);
        QCOMPARE(server->requests, QStringList({paginaVersione}));
        QCOMPARE(w->LabVerAttuale->text(), "18");
        QCOMPARE(w->LabVerInternet->text(), letto);
        QCOMPARE(w->LabMessaggioGrande->text(), nuovo ? nuova : nessuna);
        QCOMPARE(colore(w->LabMessaggioGrande), nuovo ? QColor(0, 128, 0) : QColor(255, 0, 0));
        QCOMPARE(w->LabMessaggioPiccolo->text(), consiglio);
        QCOMPARE(w->sbScarica->isEnabled(), nuovo);
        testiAlLoroPosto(*w);
    }

    // Whatever the server does wrong, the check ends red without a number, within the loader's
    // limits, and the window can then be closed.
    void serverGuasto_data()
    {
        QTest::addColumn<Risposta>("pagina");
        QTest::addColumn<bool>("rifiutata");
        const QByteArray html = "Content-Type: text/html\r\n";
        QTest::newRow("connection refused") << Risposta {} << true;
        QTest::newRow("reset in the middle of the body") << Risposta {200, {}, html, false, 0, Guasto::Reset} << false;
        QTest::newRow("accepts and never answers") << Risposta {200, {}, html, true} << false;
        QTest::newRow("body that never ends") << Risposta {200, {}, html, false, 0, Guasto::Infinito} << false;
        QTest::newRow("body trickling without end") << Risposta {200, {}, html, false, 0, Guasto::Goccia} << false;
        QTest::newRow("redirect loop") << Risposta {302, {}, html + "Location: /index.php?x\r\n"} << false;
        QTest::newRow("JSON") << Risposta {200, "{\"Versione\": 19}", "Content-Type: application/json\r\n"} << false;
        QTest::newRow("PNG picture") << Risposta {200, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "Content-Type: image/png\r\n"}
                                     << false;
        QTest::newRow("binary file") << Risposta {200, "MZ\x90", "Content-Type: application/octet-stream\r\n"} << false;
    }

    void serverGuasto()
    {
        QFETCH(Risposta, pagina);
        QFETCH(bool, rifiutata);
        fake().browserTimeoutMs = 500;
        fake().browserDeadlineMs = 2000;
        server->set("/index.php", pagina);
        if (rifiutata) {
            server.reset();
            QTcpServer chiuso;
            QVERIFY(chiuso.listen(QHostAddress::LocalHost));
            fake().host = QStringLiteral("127.0.0.1:%1").arg(chiuso.serverPort());
            chiuso.close();
        }
        auto w = apri(true);
        QVERIFY2(w, "the check did not end");
        QCOMPARE(w->LabMessaggioGrande->text(), nessuna);
        QCOMPARE(colore(w->LabMessaggioGrande), QColor(255, 0, 0));
        QCOMPARE(w->LabVerInternet->text(), QString());
        QCOMPARE(w->LabMessaggioPiccolo->text(), senzaNumero);
        QVERIFY(!w->sbScarica->isEnabled());
        w->sbEsci->click();
        QVERIFY(!w->isVisible());
        if (DownloadWindow *d = finestraScaricamento())
            d->close();
    }

    void secondoControllo_data()
    {
        QTest::addColumn<QByteArray>("prima");
        QTest::addColumn<QByteArray>("poi");
        QTest::addColumn<QString>("letto");
        QTest::newRow("first piece is read again") << QByteArray("Versione-19</p>") << QByteArray("Versione-20</p>") << "19";
        QTest::newRow("after nothing the new piece is read") << QByteArray("nulla") << QByteArray("Versione-19</p>") << "19";
        QTest::newRow("an unreadable first piece stays") << QByteArray("Versione-x</p>") << QByteArray("Versione-19</p>") << "";
    }
    void secondoControllo()
    {
        QFETCH(QByteArray, prima);
        QFETCH(QByteArray, poi);
        QFETCH(QString, letto);
        server->page("/index.php", prima);
        auto w = apri(true);
        QVERIFY(w);
        server->page("/index.php", poi);
        QVERIFY(controlla(w.get()));
        QCOMPARE(server->requests.size(), 2);
        QCOMPARE(w->LabVerInternet->text(), letto);
        QCOMPARE(w->sbScarica->isEnabled(), !letto.isEmpty());
    }

    void scarica()
    {
        server->page("/index.php", "<p>Versione-19</p>");
        server->page("/prg/trilor.exe", "MZ");
        auto w = apri(true);
        QVERIFY(w);
        w->sbScarica->click();
        QVERIFY(!w->sbScarica->isEnabled());
        QTRY_COMPARE(server->requests.value(1), "/prg/trilor.exe");
        DownloadWindow *d = nullptr;
        QTRY_VERIFY(d = finestraScaricamento());
        QTRY_COMPARE(d->button->text(), "Chiudi");
        QVERIFY(QFile::exists(home.filePath("Downloads/trilor.exe")));
        d->close();
        // Another check that finds a newer build offers the download again.
        QVERIFY(controlla(w.get()));
        QVERIFY(w->sbScarica->isEnabled());
    }

    void chiusuraDuranteControllo()
    {
        server->set("/index.php", Risposta {200, "", "", true});
        auto *w = new TFrmControllaVersione;
        fake().answers = {true};
        connect(server.get(), &LoopbackServer::requested, w, [w] { QTimer::singleShot(0, w->sbEsci, &QToolButton::click); });
        QElapsedTimer tempo;
        tempo.start();
        QCOMPARE(w->exec(), int(QDialog::Rejected));
        QVERIFY(tempo.elapsed() < 5000);
        QVERIFY(!w->sbControlla->isEnabled());
        delete w;
        QTest::qWait(200);
        QCOMPARE(server->requests.size(), 1);
    }

    // An address the loader refuses reaches the general error box; the window stays closable.
    void navigazioneRifiutata()
    {
        fake().host = "";
        fake().answers = {true};
        TFrmControllaVersione w;
        w.show();
        QTRY_COMPARE(fake().boxes.size(), 2);
        QCOMPARE(fake().boxes[1].kind, MessageKind::Error);
        QCOMPARE(fake().boxes[1].title, "TQZ_Trillora");
        QVERIFY(!w.sbControlla->isEnabled());
        QCOMPARE(w.LabMessaggioGrande->text(), "Controllo versione in corso...");
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        w.sbEsci->click();
        QVERIFY(!w.isVisible());
    }

    // "Controlla" pressed when the loader refuses the address: the click's handler fails, the
    // general error box says why, and the window still answers.
    void controlloRifiutatoAlClic()
    {
        fake().host = "";
        auto w = apri(false);
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, w->sbControlla->mapTo(w.get(), QPoint(10, 10)));
        QTRY_COMPARE(fake().boxes.size(), 2);
        QCOMPARE(fake().boxes[1].kind, MessageKind::Error);
        QCOMPARE(fake().boxes[1].title, "TQZ_Trillora");
        QCOMPARE(fake().boxes[1].text, "Indirizzo non valido: http:///index.php?show=ctrlvers&prg=TQZ_Trillora.");
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, w->sbEsci->mapTo(w.get(), QPoint(10, 10)));
        QTRY_VERIFY(!w->isVisible());
    }

    void riaperturaChiedeDiNuovo()
    {
        server->page("/index.php", "<p>Versione-19</p>");
        QVERIFY(apri(true));
        QVERIFY(apri(true));
        QCOMPARE(fake().boxes.size(), 2);
        QCOMPARE(server->requests.size(), 2);
    }

    // The question and the check come once per opening, wherever the focus goes afterwards.
    void riattivazioneNonRichiede_data()
    {
        QTest::addColumn<bool>("altroProgramma");
        QTest::newRow("back from another program") << true;
        QTest::newRow("back from another window of the program") << false;
    }
    void riattivazioneNonRichiede()
    {
        QFETCH(bool, altroProgramma);
        server->page("/index.php", "<p>Versione-19</p>");
        auto w = apri(true);
        QVERIFY(w);
        QWidget altra;
        altra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&altra));
        for (int volta = 0; volta < 2; ++volta) {
            WindowSystem::focusTo(altroProgramma ? nullptr : altra.windowHandle());
            WindowSystem::focusTo(w->windowHandle());
            QCOMPARE(QApplication::activeWindow(), w.get());
        }
        QTest::qWait(200);
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(server->requests, QStringList({paginaVersione}));
        QVERIFY(w->sbControlla->isEnabled());
    }

    void traduzione_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<QStringList>("didascalie"); // title, Label1, Label2, sbScarica, sbControlla
        QTest::newRow("captions translated")
            << "English" << QStringList {"Checking for updates", "Current version", "Version on the internet", "Download", "Check"};
        QTest::newRow("failed lookup still leaves a working window")
            << "Klingon" << QStringList {"Controllo eventuali aggiornamenti disponibili", "Versione attuale",
                                         "Versione disponibile su internet", "Scarica", "Controlla"};
    }
    void traduzione()
    {
        QFETCH(QString, lingua);
        QFETCH(QStringList, didascalie);
        QTemporaryDir cartella;
        fake().exePath = cartella.filePath("trillora");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "scrittura");
            db.setDatabaseName(cartella.filePath("impostazioni.db"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("create table impostazioni (LINGUA text)"));
            QVERIFY(q.exec("insert into impostazioni values ('" + lingua + "')"));
            db.setDatabaseName(cartella.filePath("lingua.db"));
            QVERIFY(db.open());
            QSqlQuery l(db);
            QVERIFY(l.exec("create table lingua (ITALIANO text, English text)"));
            const QStringList italiano {"Controllo eventuali aggiornamenti disponibili", "Versione attuale",
                                        "Versione disponibile su internet", "Scarica", "Controlla"};
            const QStringList inglese {"Checking for updates", "Current version", "Version on the internet", "Download", "Check"};
            for (int i = 0; i < italiano.size(); ++i)
                QVERIFY(l.exec("insert into lingua values ('" + italiano[i] + "', '" + inglese[i] + "')"));
        }
        QSqlDatabase::removeDatabase("scrittura");
        // The tables are opened by bare name, as the program does from its own folder.
        const QString prima = QDir::currentPath();
        QDir::setCurrent(cartella.path());
        server->page("/index.php", "<p>Versione-19</p>");
        auto w = apri(true);
        QDir::setCurrent(prima);
        QVERIFY(w);
        QCOMPARE(QStringList({w->windowTitle(), w->Label1->text(), w->Label2->text(), w->sbScarica->text(),
                              w->sbControlla->text()}),
                 didascalie);
        QCOMPARE(fake().boxes.size(), lingua == "English" ? 1 : 2);
        if (lingua != "English")
            QCOMPARE(fake().boxes[0].kind, MessageKind::Error);
        QCOMPARE(w->LabVerInternet->text(), "19");
        QCOMPARE(w->sbScarica->toolTip(), "http://" + server->host() + "/prg/trilor.exe");
        testiAlLoroPosto(*w);
    }

    void versioneInstallataIlleggibile()
    {
        FrmAbout->LabelVers->setText("04.2002-xx");
        TFrmControllaVersione w;
        w.show();
        QTRY_COMPARE(fake().boxes.size(), 1);
        FrmAbout->LabelVers->setText("04.2002-18");
        QCOMPARE(fake().boxes[0].kind, MessageKind::Error);
        QVERIFY(fake().boxes[0].text.contains("'xx'"));
        QCOMPARE(server->requests, QStringList());
    }
};

TRILLORA_TEST_MAIN(TestVersionWindow)
#include "tst_version_window.moc"
