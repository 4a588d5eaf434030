#include "sending/fist_decoder.h"

#include <QTest>
#include <cmath>

#include "sending/human_fist.h"
#include "sending/sending_check.h"
#include "support/registry.h"

namespace {
// The decoder of a phone trainer: a mark counts only inside ±33 % of the dot or the dash at the
// set speed, anything else is lost and spoils its character; gaps by fixed lengths.
QString WindowDecoder(const testing::KeyedAttempt& attempt) {
    const double dot = DotMsAtCpm(attempt.setCpm);
    QString out;
    QString pattern;
    bool lost = false;
    auto flush = [&] {
        if (pattern.isEmpty() && !lost) return;
        const QString c = CharacterForPattern(pattern);
        out += (lost || c.isEmpty()) ? QString(QChar(0xFFFD)) : c;
        pattern.clear();
        lost = false;
    };
    for (const KeyedElement& e : attempt.elements) {
        const double dots = e.durationMs / dot;
        if (e.mark) {
            if (std::abs(dots - 1.0) <= 0.33)
                pattern += u'.';
            else if (std::abs(dots / 3.0 - 1.0) <= 0.33)
                pattern += u'-';
            else
                lost = true;
        } else if (dots >= 2.0) {
            flush();
            if (dots >= 5.0) out += u' ';
        }
    }
    flush();
    return out;
}

// Machine-exact marks and gaps of `text` [dots of `dotMs`] from `atUs`; returns where it ends.
int64_t Key(FistDecoder& decoder, const QString& text, double dotMs, int64_t atUs) {
    bool first = true;
    bool word = false;
    for (QChar c : text) {
        if (c == u' ') {
            word = true;
            continue;
        }
        const QString pattern = PatternForCharacter(c);
        for (qsizetype k = 0; k < pattern.size(); ++k) {
            if (!first || k > 0) {
                const double gap = (k > 0 ? 1.0 : word ? 7.0 : 3.0) * dotMs;
                decoder.feed({false, atUs, gap});
                atUs += static_cast<int64_t>(gap * 1000);
            }
            first = false;
            const double mark = (pattern[k] == u'-' ? 3.0 : 1.0) * dotMs;
            decoder.feed({true, atUs, mark});
            atUs += static_cast<int64_t>(mark * 1000);
        }
        word = false;
    }
    return atUs;
}

struct Score {
    double decoder = 0;  // share read right
    double window = 0;   // the same for the fixed windows
};

Score ReadCorpus(double deviation, uint32_t seed) {
    std::mt19937 random(seed);
    // Right pairs among all pairs: a character read as two costs as much as one misread.
    int right = 0, pairs = 0, windowRight = 0, windowPairs = 0;
    for (int attempt = 0; attempt < 200; ++attempt) {
        const testing::KeyedAttempt a = testing::GenerateAttempt(random, 50, deviation);
        FistDecoder decoder(a.setCpm);
        for (const KeyedElement& e : a.elements) decoder.feed(e);
        decoder.finish();
        const CopyCheckResult read = CheckSending(a.text, decoder.signs());
        const CopyCheckResult window = AlignCopy(a.text, WindowDecoder(a));
        right += read.rightCount;
        pairs += static_cast<int>(read.pairs.size());
        windowRight += window.rightCount;
        windowPairs += static_cast<int>(window.pairs.size());
    }
    return {static_cast<double>(right) / pairs, static_cast<double>(windowRight) / windowPairs};
}
}  // namespace

class FistDecoderTest : public QObject {
    Q_OBJECT
private slots:
    void readsDriftingHumanFists();
    void completesOnGapOrTimeout();
    void unknownPatternsUmlautsAndSharedSigns();
    void findsASpeedFarFromTheSetOne();
};

void FistDecoderTest::readsDriftingHumanFists() {
    const Score at20 = ReadCorpus(0.20, 26);
    const Score at35 = ReadCorpus(0.35, 2026);
    qInfo("10000 characters, +-20 %%: decoder %.2f %%, fixed +-33 %% windows %.2f %%",
          100 * at20.decoder, 100 * at20.window);
    qInfo("10000 characters, +-35 %%: decoder %.2f %%, fixed +-33 %% windows %.2f %%",
          100 * at35.decoder, 100 * at35.window);
    QVERIFY2(at20.decoder >= 0.99, qPrintable(QString::number(at20.decoder)));
    QVERIFY2(at35.decoder >= 0.95, qPrintable(QString::number(at35.decoder)));
}

