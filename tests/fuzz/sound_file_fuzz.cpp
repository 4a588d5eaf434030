// libFuzzer target for the sound-file reader: any bytes, whatever format libsndfile takes them
// for, decode without a crash or a hang to at most the time limit at the output rate, and a
// refused file gives no samples. Run with -malloc_limit_mb to catch an allocation that follows
// a header's claims.
#include <sys/mman.h>
#include <unistd.h>

#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "sound/files/file_wave_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader opens a path: one file in memory, rewritten for every input.
    static const int fd = memfd_create("sound_file_fuzz", 0);
    Check(fd >= 0);
    Check(ftruncate(fd, 0) == 0);
    Check(pwrite(fd, data, size, 0) == static_cast<ssize_t>(size));
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);

    constexpr int kRate = 48000;
    QString problem;
    const PcmBuffer pcm = FileWavePlayer::Decode(path, kRate, &problem);
    if (!problem.isEmpty()) Check(!pcm);
    // The resampler may add a few frames to the exact length.
    if (pcm) Check(pcm->size() <= size_t{FileWavePlayer::kMaxSoundSeconds} * kRate + 17);
    return 0;
}
