// Time each file reader of the trainer on the worst files it may meet: 100 MB of random bytes,
// a 10 MB lesson file, 100 000 quotes and commas, a single line of 100 MB and the longest sound
// file accepted. Every reader stops at its bound, so each figure should stay far below the
// quarter of a second a click may take. Prints the slowest of five reads in milliseconds.
//   bench_file_readers [FOLDER]   (default: a temporary folder; needs about 220 MB there)

#include <sndfile.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "engine/morse_table.h"
#include "exercises/abbreviations.h"
#include "exercises/own_text.h"
#include "lessons/lesson_file.h"
#include "platform/devices/file_wave_player.h"

namespace {
bool WriteFile(const QString& path, qint64 bytes, const std::function<char(qint64)>& byteAt) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 at = 0; at < bytes; at += block.size()) {
        for (qsizetype i = 0; i < block.size(); ++i) block[i] = byteAt(at + i);
        if (file.write(block) != block.size()) return false;
    }
    return true;
}

double SlowestMs(const std::function<void()>& read) {
    double slowest = 0;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        read();
        slowest = std::max(slowest, timer.nsecsElapsed() / 1e6);
    }
    return slowest;
}

template <typename Reader>
void Report(const char* what, const QString& path, Reader reader) {
    const double ms = SlowestMs([&] {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) reader(file);
    });
    std::printf("%-48s %8.2f ms\n", what, ms);
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BuildMorseTable();
    QTemporaryDir temp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    auto path = [&](const char* name) { return folder + u'/' + QString::fromLatin1(name); };

    uint64_t x = 88172645463325252ull;
    const bool made =
        WriteFile(path("random"), 100LL << 20,
                  [&](qint64) {
                      x ^= x << 13;
                      x ^= x >> 7;
                      x ^= x << 17;
                      return static_cast<char>(x);
                  }) &&
        WriteFile(path("lessons"), 10LL << 20,
                  [](qint64 i) { return i % 8 == 7 ? '\n' : "abcdefg"[i % 8]; }) &&
        WriteFile(path("quotes"), 300000, [](qint64 i) { return "\"\","[i % 3]; }) &&
        WriteFile(path("line"), 100LL << 20, [](qint64) { return 'k'; });
    if (!made) {
        std::fprintf(stderr, "Die Testdateien lassen sich nicht schreiben.\n");
        return 1;
    }
    // The longest sound accepted: the time limit at 44.1 kHz, stereo, resampled to 48 kHz.
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const int frames = FileWavePlayer::kMaxSoundSeconds * info.samplerate;
    SNDFILE* sound = sf_open(QFile::encodeName(path("sound.wav")).constData(), SFM_WRITE, &info);
    std::vector<float> samples(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] = 0.5f * std::sin(2 * M_PI * 440 * i / 44100.0);
    sf_writef_float(sound, samples.data(), frames);
    sf_close(sound);

    std::printf("reader and file                                   slowest of 5\n");
    for (const char* name : {"random", "lessons", "quotes"}) {
        Report(qPrintable(QStringLiteral("Lek.txt: %1").arg(QString::fromLatin1(name))), path(name),
               [](QFile& f) { ReadLessonsFrom(f); });
    }
    Report("Abk.txt: random 100 MB", path("random"), [](QFile& f) { ReadAbbreviationsFrom(f); });
    Report("Abk.txt: one line of 100 MB", path("line"), [](QFile& f) { ReadAbbreviationsFrom(f); });
    Report("Aus Datei: random 100 MB", path("random"), [](QFile& f) { ReadTextFrom(f); });
    Report("Aus Datei: one line of 100 MB", path("line"), [](QFile& f) { ReadTextFrom(f); });
    std::printf("%-48s %8.2f ms\n", "sound file: random 100 MB",
                SlowestMs([&] { FileWavePlayer::Decode(path("random"), 48000); }));
    std::printf("%-48s %8.2f ms\n", "sound file: longest accepted (10 s, 44.1 kHz)",
                SlowestMs([&] { FileWavePlayer::Decode(path("sound.wav"), 48000); }));
    return 0;
}
