#include "sending/sending_practice.h"

#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <deque>

#include "platform/virtual_clock.h"
#include "record/record_store.h"
#include "record/record_writer.h"
#include "sending/attempt_entry.h"
#include "sending/keying_pipeline.h"
#include "sending/report_text.h"
#include "sound/offline_output.h"
#include "support/audio_analysis.h"
#include "support/registry.h"

namespace {
constexpr int kRate = 8000;
constexpr double kDotMs = 77.0;  // 60 cpm

// Straight-key contacts that key `text` from `startUs` with a dot of `dotMs`, each length off
// its ideal by up to ±12 % in a fixed pattern, as a learner's hand would be.
std::vector<ContactEvent> Keying(const QString& text, int64_t startUs, double dotMs) {
    static const double kOff[] = {1.08, 0.92, 1.12, 0.95, 1.0, 0.9, 1.05};
    int n = 0;
    auto off = [&] { return kOff[n++ % 7]; };
    std::vector<ContactEvent> out;
    int64_t at = startUs;
    bool word = false;
    bool first = true;
    for (QChar c : text) {
        if (c == u' ') {
            word = true;
            continue;
        }
        if (!first) at += std::llround((word ? 7.0 : 3.0) * dotMs * off() * 1000);
        first = false;
        word = false;
        const QString pattern = PatternForCharacter(c);
        for (qsizetype k = 0; k < pattern.size(); ++k) {
            if (k > 0) at += std::llround(dotMs * off() * 1000);
            out.push_back({Contact::Straight, true, at});
            at += std::llround((pattern[k] == u'-' ? 3.0 : 1.0) * dotMs * off() * 1000);
            out.push_back({Contact::Straight, false, at});
        }
    }
    return out;
}

// The practice as the window drives it, on the virtual clock: contacts go through the keyer at
// their moments, and the practice steps every 5 ms as the window's timer would.
struct Rig {
    VirtualClock clock;
    OfflineOutput output{clock, kRate};
    KeyingPipeline pipeline{KeyerMode::Straight, KeyerTiming::FromMs(kDotMs, 3 * kDotMs, 50),
                            [](bool, int64_t) {}};
    std::deque<ContactEvent> contacts;
    std::unique_ptr<SendingPractice> practice;
    std::vector<SendingVerdict> verdicts;
    int templateChanges = 0;

    explicit Rig(QStringList items, RecordSink* record = nullptr) {
        PracticeSetup setup;
        setup.setCpm = 60;
        setup.dashRatio = 3.0;
        setup.pitchHz = 700;
        setup.output = &output;
        setup.record = record;
        setup.now = [this] { return clock.now(); };
        setup.draw = [items = std::move(items), next = 0](int) mutable {
            return items.at(next++ % items.size());
        };
        practice = std::make_unique<SendingPractice>(std::move(setup));
    }
    int64_t nowUs() { return std::llround(clock.monotonicSeconds() * 1e6); }
    // Runs until `seconds` have passed or a verdict came (when `untilVerdict`).
    void run(double seconds, bool untilVerdict) {
        const int64_t end = nowUs() + std::llround(seconds * 1e6);
        const size_t before = verdicts.size();
        while (nowUs() < end && !(untilVerdict && verdicts.size() > before)) {
            clock.advance(0.005);
            const int64_t now = nowUs();
            while (!contacts.empty() && contacts.front().atUs <= now) {
                pipeline.contact(contacts.front());
                contacts.pop_front();
            }
            pipeline.advanceTo(now);
            const PracticeChange change =
                practice->step(pipeline.log().takeElements(), now, pipeline.log().openMarkUs());
            if (change.verdict) verdicts.push_back(*change.verdict);
            if (change.templateChanged) ++templateChanges;
        }
    }
    void key(const QString& text, double dotMs = kDotMs) {
        for (const ContactEvent& e : Keying(text, nowUs() + 100000, dotMs)) contacts.push_back(e);
    }
    // Marks heard from sample `from` on.
    int marksFrom(int64_t from) {
        const auto& all = output.samples();
        std::vector<int16_t> part(all.begin() + std::min<int64_t>(from, all.size()), all.end());
        return static_cast<int>(audio::FindMarks(part, kRate / 100).size());
    }
};

int Marks(const QString& text) {
    int n = 0;
    for (QChar c : text) n += static_cast<int>(PatternForCharacter(c).size());
    return n;
}
}  // namespace

