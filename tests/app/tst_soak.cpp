// Two simulated days of the main window's clock, one 400 ms tick at a time, with alarms inserted,
// deleted, saved and loaded at random: every alarm rings once in its minute, nothing else rings,
// and the saved file always reads back to what was saved.
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "core/AlarmFile.h"
#include "ringing/Sveglia.h"
#include "widgets/Fx.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMap>
#include <QScopeGuard>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <optional>
#include <random>

namespace {

constexpr int TickMs = 400;
constexpr qint64 GiornoMs = 24LL * 3600 * 1000;
constexpr qint64 DueGiorniMs = 2 * GiornoMs;
constexpr int EliminaMs = 5000;

struct Allarme
{
    QString ora;
    QString minuto;
    int id;
    bool tickNelSuoMinuto = false; // a tick fell in its minute while it was set

    QString chiave() const { return ora + QLatin1Char('.') + minuto; }
};

QLineEdit *ora(int i)
{
    const std::array<QLineEdit *, 5> campi {FrmMain->ed1sv1, FrmMain->Ed2sv1, FrmMain->Ed3sv1, FrmMain->ed4sv1,
                                           FrmMain->ed5sv1};
    return campi[static_cast<std::size_t>(i)];
}

QLineEdit *minuto(int i)
{
    const std::array<QLineEdit *, 5> campi {FrmMain->Ed1sv2, FrmMain->ED2sv2, FrmMain->ed3sv2, FrmMain->ed4sv2,
                                           FrmMain->ed5sv2};
    return campi[static_cast<std::size_t>(i)];
}

QToolButton *elimina(int i)
{
    const std::array<QToolButton *, 5> pulsanti {FrmMain->sbCanc1, FrmMain->sbCanc2, FrmMain->sbCanc3, FrmMain->SbCanc4,
                                                FrmMain->SbCanc5};
    return pulsanti[static_cast<std::size_t>(i)];
}

QStringList campi()
{
    QStringList all;
    for (int i = 0; i < 5; ++i)
        all << ora(i)->text() << minuto(i)->text();
    return all << FrmMain->sbSuono->text() << FrmMain->sbDurata->text();
}

QString due(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

    std::mt19937 caso {20240607};
    std::array<std::optional<Allarme>, 5> modello;
    std::array<bool, 5> abilitato {}; // the delete buttons as the last 5-second refresh left them
    QMap<int, int> suonate;           // alarm id -> times it rang
    int prossimoId = 0;
    std::optional<QStringList> salvato;
    QTime adesso;

    int tra(int low, int high) { return std::uniform_int_distribution<int>(low, high)(caso); }

    // The slots as the model says they must be.
    QStringList attese() const
    {
        QStringList all;
        for (const auto &a : modello)
            all << (a ? a->ora : QStringLiteral("*")) << (a ? a->minuto : QStringLiteral("*"));
        return all << FrmMain->sbSuono->text() << FrmMain->sbDurata->text();
    }

    bool unBox(MessageKind kind, const QString &text)
    {
        const bool ok = fake().boxes.size() == 1 && fake().boxes[0].kind == kind && fake().boxes[0].text == text;
        fake().boxes.clear();
        return ok;
    }

    void inserisci()
    {
        // Mostly alarms soon to come, so that many ring; some anywhere in the day, some refused.
        QString h, m;
        const int scelta = tra(0, 99);
        if (scelta < 70) {
            const QTime quando = adesso.addSecs(60 * tra(0, 20));
            h = due(quando.hour());
            m = due(quando.minute());
        } else if (scelta < 95) {
            h = due(tra(0, 23));
            m = due(tra(0, 59));
        } else {
            h = QStringLiteral("24");
            m = due(tra(0, 59));
        }
        FrmMain->Edsveglia1->setText(h);
        FrmMain->EDSveglia2->setText(m);
        FrmMain->sbConferma->click();

        if (h == QLatin1String("24")) {
            QVERIFY(unBox(MessageKind::Warning, QStringLiteral("L'orario immesso non è valido")));
            return;
        }
        for (const auto &a : modello) {
            if (a && a->ora == h && a->minuto == m) {
                QVERIFY(unBox(MessageKind::Warning,
                              QStringLiteral("La sveglia per le ore '%1 e %2' esiste già!").arg(h, m)));
                return;
            }
        }
        for (auto &a : modello) {
            if (!a) {
                a = Allarme {h, m, prossimoId++};
                QVERIFY(fake().boxes.isEmpty());
                return;
            }
        }
        QVERIFY(unBox(MessageKind::Info, QStringLiteral("Esaurita la memoria per le sveglie!!")));
    }

    void cancella()
    {
        const int i = tra(0, 4);
        elimina(i)->click();
        // A button still disabled since the last refresh does nothing.
        if (abilitato[static_cast<std::size_t>(i)])
            modello[static_cast<std::size_t>(i)].reset();
    }

    void salva()
    {
        const QStringList prima = campi();
        FrmMain->SpeedButton1->click();
        QVERIFY(unBox(MessageKind::Info, QStringLiteral("Orari e tipologia di suono memorizzati!")));
        QFile file(Fx::CartellaProgramma() + FileSveglie::NomeFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes, (prima.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
        QCOMPARE(FileSveglie::righe(bytes), prima);
        salvato = prima;
    }

    void carica()
    {
        if (!salvato) {
            QVERIFY(!FrmMain->sbLoad->isEnabled());
            return;
        }
        FrmMain->sbLoad->click();
        QVERIFY(fake().boxes.isEmpty());
        QCOMPARE(campi(), *salvato);
        // What was saved comes back as alarms set anew.
        for (int i = 0; i < 5; ++i) {
            auto &a = modello[static_cast<std::size_t>(i)];
            a.reset();
            if ((*salvato)[2 * i] != QLatin1String("*"))
                a = Allarme {(*salvato)[2 * i], (*salvato)[2 * i + 1], prossimoId++};
        }
    }

    // One tick of Timer1, checked against the rule: the first slot in the clock's minute rings.
    void tick()
    {
        const QString chiave = adesso.toString(QStringLiteral("HH.mm"));
        int attesa = -1;
        for (int i = 0; i < 5 && attesa < 0; ++i) {
            auto &a = modello[static_cast<std::size_t>(i)];
            if (a && a->chiave() == chiave)
                attesa = i;
        }
        for (auto &a : modello)
            if (a && a->chiave() == chiave)
                a->tickNelSuoMinuto = true;

        FrmSveglia->hide();
        FrmMain->Timer1Timer();

        QCOMPARE(FrmMain->EdOrologio->text(), adesso.toString(QStringLiteral("HH.mm.ss")));
        QCOMPARE(FrmSveglia->isVisible(), attesa >= 0);
        if (attesa >= 0) {
            const Allarme suonato = *modello[static_cast<std::size_t>(attesa)];
            ++suonate[suonato.id];
            QCOMPARE(suonate[suonato.id], 1);
            modello[static_cast<std::size_t>(attesa)].reset();
        }
        QCOMPARE(campi(), attese());
    }

    // When the clock leaves a minute, no alarm of that minute that saw a tick in it is still set.
    void fineMinuto(const QString &chiave)
    {
        for (const auto &a : modello)
            QVERIFY2(!(a && a->chiave() == chiave && a->tickNelSuoMinuto), qPrintable(chiave));
        for (auto &a : modello)
            if (a)
                a->tickNelSuoMinuto = false;
    }

private slots:
    void dueGiorni()
    {
        MainWindowFixture f;
        FrmMain->Timer1->stop();
        FrmMain->TimerElimina->stop();
        FrmSveglia = new TFrmSveglia;
        // Each ring shows the ringing window, and the offscreen platform warns that it cannot raise it.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.*.warning=false\ndefault.warning=false"));
        const auto pulizia = qScopeGuard([] {
            QLoggingCategory::setFilterRules({});
            delete FrmSveglia;
            FrmSveglia = nullptr;
        });
        const QTime inizio(23, 50, 0, 0);
        QElapsedTimer orologioVero;
        orologioVero.start();
        int operazioni = 0;
        int ticks = 0;
        QString minutoPrima;
        for (qint64 t = 0; t < DueGiorniMs; t += TickMs) {
            adesso = inizio.addMSecs(static_cast<int>(t % GiornoMs));
            fake().now = adesso;
            const QString minutoOra = adesso.toString(QStringLiteral("HH.mm"));
            if (!minutoPrima.isEmpty() && minutoPrima != minutoOra)
                fineMinuto(minutoPrima);
            minutoPrima = minutoOra;

            tick();
            ++ticks;
            if (QTest::currentTestFailed())
                break;

            // TimerElimina, every 5 simulated seconds.
            if (t / EliminaMs != (t + TickMs) / EliminaMs) {
                FrmMain->TimerEliminaTimer();
                for (std::size_t i = 0; i < 5; ++i) {
                    abilitato[i] = modello[i].has_value();
                    QCOMPARE(elimina(static_cast<int>(i))->isEnabled(), abilitato[i]);
                }
            }

            // About one change a simulated minute.
            if (tra(0, 149) == 0) {
                ++operazioni;
                const int scelta = tra(0, 99);
                if (scelta < 45)
                    inserisci();
                else if (scelta < 70)
                    cancella();
                else if (scelta < 82)
                    salva();
                else if (scelta < 94)
                    carica();
                else
                    (scelta < 97 ? FrmMain->sbSuono : FrmMain->sbDurata)->click();
                QCOMPARE(campi(), attese());
                if (QTest::currentTestFailed())
                    break;
            }
            if (t % (3600 * 1000) == 0)
                QCoreApplication::processEvents();
        }

        int suonateInTutto = 0;
        for (const int n : std::as_const(suonate))
            suonateInTutto += n;
        qInfo("%d ticks, %d changes, %d alarms rang, %lld ms of real time", ticks, operazioni,
              suonateInTutto, orologioVero.elapsed());
        // The run must have exercised the trigger, not just the clock.
        QVERIFY(suonateInTutto > 250);
        QVERIFY(salvato.has_value());
    }
};

TRILLORA_TEST_MAIN(TestSoak)
#include "tst_soak.moc"
