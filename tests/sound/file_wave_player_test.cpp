#include "sound/files/file_wave_player.h"

#include <sndfile.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "platform/file_lookup.h"
#include "platform/services.h"
#include "platform/virtual_clock.h"
#include "sound/offline_output.h"
#include "support/audio_analysis.h"
#include "support/registry.h"

namespace {
// Writes `frames` frames of a sine (or, with `antiphase`, a sine whose second channel is its
// negative) in the given format.
void WriteSine(const QString& path, int rate, int channels, int format, int frames, double hz,
               bool antiphase = false) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY(file);
    std::vector<float> data(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        const float v = 0.5f * static_cast<float>(std::sin(2 * M_PI * hz * i / rate));
        for (int c = 0; c < channels; ++c) data[i * channels + c] = (antiphase && c == 1) ? -v : v;
    }
    sf_writef_float(file, data.data(), frames);
    sf_close(file);
}

// A working directory of its own, with no installed data folder behind it.
struct Workdir {
    Workdir() : previous(QDir::currentPath()) {
        QDir::setCurrent(dir.path());
        Platform().installedDataDir = dir.path() + QStringLiteral("/none");
    }
    ~Workdir() {
        QDir::setCurrent(previous);
        Platform().installedDataDir.clear();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
    QString previous;
};
}  // namespace

class FileWavePlayerTest : public QObject {
    Q_OBJECT
private slots:
    void decodesCommonFormatsToMonoAtTheOutputRate();
    void playsThroughTheOutputAndReturnsWhenHeard();
    void missingOrBrokenFileIsSilentAndImmediate();
    void legacyNamesFindTheSameFolder();
    void filesOverTheLimitsAreRefusedOnce();
    void memoryFollowsTheDecodedSamplesNotTheHeader();
};

void FileWavePlayerTest::decodesCommonFormatsToMonoAtTheOutputRate() {
    Workdir work;
    WriteSine(work.path("a.wav"), 48000, 1, SF_FORMAT_PCM_16, 4800, 440);
    WriteSine(work.path("b.wav"), 22050, 2, SF_FORMAT_FLOAT, 22050, 440);
    WriteSine(work.path("c.wav"), 44100, 1, SF_FORMAT_PCM_24, 4410, 1000);
    WriteSine(work.path("d.wav"), 8000, 1, SF_FORMAT_PCM_U8, 800, 300);
    WriteSine(work.path("e.wav"), 48000, 2, SF_FORMAT_PCM_16, 4800, 440, true);

    const PcmBuffer a = FileWavePlayer::Decode(work.path("a.wav"), 48000);
    QVERIFY(a);
    QCOMPARE(a->size(), size_t(4800));
    QVERIFY(std::abs((*a)[600] - std::lrint(16383.5 * std::sin(2 * M_PI * 440 * 600 / 48000))) <=
            2);

    // Resampled: the length scales with the rates, the pitch stays.
    for (auto [name, frames, hz] :
         {std::tuple{"b.wav", 48000, 440.0}, std::tuple{"c.wav", 4800, 1000.0},
          std::tuple{"d.wav", 4800, 300.0}}) {
        const PcmBuffer pcm = FileWavePlayer::Decode(work.path(name), 48000);
        QVERIFY2(pcm, name);
        QVERIFY2(std::abs(static_cast<int>(pcm->size()) - frames) <= 2, name);
        const double measured =
            audio::ZeroCrossingHz(*pcm, 200, static_cast<int64_t>(pcm->size()) - 200, 48000);
        QVERIFY2(std::abs(measured - hz) < 1.0, name);
    }
    // Two channels are mixed: opposite channels cancel.
    const PcmBuffer e = FileWavePlayer::Decode(work.path("e.wav"), 48000);
    QVERIFY(e);
    QVERIFY(std::all_of(e->begin(), e->end(), [](int16_t s) { return std::abs(s) <= 1; }));
}

