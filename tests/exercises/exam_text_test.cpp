#include "exercises/exam_text.h"

#include <QRegularExpression>
#include <QTest>

#include "data_fixtures.h"
#include "exercises/abbreviations.h"
#include "exercises/character_sets.h"
#include "mainwindow/run_control.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
constexpr Rgb kBlue = RGB(0, 0, 128);
constexpr Rgb kLightRed = RGB(255, 0, 0);
constexpr Rgb kMagenta = RGB(128, 0, 128);
constexpr Rgb kGreen = RGB(0, 128, 0);

void run(TestRig& rig, const char* kind) {
    rig.f.Ohr.setValue(0);
    rig.s.ExerciseKind = QString::fromLatin1(kind);
    rig.f.Comstart.click();
}

// The text printed in one colour, in printing order.
QString printedIn(const TestRig& rig, Rgb color) {
    QString text;
    for (const auto& piece : rig.surface.pieces()) {
        if (piece.color == color) text += piece.text;
    }
    return text;
}

QByteArray abbreviationFile(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += scrambled(line) + "\r\n";
    return bytes;
}

QByteArray nameFile(const QStringList& records) {
    QByteArray bytes;
    for (const QString& record : records) bytes += scrambled(record, 22);
    return bytes;
}
}  // namespace

class ExamTextTest : public QObject {
    Q_OBJECT
private slots:
    void abbreviationRunEndsAfterPassing60();
    void examTextOrderAndLength();
    void stopKeepsKindAndGroupCount();
    void pickRandomEntryFields();
    void shortOrBrokenNameFile();
    void examWithoutNameFileOrAbbreviations();
    void abbreviationFileLimits();
};

void ExamTextTest::abbreviationRunEndsAfterPassing60() {
    WorkDirScope work;
    work.write(
        QStringLiteral("Abk.txt"),
        abbreviationFile({QStringLiteral("QRL"), QStringLiteral("name"), QStringLiteral("73"),
                          QStringLiteral("QTH"), QStringLiteral("TNX"), QStringLiteral("RST5NN")}));
    int doubleBlanks = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        TestRig rig(seed);
        rig.startUp();
        QCOMPARE(int(rig.s.AbbrevCount), 6);
        run(rig, "A");
        const QString text = rig.s.SentText;
        QVERIFY(text.endsWith(u' '));
        const QStringList entries = text.chopped(1).split(u' ');
        for (const QString& entry : entries) {
            QVERIFY2(QStringList({"", "QRL", "73", "TNX", "RST5NN"}).contains(entry),
                     qPrintable(text));
        }
        // The placeholders are never sent, their blank is.
        if (text.contains(QStringLiteral("  "))) ++doubleBlanks;
        QVERIFY(text.size() > 60);
        QVERIFY(text.size() - entries.last().size() - 1 <= 60);
        QCOMPARE(rig.surface.pieces().back().text, QStringLiteral("+"));
    }
    QVERIFY(doubleBlanks > 0);
}

