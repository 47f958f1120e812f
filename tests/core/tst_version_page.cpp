// Cutting the version page, reading the two builds, comparing them and forming the addresses.
#include "core/Criterio.h"
#include "core/VersionPage.h"

#include <QTest>

using namespace PaginaVersione;
using Pezzi = QList<QByteArray>;

class TestVersionPage : public QObject
{
    Q_OBJECT

    // The criterion of the maker's pages, and a free one for the general cases.
    static void riga(const char *name, const Pezzi &righe, const Pezzi &atteso, const Pezzi &gia = {})
    {
        QTest::newRow(name) << righe << false << QByteArray("Versione") << QByteArray("-") << QByteArray("-")
                            << QByteArray("<") << QByteArray() << false << false << 0 << gia << atteso;
    }
    static void libera(const char *name, const Pezzi &righe, bool indietro, const QByteArrayList &m,
                       const QByteArray &coda, bool inclIni, bool inclFine, int salta, const Pezzi &atteso)
    {
        QTest::newRow(name) << righe << indietro << m[0] << m[1] << m[2] << m[3] << coda << inclIni << inclFine
                            << salta << Pezzi() << atteso;
    }

private slots:
    void estrai_data()
    {
        QTest::addColumn<Pezzi>("righe");
        QTest::addColumn<bool>("indietro");
        QTest::addColumn<QByteArray>("blocco");
        QTest::addColumn<QByteArray>("conta");
        QTest::addColumn<QByteArray>("inizio");
        QTest::addColumn<QByteArray>("fine");
        QTest::addColumn<QByteArray>("coda");
        QTest::addColumn<bool>("inclIni");
        QTest::addColumn<bool>("inclFine");
        QTest::addColumn<int>("salta");
        QTest::addColumn<Pezzi>("gia");
        QTest::addColumn<Pezzi>("atteso");

        riga("no entries appends nothing and keeps what was there", {}, {"x"}, {"x"});
        riga("version body gives blank and digits", {"<body><p>Versione - 19</p></body>"}, {" 19"});
        riga("trailing blank is kept", {"Versione - 19 </P>"}, {" 19 "});
        riga("small v is not the marker", {"versione - 19</P>"}, {});
        riga("first dash after the block is taken", {"Versione 2.1 - build 19</P>"}, {" build 19"});
        riga("empty value is appended as empty item", {"Versione-<"}, {""});
        riga("head never seen: only body text counts", {"<title>x</title>Versione-3<"}, {"3"});
        riga("block spans into the next entry taken whole", {"Versione-19", "Versione-18<"}, {"18"});
        riga("one piece per entry, in order", {"Versione-20<", "Versione-21<"}, {"20", "21"});
        riga("pieces go after existing items", {"Versione-20<"}, {"old", "20"}, {"old"});
        riga("entry without block is skipped", {"nulla", "Versione-7<"}, {"7"});
        riga("line breaks are ordinary characters", {"Versione\n-\n8\n<"}, {"\n8\n"});

        const QByteArrayList a {"a", "href", "=", ">"};
        libera("skip counts entries not occurrences", {"<a href=x1><a href=x2>"}, false, a, {}, false, false, 1, {});
        libera("skip passes the first entry", {"<a href=x1>", "<a href=x2>"}, false, a, {}, false, false, 1, {"x2"});
        libera("no skip takes each entry", {"<a href=x1>", "<a href=x2>"}, false, a, {}, false, false, 0, {"x1", "x2"});
        libera("negative skip is no skip", {"<a href=x1>"}, false, a, {}, false, false, -3, {"x1"});
        libera("both include flags keep the markers", {"x=1;y=2;"}, false, {"y", "=", "=", ";"}, {}, true, true, 0, {"=2;"});
        libera("empty block marker is never found", {"Versione-1<"}, false, {"", "-", "-", "<"}, {}, false, false, 0, {});
        libera("empty count marker is never found", {"Versione-1<"}, false, {"Versione", "", "-", "<"}, {}, false, false, 0, {});
        libera("empty end marker is never found", {"Versione-1<"}, false, {"Versione", "-", "-", ""}, {}, false, false, 0, {});
        const QByteArrayList v {"Versione", "-", "-", "<"};
        libera("trailing characters stripped one by one", {"Versione-a///<"}, false, v, "/", false, false, 0, {"a"});
        libera("stripping may empty the piece", {"Versione-///<"}, false, v, "/", false, false, 0, {""});
        libera("stripping stops at another character", {"Versione-a/b/<"}, false, v, "/x", false, false, 0, {"a/b"});
        libera("backward reads from the last block", {"a Versione-1< b Versione-2<"}, true, v, {}, false, false, 0, {"1"});
        libera("backward finds the count marker in an earlier entry", {"Versione-1<", "x Versione"}, true, v, {}, false, false, 0, {"1"});
        libera("backward without end marker gives nothing", {"Versione-1"}, true, v, {}, false, false, 0, {});
        libera("backward turns markers again for the next entry", {"CD EF7GH", "CD xx AB"}, true,
               {"AB", "CD", "EF", "GH"}, {}, false, false, 0, {"7"});
        libera("backward keeps the include flags", {"-1< Versione"}, true, v, {}, true, true, 0, {"-1<"});
        libera("backward ignores what follows the last block", {"Versione-1<"}, true, v, {}, false, false, 0, {});
    }

