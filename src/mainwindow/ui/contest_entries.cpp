#include "mainwindow/ui/contest_entries.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "contest/ui/contest_window.h"
#include "record/record_database.h"
#include "record/record_writer.h"

void AddContestEntry(QMainWindow& window, RecordWriter* writer, const QString& path) {
    auto* groups = window.menuBar()->findChild<QMenu*>(QStringLiteral("MGruppen"));
    if (!groups) return;
    auto* entry = new QAction(QStringLiteral("Rufzeichen-&Wettbewerb ..."), groups);
    // The call-sign contest.
    entry->setObjectName(QStringLiteral("MWettbewerb"));
    groups->addAction(entry);
    QObject::connect(entry, &QAction::triggered, &window, [&window, writer, path] {
        auto* contest = window.findChild<ContestWindow*>(QStringLiteral("Wettbewerb"));
        if (!contest) {
            ContestRecordAccess record;
            record.databasePath = writer ? path : QString();
            record.learner = [writer] { return writer ? writer->learner() : DefaultLearner(); };
            record.flush = [writer] {
                if (writer) writer->flush();
            };
            contest = new ContestWindow(std::move(record), &window);
            contest->setWindowFlag(Qt::Window);
        }
        contest->present();
    });
}
