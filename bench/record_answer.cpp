// The learner's record: what recording one drill answer costs the window thread (the call that
// hands it to the writer), and how fast the writer thread gets answers onto the disk, in
// batches as a drill produces them and one by one.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "record/record_database.h"
#include "record/record_writer.h"

namespace {
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

DrillAnswer sample(int i) {
    DrillAnswer a;
    a.at = QDateTime::currentDateTime();
    a.asked = QString(QChar(u'A' + i % 26));
    a.typed = i % 7 == 0 ? QStringLiteral("6") : a.asked;
    a.right = i % 7 != 0;
    a.reactionMs = 400 + i % 500;
    a.settings.speedCpm = 60;
    a.settings.effects = QStringLiteral("unsauber");
    return a;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    PrepareRecordDatabase(path, QDate::currentDate());
    RecordWriter writer(path, QStringLiteral("bench"));

    // One answer at a time, as the drill gives them (a drill answer every ~1 s; here every
    // 20 ms so that each one is written on its own).
    constexpr int kSingles = 200;
    std::vector<double> callMs;
    std::vector<double> diskMs;
    for (int i = 0; i < kSingles; ++i) {
        const auto start = Clock::now();
        writer.answer(sample(i));
        callMs.push_back(msSince(start));
        writer.flush();
        diskMs.push_back(msSince(start));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::sort(callMs.begin(), callMs.end());
    std::sort(diskMs.begin(), diskMs.end());
    const auto at = [](const std::vector<double>& v, double q) {
        return v[std::min(v.size() - 1, static_cast<size_t>(q * v.size()))];
    };
    std::printf(
        "recording one answer, window thread (%d answers): median %.4f ms, 99%% %.4f ms, "
        "max %.4f ms\n",
        kSingles, at(callMs, 0.5), at(callMs, 0.99), callMs.back());
    std::printf(
        "until it is on disk (own transaction, WAL): median %.3f ms, 99%% %.3f ms, "
        "max %.3f ms\n",
        at(diskMs, 0.5), at(diskMs, 0.99), diskMs.back());

    // A burst: the writer batches what arrives while it writes.
    constexpr int kBurst = 20000;
    const auto burst = Clock::now();
    double longest = 0;
    for (int i = 0; i < kBurst; ++i) {
        const auto start = Clock::now();
        writer.answer(sample(i));
        longest = std::max(longest, msSince(start));
    }
    const double queued = msSince(burst);
    writer.flush();
    std::printf(
        "burst of %d answers: queued in %.1f ms (longest call %.4f ms), on disk after "
        "%.1f ms; lost %d\n",
        kBurst, queued, longest, msSince(burst), writer.lost());
    return 0;
}