class SendingPracticeTest : public QObject {
    Q_OBJECT
private slots:
    void charactersAppearWhenTheirGapEnds();
    void echoJudgesRightAndWrongAndRepeatsTheWrongOne();
    void storedDurationsReadTheSameAgain();
    void templateHidesOnceKeyingStartsAndFreeIsNotJudged();
    void hearingPlaysTheAttemptThenIdealTiming();
    void reportSentencesSayTheFigures();
};

void SendingPracticeTest::charactersAppearWhenTheirGapEnds() {
    AttemptReader reader(60, 3.0, 2500);
    const auto elements = IdealElements(QStringLiteral("PARIS"), kDotMs, 3.0);
    // Feed up to the last mark of "P" (its space comes only with the next mark).
    size_t i = 0;
    for (int marks = 0; marks < 4; ++i)
        if (elements[i].mark) ++marks;
    QVERIFY(!reader.take({elements.begin(), elements.begin() + i}));
    const int64_t markEnd = elements[i - 1].atUs + std::llround(elements[i - 1].durationMs * 1000);
    const auto due = reader.nextDueUs();
    QVERIFY(due);
    QCOMPARE(*due, markEnd + std::llround(FistDecoder::kCharGapDots * kDotMs * 1000) + 1);
    QVERIFY(!reader.poll(*due - 2000, std::nullopt));
    QCOMPARE(reader.text(), QString());
    // A new mark begun before the gap ended keeps the character open.
    QVERIFY(!reader.poll(*due + 5000, markEnd + 50000));
    QVERIFY(reader.poll(*due, std::nullopt));
    QCOMPARE(reader.text(), QStringLiteral("P"));
    // The rest, then the pause that ends the attempt.
    reader.take({elements.begin() + i, elements.end()});
    const int64_t end = elements.back().atUs + std::llround(elements.back().durationMs * 1000);
    reader.poll(end + 200000, std::nullopt);
    QCOMPARE(reader.text(), QStringLiteral("PARIS"));
    QVERIFY(!reader.attemptOver(end + 2400000, std::nullopt));
    QVERIFY(!reader.attemptOver(end + 2600000, end + 2550000));  // keying again
    QVERIFY(reader.attemptOver(end + 2600000, std::nullopt));
    const auto attempt = reader.finish(3.0);
    QVERIFY(attempt);
    QCOMPARE(attempt->text, QStringLiteral("PARIS"));
    QCOMPARE(attempt->elements.size(), elements.size());
    QCOMPARE(attempt->report.characters, 5);
    QVERIFY(!reader.keying());
    // A silence before the next attempt's first mark belongs to neither; a stray 2 ms contact
    // reads as what it is but leaves the learner's speed alone.
    reader.take({{false, end, 5000.0}, {true, end + 5000000, 2.0}});
    reader.poll(end + 7000000, std::nullopt);
    const auto next = reader.finish(3.0);
    QCOMPARE(next->text, QStringLiteral("E"));
    QCOMPARE(next->elements.size(), size_t(1));
    QVERIFY(std::abs(reader.dotMs() - kDotMs) < 1.0);
}

