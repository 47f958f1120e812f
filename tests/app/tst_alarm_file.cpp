// Saving and loading "sveglia.imptqz": exact bytes, line breaks, bad files and failed saves.
#include "FileAccess.h"
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "core/AlarmFile.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QToolButton>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QStringList fields()
{
    return {FrmMain->ed1sv1->text(), FrmMain->Ed1sv2->text(), FrmMain->Ed2sv1->text(), FrmMain->ED2sv2->text(),
            FrmMain->Ed3sv1->text(), FrmMain->ed3sv2->text(), FrmMain->ed4sv1->text(), FrmMain->ed4sv2->text(),
            FrmMain->ed5sv1->text(), FrmMain->ed5sv2->text(), FrmMain->sbSuono->text(), FrmMain->sbDurata->text()};
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QByteArray freshFile = "*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\nCasse\r\nMaggiore\r\n";

} // namespace

Q_DECLARE_METATYPE(std::function<void(const QString &)>)

class TestAlarmFile : public QObject
{
    Q_OBJECT

private slots:
    void lineBreaks_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("07\r\n30\r\n") << QStringList {"07", "30"};
        QTest::newRow("LF only") << QByteArray("07\n30\n") << QStringList {"07", "30"};
        QTest::newRow("lone CR") << QByteArray("07\r30") << QStringList {"07", "30"};
        QTest::newRow("no final break") << QByteArray("07\r\n30") << QStringList {"07", "30"};
        QTest::newRow("LF then CR is two breaks") << QByteArray("a\n\rb") << QStringList {"a", "", "b"};
        QTest::newRow("blank line kept") << QByteArray("a\r\n\r\nb") << QStringList {"a", "", "b"};
        QTest::newRow("only CRs") << QByteArray("\r\r\r") << QStringList {"", "", ""};
        QTest::newRow("empty file") << QByteArray() << QStringList {};
        QTest::newRow("8-bit code page") << QByteArray("\xe8\x80\r\n") << QStringList {QString::fromUtf8("è€")};
    }

    void lineBreaks()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(FileSveglie::righe(bytes), lines);
    }

    void freshSaveIsFortySevenBytes()
    {
        MainWindowFixture f;
        QVERIFY(!FrmMain->sbLoad->isEnabled());
        FrmMain->SpeedButton1->click();
        const QByteArray saved = readAll(f.file(QStringLiteral("sveglia.imptqz")));
        QCOMPARE(saved.size(), 47);
        QCOMPARE(saved, freshFile);
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("Messaggio."));
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Orari e tipologia di suono memorizzati!"));
        QVERIFY(FrmMain->sbLoad->isEnabled());
        QVERIFY(QDir(f.dir.path()).entryList(QDir::Files) == QStringList {QStringLiteral("sveglia.imptqz")});
    }

    void saveThenLoadGivesBackEveryField()
    {
        MainWindowFixture f;
        FrmMain->ed1sv1->setText(QStringLiteral("07"));
        FrmMain->Ed1sv2->setText(QStringLiteral("30"));
        FrmMain->Ed2sv1->setText(QStringLiteral("22"));
        FrmMain->ED2sv2->setText(QStringLiteral("05"));
        FrmMain->sbSuono->click();
        FrmMain->sbDurata->click();
        FrmMain->SpeedButton1->click();
        QCOMPARE(readAll(f.file(QStringLiteral("sveglia.imptqz"))),
                 QByteArray("07\r\n30\r\n22\r\n05\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\nSpeaker\r\nMinore\r\n"));
        const QStringList saved = fields();

        FrmMain->sbCanc1->click();
        FrmMain->sbSuono->click();
        FrmMain->sbLoad->click();
        QCOMPARE(fields(), saved);
    }

    // The bytes where Windows-1252 and Latin-1 part ways, unassigned ones included: written back as
    // Latin-1, "€", the curly quotes or "Š" would come back as "?".
    void codePageBytesComeBackUnchanged()
    {
        QByteArray high;
        for (int b = 0x80; b <= 0x9F; ++b)
            high.append(char(b));
        const QByteArray file = "07\r\n30\r\n" + high + "\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\nCasse\xa0\xe8\r\n"
            + QByteArray("\x80\x93\x94\x8a") + "\r\n";
        MainWindowFixture f([&file](const QString &dir) { writeAll(dir + QStringLiteral("/sveglia.imptqz"), file); });
        FrmMain->sbLoad->click();
        QCOMPARE(FrmMain->sbDurata->text(), QString::fromUtf8("€“”Š"));
        QVERIFY(QFile::remove(f.file(QStringLiteral("sveglia.imptqz"))));
        FrmMain->SpeedButton1->click();
        QCOMPARE(readAll(f.file(QStringLiteral("sveglia.imptqz"))), file);
    }

    void loadTakesTheTextsAsTheyAre_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("loaded");
        const QString e;
        QTest::newRow("LF-only file")
            << QByteArray("07\n30\n*\n*\n*\n*\n*\n*\n*\n*\nSpeaker\nMinore\n")
            << QStringList {"07", "30", "*", "*", "*", "*", "*", "*", "*", "*", "Speaker", "Minore"};
        QTest::newRow("ten lines leave the captions empty")
            << QByteArray("01\r\n02\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n")
            << QStringList {"01", "02", "*", "*", "*", "*", "*", "*", "*", "*", e, e};
        QTest::newRow("extra lines ignored, no check of the texts")
            << QByteArray("99\r\n7\r\n07\r\n30\r\n07\r\n30\r\n*\r\n*\r\n*\r\n*\r\ncasse\r\nX\r\nmore\r\n")
            << QStringList {"99", "7", "07", "30", "07", "30", "*", "*", "*", "*", "casse", "X"};
        QTest::newRow("empty file empties every field") << QByteArray() << QStringList(12, e);
        QTest::newRow("only CRs") << QByteArray(40, '\r') << QStringList(12, e);
        QTest::newRow("binary bytes")
            << QByteArray("\x00\x01\xff\xfe\r\n\x81", 7)
            << QStringList {QString::fromLatin1("\x00\x01\xff\xfe", 4), QString(QChar(0x81)), e, e, e, e, e, e, e, e, e, e};
    }

    void loadTakesTheTextsAsTheyAre()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, loaded);
        MainWindowFixture f([&bytes](const QString &dir) { writeAll(dir + QStringLiteral("/sveglia.imptqz"), bytes); });
        FrmMain->sbLoad->click();
        QCOMPARE(fields(), loaded);
        QVERIFY(fake().boxes.isEmpty());
    }

    void oneEnormousLine()
    {
        const QByteArray line(2 * 1024 * 1024, '7');
        MainWindowFixture f([&line](const QString &dir) { writeAll(dir + QStringLiteral("/sveglia.imptqz"), line); });
        FrmMain->sbLoad->click();
        QCOMPARE(FrmMain->ed1sv1->text().size(), line.size());
        QCOMPARE(FrmMain->sbDurata->text(), QString());
        QVERIFY(fake().boxes.isEmpty());
    }

    // What stands at the file's place when "Carica impostazioni" is pressed, found there after start.
    void loadFailsWhenTheFileChanged_data()
    {
        QTest::addColumn<std::function<void(const QString &)>>("change");
        using Change = std::function<void(const QString &)>;
        QTest::newRow("removed") << Change([](const QString &path) { QFile::remove(path); });
        QTest::newRow("replaced by a folder") << Change([](const QString &path) {
            QFile::remove(path);
            QDir().mkdir(path);
        });
        QTest::newRow("made unreadable") << Change([](const QString &path) { QFile::setPermissions(path, {}); });
        QTest::newRow("replaced by a named pipe") << Change([](const QString &path) {
            QFile::remove(path);
            QCOMPARE(::mkfifo(qPrintable(path), 0644), 0);
        });
        QTest::newRow("replaced by a link to a device") << Change([](const QString &path) {
            QFile::remove(path);
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));
        });
    }

    void loadFailsWhenTheFileChanged()
    {
        QFETCH(std::function<void(const QString &)>, change);
        MainWindowFixture f([](const QString &dir) { writeAll(dir + QStringLiteral("/sveglia.imptqz"), freshFile); });
        QVERIFY(FrmMain->sbLoad->isEnabled());
        FrmMain->ed1sv1->setText(QStringLiteral("07"));
        const QString path = f.file(QStringLiteral("sveglia.imptqz"));
        change(path);
        // The folder open to all, so that only the file itself stands in the way.
        QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                | QFile::ExeOther);
        const QStringList before = fields();

        // A reader that blocks on the pipe is let go by a writer, so a hang shows as a wrong load.
        std::atomic<bool> done {false};
        std::thread writer([&] {
            while (!done) {
                const int fd = ::open(qPrintable(path), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
        {
            ComeUtenteComune utente;
            FrmMain->sbLoad->click();
        }
        done = true;
        writer.join();

        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("Errore"));
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Recupero impossibile."));
        QCOMPARE(fields(), before);
        QVERIFY(FrmMain->sbLoad->isEnabled());
    }

    void directoryInTheWay()
    {
        MainWindowFixture f([](const QString &dir) { QDir(dir).mkdir(QStringLiteral("sveglia.imptqz")); });
        FrmMain->sbLoad->setEnabled(true);
        FrmMain->sbLoad->click();
        FrmMain->SpeedButton1->click();
        QCOMPARE(fake().boxes.size(), 2);
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Recupero impossibile."));
        QCOMPARE(fake().boxes[1].text, QStringLiteral("Scrittura non eseguita."));
        QVERIFY(QFileInfo(f.file(QStringLiteral("sveglia.imptqz"))).isDir());
        QCOMPARE(fields()[0], QStringLiteral("*"));
    }

    void saveIntoAMissingFolderFails()
    {
        MainWindowFixture f;
        fake().exePath = f.file(QStringLiteral("gone/trillora"));
        FrmMain->SpeedButton1->click();
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("Errore"));
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Scrittura non eseguita."));
        QVERIFY(!FrmMain->sbLoad->isEnabled());
    }

    // A folder the program may not write into, with or without an earlier file in it.
    void saveIntoAnUnwritableFolderFails_data()
    {
        QTest::addColumn<bool>("mount");
        QTest::addColumn<bool>("earlier");
        QTest::newRow("no write permission, earlier file kept") << false << true;
        QTest::newRow("no write permission, no file") << false << false;
        QTest::newRow("read-only file system, earlier file kept") << true << true;
        QTest::newRow("read-only file system, no file") << true << false;
    }

    void saveIntoAnUnwritableFolderFails()
    {
        QFETCH(bool, mount);
        QFETCH(bool, earlier);
        MainWindowFixture f([earlier](const QString &dir) {
            if (earlier)
                writeAll(dir + QStringLiteral("/sveglia.imptqz"), freshFile);
        });
        FrmMain->ed1sv1->setText(QStringLiteral("07"));
        {
            std::optional<MontataSolaLettura> solaLettura;
            std::optional<ComeUtenteComune> utente;
            if (mount) {
                solaLettura.emplace(f.dir.path());
                if (!solaLettura->montata())
                    QSKIP("no mount namespace here to make a read-only folder");
            } else {
                QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                                        | QFile::ExeOther);
                utente.emplace();
            }
            FrmMain->SpeedButton1->click();
        }
        QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Scrittura non eseguita."));
        QCOMPARE(FrmMain->sbLoad->isEnabled(), earlier);
        QCOMPARE(readAll(f.file(QStringLiteral("sveglia.imptqz"))), earlier ? freshFile : QByteArray());
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden),
                 earlier ? QStringList {QStringLiteral("sveglia.imptqz")} : QStringList());
    }

    // Installed for the whole system, the program's folder may not be written: the file lives in
    // the user's configuration folder, made (with the folder above it) by the first save and open to the
    // user alone, and enables "Carica" at the next start.
    void unwritableProgramFolderSavesInTheUsersFolder()
    {
        QTemporaryDir config;
        const auto systemWide = [&config](const QString &) {
            fake().foldersWritable = false;
            fake().configHome = config.filePath(QStringLiteral(".config"));
        };
        {
            MainWindowFixture f(systemWide);
            QVERIFY(!FrmMain->sbLoad->isEnabled());
            FrmMain->ed1sv1->setText(QStringLiteral("07"));
            FrmMain->SpeedButton1->click();
            QCOMPARE(fake().boxes.size(), 1);
            QCOMPARE(fake().boxes[0].text, QStringLiteral("Orari e tipologia di suono memorizzati!"));
            QVERIFY(!QFile::exists(f.file(QStringLiteral("sveglia.imptqz"))));
        }
        MainWindowFixture f(systemWide);
        QVERIFY(FrmMain->sbLoad->isEnabled());
        FrmMain->sbLoad->click();
        QCOMPARE(fields()[0], QStringLiteral("07"));
        QCOMPARE(readAll(config.filePath(QStringLiteral(".config/trillora/sveglia.imptqz"))).left(4), QByteArray("07\r\n"));
        for (const char *made : {".config", ".config/trillora"}) {
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(config.filePath(made)).constData(), &st), 0);
            QCOMPARE(st.st_mode & 07777, 0700u);
        }
    }

    // A save that runs out of room half-way must leave the earlier file whole.
    void failedWriteKeepsTheOldFile()
    {
        MainWindowFixture f([](const QString &dir) { writeAll(dir + QStringLiteral("/sveglia.imptqz"), freshFile); });
        FrmMain->ed1sv1->setText(QStringLiteral("07"));
        FrmMain->Ed1sv2->setText(QStringLiteral("30"));

        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = saved;
        tiny.rlim_cur = 10;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
        FrmMain->SpeedButton1->click();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Scrittura non eseguita."));
        QCOMPARE(readAll(f.file(QStringLiteral("sveglia.imptqz"))), freshFile);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("sveglia.imptqz")});
    }
};

TRILLORA_TEST_MAIN(TestAlarmFile)
#include "tst_alarm_file.moc"
