// Message boxes, shell links, mail text, the program's folder and the general error display.
#include "TestMain.h"
#include "linux/LinuxPlatform.h"
#include "linux/Shell.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Fx.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDialog>
#include <QPushButton>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace {

// Presses a button of the first message box that comes up.
void pressWhenShown(QMessageBox::StandardButton which)
{
    QTimer::singleShot(20, [which] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                if (which == QMessageBox::NoButton)
                    box->close();
                else
                    box->button(which)->click();
                return;
            }
        }
        pressWhenShown(which);
    });
}

// Takes the links that the program hands to the desktop, where they leave the program.
class LinkCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
    explicit LinkCatcher(const QString &scheme)
        : scheme(scheme)
    {
        QDesktopServices::setUrlHandler(scheme, this, "take");
    }
    ~LinkCatcher() override { QDesktopServices::unsetUrlHandler(scheme); }
public slots:
    void take(const QUrl &url) { urls.append(url); }

private:
    QString scheme;
};

// A handler that always fails.
class FailingHandler : public QObject
{
    Q_OBJECT
public:
    int calls = 0;
    void fail()
    {
        ++calls;
        throw TrilloraError(QStringLiteral("Guasto nel gestore"));
    }
};

// The Linux seam in force for one test, the fake back afterwards.
struct RealDesktop
{
    Platform &before = platform();
    LinuxPlatform desktop;
    RealDesktop() { installPlatform(&desktop); }
    ~RealDesktop() { installPlatform(&before); }
};

} // namespace

class TestFx : public QObject
{
    Q_OBJECT

private slots:
    void init() { fake().boxes.clear(); fake().answers.clear(); fake().opened.clear(); }

