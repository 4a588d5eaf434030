#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "export/exercise_export_job.h"
#include "mainwindow/ui/export_entries.h"
#include "platform/record_sink.h"
#include "platform/services.h"
#include "support/audio_analysis.h"
#include "support/registry.h"
#include "support/sound_file.h"
#include "window_rig.h"

namespace {
// A short run of letter groups without speech, on a window that has run before.
void PrepareGroups(WindowRig& w) {
    w.rig.startUp();
    w.rig.f.L_Anz.setCaption(QStringLiteral("4"));
    w.rig.f.Mund.setValue(0);
    w.rig.f.anziehen2.setValue(1);  // an effect that changes the speed during the run
    w.rig.s.SentText = QStringLiteral("ALT");
    w.rig.s.SentCount = 3;
}

// Counts what reaches the learner's record.
struct CountingSink : RecordSink {
    int entries = 0;
    void answer(const DrillAnswer&) override { ++entries; }
    void run(const RunSummary&) override { ++entries; }
    void copy(const CheckedCopy&) override { ++entries; }
    void contest(const ContestAttemptEntry&) override { ++entries; }
};
}  // namespace

class ExerciseExportTest : public QObject {
    Q_OBJECT
private slots:
    void savesRunAndKeyAndLeavesEverythingAsItWas();
    void cancelLeavesNoFile();
    void dottedNamesKeepTheirOwnKeys();
    void bandIsHeardAndRepeatsWithItsSeed();
    void everyExportIsNewAndNoRunOfTheLearner();
};

