// The about, splash and bug report windows: captions, translation, mails, links and the splash's end.
#include "ProgramFolder.h"
#include "TestMain.h"
#include "core/Config.h"
#include "support/About.h"
#include "support/Bug.h"
#include "support/Start.h"
#include "widgets/Labels.h"

#include <QFrame>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

using Setup = std::function<void(const ProgramFolder &)>;
Q_DECLARE_METATYPE(Setup)

namespace {

const QString InfoMail = QStringLiteral("mailto:supporto@trillora.example?subject=Inf: TQZ_Trillora, 04.2002-18"
                                        "&body=Vorrei ricevere informazioni in più per quanto riguarda:");
const QString BugMail = QStringLiteral("mailto:supporto@trillora.example?subject=Bug: TQZ_Trillora, 04.2002-18"
                                       "&body=Di seguito la segnalzione del bug:");

void click(ClickableLabel *label)
{
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
}

QStringList boxTexts()
{
    QStringList texts;
    for (const FakePlatform::Box &box : fake().boxes)
        texts << box.title + "|" + box.text;
    return texts;
}

// The captions of the bug report window in list order, the title first.
QStringList captions(const TfrmBug &w)
{
    return {w.windowTitle(), w.Label4->text(), w.Label1->text(), w.Label2->text(),
            w.Label3->text(), w.ButSegnala->text(), w.ButEsci->text()};
}

// Each label's text must be readable in full within the label's own width.
void verifyTextsFit(const QWidget &window)
{
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->pixmap().isNull())
            QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName() + ": " + label->text()));
        QVERIFY2(label->geometry().right() < label->parentWidget()->width(), qPrintable(label->objectName()));
    }
}

const QStringList ItalianBug {"Segnalazione bug al team TQZ", "Il tuo supporto aiuta a migliorare i software TQZ",
                              "Premi su 'segnala' per inoltrarci la segnalazione dell'errore:",
                              "Le risposte ai bug già segnalati sono visibli sulla sezione",
                              "forum del nostro sito internet", "Segnala", "Esci"};

} // namespace

class TestSupportWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { FrmAbout = new TFrmAbout; }
    void cleanupTestCase()
    {
        delete FrmAbout;
        FrmAbout = nullptr;
    }

    // ---- About window

    void aboutHoldsTheIdentityAndSendsTheInfoMail()
    {
        ProgramFolder folder;
        QCOMPARE(FrmAbout->LabelPrg->text(), QStringLiteral("TQZ_Trillora"));
        QCOMPARE(FrmAbout->LabelVers->text(), QStringLiteral("04.2002-18"));
        click(FrmAbout->Label13);
        click(FrmAbout->lblLink);
        QCOMPARE(fake().opened, QStringList({InfoMail, Config::SiteAddress}));
        // Each label shows the address its click uses.
        QVERIFY(InfoMail.startsWith("mailto:" + FrmAbout->Label13->text() + "?"));
        QCOMPARE(FrmAbout->lblLink->text(), Config::SiteAddress);
    }

    // Where each label's text starts: at the label's left edge as laid out, except Label6's,
    // which is centred in its fixed width.
    void aboutLabelsStartWhereLaidOut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("left");
        QTest::addColumn<bool>("centred");
        QTest::newRow("heading") << "Label2" << 54 << false;
        QTest::newRow("product caption") << "LabelPrg" << 37 << false;
        QTest::newRow("motto, centred") << "Label6" << 8 << true;
        QTest::newRow("version heading") << "LabelNomeVersione" << 186 << false;
        QTest::newRow("version") << "LabelVers" << 179 << false;
        QTest::newRow("maker") << "Label4" << 47 << false;
        QTest::newRow("site address") << "lblLink" << 80 << false;
        QTest::newRow("support address") << "Label13" << 97 << false;
    }

    void aboutLabelsStartWhereLaidOut()
    {
        QFETCH(QString, name);
        QFETCH(int, left);
        QFETCH(bool, centred);
        auto *label = FrmAbout->findChild<QLabel *>(name);
        QVERIFY(label);
        QCOMPARE(label->x(), left);
        // The columns that hold the blue text, as drawn.
        const QImage drawn = label->grab().toImage();
        int first = -1;
        int last = -1;
        for (int x = 0; x < drawn.width(); ++x)
            for (int y = 0; y < drawn.height(); ++y) {
                const QColor c = drawn.pixelColor(x, y);
                if (c.blue() - c.red() > 60) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
            }
        QVERIFY2(first >= 0, "no text drawn");
        const int dpr = qRound(drawn.devicePixelRatio());
        first /= dpr;
        last /= dpr;
        if (centred) {
            QVERIFY2(first > 10, qPrintable(QString::number(first)));
            QVERIFY2(qAbs(first - (label->width() - 1 - last)) <= 2, qPrintable(QString("%1 %2").arg(first).arg(last)));
        } else {
            QVERIFY2(first <= 2, qPrintable(QString::number(first)));
        }
    }

    void aboutIsReusedAndNeverTranslated()
    {
        ProgramFolder folder;
        folder.settings("English");
        folder.languages();
        TFrmAbout fresh;
        QCOMPARE(fresh.sbEsci->text(), QStringLiteral("Esci"));
        QVERIFY(fake().boxes.isEmpty());

        for (int opening = 0; opening < 2; ++opening) {
            QTimer::singleShot(0, FrmAbout, [] {
                QVERIFY(FrmAbout->isVisible());
                FrmAbout->sbEsci->click();
            });
            QCOMPARE(FrmAbout->exec(), int(QDialog::Rejected));
            QVERIFY(!FrmAbout->isVisible());
        }
    }

    // ---- Logo and layout

    void logosAndSizes()
    {
        ProgramFolder folder;
        TfrmStart splash;
        TfrmBug bug;
        // Made at start, the about window waits for its first showing to decode its logo and
        // fit its texts.
        TFrmAbout about;
        QVERIFY(about.Image1->pixmap().isNull());
        about.show();
        QCOMPARE(about.Image1->pixmap().size(), QSize(150, 142));
        about.hide();
        FrmAbout->show();
        FrmAbout->hide();
        QCOMPARE(splash.ImageLogo->pixmap().size(), QSize(280, 265));
        QCOMPARE(splash.size(), QSize(280, 317));
        QCOMPARE(splash.Panel1->geometry(), QRect(0, 265, 280, 52));
        QCOMPARE(bug.size(), QSize(296, 144));
        QCOMPARE(FrmAbout->Panel2->height(), 49);
        for (const QWidget *w : std::initializer_list<const QWidget *> {&splash, &bug, FrmAbout})
            verifyTextsFit(*w);
    }

    // ---- Translation as the two translating windows see it

    void windowTranslation_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("bugCaptions");
        QTest::addColumn<QString>("loadingLine");
        QTest::addColumn<QStringList>("boxes");

        const auto with = [](const QString &language) {
            return Setup([language](const ProgramFolder &f) {
                f.settings(language);
                f.languages();
            });
        };
        const QString italianLine = "Caricamento in corso, attendere..";
        const QString settingsBox = "Errore|Errore di lettura in parametri di impostazione, campo: LINGUA";
        const auto generalBox = [](const QString &text) { return QStringList {"TQZ_Trillora|" + text}; };

        QTest::newRow("no language table") << Setup([](const ProgramFolder &) {}) << ItalianBug << italianLine
                                           << QStringList();
        QTest::newRow("Italiano") << with("Italiano") << ItalianBug << italianLine << QStringList();
        QTest::newRow("empty language") << with("") << ItalianBug << italianLine << QStringList();
        QTest::newRow("settings without rows")
            << Setup([](const ProgramFolder &f) {
                   f.sql("impostazioni.db", {"create table impostazioni (LINGUA text)"});
                   f.languages();
               })
            << ItalianBug << italianLine << QStringList();
        QTest::newRow("lower-case italiano names the ITALIANO column, as the engine folds ASCII case")
            << with("italiano")
            << QStringList {ItalianBug[0], ItalianBug[1], "Premi su segnala per inoltrarci la segnalazione dellerrore:",
                            ItalianBug[3], ItalianBug[4], ItalianBug[5], ItalianBug[6]}
            << italianLine << QStringList();
        QTest::newRow("English, unlisted captions in lookup form")
            << with("English")
            << QStringList {"Bug report",
                            "Il tuo supporto aiuta a migliorare i software TQZ",
                            "Press 'Report':",
                            "Le risposte ai bug già segnalati sono visibli sulla sezione",
                            "forum del nostro sito internet",
                            "Segnala",
                            "Exit"}
            << "Loading.." << QStringList();
        QTest::newRow("accented language") << with("Français")
                                           << QStringList {"Bogue", ItalianBug[1], "Cliquez :", ItalianBug[3],
                                                           ItalianBug[4], ItalianBug[5], "Quitter"}
                                           << "Chargement.." << QStringList();
        QTest::newRow("unknown language: general box, window in Italian")
            << with("Klingon") << ItalianBug << italianLine << generalBox("no such column: Klingon.");
        QTest::newRow("crafted language: refused, window in Italian")
            << with("English from lingua; --") << ItalianBug << italianLine
            << generalBox("no such column: English from lingua; --");
        QTest::newRow("language with a blank") << with("Lingua X") << ItalianBug << italianLine
                                               << generalBox("no such column: Lingua X.");
        QTest::newRow("settings missing: settings box once, Italian")
            << Setup([](const ProgramFolder &f) { f.languages(); }) << ItalianBug << italianLine
            << QStringList {settingsBox};
        QTest::newRow("settings without the field: settings box once, Italian")
            << Setup([](const ProgramFolder &f) {
                   f.sql("impostazioni.db", {"create table impostazioni (LINGUAGGIO text)",
                                             "insert into impostazioni values ('English')"});
                   f.languages();
               })
            << ItalianBug << italianLine << QStringList {settingsBox};
        QTest::newRow("corrupt language table")
            << Setup([](const ProgramFolder &f) {
                   f.settings("English");
                   f.bytes("lingua.db", QByteArray(4096, 'z'));
               })
            << ItalianBug << italianLine << generalBox("file is not a database.");
    }

    // Both windows are still made, whatever the tables hold, and nothing in the folder changes.
    void windowTranslation()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, bugCaptions);
        QFETCH(QString, loadingLine);
        QFETCH(QStringList, boxes);
        ProgramFolder folder;
        setup(folder);
        const auto before = folder.snapshot();

        auto bug = std::make_unique<TfrmBug>();
        QCOMPARE(captions(*bug), bugCaptions);
        QCOMPARE(boxTexts(), boxes);
        verifyTextsFit(*bug);
        QCOMPARE(bug->lblLink->text(), Config::SiteAddress);

        fake().boxes.clear();
        TfrmStart splash;
        QCOMPARE(splash.Label1->text(), loadingLine);
        QCOMPARE(splash.windowTitle(), QStringLiteral("Caricamento TQZ_Trillora"));
        QCOMPARE(boxTexts(), boxes);
        verifyTextsFit(splash);

        QCOMPARE(folder.snapshot(), before);
        QVERIFY(!QFile::exists(folder.file("impostazioni.db")) || before.contains("impostazioni.db"));
    }

    // ---- Bug report window

    void bugReportMailsAndLink()
    {
        ProgramFolder folder;
        TfrmBug bug;
        bug.ButSegnala->click();
        bug.ButSegnala->click();
        click(bug.lblLink);
        QCOMPARE(fake().opened, QStringList({BugMail, BugMail, Config::SiteAddress}));

        // The labels are read at the moment of the click.
        FrmAbout->LabelVers->setText("04.2002-19");
        bug.ButSegnala->click();
        FrmAbout->LabelVers->setText("04.2002-18");
        QVERIFY(fake().opened.last().contains("subject=Bug: TQZ_Trillora, 04.2002-19&"));
    }

    void bugReportFocusAndClosing_data()
    {
        QTest::addColumn<std::function<void(TfrmBug &)>>("close");
        QTest::newRow("Esci") << std::function<void(TfrmBug &)>([](TfrmBug &w) { w.ButEsci->click(); });
        QTest::newRow("close box") << std::function<void(TfrmBug &)>([](TfrmBug &w) { w.close(); });
        QTest::newRow("Escape") << std::function<void(TfrmBug &)>(
            [](TfrmBug &w) { QTest::keyClick(&w, Qt::Key_Escape); });
    }

    void bugReportFocusAndClosing()
    {
        QFETCH(std::function<void(TfrmBug &)>, close);
        ProgramFolder folder;
        TfrmBug bug;
        QWidget *focused = nullptr;
        QTimer::singleShot(0, &bug, [&bug, &focused, close] {
            if (QTest::qWaitForWindowActive(&bug))
                focused = QApplication::focusWidget();
            close(bug);
        });
        QCOMPARE(bug.exec(), int(QDialog::Rejected));
        QCOMPARE(focused, bug.ButSegnala);
        QCOMPARE(bug.ButSegnala->nextInFocusChain(), bug.ButEsci);
        QVERIFY(fake().opened.isEmpty());
    }

    // ---- Links: a press and a release are one click, and the double-click after it adds nothing.

    void doubleClickOnALinkIsOneClick_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("opened");
        QTest::newRow("about, site") << "about" << "lblLink" << Config::SiteAddress;
        QTest::newRow("about, information mail") << "about" << "Label13" << InfoMail;
        QTest::newRow("splash, logo") << "splash" << "ImageLogo" << Config::SiteAddress;
        QTest::newRow("splash, site") << "splash" << "LabelSito" << Config::SiteAddress;
        QTest::newRow("bug report, site") << "bug" << "lblLink" << Config::SiteAddress;
    }

    void doubleClickOnALinkIsOneClick()
    {
        QFETCH(QString, window);
        QFETCH(QString, label);
        QFETCH(QString, opened);
        ProgramFolder folder;
        std::unique_ptr<QDialog> own;
        QDialog *w = FrmAbout;
        if (window == QLatin1String("splash"))
            own = std::make_unique<TfrmStart>();
        else if (window == QLatin1String("bug"))
            own = std::make_unique<TfrmBug>();
        if (own)
            w = own.get();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto *link = w->findChild<ClickableLabel *>(label);
        QVERIFY(link);
        // Through the window, as the mouse does: press, release, double-click, release.
        QTest::mouseDClick(w->windowHandle(), Qt::LeftButton, {}, link->mapTo(w, QPoint(2, 2)));
        QCOMPARE(fake().opened, QStringList {opened});
        w->hide();
    }

    // ---- Splash window

    void splashTitleFollowsTheAboutLabel()
    {
        ProgramFolder folder;
        FrmAbout->LabelPrg->setText("Altro");
        TfrmStart splash;
        FrmAbout->LabelPrg->setText("TQZ_Trillora");
        QCOMPARE(splash.windowTitle(), QStringLiteral("Caricamento Altro"));
        QCOMPARE(splash.LabelStato->text(), QStringLiteral("Inizializzazione"));
        QCOMPARE(splash.LabelSito->text(), Config::SiteAddress);
        QVERIFY(!(splash.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint
                                          | Qt::WindowMinMaxButtonsHint)));
    }

    // Only the ten-second timer ends the splash: no key, click or close request does.
    void splashEndsOnlyByItsTimer()
    {
        ProgramFolder folder;
        TfrmStart splash;
        // Made a while before it is shown, as at start: the ten seconds count from the showing (a
        // coarse timer would end them anywhere from 9.5 s to 10.5 s).
        QTest::qWait(200);

        bool runningWhenShown = false;
        bool survived = false;
        QTimer::singleShot(0, &splash, [&] {
            runningWhenShown = splash.TimerStart->isActive() && splash.TimerStart->remainingTime() > 9900;
            const int timerId = splash.TimerStart->timerId();
            QTest::keyClick(&splash, Qt::Key_Escape);
            splash.close();
            click(splash.ImageLogo);
            click(splash.LabelSito);
            survived = splash.isVisible() && splash.TimerStart->timerId() == timerId;
            splash.TimerStartTimer();
        });
        QCOMPARE(splash.exec(), int(QDialog::Accepted));
        QVERIFY(runningWhenShown);
        QVERIFY(survived);
        QVERIFY(!splash.isVisible());
        QVERIFY(!splash.TimerStart->isActive());
        QCOMPARE(fake().opened, QStringList({Config::SiteAddress, Config::SiteAddress}));
    }
};

TRILLORA_TEST_MAIN(TestSupportWindows)
#include "tst_support_windows.moc"
