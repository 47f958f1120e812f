// The JPEG reader: the shipped logos decode whole and right; damaged data gives no picture and no crash.
#include "widgets/Jpeg.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

namespace {

QByteArray resource(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Largest difference of one colour channel between two pictures of the same size.
int largestDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

} // namespace

class TestJpeg : public QObject
{
    Q_OBJECT

private slots:
    void logos_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("splash logo") << ":/logos/splash.jpg" << QSize(280, 265);
        QTest::newRow("about logo") << ":/logos/about.jpg" << QSize(150, 142);
    }

    // Qt's own JPEG plugin, where present, is an independent reading to compare with.
    void logos()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage logo = caricaJpeg(path);
        QCOMPARE(logo.size(), size);
        // The top of both logos is the dark blue of the background's gradient.
        const QRgb top = logo.pixel(size.width() / 2, 1);
        QVERIFY(qBlue(top) > 120 && qRed(top) < 80);
        const QImage reference = QImage::fromData(resource(path), "JPG");
        if (!reference.isNull())
            QVERIFY(largestDifference(logo, reference) <= 3);
    }

    void damagedData_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray logo = resource(":/logos/splash.jpg");
        QVERIFY(logo.size() > 1000);
        QByteArray scrambled = logo;
        for (qsizetype i = scrambled.size() / 3; i < scrambled.size() - 2; i += 7)
            scrambled[i] = char(scrambled[i] ^ 0x5a);

        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("not a picture at all");
        QTest::newRow("start marker only") << logo.left(2);
        QTest::newRow("headers without picture data") << logo.left(600);
        QTest::newRow("cut in the middle") << logo.left(logo.size() / 2);
        QTest::newRow("last bytes missing") << logo.left(logo.size() - 40);
        QTest::newRow("scan data scrambled") << scrambled;
        QTest::newRow("PNG data") << resource(":/glyphs/exit.png");
        QTest::newRow("zeros") << QByteArray(5000, '\0');
    }

    void damagedData()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(decodificaJpeg(bytes).isNull());
    }

    // A picture is decoded only up to 4096 x 4096 pixels: past that a few hundred bytes could make
    // the decoder take gigabytes.
    void pictureSize_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("decoded");
        const auto encoded = [](int width, int height) {
            QImage picture(width, height, QImage::Format_RGB888);
            picture.fill(Qt::white);
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "JPG");
            return bytes;
        };
        QTest::newRow("4096 x 4096 picture decoded: the limit itself is allowed") << encoded(4096, 4096) << true;
        QTest::newRow("4097 x 4096 picture refused") << encoded(4097, 4096) << false;
        QTest::newRow("5000 x 4000 picture refused") << encoded(5000, 4000) << false;
        QTest::newRow("8000 x 2 picture decoded: the limit is on pixels") << encoded(8000, 2) << true;
        // Found by fuzzing: a progressive header declaring 32800 x 2080 pixels in 250 bytes.
        QTest::newRow("declared 32800 x 2080, progressive")
            << QByteArray::fromBase64("/9j/4AAQSkZJRgABAQAAAQAAAAD/2wBDAAMCEP/CABFiYmJiYmJiYmJiYmJiYmJiYmJiYmJiYmJiEBAQEBAQEBAQEBAQEBAQEB"
                                      "AQEBAQEBAQEBAQEBAQEBD/wgARCIAIIAgDAREAAhEBAxEB/8QAFAABAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAMH/xAAVEAEB"
                                      "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAABxkf/aAAgBAQABPxBVP//Z")
            << false;
    }

    void pictureSize()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, decoded);
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(!decodificaJpeg(bytes).isNull(), decoded);
    }

    void missingFile() { QVERIFY(caricaJpeg(QStringLiteral(":/logos/none.jpg")).isNull()); }
};

QTEST_MAIN(TestJpeg)
#include "tst_jpeg.moc"
