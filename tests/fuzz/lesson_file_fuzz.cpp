// libFuzzer target for the own-lessons reader: any bytes read without a crash or a hang, never
// more lessons than the limit, a message exactly when a limit was passed, and the lessons read
// come back unchanged when written out one per line in quotes.
#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "engine/morse_table.h"
#include "lessons/lesson_file.h"
#include "fuzz_check.h"

namespace {
OwnLessons Read(QByteArray bytes) {
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    return ReadLessonsFrom(device);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto length = static_cast<qsizetype>(size);
    const OwnLessons read = Read(QByteArray(reinterpret_cast<const char*>(data), length));
    Check(read.entries.size() <= kMaxOwnLessons);
    if (length > kMaxLessonFileBytes) Check(!read.problem.isEmpty());
    if (length <= kMaxLessonFileBytes && read.entries.size() < kMaxOwnLessons)
        Check(read.problem.isEmpty());

    QByteArray again;
    for (const QString& entry : read.entries) {
        if (entry.contains(u'"')) return 0;  // only a lesson without quotes can be quoted
        again += '"';
        for (QChar c : entry) again += static_cast<char>(Cp1252Code(c));
        again += "\"\r\n";
    }
    if (again.size() > kMaxLessonFileBytes) return 0;
    const OwnLessons back = Read(again);
    Check(back.problem.isEmpty());
    Check(back.entries == read.entries);
    return 0;
}
