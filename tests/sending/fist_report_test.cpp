#include "sending/fist_report.h"

#include <QTest>
#include <cmath>

#include "support/registry.h"

namespace {
// Machine-exact keying of `text` with a dash of `ratio` dots, character gaps of
// `charGapDots`, and one mark (sign `longSign`, mark `longMark`) stretched by `stretch`.
std::vector<KeyedElement> Exact(const QString& text, double dotMs, double ratio, double charGapDots,
                                int longSign, int longMark, double stretch) {
    std::vector<KeyedElement> out;
    int64_t atUs = 0;
    auto put = [&](bool mark, double ms) {
        out.push_back({mark, atUs, ms});
        atUs += static_cast<int64_t>(std::llround(ms * 1000.0));
    };
    int sign = -1;
    bool word = false;
    for (QChar c : text) {
        if (c == u' ') {
            word = true;
            continue;
        }
        if (++sign > 0) put(false, dotMs * (word ? 7.0 : charGapDots));
        word = false;
        const QString pattern = PatternForCharacter(c);
        for (qsizetype k = 0; k < pattern.size(); ++k) {
            if (k > 0) put(false, dotMs);
            const double factor = (sign == longSign && k == longMark) ? stretch : 1.0;
            put(true, (pattern[k] == u'-' ? ratio : 1.0) * dotMs * factor);
        }
    }
    return out;
}

void Near(double actual, double truth, const char* what) {
    // Within 2 % of the truth; a truth of 0 % (no spread) within 2 percentage points.
    const double allowed = truth == 0.0 ? 2.0 : 0.02 * std::abs(truth);
    QVERIFY2(std::abs(actual - truth) <= allowed,
             qPrintable(QStringLiteral("%1: %2, truth %3").arg(what).arg(actual).arg(truth)));
}
}  // namespace

class FistReportTest : public QObject {
    Q_OBJECT
private slots:
    void figuresOfKnownDepartures();
    void driftAndAnEmptyAttempt();
};

