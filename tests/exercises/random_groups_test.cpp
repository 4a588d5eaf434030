#include "engine/timing.h"
#include "exercises/random_groups.h"
#include "mainwindow/run_control.h"
#include "support/registry.h"
#include "support/rig.h"
#include "support/run_helpers.h"

#include <QTest>

#include <map>

namespace {
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isLetter(QChar c) { return c >= u'A' && c <= u'Z'; }

// Starts a run with the start button and lets it play to its end on the virtual clock.
void runToEnd(TestRig& rig) {
    rig.f.Comstart.click();
    QVERIFY(rig.f.Comstart.enabled());
}
}  // namespace

class RandomGroupsTest : public QObject {
    Q_OBJECT
private slots:
    void defaultRunEndToEnd();
    void digitGroupIsNeverFirstAndSometimesMissing();
    void singleGroupIsLetters();
    void noCharacterFollowsItself();
    void poolWeighting();
    void digitGroupDrawsEveryDigit();
    void variableLength();
    void lowerCasePoolSentInCapitals();
    void impossiblePoolsDoNotHang();
    void emptyPoolIsReported();
};

void RandomGroupsTest::defaultRunEndToEnd() {
    TestRig rig(7);
    rig.startUp();
    int highest = 0;
    QObject::connect(&rig.f.PB1, &Control::changed, [&] { highest = std::max(highest, rig.f.PB1.value()); });
    runToEnd(rig);
    const QString text = rig.s.SentText;
    QCOMPARE(text.size(), 72);
    const QStringList groups = text.split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(groups.size(), 12);
    QVERIFY(text.endsWith(u' '));
    for (const QString& g : groups) QCOMPARE(g.size(), 5);
    QCOMPARE(rig.f.PB1.max(), 60);
    QCOMPARE(highest, 60);
    QCOMPARE(rig.f.PB1.value(), 0);
    QCOMPARE(rig.s.PlayedCount, 61);  // the closing "+" is played after the measurement
    // Measured speed: characters played per minute of pure run time; the run frame adds nothing.
    const double seconds = ExpectedSendingSeconds(text);
    QVERIFY(qAbs(rig.s.EffectiveSpeed - 60 * 60 / seconds) < 0.01);
    QCOMPARE(rig.f.panschnitt.backColor(), RGB(255, 255, 255));
    // Preamble in red, text in black, closing sign in its own red.
    const auto& pieces = rig.surface.pieces();
    QCOMPARE(pieces.front().text, QStringLiteral("V"));
    QCOMPARE(pieces.front().color, RGB(192, 0, 0));
    QCOMPARE(pieces.back().text, QStringLiteral("+"));
    QCOMPARE(pieces.back().color, RGB(208, 0, 0));
    QVERIFY(!rig.f.Timer2.isEnabled());
    QVERIFY(rig.f.comexit.enabled());
    QVERIFY(!rig.f.comstop.enabled());
}

void RandomGroupsTest::digitGroupIsNeverFirstAndSometimesMissing() {
    int withoutDigits = 0;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        TestRig rig(seed);
        rig.startUp();
        rig.f.Ohr.setValue(0);  // no sound: the same draws, no time
        runToEnd(rig);
        const QStringList groups = rig.s.SentText.split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(groups.size(), 12);
        int digitGroups = 0;
        for (int i = 0; i < groups.size(); ++i) {
            const bool digits = std::all_of(groups[i].begin(), groups[i].end(), isDigit);
            const bool letters = std::all_of(groups[i].begin(), groups[i].end(), isLetter);
            QVERIFY2(digits || letters, qPrintable(groups[i]));
            if (digits) {
                QVERIFY(i > 0);
                ++digitGroups;
            }
        }
        QVERIFY(digitGroups <= 1);
        withoutDigits += digitGroups == 0;
    }
    // About one run in 22 has no digit group.
    QVERIFY(withoutDigits > 3 && withoutDigits < 35);
}

void RandomGroupsTest::singleGroupIsLetters() {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        TestRig rig(seed);
        rig.startUp();
        rig.f.Ohr.setValue(0);
        rig.f.L_Anz.setCaption(QStringLiteral("1"));
        runToEnd(rig);
        QCOMPARE(rig.s.SentText.size(), 6);
        QVERIFY(std::all_of(rig.s.SentText.begin(), rig.s.SentText.end() - 1, isLetter));
    }
}