void SendingPracticeTest::echoJudgesRightAndWrongAndRepeatsTheWrongOne() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    RecordWriter writer(path, QStringLiteral("dl1abc"));
    Rig rig({QStringLiteral("CQ"), QStringLiteral("DL1ABC"), QStringLiteral("TEST")}, &writer);
    rig.practice->setMode(SendingMode::Echo);
    // The trainer sends the item; the learner sees only that there is one to echo.
    QCOMPARE(rig.practice->exercise().intended(), QStringLiteral("CQ"));
    QVERIFY(!rig.practice->templateText().contains(QStringLiteral("CQ")));
    rig.run(rig.output.secondsQueued() + 0.3, false);
    QCOMPARE(rig.marksFrom(0), Marks(QStringLiteral("CQ")));

    // Keyed right: judged at once after a word gap, long before the attempt's pause.
    rig.key(QStringLiteral("CQ"));
    const int64_t keyedFrom = rig.nowUs();
    rig.run(10, true);
    QCOMPARE(rig.verdicts.size(), size_t(1));
    QVERIFY(rig.verdicts[0].judged);
    QVERIFY2(rig.verdicts[0].right, qPrintable(rig.verdicts[0].said));
    QVERIFY(rig.verdicts[0].said.startsWith(QStringLiteral("Richtig")));
    QVERIFY(rig.verdicts[0].said.contains(QStringLiteral("Zeichen/min")));
    const auto& first = rig.practice->attempts().at(0);
    const int64_t lastMarkEnd =
        first.elements.back().atUs + std::llround(first.elements.back().durationMs * 1000);
    QVERIFY(rig.nowUs() - lastMarkEnd < 1000000);
    QVERIFY(rig.nowUs() > keyedFrom);

    // The next item comes after the pause, through the sound path.
    const int64_t heardFrom = rig.output.presentFrame();
    rig.run(SendingPractice::kNextItemAfterMs / 1000.0 + 0.1, false);
    QCOMPARE(rig.practice->exercise().intended(), QStringLiteral("DL1ABC"));
    rig.run(rig.output.secondsQueued() + 0.3, false);
    QCOMPARE(rig.marksFrom(heardFrom), Marks(QStringLiteral("DL1ABC")));

    // Keyed wrong (the last character): said at once, and the same item comes again.
    rig.key(QStringLiteral("DL1ABD"));
    rig.run(10, true);
    QCOMPARE(rig.verdicts.size(), size_t(2));
    QVERIFY(rig.verdicts[1].judged);
    QVERIFY(!rig.verdicts[1].right);
    QCOMPARE(rig.verdicts[1].check.wrongCount, 1);
    QVERIFY(rig.verdicts[1].said.startsWith(QStringLiteral("Falsch")));
    QVERIFY(rig.verdicts[1].said.contains(QStringLiteral("DL1ABD")));
    const int64_t againFrom = rig.output.presentFrame();
    rig.run(SendingPractice::kNextItemAfterMs / 1000.0 + 0.1, false);
    QCOMPARE(rig.practice->exercise().intended(), QStringLiteral("DL1ABC"));
    rig.run(rig.output.secondsQueued() + 0.3, false);
    QCOMPARE(rig.marksFrom(againFrom), Marks(QStringLiteral("DL1ABC")));

    // Keyed right at another speed this time: right, and a new item follows.
    rig.key(QStringLiteral("DL1ABC"), 60.0);
    rig.run(10, true);
    QCOMPARE(rig.verdicts.size(), size_t(3));
    QVERIFY2(rig.verdicts[2].right, qPrintable(rig.verdicts[2].said));
    rig.run(SendingPractice::kNextItemAfterMs / 1000.0 + 0.1, false);
    QCOMPARE(rig.practice->exercise().intended(), QStringLiteral("TEST"));

    // Every attempt keeps its durations: marks and spaces as keyed, from first mark to last.
    QCOMPARE(rig.practice->attempts().size(), size_t(3));
    for (const SendingAttempt& a : rig.practice->attempts()) {
        QVERIFY(a.elements.front().mark && a.elements.back().mark);
        for (const KeyedElement& e : a.elements) QVERIFY(e.durationMs > 0);
    }
    QCOMPARE(rig.practice->attempts()[1].text, QStringLiteral("DL1ABD"));

    // The record holds every attempt with its durations; read again from them alone, each
    // gives the text it gave while keyed.
    writer.flush();
    QCOMPARE(writer.lost(), 0);
    RecordStore store(path);
    const auto stored = store.sendingAttempts(QStringLiteral("dl1abc"), QDateTime());
    QCOMPARE(stored.size(), size_t(3));
    const QString intended[] = {QStringLiteral("CQ"), QStringLiteral("DL1ABC"),
                                QStringLiteral("DL1ABC")};
    for (int i = 0; i < 3; ++i) {
        const SendingAttempt& keyed = rig.practice->attempts()[i];
        QCOMPARE(stored[i].exercise, QStringLiteral("Nachgeben"));
        QCOMPARE(stored[i].intended, intended[i]);
        QCOMPARE(stored[i].decoded, keyed.text);
        QCOMPARE(stored[i].right, i != 1);
        QCOMPARE(stored[i].regularity, keyed.report.regularity);
        QCOMPARE(stored[i].durationsMs.size(), keyed.elements.size());
        for (size_t k = 0; k < keyed.elements.size(); ++k)
            QCOMPARE(stored[i].durationsMs[k], keyed.elements[k].durationMs);
        AttemptReader again(60, 3.0, SendingPractice::kAttemptPauseMs);
        again.take(ElementsOfDurations(stored[i].durationsMs));
        QCOMPARE(again.finish(3.0)->text, keyed.text);
    }
    QCOMPARE(stored[1].pairs.back().sent, QStringLiteral("C"));
    QCOMPARE(stored[1].pairs.back().copied, QStringLiteral("D"));
    // Recorded at the moments they ended, on the practice's clock.
    QVERIFY(stored[0].at.isValid() && stored[0].at < stored[1].at);
    QVERIFY(stored[2].at <= rig.clock.now());
}