void FistReportTest::figuresOfKnownDepartures() {
    // 80 cpm, dashes of 3.5 dots, character gaps at 120 %, the B's third dot half again as long.
    const QString spaced = QStringLiteral("PARIS KEYS A BOX OF CODE NOW");
    const QString text = QString(spaced).remove(u' ');
    const int bSign = 10;
    QCOMPARE(text.at(bSign), QChar(u'B'));
    const double dot = DotMsAtCpm(80);
    const auto elements = Exact(spaced, dot, 3.5, 3.6, bSign, 3, 1.5);

    FistDecoder decoder(80, 3.0);
    for (const KeyedElement& e : elements) decoder.feed(e);
    decoder.finish();
    QCOMPARE(decoder.text(), spaced);
    const FistReport r = AnalyseFist(elements, decoder.signs(), 3.0);

    // The truth, counted from the text itself.
    int dotCount = 0, dashCount = 0, elementGaps = 0, words = 0;
    for (QChar c : spaced) {
        if (c == u' ') {
            ++words;
            continue;
        }
        const QString p = PatternForCharacter(c);
        dotCount += static_cast<int>(p.count(u'.'));
        dashCount += static_cast<int>(p.count(u'-'));
        elementGaps += static_cast<int>(p.size()) - 1;
    }
    const int signs = static_cast<int>(text.size());
    const double dotMean = (dotCount + 0.5) / dotCount;
    const double dotSpread = std::sqrt(
        ((dotCount - 1) * std::pow(1.0 - dotMean, 2) + std::pow(1.5 - dotMean, 2)) / dotCount);

    QCOMPARE(r.characters, signs);
    Near(r.cpm, 80, "cpm");
    Near(r.wpm, 1200.0 / dot, "wpm");
    Near(r.startCpm, 80, "start");
    Near(r.endCpm, 80, "end");
    Near(r.lowestCpm, 80, "lowest");
    Near(r.highestCpm, 80, "highest");
    Near(r.dashRatio, 3.5, "ratio");
    QCOMPARE(r.dots.count, dotCount);
    Near(r.dots.meanPercent, 100 * dotMean, "dots");
    Near(r.dots.spreadPercent, 100 * dotSpread, "dot spread");
    QCOMPARE(r.dashes.count, dashCount);
    Near(r.dashes.meanPercent, 100 * 3.5 / 3.0, "dashes");
    Near(r.dashes.spreadPercent, 0, "dash spread");
    QCOMPARE(r.elementGaps.count, elementGaps);
    Near(r.elementGaps.meanPercent, 100, "element gaps");
    Near(r.elementGaps.spreadPercent, 0, "element gap spread");
    QCOMPARE(r.characterGaps.count, signs - 1 - words);
    Near(r.characterGaps.meanPercent, 120, "character gaps");
    Near(r.characterGaps.spreadPercent, 0, "character gap spread");
    QCOMPARE(r.wordGaps.count, words);
    Near(r.wordGaps.meanPercent, 100, "word gaps");
    Near(r.wordGaps.spreadPercent, 0, "word gap spread");
    // Only the dots spread: their share of the mean, averaged over five classes.
    Near(r.regularity, 100.0 * (1.0 - 2.0 * (dotSpread / dotMean) / 5.0), "regularity");

    QVERIFY(r.worst.size() == 3);
    QCOMPARE(r.worst[0].sign, bSign);
    QCOMPARE(r.worst[0].words, QStringLiteral("B: dritter Punkt zu lang"));
    Near(r.worst[0].departure, 0.5, "departure");
    // Then the first of the equal faults: 20 % too long a gap beats 17 % too long a dash.
    QCOMPARE(r.worst[1].words, QStringLiteral("Zeichenabstand nach P zu lang"));

    // The picture: the B as keyed and at ideal timing, the third dot the only difference.
    const TimingRow& b = r.picture.at(bSign);
    QCOMPARE(b.text, QStringLiteral("B"));
    QCOMPARE(b.keyed.size(), size_t(4));
    QCOMPARE(b.ideal.size(), size_t(4));
    const double keyedStart[] = {0, 4.5, 6.5, 8.5};  // [dots]: after a dash of 3.5
    const double idealStart[] = {0, 4, 6, 8};
    const double keyedLength[] = {3.5, 1, 1, 1.5};
    const double idealLength[] = {3, 1, 1, 1};
    for (int k = 0; k < 4; ++k) {
        Near(b.keyed[k].startMs, keyedStart[k] * dot, "keyed start");
        Near(b.ideal[k].startMs, idealStart[k] * dot, "ideal start");
        Near(b.keyed[k].lengthMs, keyedLength[k] * dot, "keyed length");
        Near(b.ideal[k].lengthMs, idealLength[k] * dot, "ideal length");
    }
}

void FistReportTest::driftAndAnEmptyAttempt() {
    // Speed rising from 60 to 120 cpm over twenty characters of E and T.
    std::vector<KeyedElement> elements;
    int64_t atUs = 0;
    for (int i = 0; i < 20; ++i) {
        const double dot = DotMsAtCpm(60.0 + 60.0 * i / 19.0);
        if (i > 0) {
            elements.push_back({false, atUs, 3 * dot});
            atUs += static_cast<int64_t>(3000 * dot);
        }
        const double mark = (i % 2 ? 3 : 1) * dot;
        elements.push_back({true, atUs, mark});
        atUs += static_cast<int64_t>(1000 * mark);
    }
    FistDecoder decoder(60);
    for (const KeyedElement& e : elements) decoder.feed(e);
    decoder.finish();
    QCOMPARE(decoder.text(), QStringLiteral("ETETETETETETETETETET"));
    const FistReport r = AnalyseFist(elements, decoder.signs(), 3.0);
    QVERIFY2(r.startCpm < 75 && r.endCpm > 105, qPrintable(QString::number(r.endCpm)));
    QVERIFY(r.lowestCpm <= r.startCpm && r.highestCpm >= r.endCpm);
    QVERIFY(r.cpm > r.lowestCpm && r.cpm < r.highestCpm);

    const FistReport empty = AnalyseFist({}, {}, 3.0);
    QCOMPARE(empty.characters, 0);
    QVERIFY(empty.worst.empty() && empty.picture.empty());
}

REGISTER_TEST(FistReportTest);
#include "fist_report_test.moc"