void RandomGroupsTest::noCharacterFollowsItself() {
    for (const QString& kind : {QStringLiteral("9"), QStringLiteral("Z")}) {
        TestRig rig(3);
        rig.startUp();
        rig.f.Ohr.setValue(0);
        rig.s.ExerciseKind = kind;
        if (kind == QStringLiteral("9")) rig.s.ExerciseText = rig.s.Digits;
        rig.f.L_Anz.setCaption(QStringLiteral("30"));
        runToEnd(rig);
        const QString compact = QString(rig.s.SentText).remove(u' ');
        for (int i = 1; i < compact.size(); ++i) QVERIFY(compact[i] != compact[i - 1]);
    }
}

void RandomGroupsTest::poolWeighting() {
    TestRig rig(11);
    const QString pool = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ=.,?/");
    int letters = 0;
    const int draws = 57000;
    for (int i = 0; i < draws; ++i)
        letters += isLetter(DrawGroupCharacter(pool, QString(QChar(0)), false, false).front());
    QVERIFY(qAbs(letters / double(draws) - 52.0 / 57.0) < 0.01);
}

void RandomGroupsTest::digitGroupDrawsEveryDigit() {
    TestRig rig(5);
    rig.startUp();
    const QString pool = rig.s.ExerciseText;  // kind "Z": letters, digits, punctuation
    QString drawn;
    QString previous(QChar(0));
    for (int i = 0; i < 2000; ++i) {
        previous = DrawGroupCharacter(pool, previous, true, true);
        if (!drawn.contains(previous)) drawn += previous;
    }
    for (QChar digit : rig.s.Digits) QVERIFY2(drawn.contains(digit), qPrintable(drawn));
    QVERIFY(std::none_of(drawn.begin(), drawn.end(), isLetter));
}

void RandomGroupsTest::variableLength() {
    TestRig rig(5);
    rig.startUp();
    rig.f.Ohr.setValue(0);
    rig.f.vari.setValue(1);
    rig.f.L_Anz.setCaption(QStringLiteral("30"));
    runToEnd(rig);
    std::map<int, int> lengths;
    for (const QString& g : rig.s.SentText.split(u' ', Qt::SkipEmptyParts)) ++lengths[g.size()];
    QCOMPARE(int(lengths.size()), 3);
    QCOMPARE(lengths.begin()->first, 4);
    QCOMPARE(lengths.rbegin()->first, 6);
}

void RandomGroupsTest::lowerCasePoolSentInCapitals() {
    TestRig rig(2);
    rig.startUp();
    rig.f.Ohr.setValue(0);
    rig.s.ExerciseKind = QStringLiteral("E");
    rig.s.ExerciseText = QStringLiteral("eE");
    runToEnd(rig);
    // "e" and "E" are one character for the no-repeat rule, which the pool cannot satisfy: the
    // run still ends, in capitals.
    QCOMPARE(QString(rig.s.SentText).remove(u' '), QString(60, u'E'));
}

void RandomGroupsTest::impossiblePoolsDoNotHang() {
    struct Case {
        QString kind, pool;
    };
    for (const Case& c : {Case{"E", "a"}, Case{"Z", "ABC"}, Case{"Z", "123"}, Case{"Z", "A1"}}) {
        TestRig rig(4);
        rig.startUp();
        rig.f.Ohr.setValue(0);
        rig.s.ExerciseKind = c.kind;
        rig.s.ExerciseText = c.pool;
        runToEnd(rig);
        QCOMPARE(rig.s.SentText.size(), 72);
        const QString sent = QString(rig.s.SentText).remove(u' ');
        for (QChar ch : sent) QVERIFY(c.pool.toUpper().contains(ch));
    }
}

void RandomGroupsTest::emptyPoolIsReported() {
    TestRig rig;
    rig.startUp();
    rig.s.ExerciseKind = QStringLiteral("E");
    rig.s.ExerciseText.clear();
    runToEnd(rig);
    QVERIFY(rig.s.SentText.isEmpty());
    QVERIFY(rig.surface.visibleText().contains(QStringLiteral("Keine Zeichen")));
    QVERIFY(!rig.f.comstop.enabled());
}

REGISTER_TEST(RandomGroupsTest);
#include "random_groups_test.moc"