void SendingPracticeTest::storedDurationsReadTheSameAgain() {
    Rig rig({QStringLiteral("CQ DL1ABC")});
    rig.practice->setMode(SendingMode::Free);
    rig.key(QStringLiteral("CQ DE DL1ABC K"));
    rig.run(20, true);
    QCOMPARE(rig.verdicts.size(), size_t(1));
    QVERIFY(!rig.verdicts[0].judged);
    const SendingAttempt& a = rig.practice->attempts().at(0);
    QCOMPARE(a.text, QStringLiteral("CQ DE DL1ABC K"));
    // Through the text form the record keeps, and read again from the durations alone.
    QString error;
    const auto back = ElementsFromText(ElementsToText(a.elements), &error);
    QVERIFY2(back, qPrintable(error));
    std::vector<KeyedElement> durations;
    int64_t at = 0;
    for (const KeyedElement& e : *back) {
        durations.push_back({e.mark, at, e.durationMs});
        at += std::llround(e.durationMs * 1000);
    }
    AttemptReader again(60, 3.0, 2500);
    again.take(durations);
    const auto replayed = again.finish(3.0);
    QVERIFY(replayed);
    QCOMPARE(replayed->text, a.text);
    QCOMPARE(replayed->report.regularity, a.report.regularity);
}

void SendingPracticeTest::templateHidesOnceKeyingStartsAndFreeIsNotJudged() {
    Rig rig({QStringLiteral("ABC"), QStringLiteral("DEF")});
    rig.practice->setHideTemplate(true);
    rig.practice->setMode(SendingMode::Template);
    // The drawn text, as the generators gave it; no sound in this exercise.
    QCOMPARE(rig.practice->templateText(), QStringLiteral("ABC"));
    QCOMPARE(rig.output.secondsQueued(), 0.0);
    rig.key(QStringLiteral("ABC"));
    rig.run(0.15, false);
    QCOMPARE(rig.practice->templateText(), QStringLiteral("(ausgeblendet)"));
    QCOMPARE(rig.templateChanges, 1);
    // Judged after the pause; a new text is shown, and it is visible again until keying.
    rig.run(10, true);
    QVERIFY(rig.verdicts.back().right);
    QCOMPARE(rig.practice->templateText(), QStringLiteral("DEF"));
    // The button ends an attempt without waiting for the pause; a wrong one gets a new text.
    rig.key(QStringLiteral("DEE"));
    rig.run(2.0, false);
    QVERIFY(rig.verdicts.size() == 1);
    const PracticeChange ended = rig.practice->endAttempt(rig.nowUs());
    QVERIFY(ended.verdict && !ended.verdict->right);
    QCOMPARE(ended.verdict->check.wrongCount, 1);
    QVERIFY(!rig.practice->endAttempt(rig.nowUs()).verdict);  // nothing keyed since
    // Without the option the template stays while keying.
    rig.practice->setHideTemplate(false);
    const QString shown = rig.practice->templateText();
    rig.key(QStringLiteral("E"));
    rig.run(0.3, false);
    QCOMPARE(rig.practice->templateText(), shown);
}

