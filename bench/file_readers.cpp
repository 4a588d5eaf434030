// Time each file reader of the trainer on the worst files it may meet: 100 MB of random bytes,
// a 10 MB lesson file, 100 000 quotes and commas, a single line of 100 MB, the longest sound
// file accepted, a user settings file of 100 MB and the opening of a learner's record of 100 MB.
// Every reader stops at its bound, so each figure should stay far below the quarter of a second a
// click may take. Prints, over five reads, the median CPU time of the reading thread (what the
// reader costs, whatever else the machine does) and the median wall time, in milliseconds.
//   bench_file_readers [FOLDER]   (default: a temporary folder; needs about 330 MB there)

#include <sndfile.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include "engine/morse_table.h"
#include "exercises/abbreviations.h"
#include "exercises/own_text.h"
#include "lessons/lesson_file.h"
#include "platform/user_settings.h"
#include "record/record_store.h"
#include "sound/files/file_wave_player.h"

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

double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Figures {
    double cpuMs;
    double wallMs;
};

Figures MedianMs(const std::function<void()>& read) {
    std::vector<double> cpu, wall;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        const double cpuStart = CpuMs();
        timer.start();
        read();
        wall.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(CpuMs() - cpuStart);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    return {cpu[2], wall[2]};
}

void Print(const char* what, Figures f) {
    std::printf("%-48s %9.2f %9.2f\n", what, f.cpuMs, f.wallMs);
}

template <typename Reader>
void Report(const char* what, const QString& path, Reader reader) {
    Print(what, MedianMs([&] {
              QFile file(path);
              if (file.open(QIODevice::ReadOnly)) reader(file);
          }));
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

    std::printf("%-48s %9s %9s\n", "reader and file (median of 5)", "CPU ms", "wall ms");
    for (const char* name : {"random", "lessons", "quotes"}) {
        Report(qPrintable(QStringLiteral("Lek.txt: %1").arg(QString::fromLatin1(name))), path(name),
               [](QFile& f) { ReadLessonsFrom(f); });
    }
    Report("Abk.txt: random 100 MB", path("random"), [](QFile& f) { ReadAbbreviationsFrom(f); });
    Report("Abk.txt: one line of 100 MB", path("line"), [](QFile& f) { ReadAbbreviationsFrom(f); });
    Report("Aus Datei: random 100 MB", path("random"), [](QFile& f) { ReadText(f, kTextFileLimit); });
    Report("Aus Datei: one line of 100 MB", path("line"), [](QFile& f) { ReadText(f, kTextFileLimit); });
    Print("sound file: random 100 MB",
          MedianMs([&] { FileWavePlayer::Decode(path("random"), 48000); }));
    Print("sound file: longest accepted (10 s, 44.1 kHz)",
          MedianMs([&] { FileWavePlayer::Decode(path("sound.wav"), 48000); }));

    // The user settings live under the configuration folder, here the bench's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder + QStringLiteral("/config")));
    QDir().mkpath(QFileInfo(UserSettingsPath()).path());
    QFile::remove(UserSettingsPath());
    if (!QFile::link(path("random"), UserSettingsPath())) {
        std::fprintf(stderr, "Die Einstellungsdatei lässt sich nicht anlegen.\n");
        return 1;
    }
    Print("user settings: random 100 MB",
          MedianMs([] { OpenUserSettings()->value(QStringLiteral("window/zoomPercent")); }));
    const QString record = path("record.sqlite");
    {
        RecordStore store(record);
        QSqlQuery(store.database())
            .exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)"
                " INSERT INTO answers (learner, at_ms, asked, typed, right, effects)"
                " SELECT 'me', i, 'A', 'A', 1, hex(randomblob(512)) FROM n"));
    }
    Print("record: opening 100 MB", MedianMs([&] { RecordStore store(record); }));
    return 0;
}
