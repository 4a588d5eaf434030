#include "contest/contest_attempt.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "contest/contest_scoring.h"
#include "record/record_store.h"
#include "record/record_writer.h"
#include "support/audio_analysis.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
constexpr int kRate = 48000;

// What the scripted learner does with call `i`.
enum class Answer { Right, OneWrong, Nothing, RepeatedRight };
Answer answerFor(int i) {
    if (i % 10 == 4) return Answer::RepeatedRight;
    if (i % 5 == 0) return Answer::OneWrong;
    if (i % 7 == 3) return Answer::Nothing;
    return Answer::Right;
}

QString typedFor(const QString& call, Answer a) {
    if (a == Answer::Nothing) return {};
    if (a != Answer::OneWrong) return call.toLower();
    QString typed = call;
    typed[typed.size() - 1] = typed.back() == u'E' ? u'T' : u'E';
    return typed;
}

// The record of one test in a database of its own, the attempt's sink while it lives.
struct RecordRig {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    RecordWriter writer{path, QStringLiteral("Erika")};
    RecordRig() { Platform().record = &writer; }
    ~RecordRig() { Platform().record = nullptr; }
};
}  // namespace

class ContestAttemptTest : public QObject {
    Q_OBJECT
private slots:
    void wholeAttemptIsScoredAndRecorded();
    void dotMatchesTheSpeedShown();
    void repeatsPreviousCallAndStop();
    void callsFromAList();
    void answerWhileTheCallSounds();
};

void ContestAttemptTest::wholeAttemptIsScoredAndRecorded() {
    TestRig rig(7);
    rig.startUp();
    RecordRig record;
    ContestOptions options;
    options.startBpm = 20;
    options.calls = DrawContestCalls({});
    options.source = QStringLiteral("Rufzeichen-Generator");
    QCOMPARE(options.calls.size(), kContestCalls);
    const QRegularExpression shape(QStringLiteral("^[A-Z0-9]{4,6}$"));
    for (const QString& call : options.calls)
        QVERIFY2(shape.match(call).hasMatch(), qPrintable(call));

    ContestAttempt attempt(options);
    const QDateTime startedAt = rig.clock.now();
    int started = 0;
    attempt.onCallStarted = [&started] { ++started; };
    attempt.start();
    QVERIFY(!rig.s.RunAllowed);  // no run of the main window meanwhile

    // Worked out call by call from the rules: speeds, points, the floor.
    int speed = 20, expectedScore = 0, highest = 0;
    std::vector<int> expectedPoints;
    for (int i = 0; i < kContestCalls; ++i) {
        QCOMPARE(attempt.callNumber(), i + 1);
        QCOMPARE(attempt.speedBpm(), speed);
        const QString call = options.calls[i];
        const Answer a = answerFor(i);
        if (a == Answer::RepeatedRight) QVERIFY(attempt.repeat());
        if (a == Answer::RepeatedRight) QVERIFY(!attempt.repeat());  // one repeat per call
        const double dotMs = 6000.0 / speed;
        rig.clock.advance(0.4);
        if (a != Answer::Nothing) attempt.keyTyped();
        rig.clock.advance(0.6);
        attempt.submit(typedFor(call, a));
        const int full = 2 * static_cast<int>(call.size()) * speed;
        int points = a == Answer::Right           ? full
                     : a == Answer::RepeatedRight ? full / 2
                     : a == Answer::OneWrong      ? full / 5
                                                  : 0;
        expectedPoints.push_back(points);
        expectedScore += points;
        const bool right = a == Answer::Right || a == Answer::RepeatedRight;
        if (right) highest = std::max(highest, speed);
        speed = right ? speed + 10 : std::max(20, speed - 10);

        const ContestCallOutcome& o = attempt.outcomes().back();
        QCOMPARE(o.entry.points, points);
        QCOMPARE(o.nextBpm, speed);
        if (a == Answer::RepeatedRight) QVERIFY(o.entry.repeated);
        if (a != Answer::Nothing) {
            // From the end of the last element of the last sounding (a repeat's, if there was
            // one): three dots of silence lie before the sound's end.
            QVERIFY2(std::abs(o.entry.reactionMs - (400 + 3 * dotMs)) <= 1.5,
                     qPrintable(QString::number(o.entry.reactionMs)));
            QVERIFY(std::abs(o.entry.typingMs - 600) <= 1);
        }
    }
    QCOMPARE(started, kContestCalls);
    QCOMPARE(attempt.phase(), ContestAttempt::Phase::Finished);
    QCOMPARE(attempt.score(), expectedScore);
    QCOMPARE(attempt.speedBpm(), speed);
    QCOMPARE(attempt.highestBpm(), highest);
    QVERIFY(rig.s.RunAllowed);
    // The first call, wrong at the floor, leaves the speed there.
    QCOMPARE(attempt.outcomes()[0].entry.wrong, 1);
    QCOMPARE(attempt.outcomes()[0].nextBpm, 20);
    QCOMPARE(attempt.outcomes()[1].entry.speedBpm, 20);

    record.writer.flush();
    RecordStore store(record.path);
    QVERIFY(store.isOpen());
    const auto attempts = store.contestAttempts(QStringLiteral("Erika"), {}, true);
    QCOMPARE(attempts.size(), size_t(1));
    const ContestAttemptEntry& kept = attempts.front();
    QCOMPARE(kept.score, expectedScore);
    QCOMPARE(kept.finalBpm, speed);
    QCOMPARE(kept.startBpm, 20);
    QCOMPARE(kept.highestBpm, highest);
    QVERIFY(kept.completed);
    QVERIFY(kept.forBestList);
    QCOMPARE(kept.at, startedAt);
    QCOMPARE(kept.calls.size(), size_t(kContestCalls));
    for (int i = 0; i < kContestCalls; ++i) {
        const ContestCallEntry& c = kept.calls[i];
        QCOMPARE(c.sent, options.calls[i]);
        QCOMPARE(c.typed, typedFor(options.calls[i], answerFor(i)).toUpper());
        QCOMPARE(c.points, expectedPoints[i]);
        QCOMPARE(c.repeated, answerFor(i) == Answer::RepeatedRight);
        QCOMPARE(c.speedBpm, attempt.outcomes()[i].entry.speedBpm);
        QCOMPARE(c.reactionMs, attempt.outcomes()[i].entry.reactionMs);
        QCOMPARE(c.typingMs, attempt.outcomes()[i].entry.typingMs);
        if (answerFor(i) == Answer::OneWrong) {
            QCOMPARE(c.wrong, 1);
            const CopyPair& last = c.pairs.back();
            QCOMPARE(last.sent, options.calls[i].right(1));
            QCOMPARE(last.copied, typedFor(options.calls[i], Answer::OneWrong).right(1));
        }
        if (answerFor(i) == Answer::Nothing) {
            QCOMPARE(c.pairs.size(), size_t(options.calls[i].size()));
            QVERIFY(c.pairs.front().copied.isEmpty());
        }
    }
    const auto best = store.contestBestList(QStringLiteral("Erika"), 10);
    QCOMPARE(best.size(), size_t(1));
    QCOMPARE(best.front().score, expectedScore);
    QCOMPARE(best.front().highestBpm, highest);
    const auto misses = store.contestMisses(QStringLiteral("Erika"), {}, 50);
    QVERIFY(!misses.empty());
    int missed = 0;
    for (const auto& m : misses) missed += m.missed;
    int expectedMissed = 0;
    for (int i = 0; i < kContestCalls; ++i) {
        if (answerFor(i) == Answer::OneWrong) expectedMissed += 1;
        if (answerFor(i) == Answer::Nothing) expectedMissed += options.calls[i].size();
    }
    QCOMPARE(missed, expectedMissed);
}