    void boxesHaveTheirTitles()
    {
        Fx::MsgInfo(QStringLiteral("a"));
        Fx::MsgAttenzione(QStringLiteral("b"));
        Fx::MsgErrore(QStringLiteral("c"));
        Fx::MsgRichiesta(QStringLiteral("d"));
        QCOMPARE(fake().boxes.size(), 4);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("Messaggio."));
        QCOMPARE(fake().boxes[0].kind, MessageKind::Info);
        QCOMPARE(fake().boxes[1].title, QStringLiteral("Attenzione."));
        QCOMPARE(fake().boxes[1].kind, MessageKind::Warning);
        QCOMPARE(fake().boxes[2].title, QStringLiteral("Errore"));
        QCOMPARE(fake().boxes[2].kind, MessageKind::Error);
        QCOMPARE(fake().boxes[3].title, QStringLiteral("Richiesta."));
        QCOMPARE(fake().boxes[3].kind, MessageKind::Question);
        QCOMPARE(fake().boxes[3].text, QStringLiteral("d"));
    }

    void realBoxLooks_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::newRow("info") << int(MessageKind::Info) << int(QMessageBox::Information) << int(QMessageBox::Ok);
        QTest::newRow("warning") << int(MessageKind::Warning) << int(QMessageBox::Warning) << int(QMessageBox::Ok);
        QTest::newRow("error") << int(MessageKind::Error) << int(QMessageBox::Critical) << int(QMessageBox::Ok);
        QTest::newRow("question") << int(MessageKind::Question) << int(QMessageBox::Question)
                                  << int(QMessageBox::Yes | QMessageBox::No);
    }

    void realBoxLooks()
    {
        QFETCH(int, kind);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        std::unique_ptr<QMessageBox> box(buildMessageBox(MessageKind(kind), QStringLiteral("T"), QString()));
        QCOMPARE(int(box->icon()), icon);
        QCOMPARE(int(box->standardButtons()), buttons);
        QCOMPARE(box->windowTitle(), QStringLiteral("T"));
        QVERIFY(box->parent() == nullptr);
        QCOMPARE(box->windowModality(), Qt::NonModal);
    }

    void standardButtonsSpeakItalian()
    {
        std::unique_ptr<QMessageBox> box(buildMessageBox(MessageKind::Question, QStringLiteral("Richiesta."), {}));
        QCOMPARE(box->button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QString::fromUtf8("Sì"));
        QCOMPARE(box->button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("No"));
    }

    void onlyYesAnswersTrue_data()
    {
        QTest::addColumn<int>("press");
        QTest::addColumn<bool>("answer");
        QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
        QTest::newRow("No") << int(QMessageBox::No) << false;
        QTest::newRow("closed") << int(QMessageBox::NoButton) << false;
    }

    void onlyYesAnswersTrue()
    {
        QFETCH(int, press);
        QFETCH(bool, answer);
        std::unique_ptr<QMessageBox> box(buildMessageBox(MessageKind::Question, QStringLiteral("Richiesta."), {}));
        pressWhenShown(QMessageBox::StandardButton(press));
        QCOMPARE(runMessageBox(box.get()), answer);
    }

    void boxLeavesOtherWindowsUsable()
    {
        QPushButton other(QStringLiteral("other"));
        other.resize(100, 30);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        bool clicked = false;
        connect(&other, &QPushButton::clicked, [&clicked] { clicked = true; });
        // A click through the window system is refused by a modal box; this one must get through.
        QTimer::singleShot(50, [&other] {
            QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, QPoint(50, 15));
        });
        std::unique_ptr<QMessageBox> box(buildMessageBox(MessageKind::Info, QStringLiteral("Messaggio."), {}));
        QTimer::singleShot(100, box.get(), [&box] { box->button(QMessageBox::Ok)->click(); });
        runMessageBox(box.get());
        QVERIFY(clicked);
    }

    void boxCanBeAnsweredWhileAModalWindowIsOpen()
    {
        QDialog modal;
        bool answer = false;
        QTimer::singleShot(0, &modal, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&modal));
            std::unique_ptr<QMessageBox> box(buildMessageBox(MessageKind::Question, QStringLiteral("Richiesta."), {}));
            QTimer::singleShot(50, box.get(), [&box] {
                // Through the window system, where modality blocks what it blocks.
                QAbstractButton *yes = box->button(QMessageBox::Yes);
                QTest::mouseClick(box->windowHandle(), Qt::LeftButton, {},
                                  yes->mapTo(box.get(), yes->rect().center()));
            });
            QTimer::singleShot(2000, box.get(), &QMessageBox::close);
            answer = runMessageBox(box.get());
            modal.accept();
        });
        modal.exec();
        QVERIFY(answer);
    }

    void mailText_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("link");
        QTest::newRow("blanks, comma and accent kept as they are")
            << "Inf: TQZ_Trillora, 04.2002-18" << QString::fromUtf8("Vorrei informazioni in più")
            << QString::fromUtf8("mailto:a@b.example?subject=Inf: TQZ_Trillora, 04.2002-18&body=Vorrei informazioni in più");
        QTest::newRow("empty subject and body") << "" << ""
                                                << "mailto:a@b.example?subject=&body=";
        QTest::newRow("ampersand and hash not escaped") << "a&b" << "c#d?"
                                                        << "mailto:a@b.example?subject=a&b&body=c#d?";
    }

    void mailText()
    {
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QString, link);
        Fx::ComponiMail(QStringLiteral("a@b.example"), subject, body);
        QCOMPARE(fake().opened, QStringList {link});
    }

    void shellUrlEncodesForTransportOnly()
    {
        const QUrl url = urlForShell(QString::fromUtf8("mailto:a@b.example?subject=Bug: X, 1&body=in più"));
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        const QByteArray sent = url.toEncoded();
        QVERIFY2(!sent.contains(' '), sent.constData());
        QCOMPARE(QUrl::fromPercentEncoding(sent), QString::fromUtf8("mailto:a@b.example?subject=Bug: X, 1&body=in più"));
        QCOMPARE(urlForShell(QStringLiteral("/opt/t q/help.html")), QUrl::fromLocalFile(QStringLiteral("/opt/t q/help.html")));
    }

    // What the mail program receives: each of subject and body encoded once for transport, so
    // that decoding the link gives back the caller's texts, with no fragment and no extra field.
    void mailReachesTheDesktopAsWritten_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::newRow("the program's own mail") << "Inf: TQZ_Trillora, 04.2002-18"
                                                << QString::fromUtf8("Vorrei ricevere informazioni in più per quanto riguarda:");
        QTest::newRow("hash is no fragment") << "Bug #12" << "see #3 # and #";
        QTest::newRow("ampersand and equals are no new field") << "a&body=b" << "c&subject=d&x=y";
        QTest::newRow("question mark is no new query") << "why?" << "?subject=x";
        QTest::newRow("plus is no blank") << "1+1" << "a + b";
        QTest::newRow("percent before hex digits stays a percent") << "%41" << "%25";
        QTest::newRow("lone percent stays a percent") << "100%" << "% %zz";
        QTest::newRow("accents and other scripts") << QString::fromUtf8("più è città") << QString::fromUtf8("Grüße €");
        QTest::newRow("line breaks and tabs") << "uno\tdue" << "riga 1\nriga 2\r\nriga 3";
        QTest::newRow("empty subject and body") << "" << "";
    }

    void mailReachesTheDesktopAsWritten()
    {
        QFETCH(QString, subject);
        QFETCH(QString, body);
        LinkCatcher catcher(QStringLiteral("mailto"));
        {
            RealDesktop desktop;
            Fx::ComponiMail(QStringLiteral("supporto@trillora.example"), subject, body);
        }
        QCOMPARE(catcher.urls.size(), 1);
        const QUrl url = catcher.urls[0];
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(QUrl::FullyDecoded), QStringLiteral("supporto@trillora.example"));
        QVERIFY(!url.hasFragment());
        const QByteArray sent = url.toEncoded();
        QVERIFY2(!sent.contains(' ') && !sent.contains('\n'), sent.constData());
        const QList<QByteArray> fields = url.query(QUrl::FullyEncoded).toLatin1().split('&');
        QCOMPARE(fields.size(), 2);
        QVERIFY(fields[0].startsWith("subject=") && fields[1].startsWith("body="));
        // Nothing a mail program could read two ways: only unreserved characters and %XX.
        static const QRegularExpression transport(QStringLiteral("^(?:[A-Za-z0-9._~-]|%[0-9A-F]{2})*$"));
        for (const QByteArray &field : fields)
            QVERIFY2(transport.match(QString::fromLatin1(field.mid(field.indexOf('=') + 1))).hasMatch(), field.constData());
        QCOMPARE(QUrl::fromPercentEncoding(fields[0].mid(8)), subject);
        QCOMPARE(QUrl::fromPercentEncoding(fields[1].mid(5)), body);
    }

    void programFolderEndsWithSeparator()
    {
        const QString saved = fake().exePath;
        fake().exePath = QStringLiteral("/opt/trillora/bin/trillora");
        QCOMPARE(Fx::CartellaProgramma(), QStringLiteral("/opt/trillora/bin/"));
        QCOMPARE(Fx::CartellaProgramma() + QStringLiteral("lingua.db"), QStringLiteral("/opt/trillora/bin/lingua.db"));
        fake().exePath = saved;
    }

    void errorMessageFullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter gets a full stop") << "no such column: X" << "no such column: X.";
        QTest::newRow("digit gets a full stop") << "Bleeper: Freq < 37" << "Bleeper: Freq < 37.";
        QTest::newRow("full stop stays single") << "Fatto." << "Fatto.";
        QTest::newRow("exclamation sorts before the full stop") << "Errore!" << "Errore!";
        QTest::newRow("empty stays empty") << "" << "";
    }

    void errorMessageFullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorDisplay::withFullStop(message), shown);
    }

    // A handler that fails, called by Qt the ways the program's handlers are: its failure stops
    // at the handler, in the general error box, and the program goes on.
    void failureInAHandlerReachesTheErrorBoxAndTheProgramGoesOn_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("connected to a click") << "click";
        QTest::newRow("connected to a timer") << "timer";
        QTest::newRow("queued call") << "queued";
    }

    void failureInAHandlerReachesTheErrorBoxAndTheProgramGoesOn()
    {
        QFETCH(QString, how);
        FailingHandler handler;
        QPushButton button;
        QTimer timer;
        timer.setSingleShot(true);
        ErrorDisplay::attach(&button, &QPushButton::clicked, &handler, &FailingHandler::fail);
        ErrorDisplay::attach(&timer, &QTimer::timeout, &handler, &FailingHandler::fail);
        if (how == QLatin1String("click"))
            QTest::mouseClick(&button, Qt::LeftButton);
        else if (how == QLatin1String("timer"))
            timer.start(0);
        else
            QTimer::singleShot(0, &handler, ErrorDisplay::guarded([&handler] { handler.fail(); }));
        QTRY_COMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("TQZ_Trillora"));
        QCOMPARE(fake().boxes[0].kind, MessageKind::Error);
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Guasto nel gestore."));
        QCOMPARE(handler.calls, 1);
        bool later = false;
        QTimer::singleShot(0, [&later] { later = true; });
        QTRY_VERIFY(later);
    }
};

TRILLORA_TEST_MAIN(TestFx)
#include "tst_fx.moc"