void SendingPracticeTest::hearingPlaysTheAttemptThenIdealTiming() {
    Rig rig({QStringLiteral("X")});
    QVERIFY(!rig.practice->playLastAttempt());
    rig.practice->setMode(SendingMode::Free);
    rig.key(QStringLiteral("EN"));
    rig.run(10, true);
    const SendingAttempt& a = rig.practice->attempts().at(0);
    QCOMPARE(a.text, QStringLiteral("EN"));
    const int64_t from = rig.output.presentFrame();
    QVERIFY(rig.practice->playLastAttempt());
    rig.clock.advance(rig.output.secondsQueued() + 0.2);
    const auto& all = rig.output.samples();
    const std::vector<int16_t> part(all.begin() + from, all.end());
    const auto marks = audio::FindMarks(part, kRate / 100);
    QCOMPARE(marks.size(), size_t(6));  // E N as keyed, then E N ideal
    auto ms = [](const audio::Mark& m) { return (m.last - m.first) * 1000.0 / kRate; };
    int k = 0;
    for (const KeyedElement& e : a.elements) {
        if (!e.mark) continue;
        QVERIFY2(std::abs(ms(marks[k]) - e.durationMs) < 6,
                 qPrintable(QString::number(ms(marks[k]))));
        ++k;
    }
    // The ideal copy: dash three dots, at the learner's speed.
    const double dot = 1200.0 / a.report.wpm;
    QVERIFY(std::abs(ms(marks[3]) - dot) < 6);
    QVERIFY(std::abs(ms(marks[4]) - 3 * dot) < 6);
    QVERIFY(std::abs(ms(marks[5]) - dot) < 6);
}

void SendingPracticeTest::reportSentencesSayTheFigures() {
    FistReport r;
    QCOMPARE(ReportSentences(r), QStringList{QStringLiteral("Kein Zeichen erkannt.")});
    r.characters = 4;
    r.cpm = 62.4;
    r.wpm = 12.4;
    r.startCpm = 55;
    r.endCpm = 70;
    r.lowestCpm = 54;
    r.highestCpm = 71;
    r.dashRatio = 3.46;
    r.idealDashRatio = 3.0;
    r.dashes = {5, 115.4, 6.2};
    r.characterGaps = {3, 120, 2};
    r.regularity = 81;
    r.worst = {{1, 0.5, QStringLiteral("B: dritter Punkt zu lang")}};
    const QString all = ReportSentences(r).join(u'\n');
    QVERIFY(all.contains(QStringLiteral("Tempo 62 Zeichen pro Minute (12 WpM)")));
    QVERIFY(all.contains(QStringLiteral("schneller geworden: von 55 auf 70")));
    QVERIFY(all.contains(QStringLiteral("1 : 3,5 (ideal 1 : 3,0)")));
    QVERIFY(all.contains(QStringLiteral("Striche: 115 % der idealen Länge, Streuung 6 %")));
    QVERIFY(all.contains(QStringLiteral("Zeichenabstände: 120 %")));
    QVERIFY(!all.contains(QStringLiteral("Wortabstände")));  // none keyed
    QVERIFY(all.contains(QStringLiteral("Gleichmäßigkeit 81 von 100")));
    QVERIFY(all.contains(QStringLiteral("B: dritter Punkt zu lang (+50 %)")));
    QCOMPARE(BarLengths({{0, 60.4}, {80, 181}}), QStringLiteral("60 – 181"));
}

REGISTER_TEST(SendingPracticeTest);
#include "sending_practice_test.moc"
