#include <QTest>

#include "drill_script.h"
#include "engine/timing.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");

void preparePool(TestRig& rig, const QString& pool, const QString& kind = QStringLiteral("B")) {
    rig.startUp();
    rig.s.ExerciseText = pool;
    rig.s.ExerciseKind = kind;
}

QStringList lines(const TestRig& rig) {
    return rig.surface.visibleText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool played(const TestRig& rig, const QString& name) { return rig.wave.played.contains(name); }
}  // namespace

class QuestionAnswerTest : public QObject {
    Q_OBJECT
private slots:
    void workedExampleGivesTheStatistics();
    void acrossMidnightAndWithinOneSecond();
    void enterBeforeTwoAnswersShowsNothing();
    void keysTypedWhileSoundingAreDiscarded();
    void coloursAndGroupsOfFive();
    void givingUpCountsAsWrong();
    void lowerCasePoolJudgesBothCases();
    void kindZAsksAtMostOneDigit();
    void poolsThatCannotKeepTheRules();
    void listeningModeEndsTheAnswerWait();
    void drillStartedInKeyboardModeEndsIt();
    void enterIsFollowedByAStar();
};

void QuestionAnswerTest::workedExampleGivesTheStatistics() {
    TestRig rig;
    preparePool(rig, kLetters);
    DrillUser user(rig);
    user.key(' ', 1.0).right(24);
    for (int i = 0; i < 3; ++i) user.wrong().right();
    user.enter(121.0).key('x');
    rig.f.COM_FA.click();

    QVERIFY(!user.ranOut);
    QCOMPARE(lines(rig), QStringList({
                             QStringLiteral(" 30 Zeichen gegeben,   davon  27 richtig erkannt,  3 "
                                            "falsch =   90,0 % richtig"),
                             QStringLiteral(" Die duchschnittliche Geschwindigkeit betrug  18  "
                                            "Zeichen pro Minute"),
                         }));
    const auto& pieces = rig.surface.pieces();
    QCOMPARE(pieces.front().text, QStringLiteral(" 30 "));
    QCOMPARE(pieces.front().color, RGB(255, 0, 0));
    QCOMPARE(pieces.front().x, 800.0);
    QCOMPARE(pieces.front().font.sizePt, 14.0f);
    const auto speed = std::find_if(pieces.begin(), pieces.end(), [](const auto& p) {
        return p.text == QStringLiteral("  18 ");
    });
    QVERIFY(speed != pieces.end());
    QCOMPARE(speed->color, RGB(0, 0, 192));
    QCOMPARE(std::count(rig.wave.played.begin(), rig.wave.played.end(),
                        QStringLiteral(".\\alfa\\S4.wav")),
             3);
    QVERIFY(rig.s.RunAllowed);
    QCOMPARE(rig.s.CharSpacing, 1.0f);
    QCOMPARE(rig.f.pan1.caption(), QStringLiteral("Frage + Antwort"));
    QVERIFY(rig.f.Com_Tastatur.enabled());
}

void QuestionAnswerTest::acrossMidnightAndWithinOneSecond() {
    {
        // 23:59:30: the drill ends 120 s later, after midnight.
        TestRig rig;
        rig.clock.advance(14 * 3600 - 30);
        preparePool(rig, kLetters);
        const double base = rig.clock.monotonicSeconds();
        DrillUser user(rig);
        user.key(' ', base + 1).right(10).enter(base + 121).key('x');
        rig.f.COM_FA.click();
        QVERIFY(!user.ranOut);
        QCOMPARE(lines(rig).value(1), QStringLiteral(" Die duchschnittliche Geschwindigkeit "
                                                     "betrug  6  Zeichen pro Minute"));
    }
    {
        // Two answers and Enter within one whole second count as one second.
        TestRig rig;
        preparePool(rig, QStringLiteral("ET"));
        rig.s.Speed = 400;
        DrillUser user(rig);
        double enterAt = 0;
        user.key(' ', 1.0).right(2).enter();
        user.then([&] { enterAt = rig.clock.monotonicSeconds(); }).key('x').fast();
        rig.f.COM_FA.click();
        QVERIFY(!user.ranOut);
        QVERIFY(enterAt < 1.5);  // the same whole second as the start key
        QCOMPARE(lines(rig).value(1), QStringLiteral(" Die duchschnittliche Geschwindigkeit "
                                                     "betrug  144  Zeichen pro Minute"));
    }
}