void ContestAttemptTest::dotMatchesTheSpeedShown() {
    for (const int bpm : {60, 100, 150, 240}) {
        TestRig rig(3);
        rig.startUp();
        const float dotBefore = rig.s.DotMs;
        const float pitchBefore = rig.s.TonePitch;
        ContestOptions options;
        options.startBpm = bpm;
        options.pitchHz = 700;
        options.calls = QStringList(kContestCalls, QStringLiteral("EEE"));
        ContestAttempt attempt(options);
        attempt.start();
        attempt.stop();
        // Three dots with three dots of silence between them, measured in the samples: a dot
        // of 1200 / WpM ms with WpM = BpM / 5.
        const auto marks = audio::FindMarks(rig.output.samples(), 20);
        QCOMPARE(marks.size(), size_t(3));
        const double expectedDot = 1200.0 / (bpm / 5.0) * kRate / 1000.0;  // samples
        for (const auto& m : marks) {
            const double length = static_cast<double>(m.last - m.first + 1);
            QVERIFY2(std::abs(length - expectedDot) <= 0.05 * expectedDot,
                     qPrintable(QStringLiteral("%1 BpM: %2 samples").arg(bpm).arg(length)));
        }
        for (size_t i = 1; i < marks.size(); ++i) {
            const double period = static_cast<double>(marks[i].first - marks[i - 1].first);
            QVERIFY2(std::abs(period - 4 * expectedDot) <= 2,
                     qPrintable(QStringLiteral("%1 BpM: %2 samples").arg(bpm).arg(period)));
        }
        QVERIFY(std::abs(audio::ZeroCrossingHz(rig.output.samples(), marks[0].first, marks[0].last,
                                               kRate) -
                         700) < 10);
        // The trainer's own timing is back as it was.
        QCOMPARE(rig.s.DotMs, dotBefore);
        QCOMPARE(rig.s.TonePitch, pitchBefore);
    }
}

