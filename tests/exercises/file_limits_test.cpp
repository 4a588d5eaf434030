#include <QBuffer>
#include <QTest>

#include "exercises/abbreviations.h"
#include "exercises/character_sets.h"
#include "exercises/data_fixtures.h"
#include "exercises/own_text.h"
#include "exercises/word_generator.h"
#include "support/registry.h"
#include "support/rig.h"

// Each data file just past its limit: the user is told, and nothing beyond the limit is used.
class FileLimitsTest : public QObject {
    Q_OBJECT
private slots:
    void abbreviationsStopAtLinesAndBytes();
    void wordListDrawsFromItsLimit();
    void oversizedNameFileIsNotRead();
    void textFileCutIsTold();
};

void FileLimitsTest::abbreviationsStopAtLinesAndBytes() {
    WorkDirScope work;
    TestRig rig;
    QByteArray lines;
    for (int i = 1; i <= kMaxAbbreviations + 1; ++i)
        lines += scrambled(QStringLiteral("abk%1").arg(i)) + "\r\n";
    work.write(QStringLiteral("Abk.txt"), lines);
    rig.startUp();
    QCOMPARE(int(rig.s.AbbrevCount), kMaxAbbreviations);
    QCOMPARE(rig.s.AbbrevList[kMaxAbbreviations], QStringLiteral("abk290"));
    QCOMPARE(int(rig.dialogs.messages.size()), 1);
    QVERIFY(rig.dialogs.messages[0].contains(QStringLiteral("Abk.txt")));

    // Long lines: only those that end before the byte limit count, and no byte past it is read.
    QByteArray longLines;
    while (longLines.size() <= kMaxAbbreviationFileBytes)
        longLines += QByteArray(999, 'x') + '\n';
    QBuffer device(&longLines);
    QVERIFY(device.open(QIODevice::ReadOnly));
    const AbbreviationFile read = ReadAbbreviationsFrom(device);
    QCOMPARE(int(read.entries.size()), int(kMaxAbbreviationFileBytes / 1000));
    QCOMPARE(read.entries.last().size(), 999);
    QVERIFY(!read.problem.isEmpty());
    QCOMPARE(device.pos(), kMaxAbbreviationFileBytes + 1);
}

void FileLimitsTest::wordListDrawsFromItsLimit() {
    WorkDirScope work;
    TestRig rig;
    rig.startUp();
    // Every record within the limit holds "eins", the one after it another word.
    const QByteArray record = scrambled(QStringLiteral("one@eins"), 38);
    QByteArray list = record.repeated(kMaxWordRecords);
    list += scrambled(QStringLiteral("far@fern"), 38);
    work.write(QStringLiteral("LEXIKON"), list);
    rig.f.Ohr.setValue(0);
    rig.s.ExerciseKind = QStringLiteral("F");
    rig.f.Comstart.click();
    QCOMPARE(rig.s.SentText, QStringLiteral("EINS ").repeated(12));
    QCOMPARE(int(rig.dialogs.messages.size()), 1);
    QVERIFY(rig.dialogs.messages[0].contains(QStringLiteral("LEXIKON")));
    QVERIFY(rig.dialogs.messages[0].contains(QString::number(kMaxWordRecords)));
}

void FileLimitsTest::oversizedNameFileIsNotRead() {
    WorkDirScope work;
    const QByteArray record = scrambled(QStringLiteral("DL1AB*Otto*Bonn"), 22);
    QByteArray names = record.repeated(kMaxNameFileBytes / 22);
    work.write(QStringLiteral("MORSE.NAM"), names);
    {
        TestRig rig;
        rig.startUp();
        QString read;
        QVERIFY(ReadNameRecord(1, read));
        QVERIFY(NameFileProblem().isEmpty());
    }
    names += record;  // now past the limit
    work.write(QStringLiteral("MORSE.NAM"), names);
    TestRig rig;
    rig.startUp();
    QString read;
    QVERIFY(!ReadNameRecord(1, read));
    QCOMPARE(rig.s.NameFile, int16_t(0));
    QVERIFY(NameFileProblem().contains(QStringLiteral("MORSE.NAM")));
}

void FileLimitsTest::textFileCutIsTold() {
    // A single line far over the limit: read no further than the bytes the limit can need.
    QByteArray line(10 * kTextFileLimit, 'k');
    QBuffer device(&line);
    QVERIFY(device.open(QIODevice::ReadOnly));
    const TextFile cut = ReadText(device, kTextFileLimit);
    QVERIFY(!cut.complete);
    QCOMPARE(int(cut.text.size()), kTextFileLimit + 1);
    QVERIFY(device.pos() <= 4 * kTextFileLimit + 1);

    WorkDirScope work;
    TestRig rig;
    rig.startUp();
    work.write(QStringLiteral("lang.txt"), QByteArray(kTextFileLimit, 'a') + "\nb\n");
    work.write(QStringLiteral("passt.txt"), QByteArray(kTextFileLimit, 'a') + "\n");
    rig.dialogs.fileAnswer = work.path(QStringLiteral("passt.txt"));
    rig.f.MausDatei.click();
    QVERIFY(!rig.surface.visibleText().contains(QStringLiteral("länger als")));
    rig.dialogs.fileAnswer = work.path(QStringLiteral("lang.txt"));
    rig.f.MausDatei.click();
    QCOMPARE(rig.s.ExerciseText, QString(kTextFileLimit, u'a') + u' ');
    QVERIFY(rig.surface.visibleText().contains(
        QStringLiteral("Die Datei lang.txt ist länger als 2000 Zeichen")));
}

REGISTER_TEST(FileLimitsTest);
#include "file_limits_test.moc"
