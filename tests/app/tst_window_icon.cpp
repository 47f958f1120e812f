// The program's own icon on its windows.
#include "TestMain.h"

#include <QIcon>

class TestWindowIcon : public QObject
{
    Q_OBJECT

private slots:
    void iconIsDrawn()
    {
        // The rendered picture, not an empty or missing one: opaque in the middle, clear in the corner.
        const QImage big = QApplication::windowIcon().pixmap(64).toImage();
        QVERIFY(!big.isNull());
        QCOMPARE(big.pixelColor(32, 32).alpha(), 255);
        QCOMPARE(big.pixelColor(1, 1).alpha(), 0);
    }
};

TRILLORA_TEST_MAIN(TestWindowIcon)
#include "tst_window_icon.moc"
