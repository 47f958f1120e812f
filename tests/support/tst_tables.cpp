// The settings and language tables: what is read, what is shown, and that nothing else happens.
#include "ProgramFolder.h"
#include "TestMain.h"
#include "support/Tables.h"
#include "widgets/ErrorDisplay.h"

#include <QFile>
#include <QSqlDatabase>
#include <functional>

using Setup = std::function<void(const ProgramFolder &)>;
Q_DECLARE_METATYPE(Setup)

namespace {

const QString Settings = QStringLiteral("impostazioni.db");
const QString Languages = QStringLiteral("lingua.db");

Setup settingsOf(const QString &language)
{
    return [language](const ProgramFolder &f) { f.settings(language); };
}

Setup languageTable(const QStringList &statements)
{
    return [statements](const ProgramFolder &f) { f.sql(Languages, statements); };
}

const QString SettingsError = QStringLiteral("Errore di lettura in parametri di impostazione, campo: ");

} // namespace

class TestTables : public QObject
{
    Q_OBJECT

private slots:
    void settingsField_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("errorBox");

        QTest::newRow("value of the named field") << settingsOf("English") << "LINGUA" << "English" << false;
        QTest::newRow("field name in other letter case") << settingsOf("English") << "lingua" << "English" << false;
        QTest::newRow("first row only")
            << Setup([](const ProgramFolder &f) {
                   f.sql(Settings, {"create table impostazioni (LINGUA text)",
                                    "insert into impostazioni values ('Deutsch')",
                                    "insert into impostazioni values ('English')"});
               })
            << "LINGUA" << "Deutsch" << false;
        QTest::newRow("no rows: empty, no message")
            << Setup([](const ProgramFolder &f) { f.sql(Settings, {"create table impostazioni (LINGUA text)"}); })
            << "LINGUA" << "" << false;
        QTest::newRow("missing file") << Setup([](const ProgramFolder &) {}) << "LINGUA" << "" << true;
        QTest::newRow("empty file")
            << Setup([](const ProgramFolder &f) { f.bytes(Settings, QByteArray()); }) << "LINGUA" << "" << true;
        QTest::newRow("not a database")
            << Setup([](const ProgramFolder &f) { f.bytes(Settings, QByteArray(600, 'x')); }) << "LINGUA" << "" << true;
        QTest::newRow("no table of that name")
            << Setup([](const ProgramFolder &f) { f.sql(Settings, {"create table altro (LINGUA text)"}); })
            << "LINGUA" << "" << true;
        QTest::newRow("no such field") << settingsOf("English") << "COLORE" << "" << true;
        QTest::newRow("field name is not pasted into a query")
            << settingsOf("English") << "LINGUA from impostazioni; --" << "" << true;
    }

    void settingsField()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, field);
        ProgramFolder folder;
        setup(folder);
        const auto before = folder.snapshot();

        QFETCH(QString, value);
        QCOMPARE(Fx::LeggiImpostazione(field), value);

        QFETCH(bool, errorBox);
        QCOMPARE(fake().boxes.size(), errorBox ? 1 : 0);
        if (errorBox) {
            QCOMPARE(fake().boxes[0].kind, MessageKind::Error);
            QCOMPARE(fake().boxes[0].title, QStringLiteral("Errore"));
            QCOMPARE(fake().boxes[0].text, SettingsError + field);
        }
        QCOMPARE(folder.snapshot(), before);
    }

    void lookup_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("shown");

        const QStringList esci {"('Esci', 'Exit', 'Sortir')"};
        QTest::newRow("found") << esci << "Esci" << "English" << "Exit";
        QTest::newRow("leading & dropped for the lookup") << esci << "&Esci" << "English" << "Exit";
        QTest::newRow("& after the first letter kept") << esci << "E&sci" << "English" << "E&sci";
        QTest::newRow("apostrophes dropped for the lookup")
            << QStringList {"('Premi su segnala per inoltrarci la segnalazione dellerrore:', 'Press ''Report'':', '')"}
            << "Premi su 'segnala' per inoltrarci la segnalazione dell'errore:" << "English" << "Press 'Report':";
        QTest::newRow("no row: lookup form shown") << esci << "&L'ora dell'allarme" << "English" << "Lora dellallarme";
        QTest::newRow("empty cell gives an empty caption") << QStringList {"('Esci', '', 'x')"} << "Esci" << "English"
                                                           << "";
        QTest::newRow("first of two rows with the same caption")
            << QStringList {"('Esci', 'First', '')", "('Esci', 'Second', '')"} << "Esci" << "English" << "First";
        QTest::newRow("column name in other letter case") << esci << "Esci" << "eNGLISH" << "Exit";
        QTest::newRow("accented column name") << esci << "Esci" << "Français" << "Sortir";
        QTest::newRow("empty table: lookup form shown") << QStringList() << "&L'Esci" << "English" << "LEsci";
    }

    void lookup()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, caption);
        QFETCH(QString, language);
        QFETCH(QString, shown);
        ProgramFolder folder;
        QStringList statements {"create table lingua (ITALIANO text, English text, \"Français\" text)"};
        for (const QString &row : rows)
            statements << "insert into lingua values " + row;
        folder.sql(Languages, statements);
        const auto before = folder.snapshot();

        QCOMPARE(Fx::TraduciTesto(caption, language), shown);
        QCOMPARE(folder.snapshot(), before);
    }

    void lookupFailure_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("message");

        const Setup table = [](const ProgramFolder &f) { f.languages(); };
        QTest::newRow("unknown language") << table << "Klingon" << "no such column: Klingon";
        QTest::newRow("language with a blank") << table << "Lingua X" << "no such column: Lingua X";
        QTest::newRow("language crafted as SQL") << table << "English from lingua; --"
                                                 << "no such column: English from lingua; --";
        QTest::newRow("language bracketed") << table << "[English]" << "no such column: [English]";
        QTest::newRow("accented letters are not folded") << table << "FRANÇAIS" << "no such column: FRANÇAIS";
        QTest::newRow("empty language") << table << "" << "no such column: ";
        QTest::newRow("missing file") << Setup([](const ProgramFolder &) {}) << "English"
                                      << "unable to open database file";
        QTest::newRow("not a database")
            << Setup([](const ProgramFolder &f) { f.bytes(Languages, QByteArray(4096, '\x7f')); }) << "English"
            << "file is not a database";
        QTest::newRow("empty file")
            << Setup([](const ProgramFolder &f) { f.bytes(Languages, QByteArray()); }) << "English"
            << "no such table: lingua";
        QTest::newRow("no table lingua") << languageTable({"create table altro (ITALIANO text, English text)"})
                                         << "English" << "no such table: lingua";
        QTest::newRow("no ITALIANO column") << languageTable({"create table lingua (English text)"}) << "English"
                                            << "no such column: ITALIANO";
        QTest::newRow("unknown language comes before missing ITALIANO")
            << languageTable({"create table lingua (English text)"}) << "Klingon" << "no such column: Klingon";
    }

    void lookupFailure()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, language);
        QFETCH(QString, message);
        ProgramFolder folder;
        setup(folder);
        const auto before = folder.snapshot();

        QString thrown;
        try {
            Fx::TraduciTesto(QStringLiteral("Esci"), language);
        } catch (const TrilloraError &error) {
            thrown = error.message();
        }
        QCOMPARE(thrown, message);
        QCOMPARE(folder.snapshot(), before);
    }

    // The failing caption and those after it keep their text; those before are already translated.
    void captionListStopsAtTheFailure()
    {
        ProgramFolder folder;
        folder.settings("English");
        folder.languages();
        QStringList done;
        QList<Fx::Didascalia> list {
            {[] { return QStringLiteral("Esci"); }, [&done](const QString &t) { done << t; }},
            {[&folder] {
                 // The table disappears between two lookups.
                 QFile::remove(folder.file(Languages));
                 return QStringLiteral("Segnala");
             },
             [&done](const QString &t) { done << t; }},
            {[] { return QStringLiteral("Esci"); }, [&done](const QString &t) { done << t; }},
        };
        QVERIFY_THROWS_EXCEPTION(TrilloraError, Fx::TraduciInterfaccia(list));
        QCOMPARE(done, QStringList {"Exit"});
    }

    // Every read drops its connection again, failed ones included, and lets the engine go: Qt's
    // SQLite plug-in and SQLite itself are no longer mapped.
    void noConnectionIsLeftOpen()
    {
        ProgramFolder folder;
        folder.settings("English");
        folder.languages();
        QCOMPARE(Fx::LeggiImpostazione("LINGUA"), QStringLiteral("English"));
        Fx::LeggiImpostazione("NESSUNO");
        QCOMPARE(Fx::TraduciTesto("Esci", "English"), QStringLiteral("Exit"));
        QVERIFY_THROWS_EXCEPTION(TrilloraError, Fx::TraduciTesto("Esci", "Klingon"));
        QCOMPARE(QSqlDatabase::connectionNames(), QStringList());
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(!mapped.contains("libqsqlite.so"));
        QVERIFY(!mapped.contains("libsqlite3.so"));
    }
};

TRILLORA_TEST_MAIN(TestTables)
#include "tst_tables.moc"
