// The "Lernstand" window over a large record: 200 000 drill answers of one learner spread over
// a year, plus runs and checked copies. The figure is the time from the menu entry to the
// window with every chart and table filled, on the offscreen platform.

#include "record/ui/progress_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/background_work.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "platform/thread_background_work.h"
#include "record/record_database.h"
#include "record/record_store.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SystemClock clock;
    Platform().clock = &clock;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    PrepareRecordDatabase(path, QDate::currentDate());
    constexpr int kAnswers = 200000;
    const QString learner = QStringLiteral("bench");
    const QString pool = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?/=");
    QElapsedTimer fill;
    fill.start();
    {
        RecordStore store(path);
        const QDateTime now = QDateTime::currentDateTime();
        RecordBatch batch;
        for (int i = 0; i < kAnswers; ++i) {
            DrillAnswer a;
            a.at = now.addSecs(-static_cast<qint64>(i) * 150);  // a year, newest first
            a.asked = QString(pool[i % pool.size()]);
            a.typed = i % 9 == 0 ? QString(pool[(i + 3) % pool.size()]) : a.asked;
            a.right = a.typed == a.asked;
            a.reactionMs = 300 + (i * 37) % 900;
            a.settings.speedCpm = 60 + i % 40;
            batch.answers.emplace_back(learner, a);
            if (i % 200 == 0) {
                RunSummary r;
                r.at = a.at;
                r.kind = QStringLiteral("Z");
                r.elapsedSeconds = 75;
                r.measuredCpm = 55 + i % 30;
                r.completed = true;
                batch.runs.emplace_back(learner, r);
                CheckedCopy c;
                c.at = a.at;
                for (int k = 0; k < 60; ++k)
                    c.pairs.push_back(
                        {QString(pool[(i + k) % 26]), QString(pool[(i + k + (k % 11 == 0)) % 26])});
                batch.copies.emplace_back(learner, c);
            }
        }
        if (!store.write(batch)) {
            std::fprintf(stderr, "filling failed: %s\n", qPrintable(store.error()));
            return 1;
        }
    }
    std::printf("filled %d answers, %d runs, %d checked copies in %.1f s\n", kAnswers,
                kAnswers / 200, kAnswers / 200, fill.elapsed() / 1000.0);

    // Where the time goes: the store's opening (with its integrity check) and each query.
    for (int days : {30, 0}) {
        QElapsedTimer step;
        step.start();
        RecordStore store(path);
        const double opened = step.nsecsElapsed() / 1e6;
        const QDateTime since =
            days > 0 ? QDateTime::currentDateTime().addDays(-days) : QDateTime();
        step.restart();
        store.characterFigures(learner, since);
        const double characters = step.nsecsElapsed() / 1e6;
        step.restart();
        store.dayFigures(learner, since);
        const double perDay = step.nsecsElapsed() / 1e6;
        step.restart();
        store.confusions(learner, since, 20);
        const double confusions = step.nsecsElapsed() / 1e6;
        std::printf("%s: open the store %.1f ms, per character %.1f ms, per day %.1f ms,"
                    " confusions %.1f ms\n",
                    days > 0 ? "30 days" : "all", opened, characters, perDay, confusions);
    }

    // The window reads on the background thread; a figure ends when its figures are shown.
    ThreadBackgroundWork background;
    InstallBackgroundWork(&background);
    for (int period : {0, 2}) {
        QElapsedTimer open;
        open.start();
        ProgressWindow window(path, learner);
        QEventLoop shown;
        QObject::connect(&window, &ProgressWindow::shown, &shown, &QEventLoop::quit);
        window.refresh();
        window.show();
        shown.exec();
        const double first = open.nsecsElapsed() / 1e6;
        QElapsedTimer change;
        change.start();
        window.findChild<QObject*>(QStringLiteral("Zeitraum"))->setProperty("currentIndex", period);
        shown.exec();
        std::printf("open the window (30 days): %.1f ms; switch to \"%s\": %.1f ms\n", first,
                    period == 0 ? "7 Tage" : "Alle", change.nsecsElapsed() / 1e6);
    }
    InstallBackgroundWork(nullptr);
    Platform().clock = nullptr;
    return 0;
}