void QuestionAnswerTest::enterBeforeTwoAnswersShowsNothing() {
    for (int answers : {0, 1}) {
        TestRig rig;
        preparePool(rig, kLetters);
        DrillUser user(rig);
        user.key(' ').right(answers).enter();
        rig.f.COM_FA.click();
        QVERIFY(!user.ranOut);
        QVERIFY2(rig.surface.pieces().empty(), qPrintable(rig.surface.visibleText()));
        QVERIFY(rig.s.RunAllowed);
    }
}

void QuestionAnswerTest::keysTypedWhileSoundingAreDiscarded() {
    TestRig rig;
    preparePool(rig, QStringLiteral("Y"));  // -.-- sounds well over a second
    DrillUser user(rig);
    user.key(' ', 1.0).right(2).enter().key('x');
    rig.clock.at(1.2, [&] { rig.f.Text2.typeKey('#'); });
    rig.f.COM_FA.click();

    QVERIFY(!user.ranOut);
    QVERIFY(!played(rig, QStringLiteral(".\\alfa\\S4.wav")));
    QCOMPARE(user.asked, QStringList({QStringLiteral("Y"), QStringLiteral("Y")}));
    QVERIFY(lines(rig).value(0).startsWith(
        QStringLiteral(" 2 Zeichen gegeben,   davon  2 richtig erkannt,  0 falsch")));
}

void QuestionAnswerTest::coloursAndGroupsOfFive() {
    TestRig rig;
    preparePool(rig, kLetters);
    DrillUser user(rig);
    std::vector<RecordingSurface::Piece> shown;
    user.key(' ').right().wrong().right().right().giveUp().right().right();
    user.enter().then([&] { shown = rig.surface.pieces(); }).key('x');
    rig.f.COM_FA.click();
    QVERIFY(!user.ranOut);

    const Rgb black = RGB(0, 0, 0), cyan = RGB(0, 128, 128), red = RGB(255, 0, 0);
    QCOMPARE(shown.size(), size_t(7));
    const std::vector<Rgb> colours{black, cyan, black, red, black};
    for (size_t i = 0; i < colours.size(); ++i) {
        QCOMPARE(shown[i].text.size(), 1);
        QCOMPARE(shown[i].color, colours[i]);
        QCOMPARE(shown[i].font.sizePt, 18.0f);
    }
    QCOMPARE(shown[5].text, QStringLiteral(" "));
    QCOMPARE(shown[6].color, black);
    QCOMPARE(shown[6].y, shown[0].y);
    QVERIFY(shown[6].x > shown[5].x && shown[5].x > shown[4].x);

    // The written characters are the asked ones, the repetition after the wrong answer once.
    QStringList asked = user.asked;
    asked.removeAt(1);
    QString written;
    for (size_t i : {0, 1, 2, 3, 4, 6}) written += shown[i].text;
    QCOMPARE(written, asked.join(QString()));
    QVERIFY(played(rig, QStringLiteral(".\\Alfa\\") + shown[3].text + QStringLiteral(".wav")));
}

void QuestionAnswerTest::givingUpCountsAsWrong() {
    TestRig rig;
    preparePool(rig, kLetters);
    DrillUser user(rig);
    user.key(' ').giveUp().giveUp().giveUp().enter().key('x');
    rig.f.COM_FA.click();
    QVERIFY(!user.ranOut);
    QCOMPARE(lines(rig).value(0), QStringLiteral(" 3 Zeichen gegeben,   davon  0 richtig erkannt,"
                                                 "  3 falsch =   0,0 % richtig"));
}

void QuestionAnswerTest::lowerCasePoolJudgesBothCases() {
    TestRig rig;
    preparePool(rig, QStringLiteral("elv0"));
    DrillUser user(rig);
    user.key(' ');
    for (int i = 0; i < 10; ++i) user.right().rightLower();
    user.enter().key('x');
    rig.f.COM_FA.click();
    QVERIFY(!user.ranOut);

    QCOMPARE(user.asked.size(), 20);
    QVERIFY(user.asked.contains(QStringLiteral("E")));
    for (int i = 1; i < user.asked.size(); ++i) QVERIFY(user.asked[i] != user.asked[i - 1]);
    QVERIFY(lines(rig).value(0).startsWith(
        QStringLiteral(" 20 Zeichen gegeben,   davon  20 richtig erkannt,  0 falsch")));
}

