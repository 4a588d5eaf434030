#include <QFile>
#include <QTest>

#include "exercises/character_sets.h"
#include "exercises/data_fixtures.h"
#include "exercises/own_text.h"
#include "lessons/lektionen.h"
#include "lessons/lesson_file.h"
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
}  // namespace

// One file of 100 MB of random bytes under the name of every file the trainer reads: each
// reader stops at its bound, tells the user, and the program goes on.
class HugeFilesTest : public QObject {
    Q_OBJECT
private slots:
    void everyReaderStopsAtItsBound();
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

REGISTER_TEST(HugeFilesTest);
#include "huge_files_test.moc"