void ExerciseExportTest::savesRunAndKeyAndLeavesEverythingAsItWas() {
    WindowRig w;
    PrepareGroups(w);
    AddExportEntries(w.window);
    auto* entry = w.find<QAction>("MAudiodatei");
    QVERIFY(entry);
    // The entry is in "Texte ..." and a screen reader finds it there by its German name.
    auto* texts = w.find<QMenu>("MTexte");
    QVERIFY(texts->actions().contains(entry));
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(texts);
    bool named = false;
    for (int i = 0; i < menu->childCount(); ++i) {
        named |= menu->child(i)->text(QAccessible::Name) ==
                 QStringLiteral("Als Audiodatei speichern ...");
    }
    QVERIFY(named);

    const float speed = w.rig.s.Speed;
    const QString speedLabel = w.rig.f.L_Gesch.caption();
    const QImage display = w.window.surface().layer();
    const size_t heard = w.rig.output.samples().size();
    QTemporaryDir dir;
    w.rig.dialogs.fileAnswer = dir.filePath(QStringLiteral("übung"));
    entry->trigger();

    // A name without a suffix becomes a WAV file; the answer key lies beside it.
    const QString audio = dir.filePath(QStringLiteral("übung.wav"));
    QFile key(dir.filePath(QStringLiteral("übung.txt")));
    QVERIFY(key.open(QIODevice::ReadOnly));
    const QString answer = QString::fromUtf8(key.readAll());
    QCOMPARE(answer.simplified().size(), 4 * 5 + 3);
    // The file sounds the whole run: preamble, the text of the key, closing sign.
    const QString heardText = audio::DecodeMorse(ReadSoundFile(audio), 48000);
    QCOMPARE(heardText.simplified(),
             (QStringLiteral("VVV * ") + answer + QStringLiteral(" +")).simplified());

    // Nothing sounded, and settings, sent text and display are as they were.
    QCOMPARE(w.rig.output.samples().size(), heard);
    QVERIFY(w.rig.output.idle());
    QCOMPARE(w.rig.s.Speed, speed);
    QCOMPARE(w.rig.f.L_Gesch.caption(), speedLabel);
    QCOMPARE(w.rig.s.SentText, QStringLiteral("ALT"));
    QCOMPARE(w.rig.s.SentCount, 3);
    QCOMPARE(w.rig.f.anziehen2.value(), 1);
    QVERIFY(w.window.surface().layer() == display);
    QCOMPARE(Platform().clock, static_cast<Clock*>(&w.rig.clock));
    QCOMPARE(Platform().tonwerk, &w.rig.tonwerk);
    QVERIFY(w.rig.dialogs.messages.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void ExerciseExportTest::cancelLeavesNoFile() {
    WindowRig w;
    PrepareGroups(w);
    QTemporaryDir dir;
    ExerciseExportJob job(dir.filePath(QStringLiteral("abbruch.flac")));
    QVERIFY(job.start());
    QVERIFY(job.step());
    QVERIFY(!job.done());
    job.cancel();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    // A folder that cannot be written is reported before anything is rendered.
    ExerciseExportJob nowhere(dir.filePath(QStringLiteral("fehlt/x.wav")));
    QVERIFY(!nowhere.start());
    QVERIFY(!nowhere.error().isEmpty());
}

void ExerciseExportTest::dottedNamesKeepTheirOwnKeys() {
    WindowRig w;
    PrepareGroups(w);
    QTemporaryDir dir;
    // Only the last dot starts the suffix: each part has its own answer key.
    for (const char* part : {"kurs.teil1", "kurs.teil2"}) {
        ExerciseExportJob job(dir.filePath(QLatin1String(part) + QStringLiteral(".wav")));
        QVERIFY(job.start() && job.finish());
        QVERIFY2(QFile::exists(dir.filePath(QLatin1String(part) + QStringLiteral(".txt"))), part);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

void ExerciseExportTest::bandIsHeardAndRepeatsWithItsSeed() {
    WindowRig w;
    PrepareGroups(w);
    QTemporaryDir dir;
    const auto exported = [&dir](const QString& name, const BandSettings& band) {
        const QString path = dir.filePath(name);
        ExerciseExportJob job(path, band, 99);
        if (!job.start() || !job.finish()) return std::vector<int16_t>{};
        return ReadSoundFile(path);
    };
    BandSettings band;
    band.enabled = true;
    band.snrDb = 30;
    band.seed = 7;
    const std::vector<int16_t> clean = exported(QStringLiteral("klar.wav"), BandSettings{});
    const std::vector<int16_t> noisy = exported(QStringLiteral("band.wav"), band);
    QVERIFY(!clean.empty());
    QCOMPARE(exported(QStringLiteral("wieder.wav"), band), noisy);
    band.seed = 8;
    QVERIFY(exported(QStringLiteral("anders.wav"), band) != noisy);

    // The band fades out after the closing sign; the signs themselves keep their timing.
    const auto tail = static_cast<size_t>(std::llround(BandMixer::TailSeconds() * 48000));
    QCOMPARE(noisy.size(), clean.size() + tail);
    double energy = 0;
    for (size_t i = clean.size(); i < clean.size() + 48000; ++i) energy += noisy[i] * noisy[i];
    QVERIFY(std::sqrt(energy / 48000) > 100);
    QCOMPARE(audio::DecodeMorse(noisy, 48000), audio::DecodeMorse(clean, 48000));
}

void ExerciseExportTest::everyExportIsNewAndNoRunOfTheLearner() {
    WindowRig w;
    PrepareGroups(w);
    AddExportEntries(w.window);
    CountingSink record;
    Platform().record = &record;
    QTemporaryDir dir;
    QStringList keys;
    for (const char* name : {"erste", "zweite"}) {
        w.rig.dialogs.fileAnswer = dir.filePath(QString::fromLatin1(name));
        w.find<QAction>("MAudiodatei")->trigger();
        QFile key(dir.filePath(QString::fromLatin1(name) + QStringLiteral(".txt")));
        QVERIFY(key.open(QIODevice::ReadOnly));
        keys << QString::fromUtf8(key.readAll());
        QCOMPARE(keys.back().simplified().size(), 4 * 5 + 3);
    }
    // The trainer's own draws are fixed in this rig and the virtual clock starts at the same
    // moment for both: only fresh entropy makes the groups differ.
    QVERIFY(keys[0] != keys[1]);
    QCOMPARE(record.entries, 0);
    Platform().record = nullptr;

    // A caller that repeats the run's seed gets the same groups.
    const auto text = [&dir](const QString& name, uint32_t seed) {
        ExerciseExportJob job(dir.filePath(name), BandSettings{}, seed);
        return job.start() && job.finish() ? job.recording().text() : QString();
    };
    QCOMPARE(text(QStringLiteral("a.wav"), 5), text(QStringLiteral("b.wav"), 5));
    QVERIFY(text(QStringLiteral("c.wav"), 5) != text(QStringLiteral("d.wav"), 6));
}

REGISTER_TEST(ExerciseExportTest);
#include "exercise_export_test.moc"