void FistDecoderTest::completesOnGapOrTimeout() {
    const double dot = DotMsAtCpm(60);  // 77 ms
    FistDecoder decoder(60);
    int64_t end = Key(decoder, QStringLiteral("K"), dot, 0);
    QCOMPARE(decoder.pendingPattern(), QStringLiteral("-.-"));
    auto at = [&](double dots) { return end + static_cast<int64_t>(dots * dot * 1000); };
    const double border = FistDecoder::kCharGapDots;
    QCOMPARE(decoder.poll(at(border - 0.1)), 0);
    // The key went down after one dot of silence: no gap has grown since, however long it is held.
    QCOMPARE(decoder.poll(at(4), at(1)), 0);
    QCOMPARE(decoder.poll(at(border + 0.1)), 1);
    QCOMPARE(decoder.text(), QStringLiteral("K"));
    QCOMPARE(decoder.poll(at(4.9)), 0);
    QCOMPARE(decoder.text(), QStringLiteral("K"));
    decoder.poll(at(5.1));
    QCOMPARE(decoder.text(), QStringLiteral("K "));
    // The space itself arrives once the next mark starts; it completes nothing twice.
    QCOMPARE(decoder.feed({false, end, 8 * dot}), 0);
    end = Key(decoder, QStringLiteral("EE"), dot, at(8));
    QCOMPARE(decoder.text(), QStringLiteral("K E"));
    QCOMPARE(decoder.finish(), 1);
    QCOMPARE(decoder.text(), QStringLiteral("K EE"));
    QVERIFY(decoder.signs()[1].wordBefore);
    QVERIFY(!decoder.signs()[2].wordBefore);
    // The decoder's record of the keying is what it was fed.
    QCOMPARE(decoder.signs()[0].firstElement, 0);
    QCOMPARE(decoder.signs()[0].lastElement, 4);
    QVERIFY(!decoder.elements()[5].mark);
    QCOMPARE(decoder.elements()[5].durationMs, 8 * dot);

    // A length that is no number is no element; a run of empty gaps does not wear the dot away.
    const size_t fed = decoder.elements().size();
    decoder.feed({false, end, std::nan("")});
    decoder.feed({true, end, -5});
    QCOMPARE(decoder.elements().size(), fed);
    for (int i = 0; i < 100; ++i) decoder.feed({false, end, 0});
    QVERIFY(decoder.dotMs() >= 5.0);

    // Marks without a space between them: their moments tell the gap.
    FistDecoder gapless(60);
    gapless.feed({true, 0, dot});
    gapless.feed({true, static_cast<int64_t>(4 * dot * 1000), dot});
    gapless.finish();
    QCOMPARE(gapless.text(), QStringLiteral("EE"));
}

void FistDecoderTest::unknownPatternsUmlautsAndSharedSigns() {
    const double dot = DotMsAtCpm(100);
    FistDecoder decoder(100);
    int64_t at = Key(decoder, QStringLiteral("Ä"), dot, 0);
    decoder.feed({false, at, 3 * dot});
    at += static_cast<int64_t>(3000 * dot);
    for (int i = 0; i < 8; ++i) {  // eight dots: the error sign, which the trainer does not know
        if (i) decoder.feed({false, at - static_cast<int64_t>(1000 * dot), dot});
        decoder.feed({true, at, dot});
        at += static_cast<int64_t>(2000 * dot);
    }
    decoder.feed({false, at, 3 * dot});
    Key(decoder, QStringLiteral("("), dot, at + static_cast<int64_t>(3000 * dot));
    decoder.finish();
    QCOMPARE(decoder.text(), QStringLiteral("Ä*(........)("));
    QVERIFY(!decoder.signs()[1].known);
    // The unknown sign costs one character; ")" sounds like "(" and counts as right.
    const CopyCheckResult check = CheckSending(QStringLiteral("äh)"), decoder.signs());
    QCOMPARE(check.pairs.size(), size_t(3));
    QCOMPARE(check.rightCount, 2);
    QCOMPARE(check.wrongCount, 1);
    QCOMPARE(check.pairs[1].sent, QChar(u'H'));
}

void FistDecoderTest::findsASpeedFarFromTheSetOne() {
    // Set to 120 cpm, the learner keys at 50 and then at 125: after a few characters the
    // decoder has found the speed.
    const QString text = QStringLiteral("PARIS CODE QUICK VOLT FJORD PARIS CODE");
    for (double cpm : {50.0, 125.0}) {
        FistDecoder decoder(cpm < 100 ? 120 : 55);
        Key(decoder, text, DotMsAtCpm(cpm), 0);
        decoder.finish();
        const QString read = decoder.text();
        QVERIFY2(read.endsWith(QStringLiteral("VOLT FJORD PARIS CODE")), qPrintable(read));
        QVERIFY2(std::abs(decoder.dotMs() - DotMsAtCpm(cpm)) < 0.05 * DotMsAtCpm(cpm),
                 qPrintable(QString::number(decoder.dotMs())));
    }
}

REGISTER_TEST(FistDecoderTest);
#include "fist_decoder_test.moc"
