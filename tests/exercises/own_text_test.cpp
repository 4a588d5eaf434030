#include "exercises/own_text.h"

#include <QTest>

#include "data_fixtures.h"
#include "mainwindow/run_control.h"
#include "platform/dialogs.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
// Answers the file dialog with a fixed choice and remembers what it was asked.
class FileChoice : public DialogSeam {
public:
    FileChoice() : saved_(Platform().dialogs) { Platform().dialogs = this; }
    ~FileChoice() override { Platform().dialogs = saved_; }
    void showDialog(DialogId) override {}
    QString openFileName(const QString& title, const QString& filter) override {
        titles << title;
        filters << filter;
        return answer;
    }
    bool printerSetup() override { return false; }
    void message(const QString&) override {}

    QString answer;  // empty: cancelled
    QStringList titles, filters;

private:
    DialogSeam* saved_;
};

// Chooses `name` (in the working directory) in the file dialog of "Aus Datei".
void loadFile(TestRig& rig, FileChoice& dialog, const WorkDirScope& work, const QString& name) {
    dialog.answer = work.path(name);
    rig.f.MausDatei.click();
}

QString loaded(const QByteArray& bytes) {
    WorkDirScope work;
    work.write(QStringLiteral("t.txt"), bytes);
    return ReadTextFile(work.path(QStringLiteral("t.txt"))).text;
}
}  // namespace

class OwnTextTest : public QObject {
    Q_OBJECT
private slots:
    void threeLinesGiveEightCharacters();
    void emptyFileRunsOnlyTheFrame();
    void cutAfterTheLineThatReaches2000();
    void hugeAndBinaryFiles();
    void utf8AndWindows1252();
    void cancelAndUnreadableKeepTheExercise();
    void fontShrinksToFitButNotBelow8();
    void linesBreakBetweenWords();
    void stopEndsWithoutStatistics();
};

void OwnTextTest::threeLinesGiveEightCharacters() {
    WorkDirScope work;
    TestRig rig;
    FileChoice dialog;
    rig.startUp();
    work.write(QStringLiteral("drei.txt"), "A\r\nB C\r\nD\r\n");
    loadFile(rig, dialog, work, QStringLiteral("drei.txt"));
    QCOMPARE(dialog.titles, QStringList{QStringLiteral("DATEI ERÖFFNEN")});
    QCOMPARE(dialog.filters,
             QStringList{QStringLiteral("Txt (*.txt);;Alles (*.*);;Blank Ext (*.);;Doc (*.doc)")});
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("A B C D "));
    QCOMPARE(rig.s.SentText, rig.s.ExerciseText);
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("T"));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Text aus Datei"));
    QVERIFY(rig.f.Comstart.enabled());
    QVERIFY(rig.wave.played.contains(QStringLiteral(".\\alfa\\S12.wav")));

    rig.f.Comstart.click();
    QCOMPARE(rig.s.SentText, QStringLiteral("A B C D "));
    QCOMPARE(rig.surface.pieces().back().text, QStringLiteral("+"));
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("T"));
    // Without a final line end, and with Unix line ends, the text is the same.
    QCOMPARE(loaded("A\nB C\nD"), QStringLiteral("A B C D "));
    // Empty lines and double blanks are kept: each becomes a word gap.
    QCOMPARE(loaded("A\r\n\r\nB  C\r\n"), QStringLiteral("A  B  C "));
}

void OwnTextTest::emptyFileRunsOnlyTheFrame() {
    WorkDirScope work;
    TestRig rig;
    FileChoice dialog;
    rig.startUp();
    work.write(QStringLiteral("leer.txt"), QByteArray());
    loadFile(rig, dialog, work, QStringLiteral("leer.txt"));
    QCOMPARE(rig.s.ExerciseText, QString());
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("T"));
    QVERIFY(rig.f.Comstart.enabled());
    rig.f.Comstart.click();
    QCOMPARE(rig.s.SentText, QString());
    QString printed;
    for (const auto& piece : rig.surface.pieces()) printed += piece.text;
    QCOMPARE(printed.remove(u' '), QStringLiteral("VVV*+"));
}

void OwnTextTest::cutAfterTheLineThatReaches2000() {
    // Lines of 300 characters: six give 1806, the seventh takes the text to 2107 and is kept.
    QByteArray lines;
    for (int i = 0; i < 10; ++i) lines += QByteArray(300, char('a' + i)) + "\r\n";
    const QString text = loaded(lines);
    QCOMPARE(text.size(), 7 * 301);
    QVERIFY(text.endsWith(QString(300, u'g') + u' '));
    // A text that reaches exactly 2000 stops there.
    QByteArray exact = QByteArray(1999, 'x') + "\nmore\n";
    QCOMPARE(loaded(exact).size(), 2000);
}

void OwnTextTest::hugeAndBinaryFiles() {
    // One line of 3 MB without a line end: cut at 2000 characters.
    const QString huge = loaded(QByteArray(3 * 1024 * 1024, 'k'));
    QCOMPARE(huge, QString(2000, u'k') + u' ');

    WorkDirScope work;
    TestRig rig;
    FileChoice dialog;
    rig.startUp();
    rig.s.ExerciseText = QStringLiteral("ALT");
    QByteArray binary(
        "\x7f"
        "ELF\x02\x01\x01",
        7);
    binary += QByteArray(64, '\0') + QByteArray(5000, '\xff');
    work.write(QStringLiteral("programm"), binary);
    loadFile(rig, dialog, work, QStringLiteral("programm"));
    QCOMPARE(ReadTextFile(work.path(QStringLiteral("programm"))).status, TextFileStatus::NotText);
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("ALT"));
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("Z"));
    QVERIFY(rig.f.Comstart.enabled());
    QVERIFY(rig.surface.visibleText().contains(QStringLiteral("keine Textdatei")));
}

