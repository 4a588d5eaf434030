#include "platform/number_format.h"
#include "support/registry.h"

#include <QTest>

class NumberFormatTest : public QObject {
    Q_OBJECT
private slots:
    void patterns_data();
    void patterns();
    void shortestText();
    void halvesToEven();
};

void NumberFormatTest::patterns_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("###.0 60") << 60.0 << "###.0" << "60,0";
    QTest::newRow("###.0 7.5") << 7.5 << "###.0" << "7,5";
    QTest::newRow("###.0 0") << 0.0 << "###.0" << ",0";
    QTest::newRow("### 60") << 60.0 << "###" << "60";
    QTest::newRow("### 0") << 0.0 << "###" << "";
    QTest::newRow("### rounds") << 62.5 << "###" << "63";
    QTest::newRow("00.0 75.31") << 75.31 << "00.0" << "75,3";
    QTest::newRow("00.0 5.3") << 5.3 << "00.0" << "05,3";
    QTest::newRow("00.0 58.6") << 58.6 << "00.0" << "58,6";
    QTest::newRow("#0.0 1") << 1.0 << "#0.0" << "1,0";
    QTest::newRow("0.0 1.5") << 1.5 << "0.0" << "1,5";
    QTest::newRow("#0 0.4") << 0.4 << "#0" << "0";
    QTest::newRow("#0 12.7") << 12.7 << "#0" << "13";
    QTest::newRow("#0.0   1") << 1.0 << "#0.0  " << "1,0  ";
    QTest::newRow(" ##0.0  90") << 90.0 << " ##0.0 " << " 90,0 ";
    QTest::newRow(" ##0.0  0") << 0.0 << " ##0.0 " << " 0,0 ";
    QTest::newRow("  ###  18") << 18.0 << "  ### " << "  18 ";
    QTest::newRow("  ###  0") << 0.0 << "  ### " << "   ";
    QTest::newRow("float 48.12") << double(48.12f) << "###.0" << "48,1";
}

void NumberFormatTest::patterns() {
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(value, pattern, QLocale(QLocale::German)), expected);
    QCOMPARE(FormatNumber(value, pattern, QLocale(QLocale::English)),
             QString(expected).replace(u',', u'.'));
}

void NumberFormatTest::shortestText() {
    const QLocale de(QLocale::German);
    QCOMPARE(ShortestText(60.0f, de), QStringLiteral("60"));
    QCOMPARE(ShortestText(62.5f, de), QStringLiteral("62,5"));
    QCOMPARE(ShortestText(3.5f, de), QStringLiteral("3,5"));
    QCOMPARE(ShortestText(1.1f, de), QStringLiteral("1,1"));
    QCOMPARE(ShortestText(0.0f, de), QStringLiteral("0"));
    QCOMPARE(ShortestText(-2.6f, de), QStringLiteral("-2,6"));
    QCOMPARE(ShortestText(1e9f, de), QStringLiteral("1000000000"));
    QCOMPARE(ShortestText(71.5f, QLocale(QLocale::English)), QStringLiteral("71.5"));
}

void NumberFormatTest::halvesToEven() {
    QCOMPARE(RoundHalfEven(0.5), 0LL);
    QCOMPARE(RoundHalfEven(1.5), 2LL);
    QCOMPARE(RoundHalfEven(2.5), 2LL);
    QCOMPARE(RoundHalfEven(-2.5), -2LL);
    QCOMPARE(RoundHalfEven(2.51), 3LL);
}

REGISTER_TEST(NumberFormatTest);
#include "number_format_test.moc"
