#include "engine/spoken_characters.h"

#include <QDir>
#include <QTest>
#include <cmath>

#include "engine/morse_table.h"
#include "platform/file_lookup.h"
#include "sound/files/file_wave_player.h"
#include "support/registry.h"
#include "support/rig.h"

class SpokenCharactersTest : public QObject {
    Q_OBJECT
private slots:
    void speaksAfterALeadInScaledBySpacing();
    void blankIsOnlyAPause();
    void readingAloudSkipsTheLeadIn();
    void everySignAndEffectHasItsSoundFile();
    void missingFileCostsNoTime();
};

void SpokenCharactersTest::speaksAfterALeadInScaledBySpacing() {
    TestRig rig;
    rig.startUp();
    rig.s.CharSpacing = 1.5f;
    const struct {
        QString character, file;
    } cases[] = {{"?", ".\\Alfa\\fz.wav"}, {"+", ".\\Alfa\\ar.wav"}, {"(", ".\\Alfa\\ka.wav"},
                 {")", ".\\Alfa\\kz.wav"}, {"/", ".\\Alfa\\ss.wav"}, {":", ".\\Alfa\\:.wav"},
                 {"Q", ".\\Alfa\\Q.wav"},  {"7", ".\\Alfa\\7.wav"}};
    for (const auto& c : cases) {
        rig.wave.played.clear();
        const double before = rig.clock.monotonicSeconds();
        rig.s.CurrentChar = c.character;
        SpeakCharacter();
        QCOMPARE(rig.wave.played, QStringList{c.file});
        QVERIFY(std::abs(rig.clock.monotonicSeconds() - before - 0.3) < 1e-6);
    }
}

void SpokenCharactersTest::blankIsOnlyAPause() {
    TestRig rig;
    rig.startUp();
    rig.wave.played.clear();
    const double before = rig.clock.monotonicSeconds();
    rig.s.CurrentChar = QStringLiteral(" ");
    SpeakCharacter();
    QVERIFY(rig.wave.played.isEmpty());
    QVERIFY(std::abs(rig.clock.monotonicSeconds() - before - 0.2) < 1e-6);
}

void SpokenCharactersTest::readingAloudSkipsTheLeadIn() {
    TestRig rig;
    rig.startUp();
    rig.wave.played.clear();
    const double before = rig.clock.monotonicSeconds();
    rig.s.ReadingAloud = true;
    rig.s.CurrentChar = QStringLiteral("K");
    SpeakCharacter();
    QCOMPARE(rig.wave.played, QStringList{QStringLiteral(".\\Alfa\\K.wav")});
    QCOMPARE(rig.clock.monotonicSeconds(), before);
    PlayWave(QStringLiteral("alfa\\s7"));
    QCOMPARE(rig.wave.played.last(), QStringLiteral("alfa\\s7.wav"));
}

void SpokenCharactersTest::everySignAndEffectHasItsSoundFile() {
    // The delivered data folder, as the trainer finds it in its working directory.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(qEnvironmentVariable("TRAINER_SOURCE_DIR") + QStringLiteral("/data"));
    TestRig rig;
    rig.startUp();
    QStringList missing;
    auto check = [&](const QString& name) {
        const QString path = FindDataFile(name + QStringLiteral(".wav"));
        const PcmBuffer pcm = path.isEmpty() ? nullptr : FileWavePlayer::Decode(path, 48000);
        // Short and audible: a spoken name or an effect, not silence and not a recording.
        if (!pcm || pcm->size() < 400 || pcm->size() > 48000 * 3 ||
            *std::max_element(pcm->begin(), pcm->end()) < 3000) {
            missing << name;
        }
    };
    for (int index = 0; index <= 50; ++index) {
        if (rig.s.MorseTable[index].isEmpty()) continue;
        check(QStringLiteral(".\\Alfa\\") + SpokenName(FromCp1252(index + 40)));
    }
    for (const char* effect : {".\\Alfa\\S1", ".\\Alfa\\S2", ".\\Alfa\\S3", ".\\alfa\\S4",
                               "alfa\\s7", "alfa\\S8", "alfa\\S13", ".\\alfa\\S12", "S12"}) {
        check(QString::fromLatin1(effect));
    }
    QDir::setCurrent(previous);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u' ')));
}

void SpokenCharactersTest::missingFileCostsNoTime() {
    TestRig rig;
    rig.startUp();
    const double before = rig.clock.monotonicSeconds();
    const size_t heard = rig.output.samples().size();
    FileWavePlayer player(rig.output, rig.clock);
    Platform().wave = &player;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    Platform().installedDataDir.clear();
    rig.s.ReadingAloud = true;
    rig.s.CurrentChar = QStringLiteral("Q");
    SpeakCharacter();
    PlayWave(QStringLiteral("S12"));
    QDir::setCurrent(previous);
    Platform().wave = &rig.wave;
    QCOMPARE(rig.clock.monotonicSeconds(), before);
    QCOMPARE(rig.output.samples().size(), heard);
}

REGISTER_TEST(SpokenCharactersTest);
#include "spoken_characters_test.moc"