    void estrai()
    {
        QFETCH(Pezzi, righe);
        QFETCH(bool, indietro);
        QFETCH(QByteArray, blocco);
        QFETCH(QByteArray, conta);
        QFETCH(QByteArray, inizio);
        QFETCH(QByteArray, fine);
        QFETCH(QByteArray, coda);
        QFETCH(bool, inclIni);
        QFETCH(bool, inclFine);
        QFETCH(int, salta);
        QFETCH(Pezzi, gia);
        QFETCH(Pezzi, atteso);
        const QByteArray primoMarcatore = blocco;
        Pezzi risultati = gia;
        EstraiURLConCriterio(righe, risultati, indietro, blocco, conta, inizio, fine, coda, inclIni, inclFine,
                             static_cast<std::int16_t>(salta));
        QCOMPARE(risultati, atteso);
        QCOMPARE(blocco, primoMarcatore);
        // A second run on the same text appends the same pieces again.
        EstraiURLConCriterio(righe, risultati, indietro, blocco, conta, inizio, fine, coda, inclIni, inclFine,
                             static_cast<std::int16_t>(salta));
        QCOMPARE(risultati.mid(atteso.size()), atteso.mid(gia.size()));
    }

    void inverti_data()
    {
        QTest::addColumn<QByteArray>("testo");
        QTest::addColumn<QByteArray>("atteso");
        QTest::newRow("three letters") << QByteArray("abc") << QByteArray("cba");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("one character") << QByteArray("a") << QByteArray("a");
        QTest::newRow("byte by byte, zero and 8-bit kept") << QByteArray("\xe8\0z", 3) << QByteArray("z\0\xe8", 3);
    }
    void inverti()
    {
        QFETCH(QByteArray, testo);
        QFETCH(QByteArray, atteso);
        QCOMPARE(invertiTesto(testo), atteso);
    }

    void letture_data()
    {
        QTest::addColumn<QVariant>("pezzo");
        QTest::addColumn<int>("disponibile");
        QTest::addColumn<bool>("nuova");
        QTest::newRow("no piece") << QVariant() << -1 << false;
        QTest::newRow("blank then 19 is newer") << QVariant(" 19") << 19 << true;
        QTest::newRow("same build") << QVariant(" 18") << 18 << false;
        QTest::newRow("older build") << QVariant("17") << 17 << false;
        QTest::newRow("trailing blank fails") << QVariant(" 19 ") << -1 << false;
        QTest::newRow("empty piece fails") << QVariant("") << -1 << false;
        QTest::newRow("words fail") << QVariant(" build 19") << -1 << false;
        QTest::newRow("beyond 32 bits fails") << QVariant("99999999999") << -1 << false;
        QTest::newRow("largest build is newer") << QVariant("2147483647") << 2147483647 << true;
        QTest::newRow("hexadecimal") << QVariant("$13") << 19 << true;
        QTest::newRow("negative is never newer") << QVariant("-5") << -5 << false;
    }
    void letture()
    {
        QFETCH(QVariant, pezzo);
        QFETCH(int, disponibile);
        QFETCH(bool, nuova);
        const std::optional<QString> primo = pezzo.isValid() ? std::optional(pezzo.toString()) : std::nullopt;
        QCOMPARE(leggiVersioneDisponibile(primo), disponibile);
        QCOMPARE(eVersioneNuova(leggiVersioneDisponibile(primo), *leggiVersioneAttuale("04.2002-18")), nuova);
    }

    void versioneAttuale()
    {
        QCOMPARE(leggiVersioneAttuale("04.2002-18"), std::optional<std::int32_t>(18));
        QCOMPARE(leggiVersioneAttuale("04.2002-"), std::nullopt);
        QCOMPARE(leggiVersioneAttuale("short"), std::nullopt);
    }

    void indirizzi()
    {
        QCOMPARE(indirizzoControllo("h.example:8080", "TQZ_Trillora"),
                 "http://h.example:8080/index.php?show=ctrlvers&prg=TQZ_Trillora");
        QCOMPARE(indirizzoScaricamento("h.example", "TRILOR"), "http://h.example/prg/trilor.exe");
    }

    void criteri_data()
    {
        QTest::addColumn<QString>("chiave");
        QTest::addColumn<bool>("trovato");
        QTest::newRow("this product") << "tqz_trillora" << true;
        QTest::newRow("another product of the maker") << "tqz_agenda" << true;
        QTest::newRow("mixed case is not a key") << "TQZ_Trillora" << false;
        QTest::newRow("unknown product") << "tqz_nessuno" << false;
    }
    void criteri()
    {
        QFETCH(QString, chiave);
        QFETCH(bool, trovato);
        const CriterioTaglio sito {false, "Versione", "-", "-", "<", {}, false, false, 0};
        QCOMPARE(criterioPerProdotto(chiave) == sito, trovato);
        if (!trovato)
            QVERIFY(criterioPerProdotto(chiave) == CriterioTaglio());
    }
};

QTEST_GUILESS_MAIN(TestVersionPage)
#include "tst_version_page.moc"
