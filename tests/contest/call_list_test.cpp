#include "contest/call_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/registry.h"

class CallListTest : public QObject {
    Q_OBJECT
private slots:
    void readsCallsAndReportsBadLines();
    void boundsAndEmptyFiles();
};

void CallListTest::readsCallsAndReportsBadLines() {
    const QByteArray text =
        "# Meine Liste\r\n"
        "dl1abc\r\n"
        "  W1AW  \n"
        "\n"
        "DL1ABC\n"  // twice: kept once
        "HALLO\n"   // no digit
        "DL/ON4XYZ\n"
        "1234\n"       // no letter
        "DL1ABC DE\n"  // a blank inside
        "/DL1A\n"
        "Ä1ABC\n";
    const CallList list = ParseCallList(text);
    QCOMPARE(list.calls, (QStringList{"DL1ABC", "W1AW", "DL/ON4XYZ"}));
    QVERIFY(list.usable());
    QVERIFY2(list.report.startsWith(QStringLiteral("5 Zeilen sind keine Rufzeichen")),
             qPrintable(list.report));
    QVERIFY(list.report.contains(QStringLiteral("Zeile 6: „HALLO“")));
    QVERIFY(list.report.contains(QStringLiteral("Zeile 11")));
    QVERIFY(!list.report.contains(QStringLiteral("Zeile 5")));
}

void CallListTest::boundsAndEmptyFiles() {
    // Many bad lines: ten are named, the rest counted.
    QByteArray bad;
    for (int i = 0; i < 25; ++i) bad += "XX\n";
    bad += "K1ABC\n";
    const CallList many = ParseCallList(bad);
    QCOMPARE(many.calls, QStringList{QStringLiteral("K1ABC")});
    QCOMPARE(ParseCallList("K1ABC\nXX\n").report,
             QStringLiteral("1 Zeile ist kein Rufzeichen und bleibt weg: Zeile 2: „XX“"));
    QCOMPARE(many.report.count(QStringLiteral("Zeile ")), kCallListReportedLines);
    QVERIFY(many.report.contains(QStringLiteral("und weitere")));

    // More calls than allowed: the first ones are kept and the cut is reported.
    QByteArray longList;
    for (int i = 0; i < kCallListMaxCalls + 5; ++i)
        longList += "K" + QByteArray::number(i) + "AB\n";
    const CallList cut = ParseCallList(longList);
    QCOMPARE(cut.calls.size(), kCallListMaxCalls);
    QCOMPARE(cut.calls.first(), QStringLiteral("K0AB"));
    QVERIFY(cut.report.contains(QString::number(kCallListMaxCalls)));

    const CallList none = ParseCallList("# nur ein Kommentar\n\n");
    QVERIFY(!none.usable());
    QCOMPARE(none.error, QStringLiteral("Die Datei enthält keine Rufzeichen."));

    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("gross.txt"));
    QFile f(big);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(kCallListMaxBytes + 1, 'A'));
    f.close();
    const CallList tooBig = ReadCallList(big);
    QVERIFY(!tooBig.usable());
    QVERIFY(tooBig.error.contains(QStringLiteral("größer")));
    QVERIFY(ReadCallList(dir.filePath(QStringLiteral("fehlt.txt")))
                .error.contains(QStringLiteral("lässt sich nicht lesen")));
    QVERIFY(!ReadCallList(dir.path()).usable());
}

REGISTER_TEST(CallListTest);
#include "call_list_test.moc"