void ExamTextTest::examTextOrderAndLength() {
    InstalledDataScope data(deliveredDataDir());
    int names = 0, qths = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        TestRig rig(seed);
        rig.startUp();
        int longestEntry = 0;
        for (int i = 1; i <= rig.s.AbbrevCount; ++i)
            longestEntry = std::max(longestEntry, int(rig.s.AbbrevList[i].size()));
        run(rig, "C");
        const QString text = rig.s.SentText;
        QCOMPARE(rig.s.ExerciseKind, QStringLiteral("C"));
        QCOMPARE(rig.s.GroupCount, 12.0f);
        QCOMPARE(rig.f.PB1.max(), 180);
        QCOMPARE(rig.surface.pieces().back().text, QStringLiteral("+"));

        // Twelve blue groups, then "= " and the words with their punctuation up to " = ".
        // The display shows the digit zero as a slashed zero.
        const QString groups =
            printedIn(rig, kBlue).simplified().replace(rig.s.ZeroGlyph, QStringLiteral("0"));
        QCOMPARE(groups.split(u' ').size(), 12);
        QCOMPARE(text.left(72).simplified(), groups);
        QCOMPARE(text.mid(72, 2), QStringLiteral("= "));
        const qsizetype wordsEnd = text.indexOf(QStringLiteral(" = "), 74);
        QVERIFY(wordsEnd > 74);
        QVERIFY(wordsEnd >= 118);
        const QString words = text.mid(74, wordsEnd - 74);
        static const QRegularExpression passage(
            QStringLiteral("^[A-ZÄÖÜß]+(?:[.,?/] [A-ZÄÖÜß]+(?: [A-ZÄÖÜß]+)*)+$"));
        QVERIFY2(passage.match(words).hasMatch(), qPrintable(words));
        QChar lastSign;
        for (QChar c : words) {
            if (!QStringLiteral(".,?/").contains(c)) continue;
            QVERIFY2(c != lastSign, qPrintable(words));
            lastSign = c;
        }

        // A call sign, then "de" and the station's call sign in light red, then "= ".
        const QString rest = text.mid(wordsEnd + 3);
        const QString station =
            printedIn(rig, kLightRed).simplified().replace(rig.s.ZeroGlyph, QStringLiteral("0"));
        QCOMPARE(station, QStringLiteral("DE ") + rig.s.EntryCall);
        static const QRegularExpression callThenStation(
            QStringLiteral("^[A-Z0-9]{5,6} DE [A-Z0-9]+ = "));
        QVERIFY2(callThenStation.match(rest).hasMatch(), qPrintable(rest));

        // Name and QTH at most once each, after the station, in their colours.
        const QString name = printedIn(rig, kMagenta).simplified();
        const QString qth = printedIn(rig, kGreen).simplified();
        QCOMPARE(rest.count(QStringLiteral("NAME ")), name.isEmpty() ? 0 : 1);
        QCOMPARE(rest.count(QStringLiteral("QTH ")), qth.isEmpty() ? 0 : 1);
        if (!name.isEmpty()) QVERIFY(name.startsWith(QStringLiteral("NAME ")));
        if (!qth.isEmpty()) QVERIFY(qth.startsWith(QStringLiteral("QTH ")));
        names += name.isEmpty() ? 0 : 1;
        qths += qth.isEmpty() ? 0 : 1;

        // The first abbreviation passage ends at 160, the second once 180 is reached, each
        // within one abbreviation (and one name or QTH phrase) of its mark.
        const int phrase = 22 + 5;
        const qsizetype second = text.lastIndexOf(QStringLiteral("= ")) + 2;
        QVERIFY(second - 2 >= 160);
        QVERIFY(second - 2 < 160 + longestEntry + 1 + phrase);
        QVERIFY(text.size() >= 180);
        QVERIFY(text.size() < std::max<qsizetype>(180, second) + longestEntry + 1 + phrase);
    }
    QVERIFY(names > 0 && qths > 0);
}

void ExamTextTest::stopKeepsKindAndGroupCount() {
    InstalledDataScope data(deliveredDataDir());
    for (double at : {8.0, 60.0, 150.0}) {
        TestRig rig(2);
        rig.startUp();
        rig.s.ExerciseKind = QStringLiteral("C");
        rig.clock.at(at, [&] { rig.f.comstop.click(); });
        rig.f.Comstart.click();
        QCOMPARE(rig.s.ExerciseKind, QStringLiteral("C"));
        QCOMPARE(rig.s.GroupCount, 12.0f);
        QVERIFY(rig.surface.pieces().back().text != QStringLiteral("+"));
        QCOMPARE(rig.surface.foreColor, RGB(0, 0, 0));
    }
}

void ExamTextTest::pickRandomEntryFields() {
    WorkDirScope work;
    work.write(QStringLiteral("MORSE.NAM"),
               nameFile({QStringLiteral("DL1ABC*Hans*Bonn"), QStringLiteral("OE3XY*Ute*")}));
    TestRig rig;
    rig.startUp();
    bool first = false, second = false;
    for (int i = 0; i < 50; ++i) {
        QVERIFY(PickRandomEntry());
        if (rig.s.EntryCall == QStringLiteral("DL1ABC")) {
            first = true;
            QCOMPARE(rig.s.EntryName, QStringLiteral("Hans"));
            QCOMPARE(rig.s.EntryQth, QStringLiteral("Bonn "));
        } else {
            second = true;
            QCOMPARE(rig.s.EntryCall, QStringLiteral("OE3XY"));
            QCOMPARE(rig.s.EntryName, QStringLiteral("Ute"));
            // A place of blanks only becomes a single blank.
            QCOMPARE(rig.s.EntryQth, QStringLiteral(" "));
        }
    }
    QVERIFY(first && second);
}

