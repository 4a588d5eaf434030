#include "record/copy_alignment.h"

#include <QTest>

#include "support/registry.h"

namespace {
using Kind = AlignedPair::Kind;

int count(const CopyCheckResult& r, Kind kind) {
    return static_cast<int>(std::count_if(r.pairs.begin(), r.pairs.end(),
                                          [kind](const AlignedPair& p) { return p.kind == kind; }));
}

// Twelve groups of five, as a run sends them.
const QString kText =
    QStringLiteral("QWERT ZUIOP ASDFG HJKLY XCVBN MQWER TZUIO PASDF GHJKL YXCVB NMQWE RTZUI ");
}  // namespace

class CopyAlignmentTest : public QObject {
    Q_OBJECT
private slots:
    void oneMissedEarlyCostsOne();
    void oneExtraCostsOne();
    void swappedPairCostsTwo();
    void blanksAndCaseDoNotCount();
    void emptyOrBlankCopy();
    void copyTwiceAsLong();
    void otherAlphabetAndHugeCopy();
};

void CopyAlignmentTest::oneMissedEarlyCostsOne() {
    QString copy = kText;
    copy.remove(1, 1);  // the W of the first group
    const CopyCheckResult r = AlignCopy(kText, copy);
    QCOMPARE(r.sentCount, 60);
    QCOMPARE(r.rightCount, 59);
    QCOMPARE(r.missedCount, 1);
    QCOMPARE(r.wrongCount + r.extraCount, 0);
    QCOMPARE(r.pairs[1].kind, Kind::Missed);
    QCOMPARE(r.pairs[1].sent, QChar(u'W'));
    QVERIFY(qAbs(r.share() - 59.0 / 60.0) < 1e-9);
}

void CopyAlignmentTest::oneExtraCostsOne() {
    QString copy = kText;
    copy.insert(3, u'E');
    const CopyCheckResult r = AlignCopy(kText, copy);
    QCOMPARE(r.rightCount, 60);
    QCOMPARE(r.extraCount, 1);
    QCOMPARE(count(r, Kind::Extra), 1);
    QCOMPARE(r.wrongCount + r.missedCount, 0);
    QVERIFY(qAbs(r.share() - 60.0 / 61.0) < 1e-9);
}

void CopyAlignmentTest::swappedPairCostsTwo() {
    QString copy = kText;
    std::swap(copy[6], copy[7]);  // ZUIOP -> UZIOP
    const CopyCheckResult r = AlignCopy(kText, copy);
    QCOMPARE(r.rightCount, 58);
    QCOMPARE(r.wrongCount + r.missedCount + r.extraCount, 2);
    // A wrong character stays one pair, sent against copied.
    const CopyCheckResult wrong = AlignCopy(QStringLiteral("B"), QStringLiteral("6"));
    QCOMPARE(wrong.pairs.size(), size_t(1));
    QCOMPARE(wrong.pairs[0].kind, Kind::Wrong);
    QCOMPARE(wrong.pairs[0].sent, QChar(u'B'));
    QCOMPARE(wrong.pairs[0].copied, QChar(u'6'));
}

void CopyAlignmentTest::blanksAndCaseDoNotCount() {
    const CopyCheckResult r = AlignCopy(kText, kText.toLower().remove(u' '));
    QCOMPARE(r.rightCount, 60);
    QCOMPARE(r.share(), 1.0);
    const CopyCheckResult spread =
        AlignCopy(QStringLiteral("ABC DE"), QStringLiteral(" a b\tc\nd e "));
    QCOMPARE(spread.rightCount, 5);
    QCOMPARE(spread.pairs.size(), size_t(5));
}

void CopyAlignmentTest::emptyOrBlankCopy() {
    for (const QString& copy : {QString(), QStringLiteral("     \n\t  ")}) {
        const CopyCheckResult r = AlignCopy(kText, copy);
        QCOMPARE(r.missedCount, 60);
        QCOMPARE(r.rightCount, 0);
        QCOMPARE(r.share(), 0.0);
    }
    // Nothing sent and nothing copied: nothing to score.
    const CopyCheckResult none = AlignCopy(QString(), QString());
    QVERIFY(none.pairs.empty());
    QCOMPARE(none.share(), 0.0);
}

void CopyAlignmentTest::copyTwiceAsLong() {
    const CopyCheckResult r = AlignCopy(kText, kText + kText);
    QCOMPARE(r.rightCount, 60);
    QCOMPARE(r.extraCount, 60);
    QCOMPARE(r.share(), 0.5);
}

void CopyAlignmentTest::otherAlphabetAndHugeCopy() {
    // A pasted NUL is no character: it neither counts nor hides an extra one.
    const CopyCheckResult nul =
        AlignCopy(QStringLiteral("ABC"), QStringLiteral("A") + QChar(u'\0') + QStringLiteral("BC"));
    QCOMPARE(nul.pairs.size(), size_t(3));
    QCOMPARE(nul.rightCount, 3);
    const CopyCheckResult cyrillic = AlignCopy(QStringLiteral("ABC"), QStringLiteral("АБВ"));
    QCOMPARE(cyrillic.rightCount, 0);
    QCOMPARE(cyrillic.wrongCount, 3);
    const CopyCheckResult huge = AlignCopy(kText, QString(1000000, u'X'));
    QVERIFY(huge.truncated);
    QCOMPARE(huge.pairs.size(), size_t(kCopyCheckMaxChars));
    QCOMPARE(huge.rightCount, 2);  // the two X of the text
}

REGISTER_TEST(CopyAlignmentTest);
#include "copy_alignment_test.moc"
