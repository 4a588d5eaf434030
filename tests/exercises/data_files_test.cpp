#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include "data_fixtures.h"
#include "engine/morse_table.h"
#include "exercises/abbreviations.h"
#include "exercises/character_sets.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
QByteArray delivered(const QString& name) {
    QFile file(deliveredDataDir() + u'/' + name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool isWord(const QString& text) {
    static const QRegularExpression word(QStringLiteral("^[A-Za-z]+$"));
    return word.match(text).hasMatch();
}

// Every character can be sounded: a blank or a sign of the Morse table.
bool sendable(const QString& text) {
    for (QChar c : text) {
        if (c == u' ') continue;
        const int index = MorseIndex(c);
        if (index < 0 || S().MorseTable[index].isEmpty()) return false;
    }
    return true;
}

// Own lessons as the lessons dialog reads them: entries separated by line ends or commas, an
// entry in double quotes may hold commas.
QStringList lessonEntries(const QString& text) {
    QStringList entries;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == u' ' || text[i] == u'\r' || text[i] == u'\n')) ++i;
        if (i >= text.size()) break;
        QString entry;
        if (text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            entry = text.mid(i + 1, close - i - 1);
            i = close + 1;
        } else {
            while (i < text.size() && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n')
                entry += text[i++];
        }
        entries << entry;
        while (i < text.size() && (text[i] == u',' || text[i] == u'\r' || text[i] == u'\n')) {
            if (text[i++] == u',') break;
        }
    }
    return entries;
}
}  // namespace

class DataFilesTest : public QObject {
    Q_OBJECT
private slots:
    void wordListRecords();
    void nameFileRecords();
    void abbreviationLines();
    void abbreviationsReadAtStartUp();
    void ownLessons();
    void filesMatchTheirSources();
};

void DataFilesTest::wordListRecords() {
    TestRig rig;
    BuildMorseTable();
    const QByteArray bytes = delivered(QStringLiteral("LEXIKON"));
    QCOMPARE(bytes.size() % 38, 0);
    const QStringList records = decodedRecords(bytes, 38);
    QVERIFY2(records.size() >= 1500, qPrintable(QString::number(records.size())));
    QSet<QString> pairs;
    for (const QString& record : records) {
        QCOMPARE(record.size(), 38);
        QCOMPARE(record.count(u'@'), 1);
        const QString pair = record.trimmed();
        const QString english = pair.section(u'@', 0, 0);
        const QString german = pair.section(u'@', 1);
        // Every letter has a Morse sign: nothing on the screen goes unheard.
        QVERIFY2(isWord(english) && sendable(english), qPrintable(pair));
        QVERIFY2(isWord(german) && sendable(german), qPrintable(pair));
        QVERIFY2(!pairs.contains(pair), qPrintable(pair));
        pairs.insert(pair);
    }
    // Umlauts and ß, which have no sign, are written out.
    QVERIFY(pairs.contains(QStringLiteral("street@Strasse")));
    QVERIFY(pairs.contains(QStringLiteral("kitchen@Kueche")));
}

void DataFilesTest::nameFileRecords() {
    TestRig rig;
    BuildMorseTable();
    const QByteArray bytes = delivered(QStringLiteral("MORSE.NAM"));
    QCOMPARE(bytes.size() % 22, 0);
    const QStringList records = decodedRecords(bytes, 22);
    QVERIFY(records.size() >= 1608);
    const QRegularExpression shape(
        QStringLiteral("^[A-Z]{1,2}[0-9][A-Z]{2,3}\\*[A-Za-z]+\\*[A-Za-z -]+ *$"));
    QSet<QString> calls;
    for (const QString& record : records) {
        QCOMPARE(record.size(), 22);
        QVERIFY2(shape.match(record).hasMatch() && sendable(record), qPrintable(record));
        QCOMPARE(record.count(u'*'), 2);
        calls.insert(record.section(u'*', 0, 0));
    }
    QCOMPARE(calls.size(), records.size());
}

void DataFilesTest::abbreviationLines() {
    TestRig rig;
    BuildMorseTable();
    const QByteArray bytes = delivered(QStringLiteral("Abk.txt"));
    QVERIFY(bytes.endsWith("\r\n"));
    QList<QByteArray> raw = bytes.split('\n');
    raw.removeLast();  // after the last line end
    QVERIFY(!raw.isEmpty());
    QVERIFY(raw.size() <= 290);
    bool name = false, qth = false;
    for (const QByteArray& line : raw) {
        QVERIFY(line.endsWith('\r'));
        QString text = TextFromCp1252(line.chopped(1));
        DecodeText(text);
        QVERIFY2(!text.isEmpty() && text.size() <= 40, qPrintable(text));
        QVERIFY2(sendable(text), qPrintable(text));
        QCOMPARE(text.trimmed(), text);
        name = name || text.startsWith(QStringLiteral("name"));
        qth = qth || text.startsWith(QStringLiteral("QTH"));
    }
    QVERIFY(name && qth);
}

void DataFilesTest::abbreviationsReadAtStartUp() {
    WorkDirScope work;
    InstalledDataScope data(deliveredDataDir());
    TestRig rig;
    rig.startUp();
    const int lines = delivered(QStringLiteral("Abk.txt")).count('\n');
    QCOMPARE(int(rig.s.AbbrevCount), lines);
    QVERIFY(rig.s.AbbrevList[0].isEmpty());
    QCOMPARE(rig.s.AbbrevList[1], QStringLiteral("name"));
    QVERIFY(!rig.s.AbbrevList[lines].isEmpty());
}

void DataFilesTest::ownLessons() {
    TestRig rig;
    BuildMorseTable();
    const QString text = QString::fromUtf8(delivered(QStringLiteral("Lek.txt")));
    const QStringList lessons = lessonEntries(text);
    QVERIFY(lessons.size() >= 3);
    for (const QString& lesson : lessons) {
        QVERIFY(!lesson.isEmpty());
        QVERIFY2(sendable(lesson), qPrintable(lesson));
    }
    QVERIFY(lessons.contains(QStringLiteral("h,kb")));
}

void DataFilesTest::filesMatchTheirSources() {
    // The scrambled files are made from data/sources by data/make_data.py; an edited source
    // that was not rebuilt shows up here.
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) QSKIP("python3 is not installed");
    QProcess tool;
    tool.start(python,
               {deliveredDataDir() + QStringLiteral("/make_data.py"), QStringLiteral("--check")});
    QVERIFY(tool.waitForFinished(60000));
    QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
}

REGISTER_TEST(DataFilesTest);
#include "data_files_test.moc"