void ExamTextTest::shortOrBrokenNameFile() {
    WorkDirScope work;
    {
        // Records without two "*" are passed over; the readable one is found.
        work.write(QStringLiteral("MORSE.NAM"),
                   nameFile({QStringLiteral("DL1ABC Hans Bonn"), QStringLiteral("DK2XY*Eva*Kiel"),
                             QStringLiteral("DF3Z*ohne")}));
        TestRig rig;
        rig.startUp();
        int found = 0;
        for (int i = 0; i < 30; ++i) found += PickRandomEntry() ? 1 : 0;
        QVERIFY(found > 10);
        QVERIFY(rig.s.EntryCall.isEmpty() || rig.s.EntryCall == QStringLiteral("DK2XY"));
    }
    {
        work.write(QStringLiteral("MORSE.NAM"), nameFile({QStringLiteral("kaputt")}));
        TestRig rig;
        rig.startUp();
        QVERIFY(!PickRandomEntry());
        QVERIFY(rig.s.EntryCall.isEmpty() && rig.s.EntryName.isEmpty() && rig.s.EntryQth.isEmpty());
    }
}

void ExamTextTest::examWithoutNameFileOrAbbreviations() {
    WorkDirScope work;
    work.copyDelivered(QStringLiteral("LEXIKON"));
    {
        // Neither MORSE.NAM nor Abk.txt: the exam does without station and abbreviations.
        TestRig rig(4);
        rig.startUp();
        run(rig, "C");
        const QString shown = rig.surface.visibleText();
        QVERIFY(shown.contains(QStringLiteral("Namensdatei MORSE.NAM fehlt")));
        QVERIFY(printedIn(rig, kLightRed).isEmpty());
        QCOMPARE(rig.surface.pieces().back().text, QStringLiteral("+"));
        QVERIFY(rig.s.SentText.contains(QStringLiteral(" = ")));
        QVERIFY(rig.f.Comstart.enabled());
    }
    work.copyDelivered(QStringLiteral("MORSE.NAM"));
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        // Abk.txt alone missing: said once before the run, never inside the text; words fill
        // the passages to the usual end, with name and QTH at most once each.
        TestRig rig(seed);
        rig.startUp();
        run(rig, "C");
        QCOMPARE(rig.dialogs.messages,
                 QStringList{QStringLiteral("Abkürzungsliste Abk.txt fehlt oder ist leer")});
        QVERIFY(!rig.surface.visibleText().contains(QStringLiteral("Abk.txt")));
        const QString text = rig.s.SentText;
        QVERIFY2(text.size() >= 180 && text.size() < 230, qPrintable(text));
        QVERIFY(printedIn(rig, kMagenta).simplified().count(QStringLiteral("NAME")) <= 1);
        QVERIFY(printedIn(rig, kGreen).simplified().count(QStringLiteral("QTH")) <= 1);
    }
    {
        TestRig rig;
        rig.startUp();
        run(rig, "A");
        QCOMPARE(rig.s.SentText, QString());
        QVERIFY(rig.surface.visibleText().contains(QStringLiteral("Abk.txt fehlt")));
        QVERIFY(rig.f.Comstart.enabled());
        QVERIFY(!rig.f.comstop.enabled());
    }
}

void ExamTextTest::abbreviationFileLimits() {
    WorkDirScope work;
    QStringList lines;
    for (int i = 1; i <= 300; ++i) lines << QStringLiteral("QSO %1").arg(i);
    work.write(QStringLiteral("Abk.txt"), abbreviationFile(lines));
    TestRig rig;
    ReadAbbreviations();
    QCOMPARE(int(rig.s.AbbrevCount), 290);
    QCOMPARE(rig.s.AbbrevList[1], QStringLiteral("QSO 1"));
    QCOMPARE(rig.s.AbbrevList[290], QStringLiteral("QSO 290"));

    work.write(QStringLiteral("Abk.txt"), QByteArray());
    ReadAbbreviations();
    QCOMPARE(int(rig.s.AbbrevCount), 0);
    QVERIFY(rig.s.AbbrevList[1].isEmpty());

    // Unix line ends and a last line without one.
    work.write(QStringLiteral("Abk.txt"),
               scrambled(QStringLiteral("GM")) + "\n" + scrambled(QStringLiteral("GN")));
    ReadAbbreviations();
    QCOMPARE(int(rig.s.AbbrevCount), 2);
    QCOMPARE(rig.s.AbbrevList[2], QStringLiteral("GN"));
}

REGISTER_TEST(ExamTextTest);
#include "exam_text_test.moc"