void QuestionAnswerTest::kindZAsksAtMostOneDigit() {
    int drillsWithDigit = 0;
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        TestRig rig(seed);
        preparePool(rig, kLetters + QStringLiteral("1234567890"), QStringLiteral("Z"));
        DrillUser user(rig);
        user.key(' ').right(12).enter().key('x');
        rig.f.COM_FA.click();
        QVERIFY(!user.ranOut);
        const auto digits = std::count_if(user.asked.begin(), user.asked.end(),
                                          [](const QString& c) { return c.front().isDigit(); });
        QVERIFY2(digits <= 1, qPrintable(user.asked.join(QString())));
        drillsWithDigit += digits;
    }
    QVERIFY(drillsWithDigit > 0);
}

void QuestionAnswerTest::poolsThatCannotKeepTheRules() {
    {
        TestRig rig;
        preparePool(rig, QString());
        DrillUser user(rig);
        user.key(' ');
        rig.f.COM_FA.click();
        QVERIFY(!user.ranOut);
        QVERIFY(rig.surface.visibleText().startsWith(QStringLiteral("Keine Zeichen zum Abfragen")));
        QVERIFY(rig.s.RunAllowed);
    }
    {
        // One character: the no-repeat rule gives way.
        TestRig rig;
        preparePool(rig, QStringLiteral("ee"));
        DrillUser user(rig);
        user.key(' ').right(3).enter().key('x');
        rig.f.COM_FA.click();
        QVERIFY(!user.ranOut);
        QCOMPARE(user.asked.join(QString()), QStringLiteral("EEE"));
    }
    {
        // Kind "Z" without a single letter asks what there is.
        TestRig rig(3);
        preparePool(rig, QStringLiteral("123"), QStringLiteral("Z"));
        DrillUser user(rig);
        user.key(' ').right(4).enter().key('x');
        rig.f.COM_FA.click();
        QVERIFY(!user.ranOut);
        QCOMPARE(user.asked.size(), 4);
    }
}

void QuestionAnswerTest::listeningModeEndsTheAnswerWait() {
    TestRig rig;
    preparePool(rig, kLetters);
    DrillUser user(rig);
    user.key(' ', 1.0).right(3).idle();
    rig.clock.at(30.0, [&] { rig.f.C_Hoeren.click(); });
    rig.f.COM_FA.click();

    QVERIFY(!user.ranOut);
    QCOMPARE(user.asked.size(), 4);
    QVERIFY(rig.clock.monotonicSeconds() < 40);
    QVERIFY2(rig.surface.pieces().empty(), qPrintable(rig.surface.visibleText()));
    QVERIFY(rig.s.RunAllowed);
    QVERIFY(!rig.f.COM_FA.pressed());
}

void QuestionAnswerTest::drillStartedInKeyboardModeEndsIt() {
    TestRig rig;
    preparePool(rig, kLetters);
    DrillUser user(rig);
    std::vector<RecordingSurface::Piece> shown;
    user.key(' ').right(2).enter().then([&] { shown = rig.surface.pieces(); }).key('x');
    rig.clock.at(3.0, [&] { rig.f.COM_FA.click(); });
    rig.f.Com_Tastatur.click();  // returns once the drill has ended keyboard mode

    QVERIFY(!user.ranOut);
    QVERIFY(!rig.s.KeyboardMode);
    // Only the answered characters are written: the asked ones are not given away.
    QCOMPARE(shown.size(), size_t(2));
    QCOMPARE(shown[0].text + shown[1].text, user.asked.join(QString()));
    QVERIFY(
        lines(rig).value(0).startsWith(QStringLiteral(" 2 Zeichen gegeben,   davon  2 richtig")));
}

void QuestionAnswerTest::enterIsFollowedByAStar() {
    TestRig rig;
    rig.startUp();
    rig.f.Text2.typeKey(13);
    rig.clock.advance(0.1);
    QCOMPARE(rig.f.Text2.text(), QStringLiteral("\r\n"));

    rig.f.Text2.setText(QString());
    rig.f.COM_FA.setPressed(true);
    rig.f.Text2.typeKey(13);
    rig.f.Text2.typeKey('a');
    rig.clock.advance(0.1);
    QCOMPARE(rig.f.Text2.text(), QStringLiteral("\r\na*"));
    rig.f.COM_FA.setPressed(false);
}

REGISTER_TEST(QuestionAnswerTest);
#include "question_answer_test.moc"
