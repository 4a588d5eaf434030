#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>

#include "exercises/character_sets.h"
#include "exercises/data_fixtures.h"
#include "exercises/own_text.h"
#include "lessons/lektionen.h"
#include "lessons/lesson_file.h"
#include "platform/user_settings.h"
#include "record/record_database.h"
#include "record/record_store.h"
#include "sound/files/file_wave_player.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
// Writes `bytes` bytes of a fast pseudo-random sequence (xorshift), one megabyte at a time.
bool WriteRandomFile(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    uint64_t x = 0x9E3779B97F4A7C15ull;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 written = 0; written < bytes; written += block.size()) {
        auto* words = reinterpret_cast<uint64_t*>(block.data());
        for (qsizetype i = 0; i < block.size() / 8; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            words[i] = x;
        }
        if (file.write(block) != block.size()) return false;
    }
    return true;
}

// Bytes this process has read through system calls so far.
qint64 BytesRead() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:")) return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}
}  // namespace

// One file of 100 MB of random bytes under the name of every file the trainer reads: each
// reader stops at its bound, tells the user, and the program goes on.
class HugeFilesTest : public QObject {
    Q_OBJECT
private slots:
    void everyReaderStopsAtItsBound();
    void settingsAndRecordAreNotReadWhole();
};

void HugeFilesTest::everyReaderStopsAtItsBound() {
    WorkDirScope work;
    const QString huge = work.path(QStringLiteral("huge.bin"));
    QVERIFY(WriteRandomFile(huge, 100LL * 1024 * 1024));
    for (const char* name : {"Lek.txt", "LEXIKON", "MORSE.NAM", "Abk.txt", "MORSE.CST"})
        QVERIFY(QFile::link(huge, work.path(QString::fromLatin1(name))));

    TestRig rig;
    rig.startUp();
    QVERIFY(rig.s.AbbrevCount <= 290);
    QVERIFY(rig.dialogs.messages.join(u'\n').contains(QStringLiteral("Abk.txt")));
    QCOMPARE(rig.s.NameFile, int16_t(0));
    QVERIFY(NameFileProblem().contains(QStringLiteral("MORSE.NAM")));

    Lektionen& lessons = lektionen().load();
    QVERIFY(lessons.List2.ListCount() <= kMaxOwnLessons);
    QVERIFY(rig.dialogs.messages.join(u'\n').contains(QStringLiteral("Lek.txt")));
    lessons.Cancel.click();

    rig.f.Ohr.setValue(0);
    rig.s.ExerciseKind = QStringLiteral("F");
    rig.f.Comstart.click();
    QVERIFY(rig.f.Comstart.enabled());
    QVERIFY(rig.dialogs.messages.join(u'\n').contains(QStringLiteral("LEXIKON")) ||
            rig.surface.visibleText().contains(QStringLiteral("LEXIKON")));

    const TextFile text = ReadTextFile(huge);
    QVERIFY(text.status == TextFileStatus::NotText || !text.complete);

    QString problem;
    QVERIFY(!FileWavePlayer::Decode(huge, 48000, &problem));
    QVERIFY(problem.contains(QStringLiteral("huge.bin")));
}

void HugeFilesTest::settingsAndRecordAreNotReadWhole() {
    WorkDirScope work;
    QVERIFY(BytesRead() >= 0);
    // A user settings file of 100 MB: refused unread, defaults apply, the file stays.
    const QString settings = UserSettingsPath();
    QVERIFY(QDir().mkpath(QFileInfo(settings).path()));
    QFile::remove(settings);
    QVERIFY(WriteRandomFile(settings, 100LL * 1024 * 1024));
    const QDateTime written = QFileInfo(settings).lastModified();
    qint64 before = BytesRead();
    {
        const auto store = OpenUserSettings();
        QVERIFY(store->allKeys().isEmpty());
        QVERIFY(!store->value(QStringLiteral("window/zoomPercent")).isValid());
        store->setValue(QStringLiteral("window/zoomPercent"), 150);
        store->sync();
    }
    QVERIFY(BytesRead() - before < 1024 * 1024);
    QVERIFY(UserSettingsProblem().contains(QStringLiteral("64 KB")));
    QCOMPARE(QFileInfo(settings).size(), 100LL * 1024 * 1024);
    QCOMPARE(QFileInfo(settings).lastModified(), written);
    QVERIFY(QFile::remove(settings));
    QVERIFY(UserSettingsProblem().isEmpty());

    // A learner's record of about 100 MB opens without being read through.
    const QString record = work.path(QStringLiteral("lernstand.sqlite"));
    {
        RecordStore store(record);
        QVERIFY(store.isOpen());
        QSqlQuery fill(store.database());
        QVERIFY(fill.exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)"
            " INSERT INTO answers (learner, at_ms, asked, typed, right, effects)"
            " SELECT 'me', i, 'A', 'A', 1, hex(randomblob(512)) FROM n")));
    }
    QVERIFY(QFileInfo(record).size() > 100LL * 1000 * 1000);
    before = BytesRead();
    const RecordOpening opening = PrepareRecordDatabase(record, QDate(2026, 12, 9));
    QVERIFY(opening.usable);
    QVERIFY(opening.message.isEmpty());
    {
        RecordStore store(record);
        QVERIFY(store.isOpen());
    }
    QVERIFY2(BytesRead() - before < 4 * 1024 * 1024,
             qPrintable(QStringLiteral("%1 bytes read").arg(BytesRead() - before)));
}

REGISTER_TEST(HugeFilesTest);
#include "huge_files_test.moc"