void FileWavePlayerTest::playsThroughTheOutputAndReturnsWhenHeard() {
    Workdir work;
    QDir(work.dir.path()).mkdir(QStringLiteral("Alfa"));
    WriteSine(work.path("Alfa/S1.wav"), 22050, 1, SF_FORMAT_PCM_16, 11025, 500);
    VirtualClock clock;
    OfflineOutput output(clock, 48000);
    FileWavePlayer player(output, clock);
    clock.advance(0.1);
    player.play(QStringLiteral(".\\alfa\\s1.wav"));
    // Half a second of sound, heard in full before play returned.
    QVERIFY(std::abs(clock.monotonicSeconds() - 0.6) < 0.001);
    QVERIFY(output.idle());
    const auto marks = audio::FindMarks(output.samples(), 100);
    QCOMPARE(marks.size(), size_t(1));
    QVERIFY(marks[0].first >= 4800 && marks[0].first < 4810);
    QVERIFY(marks[0].last > 28700);
    // The waiting handled no window events.
    bool ran = false;
    clock.post([&ran] { ran = true; });
    player.play(QStringLiteral("alfa\\S1.wav"));
    QVERIFY(!ran);
    QVERIFY(std::abs(clock.monotonicSeconds() - 1.1) < 0.001);
}

void FileWavePlayerTest::missingOrBrokenFileIsSilentAndImmediate() {
    Workdir work;
    QFile broken(work.path("broken.wav"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("RIFF\x10\0\0\0WAVEjunkjunkjunk");
    broken.close();
    VirtualClock clock;
    OfflineOutput output(clock, 48000);
    FileWavePlayer player(output, clock);
    player.play(QStringLiteral(".\\Alfa\\Q.wav"));
    player.play(QStringLiteral("broken.wav"));
    QCOMPARE(clock.monotonicSeconds(), 0.0);
    QVERIFY(output.samples().empty());
    QVERIFY(output.idle());
}

void FileWavePlayerTest::legacyNamesFindTheSameFolder() {
    Workdir work;
    QDir(work.dir.path()).mkdir(QStringLiteral("Alfa"));
    WriteSine(work.path("Alfa/S12.wav"), 22050, 1, SF_FORMAT_PCM_16, 100, 500);
    WriteSine(work.path("Alfa/s7.wav"), 22050, 1, SF_FORMAT_PCM_16, 100, 500);
    const QString inFolder = QFileInfo(work.path("Alfa/S12.wav")).canonicalFilePath();
    for (const char* name :
         {".\\Alfa\\S12.wav", "alfa\\S12.wav", ".\\alfa\\s12.WAV", "ALFA/S12.wav"}) {
        QCOMPARE(QFileInfo(FindDataFile(QString::fromLatin1(name))).canonicalFilePath(), inFolder);
    }
    QCOMPARE(QFileInfo(FindDataFile(QStringLiteral("alfa\\s7.wav"))).fileName(),
             QStringLiteral("s7.wav"));
    // Without a folder the name means the working directory itself: a different file.
    QVERIFY(FindDataFile(QStringLiteral("S12.wav")).isEmpty());
    WriteSine(work.path("S12.wav"), 22050, 1, SF_FORMAT_PCM_16, 100, 500);
    QCOMPARE(QFileInfo(FindDataFile(QStringLiteral("s12.wav"))).canonicalFilePath(),
             QFileInfo(work.path("S12.wav")).canonicalFilePath());
    // A folder is not a file.
    QVERIFY(FindDataFile(QStringLiteral(".\\Alfa")).isEmpty());
}


void FileWavePlayerTest::filesOverTheLimitsAreRefusedOnce() {
    Workdir work;
    const int rate = 8000;
    const int limit = FileWavePlayer::kMaxSoundSeconds * rate;
    WriteSine(work.path("full.wav"), rate, 1, SF_FORMAT_PCM_16, limit, 440);
    WriteSine(work.path("long.wav"), rate, 1, SF_FORMAT_PCM_16, limit + 1, 440);
    // Past the byte limit: refused unopened, whatever the header claims.
    QFile large(work.path("large.wav"));
    QVERIFY(large.open(QIODevice::WriteOnly));
    QVERIFY(large.resize(FileWavePlayer::kMaxSoundFileBytes + 1));
    large.close();

    QString problem;
    const PcmBuffer full = FileWavePlayer::Decode(work.path("full.wav"), rate, &problem);
    QVERIFY(full && full->size() == size_t(limit));
    QVERIFY(problem.isEmpty());
    QVERIFY(!FileWavePlayer::Decode(work.path("long.wav"), rate, &problem));
    QVERIFY(problem.contains(QStringLiteral("long.wav")) &&
            problem.contains(QStringLiteral("10 Sekunden")));
    problem.clear();
    QVERIFY(!FileWavePlayer::Decode(work.path("large.wav"), rate, &problem));
    QVERIFY(problem.contains(QStringLiteral("large.wav")));

    // Playing tells of a refused file once, not at every character spoken.
    VirtualClock clock;
    OfflineOutput output(clock, rate);
    FileWavePlayer player(output, clock);
    player.play(QStringLiteral("long.wav"));
    QVERIFY(player.takeProblem().contains(QStringLiteral("long.wav")));
    player.play(QStringLiteral("long.wav"));
    QVERIFY(player.takeProblem().isEmpty());
    QVERIFY(output.samples().empty());
}

namespace {
// The process's peak resident memory so far [KB].
long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
}  // namespace

void FileWavePlayerTest::memoryFollowsTheDecodedSamplesNotTheHeader() {
    Workdir work;
    // 16 frames of FLAC (found by content whatever the name) at the format's highest rate and
    // channel count, whose header then claims ten seconds: 210 MB of samples if believed.
    const QString forged = work.path("forged.wav");
    {
        SF_INFO info{};
        info.samplerate = 655350;
        info.channels = 8;
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(QFile::encodeName(forged).constData(), SFM_WRITE, &info);
        QVERIFY(file);
        std::vector<short> frames(16 * 8, 1000);
        sf_writef_short(file, frames.data(), 16);
        sf_close(file);
    }
    QFile patch(forged);
    QVERIFY(patch.open(QIODevice::ReadWrite));
    QByteArray bytes = patch.readAll();
    QCOMPARE(bytes.left(4), QByteArray("fLaC"));
    // The low 32 bits of the stream information's sample count.
    const quint32 claimed = 10 * 655350;
    for (int i = 0; i < 4; ++i) bytes[22 + i] = static_cast<char>(claimed >> (24 - 8 * i));
    patch.seek(0);
    patch.write(bytes);
    patch.close();
    QVERIFY(bytes.size() < 300);

    const long before = PeakKilobytes();
    QString problem;
    const PcmBuffer pcm = FileWavePlayer::Decode(forged, 48000, &problem);
    QVERIFY2(PeakKilobytes() - before < 32 * 1024,
             qPrintable(QStringLiteral("%1 KB more").arg(PeakKilobytes() - before)));
    QVERIFY(!pcm || pcm->size() < 16);

    // Ten seconds at 96 kHz in stereo is twice the samples the budget allows.
    WriteSine(work.path("hires.wav"), 96000, 2, SF_FORMAT_PCM_16, 10 * 96000, 440);
    QVERIFY(!FileWavePlayer::Decode(work.path("hires.wav"), 48000, &problem));
    QVERIFY(problem.contains(QStringLiteral("hires.wav")));
    // Ten seconds at 48 kHz in stereo is exactly the budget.
    WriteSine(work.path("budget.wav"), 48000, 2, SF_FORMAT_PCM_16, 10 * 48000, 440);
    const PcmBuffer budget = FileWavePlayer::Decode(work.path("budget.wav"), 48000);
    QVERIFY(budget && budget->size() == size_t(10 * 48000));
}

REGISTER_TEST(FileWavePlayerTest);
#include "file_wave_player_test.moc"