void ContestAttemptTest::repeatsPreviousCallAndStop() {
    TestRig rig(5);
    rig.startUp();
    RecordRig record;
    ContestOptions options;
    options.startBpm = 100;
    options.unlimitedRepeats = true;
    options.calls = QStringList(kContestCalls, QStringLiteral("T"));
    options.calls[0] = QStringLiteral("E");
    options.calls[1] = QStringLiteral("M");
    ContestAttempt attempt(options);
    QVERIFY(!attempt.forBestList());
    attempt.start();
    QVERIFY(!attempt.playPrevious());  // no previous call yet
    attempt.submit(QStringLiteral("e"));
    QCOMPARE(attempt.outcomes().size(), size_t(1));
    // Call 2 at 110 BpM; F7 plays call 1 again at its own 100 BpM and scores nothing.
    const size_t before = audio::FindMarks(rig.output.samples(), 20).size();
    QVERIFY(attempt.playPrevious());
    const auto marks = audio::FindMarks(rig.output.samples(), 20);
    QCOMPARE(marks.size(), before + 1);
    const double length = static_cast<double>(marks.back().last - marks.back().first + 1);
    QVERIFY2(std::abs(length - 60.0 * kRate / 1000) <= 0.05 * 60.0 * kRate / 1000,
             qPrintable(QString::number(length)));
    QCOMPARE(attempt.score(), 2 * 1 * 100);
    QCOMPARE(attempt.callNumber(), 2);
    // Unlimited repeats: each sounds the call, the points are halved once.
    QVERIFY(attempt.repeat());
    QVERIFY(attempt.repeat());
    attempt.submit(QStringLiteral("M"));
    QCOMPARE(attempt.outcomes().back().entry.points, 2 * 1 * 110 / 2);
    QCOMPARE(attempt.outcomes().back().entry.speedBpm, 110);

    attempt.stop();
    QCOMPARE(attempt.phase(), ContestAttempt::Phase::Stopped);
    attempt.submit(QStringLiteral("T"));  // nothing after the end
    QCOMPARE(attempt.outcomes().size(), size_t(2));
    record.writer.flush();
    RecordStore store(record.path);
    const auto attempts = store.contestAttempts(QStringLiteral("Erika"), {}, false);
    QCOMPARE(attempts.size(), size_t(1));
    QVERIFY(!attempts.front().completed);
    QVERIFY(!attempts.front().forBestList);
    QCOMPARE(attempts.front().options, QStringLiteral("beliebig viele Wiederholungen"));
    QVERIFY(store.contestBestList(QStringLiteral("Erika"), 10).empty());
}

void ContestAttemptTest::callsFromAList() {
    TestRig rig(9);
    const QStringList list = {"DL1ABC", "W1AW", "G3XYZ"};
    const QStringList calls = DrawContestCalls(list);
    QCOMPARE(calls.size(), kContestCalls);
    // Each call of a short list comes once before any comes again.
    for (int i = 0; i + 2 < kContestCalls; i += 3) {
        QStringList round = calls.mid(i, 3);
        round.sort();
        QCOMPARE(round, (QStringList{"DL1ABC", "G3XYZ", "W1AW"}));
    }
    QStringList longList;
    for (int i = 0; i < 200; ++i) longList << QStringLiteral("K%1AB").arg(i);
    const QStringList drawn = DrawContestCalls(longList);
    QCOMPARE(QSet<QString>(drawn.begin(), drawn.end()).size(), kContestCalls);
}

void ContestAttemptTest::answerWhileTheCallSounds() {
    TestRig rig(11);
    rig.startUp();
    ContestOptions options;
    options.startBpm = 60;  // a dot of 100 ms
    options.calls = QStringList(kContestCalls, QStringLiteral("MMM"));
    options.calls[1] = QStringLiteral("OOO");
    ContestAttempt attempt(options);
    attempt.start();
    // Call 2 begins a second after the answer to call 1 and lasts over two seconds: Enter in
    // its middle is taken when it has sounded; a second Enter does not replace that answer,
    // and nothing sounds twice at once.
    const double answeredAt = rig.clock.monotonicSeconds();
    rig.clock.at(answeredAt + 1.5, [&attempt] {
        QVERIFY(attempt.sounding());
        attempt.keyTyped();
        attempt.submit(QStringLiteral("OOO"));
        attempt.submit(QStringLiteral("XXX"));
        QCOMPARE(attempt.outcomes().size(), size_t(1));
    });
    attempt.submit(QStringLiteral("MMM"));
    QCOMPARE(attempt.outcomes().size(), size_t(2));
    const ContestCallEntry& second = attempt.outcomes()[1].entry;
    QCOMPARE(second.typed, QStringLiteral("OOO"));
    QCOMPARE(second.points, 2 * 3 * 70);
    QCOMPARE(second.reactionMs, 0);  // the key came before the call's end
    QCOMPARE(attempt.callNumber(), 3);
    // Marks never overlap: MMM, OOO and MMM, one mark a dash.
    QCOMPARE(audio::FindMarks(rig.output.samples(), 20).size(), size_t(6 + 9 + 6));
}

REGISTER_TEST(ContestAttemptTest);
#include "contest_attempt_test.moc"
