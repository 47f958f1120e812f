// The program's one integer conversion: what it accepts and what it refuses.
#include "core/IntegerText.h"

#include <QTest>

class TestIntegerText : public QObject
{
    Q_OBJECT

private slots:
    void converts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");

        QTest::newRow("two digits") << "07" << true << 7;
        QTest::newRow("leading blanks skipped") << "   42" << true << 42;
        QTest::newRow("plus sign") << "+7" << true << 7;
        QTest::newRow("minus sign") << "-18" << true << -18;
        QTest::newRow("largest int32") << "2147483647" << true << 2147483647;
        QTest::newRow("smallest int32") << "-2147483648" << true << int(-2147483647 - 1);
        QTest::newRow("one past largest fails") << "2147483648" << false << 0;
        QTest::newRow("one past smallest fails") << "-2147483649" << false << 0;
        QTest::newRow("huge number fails") << "99999999999999999999" << false << 0;
        QTest::newRow("dollar hex") << "$1F" << true << 31;
        QTest::newRow("x hex") << "x10" << true << 16;
        QTest::newRow("X hex") << "X10" << true << 16;
        QTest::newRow("0x hex") << "0xff" << true << 255;
        QTest::newRow("0X hex") << "0XFF" << true << 255;
        QTest::newRow("hex is a 32-bit pattern") << "$FFFFFFFF" << true << -1;
        QTest::newRow("hex top bit") << "$80000000" << true << int(-2147483647 - 1);
        QTest::newRow("negated hex") << "-$10" << true << -16;
        QTest::newRow("nine hex digits fail") << "$100000000" << false << 0;
        QTest::newRow("empty fails") << "" << false << 0;
        QTest::newRow("blanks only fail") << "   " << false << 0;
        QTest::newRow("sign alone fails") << "-" << false << 0;
        QTest::newRow("two signs fail") << "+-1" << false << 0;
        QTest::newRow("prefix alone fails") << "$" << false << 0;
        QTest::newRow("0x alone fails") << "0x" << false << 0;
        QTest::newRow("trailing blank fails") << "19 " << false << 0;
        QTest::newRow("asterisk fails") << "0*" << false << 0;
        QTest::newRow("letters fail") << "ab" << false << 0;
        QTest::newRow("tab is not a blank") << "\t5" << false << 0;
        QTest::newRow("blank after sign fails") << "- 5" << false << 0;
        QTest::newRow("hex digit in decimal fails") << "1f" << false << 0;
        QTest::newRow("non-ASCII digit fails") << QString::fromUtf8("\u0663") << false << 0;
    }

    void converts()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const auto result = testoInIntero(text);
        QCOMPARE(result.has_value(), ok);
        if (ok)
            QCOMPARE(*result, value);
    }
};

QTEST_GUILESS_MAIN(TestIntegerText)
#include "tst_integertext.moc"
