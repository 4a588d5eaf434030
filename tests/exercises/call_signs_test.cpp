#include "exercises/call_signs.h"

#include <QRegularExpression>
#include <QTest>

#include "mainwindow/run_control.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
void startCallSigns(TestRig& rig) {
    rig.s.ExerciseKind = QStringLiteral("R");
    rig.f.Comstart.click();
}

// The shapes a call sign may have: L D LLL, LL D LL(L), D L D LL(L).
const QRegularExpression& callShape() {
    static const QRegularExpression shape(QStringLiteral(
        "^(?:[A-Z][0-9][A-Z]{3}|[A-Z]{2}[0-9][A-Z]{2,3}|[0-9][A-Z][0-9][A-Z]{2,3})$"));
    return shape;
}
}  // namespace

class CallSignsTest : public QObject {
    Q_OBJECT
private slots:
    void shapesOverManySeeds();
    void runLengthAndState();
    void stopEndsTheLoop();
};

void CallSignsTest::shapesOverManySeeds() {
    int digitFirst = 0, twoLetterSuffixWithQ = 0, total = 0;
    for (uint32_t seed = 1; seed <= 250; ++seed) {
        TestRig rig(seed);
        rig.startUp();
        rig.f.Ohr.setValue(0);
        startCallSigns(rig);
        const QStringList calls = rig.s.SentText.split(u' ', Qt::SkipEmptyParts);
        for (const QString& call : calls) {
            ++total;
            QVERIFY2(callShape().match(call).hasMatch(), qPrintable(call));
            QVERIFY2(
                !call.startsWith(QStringLiteral("DE")) && !call.startsWith(QStringLiteral("CQ")),
                qPrintable(call));
            QVERIFY2(call[1] != call[0], qPrintable(call));
            // The prefix is everything up to its digit; the rest is the suffix.
            const qsizetype digit =
                call[0].isDigit() ? 2 : call.indexOf(QRegularExpression(QStringLiteral("[0-9]")));
            const QString suffix = call.mid(digit + 1);
            if (suffix.size() == 3) QVERIFY2(!suffix.contains(u'Q'), qPrintable(call));
            if (suffix.size() == 2 && suffix.contains(u'Q')) ++twoLetterSuffixWithQ;
            if (call[0].isDigit()) ++digitFirst;
        }
    }
    // About 10 in 62 call signs begin with a digit; a two-letter suffix may hold a Q.
    QVERIFY(digitFirst > total / 10 && digitFirst < total / 4);
    QVERIFY(twoLetterSuffixWithQ > 0);
}

void CallSignsTest::runLengthAndState() {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        TestRig rig(seed);
        rig.startUp();
        rig.f.Ohr.setValue(0);
        startCallSigns(rig);
        const QString text = rig.s.SentText;
        const QStringList calls = text.split(u' ', Qt::SkipEmptyParts);
        QVERIFY(text.endsWith(u' '));
        QVERIFY(calls.size() <= 12);
        // Ends after the call sign that takes the count above 72, or after twelve.
        const int beforeLast = int(text.size() - calls.last().size() - 1);
        QVERIFY(beforeLast <= 72);
        QVERIFY(text.size() > 72 || calls.size() == 12);
        QCOMPARE(rig.s.GroupCount, 12.0f);
        QCOMPARE(rig.s.ExerciseText.size(), 62);
        QCOMPARE(rig.surface.pieces().back().text, QStringLiteral("+"));
        QVERIFY(rig.f.Comstart.enabled());
    }
}

void CallSignsTest::stopEndsTheLoop() {
    TestRig rig(3);
    rig.startUp();
    rig.clock.at(10, [&] { rig.f.comstop.click(); });
    startCallSigns(rig);
    // At 60 cpm ten seconds are a few characters after the preamble, nowhere near 72.
    QVERIFY(rig.s.SentText.size() < 12);
    QVERIFY(rig.surface.pieces().back().text != QStringLiteral("+"));
    QVERIFY(rig.clock.monotonicSeconds() < 13);
}

REGISTER_TEST(CallSignsTest);
#include "call_signs_test.moc"
