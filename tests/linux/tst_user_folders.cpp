// Where the user's files go: the program's own folder only where it may write, else the user's
// configuration folder as the XDG rules name it.
#include "FileAccess.h"
#include "linux/UserFolders.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

class TestUserFolders : public QObject
{
    Q_OBJECT

private slots:
    void folderWritable_data()
    {
        QTest::addColumn<QString>("folder"); // empty: a fresh folder of the test's own
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("writable");
        QTest::newRow("a folder of the user's") << QString() << false << true;
        QTest::newRow("read-only file system, readable all the same") << QString() << true << false;
        QTest::newRow("under /usr, also for root") << QStringLiteral("/usr/lib") << false << false;
    }
    void folderWritable()
    {
        QFETCH(QString, folder);
        QFETCH(bool, readOnly);
        QFETCH(bool, writable);
        QTemporaryDir own;
        std::optional<MontataSolaLettura> mounted;
        if (readOnly && !mounted.emplace(own.path()).montata())
            QSKIP("no mount namespace here to make a read-only folder");
        QCOMPARE(UserFolders::folderWritable(folder.isEmpty() ? own.path() : folder), writable);
    }

    void configFolder_data()
    {
        QTest::addColumn<QByteArray>("set");
        QTest::addColumn<QString>("folder");
        const QString home = QDir::homePath() + QStringLiteral("/.config");
        QTest::newRow("absolute, trailing separator dropped") << QByteArray("/tmp/cfg/") << QStringLiteral("/tmp/cfg");
        QTest::newRow("relative ignored") << QByteArray("cfg") << home;
        QTest::newRow("empty ignored") << QByteArray() << home;
    }
    void configFolder()
    {
        QFETCH(QByteArray, set);
        QFETCH(QString, folder);
        qputenv("XDG_CONFIG_HOME", set);
        QCOMPARE(UserFolders::configFolder(), folder);
    }
};

QTEST_GUILESS_MAIN(TestUserFolders)
#include "tst_user_folders.moc"
