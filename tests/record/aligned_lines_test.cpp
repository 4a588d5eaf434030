#include "record/aligned_lines.h"

#include <QTest>

#include "support/registry.h"

class AlignedLinesTest : public QObject {
    Q_OBJECT
private slots:
    void sentLineStandsAboveTheCopyWithGaps();
    void rowsBreakBetweenGroups();
};

void AlignedLinesTest::sentLineStandsAboveTheCopyWithGaps() {
    // "A" missed, "X" extra.
    const QString sent = QStringLiteral("PARIS MORSE ");
    const CopyCheckResult result = AlignCopy(sent, QStringLiteral("pris morsex"));
    const std::vector<AlignedRow> rows = AlignedRows(result, sent, 40);
    QCOMPARE(rows.size(), size_t(1));
    const QString gap(kGap);
    QCOMPARE(SentLine(rows[0]), QStringLiteral("PARIS MORSE") + gap);
    QCOMPARE(CopyLine(rows[0]), QStringLiteral("P") + gap + QStringLiteral("RIS MORSEX"));
    QCOMPARE(rows[0][1].kind, AlignedColumn::Kind::Missed);
    QCOMPARE(rows[0][5].kind, AlignedColumn::Kind::Blank);
    QCOMPARE(rows[0][11].kind, AlignedColumn::Kind::Extra);

    // A wrong character stands under the one sent; line breaks and runs of blanks in the sent
    // text are one blank column, and none leads the line.
    const QString lines = QStringLiteral("\r\n  CQ  DE\r\nDL1ABC\r\n");
    const CopyCheckResult wrong = AlignCopy(lines, QStringLiteral("cq de dl1abd"));
    const std::vector<AlignedRow> one = AlignedRows(wrong, lines, 40);
    QCOMPARE(SentLine(one[0]), QStringLiteral("CQ DE DL1ABC"));
    QCOMPARE(CopyLine(one[0]), QStringLiteral("CQ DE DL1ABD"));
    QCOMPARE(one[0].back().kind, AlignedColumn::Kind::Wrong);
}

void AlignedLinesTest::rowsBreakBetweenGroups() {
    const QString sent = QStringLiteral("QWERT ZUIOP ASDFG HJKLY ");
    const CopyCheckResult result = AlignCopy(sent, QStringLiteral("qwert zuiop asdfg hjkly"));
    // Two groups and their blank fit in 11 columns; the blank at a break is dropped.
    const std::vector<AlignedRow> rows = AlignedRows(result, sent, 13);
    QCOMPARE(rows.size(), size_t(2));
    QCOMPARE(SentLine(rows[0]), QStringLiteral("QWERT ZUIOP"));
    QCOMPARE(SentLine(rows[1]), QStringLiteral("ASDFG HJKLY"));
    for (const AlignedRow& row : rows) QCOMPARE(CopyLine(row), SentLine(row));
    // A group longer than a row is cut where the row is full.
    const QString longGroup = QStringLiteral("ABCDEFGHIJ KL");
    const std::vector<AlignedRow> cut = AlignedRows(AlignCopy(longGroup, longGroup), longGroup, 4);
    QStringList shown;
    for (const AlignedRow& row : cut) shown << SentLine(row);
    QCOMPARE(shown, QStringList({"ABCD", "EFGH", "IJ", "KL"}));
}

REGISTER_TEST(AlignedLinesTest);
#include "aligned_lines_test.moc"
