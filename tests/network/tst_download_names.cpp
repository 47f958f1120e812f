// The name a download is saved under: the server's suggestion made safe, or the address's last piece.
#include "network/DownloadRules.h"

#include <QTest>

class TestDownloadNames : public QObject
{
    Q_OBJECT

private slots:
    void savedUnderAVisibleNameInTheFolder_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("disposition");
        QTest::addColumn<QString>("name");
        const QString exe = QStringLiteral("http://www.trillora.example/prg/trilor.exe");
        QTest::newRow("address's own name") << exe << QByteArray() << "trilor.exe";
        QTest::newRow("suggested name wins") << exe << QByteArray("attachment; filename=\"nuovo.exe\"") << "nuovo.exe";
        QTest::newRow("one leading dot") << exe << QByteArray("attachment; filename=\".x\"") << "x";
        QTest::newRow("two leading dots") << exe << QByteArray("attachment; filename=\"..hidden.exe\"") << "hidden.exe";
        QTest::newRow("three leading dots") << exe << QByteArray("attachment; filename=\"...x\"") << "x";
        QTest::newRow("blanks between the dots") << exe << QByteArray("attachment; filename=\". . .x\"") << "x";
        QTest::newRow("unquoted with dots") << exe << QByteArray("attachment; filename=..x.exe") << "x.exe";
        QTest::newRow("path cannot leave the folder")
            << exe << QByteArray("attachment; filename=\"../../.bashrc\"") << "bashrc";
        QTest::newRow("backslash path") << exe << QByteArray("attachment; filename=\"..\\..\\a.exe\"") << "a.exe";
        QTest::newRow("only dots falls back to the address") << exe << QByteArray("attachment; filename=\"...\"")
                                                             << "trilor.exe";
        QTest::newRow("hidden address name") << "http://h.example/..x" << QByteArray() << "x";
        QTest::newRow("nothing usable anywhere") << "http://h.example/" << QByteArray() << "download";
    }

    void savedUnderAVisibleNameInTheFolder()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, disposition);
        QFETCH(QString, name);
        QCOMPARE(downloadFileName(QUrl(address), disposition), name);
    }
};

QTEST_GUILESS_MAIN(TestDownloadNames)
#include "tst_download_names.moc"
