// The program's own icon on its windows, in the sizes a window is drawn at.
#include "TestMain.h"

#include <QIcon>

class TestWindowIcon : public QObject
{
    Q_OBJECT

private slots:
    void everySizeIsBuiltIn()
    {
        const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
        for (int side : {16, 32, 48, 64})
            QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
        // The picture itself was rendered, not only named.
        const QImage big = QApplication::windowIcon().pixmap(64).toImage();
        QVERIFY(!big.isNull());
        QCOMPARE(big.pixelColor(32, 32).alpha(), 255);
        QCOMPARE(big.pixelColor(1, 1).alpha(), 0);
    }
};

TRILLORA_TEST_MAIN(TestWindowIcon)
#include "tst_window_icon.moc"