void OwnTextTest::utf8AndWindows1252() {
    QCOMPARE(loaded("Gr\xc3\xbc\xc3\x9f"
                    "e aus K\xc3\xb6ln\n"),
             QStringLiteral("Grüße aus Köln "));
    QCOMPARE(loaded("Gr\xfc\xdf"
                    "e aus K\xf6ln\r\n"),
             QStringLiteral("Grüße aus Köln "));
    // A byte-order mark is not part of the text.
    QCOMPARE(loaded("\xef\xbb\xbfQSO\n"), QStringLiteral("QSO "));
    // Windows-1252 quotation marks and the euro sign.
    QCOMPARE(loaded("\x84"
                    "73\x93 \x80\n"),
             QStringLiteral("„73“ € "));
    // A multi-byte character cut off at the end of what was read does not turn the text into
    // Windows-1252.
    QByteArray longLine;
    while (longLine.size() < 9000) longLine += "\xc3\xa4";
    QCOMPARE(loaded(longLine), QString(2000, u'ä') + u' ');
}

void OwnTextTest::cancelAndUnreadableKeepTheExercise() {
    WorkDirScope work;
    TestRig rig;
    FileChoice dialog;
    rig.startUp();
    rig.s.ExerciseText = QStringLiteral("ABC");
    dialog.answer.clear();
    rig.f.MausDatei.click();
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("ABC"));
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("Z"));
    QVERIFY(rig.f.Comstart.enabled());

    loadFile(rig, dialog, work, QStringLiteral("gibt-es-nicht.txt"));
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("ABC"));
    QVERIFY(rig.f.Comstart.enabled());
    QVERIFY(rig.surface.visibleText().contains(QStringLiteral("lässt sich nicht lesen")));
    QCOMPARE(ReadTextFile(work.path(QString())).status, TextFileStatus::CannotOpen);
}

void OwnTextTest::fontShrinksToFitButNotBelow8() {
    TestRig rig;
    rig.startUp();
    rig.surface.font.bold = true;
    rig.s.ExerciseText = QStringLiteral("CQ CQ DE DL1ABC");
    FitTextFont();
    QCOMPARE(rig.surface.font.sizePt, 16.0f);
    QVERIFY(!rig.surface.font.bold);

    // Fixed pitch: 12 twips a point a character, lines 24 twips a point high. 300 characters
    // need more than 16 pt allow, so the size falls in steps of 5 % until the text fits.
    rig.s.ExerciseText = QString(300, u'X');
    FitTextFont();
    const float size = rig.surface.font.sizePt;
    QVERIFY(size < 16.0f && size >= 8.0f);
    auto fits = [&](float pt) {
        const double needed = std::floor(300 * pt * 12 / (rig.f.Width - 800) + 1.5);
        const double available = std::floor((rig.f.shape1.Height - 200) / (pt * 24));
        return available > needed;
    };
    QVERIFY(fits(size));
    QVERIFY(!fits(size / 0.95f));

    rig.s.ExerciseText = QString(2000, u'X');
    FitTextFont();
    QCOMPARE(rig.surface.font.sizePt, 8.0f);
}

void OwnTextTest::linesBreakBetweenWords() {
    TestRig rig;
    rig.startUp();
    rig.f.Ohr.setValue(0);
    QStringList words;
    for (int i = 0; i < 60; ++i) words << QString(3 + i % 7, QChar(u'A' + i % 26));
    rig.s.ExerciseText = words.join(u' ');
    rig.s.ExerciseKind = QStringLiteral("T");
    rig.f.Comstart.click();
    QCOMPARE(rig.s.SentText, rig.s.ExerciseText);
    const auto& pieces = rig.surface.pieces();
    int breaks = 0;
    // The closing sign may wrap on its own; every other line ends between two words.
    for (size_t i = 1; i + 1 < pieces.size(); ++i) {
        if (pieces[i].y == pieces[i - 1].y) continue;
        ++breaks;
        QCOMPARE(pieces[i - 1].text, QStringLiteral("  "));
        QCOMPARE(pieces[i].x, rig.f.shape1.Left + 300);
    }
    QVERIFY(breaks >= 2);
}

void OwnTextTest::stopEndsWithoutStatistics() {
    TestRig rig;
    rig.startUp();
    rig.s.ExerciseText = QStringLiteral("PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS");
    rig.s.ExerciseKind = QStringLiteral("T");
    rig.clock.at(8, [&] { rig.f.comstop.click(); });
    rig.f.Comstart.click();
    QVERIFY(rig.s.SentText.size() < rig.s.ExerciseText.size());
    QVERIFY(rig.s.ExerciseText.startsWith(rig.s.SentText));
    QVERIFY(rig.surface.pieces().back().text != QStringLiteral("+"));
}

REGISTER_TEST(OwnTextTest);
#include "own_text_test.moc"
