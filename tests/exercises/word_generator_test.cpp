#include "exercises/word_generator.h"

#include <QSet>
#include <QTest>

#include "data_fixtures.h"
#include "mainwindow/run_control.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
// Capitals as the trainer sends them: character by character, so ß stays ß.
QString capitals(QString text) {
    for (QChar& c : text) c = c.toUpper();
    return text;
}

// The English and German words of the delivered word list.
struct Words {
    QSet<QString> english, german, pairs;
};
Words deliveredWords() {
    QFile file(deliveredDataDir() + QStringLiteral("/LEXIKON"));
    Words words;
    if (!file.open(QIODevice::ReadOnly)) return words;
    for (const QString& record : decodedRecords(file.readAll(), 38)) {
        const QString pair = record.trimmed();
        words.english.insert(capitals(pair.section(u'@', 0, 0)));
        words.german.insert(capitals(pair.section(u'@', 1)));
        words.pairs.insert(capitals(pair));
    }
    return words;
}

void runWords(TestRig& rig) {
    rig.f.Ohr.setValue(0);
    rig.s.ExerciseKind = QStringLiteral("F");
    rig.f.Comstart.click();
}

QByteArray wordList(const QStringList& pairs) {
    QByteArray bytes;
    for (const QString& pair : pairs) bytes += scrambled(pair, 38);
    return bytes;
}

// SendWords inside an exam passage, without sending: the text it builds.
QString examPassage(TestRig& rig, int sentBefore, float words) {
    rig.s.ExerciseKind = QStringLiteral("C");
    rig.s.SentCount = sentBefore;
    rig.s.GroupCount = words;
    rig.s.NormalRun = false;
    if (!SendWords()) return QStringLiteral("<keine Wörter>");
    return rig.s.ExerciseText;
}
}  // namespace

class WordGeneratorTest : public QObject {
    Q_OBJECT
private slots:
    void germanRunStopsAfter84();
    void englishTakesThePartBeforeAt();
    void examPassageIsSteered();
    void missingOrBrokenListEndsTheRun();
};

void WordGeneratorTest::germanRunStopsAfter84() {
    InstalledDataScope data(deliveredDataDir());
    const Words words = deliveredWords();
    QVERIFY(!words.german.isEmpty());
    for (uint32_t seed = 1; seed <= 80; ++seed) {
        TestRig rig(seed);
        rig.startUp();
        runWords(rig);
        const QString text = rig.s.SentText;
        QVERIFY(text.endsWith(u' '));
        QCOMPARE(text, capitals(rig.s.ExerciseText));
        const QStringList sent = text.split(u' ', Qt::SkipEmptyParts);
        QVERIFY(sent.size() <= 12);
        for (const QString& word : sent) QVERIFY2(words.german.contains(word), qPrintable(word));
        const int beforeLast = int(text.size() - sent.last().size() - 1);
        QVERIFY(beforeLast <= 84);
        QVERIFY(text.size() > 84 || sent.size() == 12);
        QCOMPARE(rig.surface.pieces().back().text, QStringLiteral("+"));
    }
}

void WordGeneratorTest::englishTakesThePartBeforeAt() {
    InstalledDataScope data(deliveredDataDir());
    const Words words = deliveredWords();
    // One trainer at a time: the rig owns the process-wide window model.
    auto sentWords = [](bool english) {
        TestRig rig(5);
        rig.startUp();
        rig.f.englisch.setValue(english);
        runWords(rig);
        return rig.s.SentText.split(u' ', Qt::SkipEmptyParts);
    };
    const QStringList germanWords = sentWords(false);
    const QStringList englishWords = sentWords(true);
    QVERIFY(!englishWords.isEmpty());
    for (const QString& word : englishWords)
        QVERIFY2(words.english.contains(word), qPrintable(word));
    QVERIFY(englishWords != germanWords);
    // The same seed draws the same records: each English word is the partner of the German one.
    for (qsizetype i = 0; i < std::min(englishWords.size(), germanWords.size()); ++i) {
        const QString pair = englishWords[i] + u'@' + germanWords[i];
        QVERIFY2(words.pairs.contains(pair), qPrintable(pair));
    }
}

void WordGeneratorTest::examPassageIsSteered() {
    WorkDirScope work;
    TestRig rig;
    rig.startUp();
    // Words of 2 and 9 letters: from 111 on, only the 9-letter word ends between 118 and 122.
    work.write(QStringLiteral("LEXIKON"),
               wordList({QStringLiteral("it@es"), QStringLiteral("telephone@Telefonat")}));
    rig.f.englisch.setValue(true);
    for (int i = 0; i < 20; ++i) QCOMPARE(examPassage(rig, 111, 1), QStringLiteral("telephone"));
    // Below 111 any word goes; the passage has no trailing blank.
    const QString early = examPassage(rig, 50, 1);
    QVERIFY(early == QStringLiteral("it") || early == QStringLiteral("telephone"));

    // Only a word far too long: after the bounded draws the closest one closes the passage.
    work.write(QStringLiteral("LEXIKON"),
               wordList({QStringLiteral("internationalisation@Weltweit")}));
    QCOMPARE(examPassage(rig, 115, 3), QStringLiteral("internationalisation"));
    // Only a word too short: it is taken, the passage goes on until it reaches 119.
    work.write(QStringLiteral("LEXIKON"), wordList({QStringLiteral("a@ein")}));
    QCOMPARE(examPassage(rig, 112, 3), QStringLiteral("a a a"));
}

void WordGeneratorTest::missingOrBrokenListEndsTheRun() {
    WorkDirScope work;
    {
        TestRig rig;
        rig.startUp();
        runWords(rig);
        QCOMPARE(rig.s.SentText, QString());
        QVERIFY(rig.surface.visibleText().contains(QStringLiteral("Wörterliste LEXIKON fehlt")));
        QVERIFY(rig.f.Comstart.enabled());
        QVERIFY(!rig.f.comstop.enabled());
    }
    {
        work.write(QStringLiteral("LEXIKON"), QByteArray());
        TestRig rig;
        rig.startUp();
        runWords(rig);
        QVERIFY(rig.surface.visibleText().contains(QStringLiteral("Wörterliste LEXIKON ist leer")));
    }
    {
        work.write(QStringLiteral("LEXIKON"),
                   wordList({QStringLiteral("kein Trennzeichen"), QStringLiteral("@")}));
        TestRig rig;
        rig.startUp();
        runWords(rig);
        QCOMPARE(rig.s.SentText, QString());
        QVERIFY(rig.surface.visibleText().contains(QStringLiteral("beschädigt")));
        QVERIFY(rig.f.Comstart.enabled());
    }
    {
        // Good and bad records mixed: only the good ones are sent.
        work.write(QStringLiteral("LEXIKON"),
                   wordList({QStringLiteral("ohne"), QStringLiteral("dog@Hund")}));
        TestRig rig;
        rig.startUp();
        runWords(rig);
        QCOMPARE(rig.s.SentText,
                 QStringLiteral("HUND HUND HUND HUND HUND HUND HUND HUND HUND HUND HUND HUND "));
    }
}

REGISTER_TEST(WordGeneratorTest);
#include "word_generator_test.moc"
