#include "mainwindow/ui/course_entries.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <memory>

#include "course/course_session.h"
#include "course/ui/course_page.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "record/copy_alignment.h"
#include "record/record_store.h"
#include "record/record_writer.h"
#include "record/ui/copy_check_window.h"
#include "record/ui/progress_window.h"
#include "state/shared_state.h"

namespace {
const char* const kTodayAction = "MHeuteUeben";

// The course's part of the main window: the round waiting for its check.
struct CourseWiring : QObject {
    CourseWiring(QMainWindow& w, RecordWriter* writer, const QString& path)
        : QObject(&w), window(w), writer(writer), path(path) {}
    QMainWindow& window;
    RecordWriter* writer;
    QString path;
    CourseRun run;
};

void tell(const QString& text) {
    if (Platform().dialogs) Platform().dialogs->message(text);
}

// A round starts only when the start button could: no run, drill or typing in progress.
bool mayStart() {
    const Form1& f = form1();
    const SharedState& s = S();
    return s.RunAllowed && f.Comstart.enabled() && !s.KeyboardMode && !f.COM_FA.pressed() &&
           !s.InPreamble && !s.ReadingAloud;
}

// The progress window with the course page, made when missing.
ProgressWindow* progressWithCourse(CourseWiring& wiring) {
    auto* progress = wiring.window.findChild<ProgressWindow*>(QStringLiteral("Lernstand"));
    if (!progress) return nullptr;
    auto* page = progress->findChild<CoursePage*>(QStringLiteral("KursSeite"));
    if (!page) {
        page = new CoursePage(
            wiring.path, [progress] { return progress->learner(); }, progress);
        progress->addPage(page, QStringLiteral("K&urs"));
        QObject::connect(progress, &ProgressWindow::shown, page, &CoursePage::refresh);
        page->refresh();
    }
    return progress;
}

void countCheck(CourseWiring& wiring, const CopyCheckResult& result) {
    if (!wiring.run.active()) return;
    CheckOutcome outcome;
    {
        RecordStore store(wiring.path);
        outcome = CountCheck(store, wiring.run, result.pairs, Platform().clock->now());
    }
    if (!outcome.message.isEmpty()) tell(outcome.message);
    if (!outcome.newCharacters.isEmpty()) PlayNewCharacters(outcome.newCharacters);
    if (auto* progress = wiring.window.findChild<ProgressWindow*>(QStringLiteral("Lernstand"))) {
        if (progress->isVisible()) progress->refresh();
    }
}

void practiceToday(CourseWiring& wiring) {
    if (!mayStart()) return;
    if (!wiring.writer) {
        tell(
            QStringLiteral("Ohne Lernstand kann der Kurs nicht führen: Die Datenbank des "
                           "Lernstands lässt sich nicht öffnen."));
        return;
    }
    TodaySetup setup;
    {
        RecordStore store(wiring.path);
        setup = PrepareToday(store, wiring.writer->learner(), Platform().clock->now());
    }
    if (!setup.ready) {
        tell(setup.problem);
        return;
    }
    wiring.run = setup.run;
    // The run lives inside the start button's handler and ends before it returns.
    form1().Comstart.click();
    wiring.run.sentText = S().SentText;
    if (wiring.run.sentText.isEmpty()) return;
    if (auto* copy = wiring.window.findChild<CopyCheckWindow*>(QStringLiteral("Mitschrift")))
        copy->present();
}
}  // namespace

void AddCourseEntries(QMainWindow& window, RecordWriter* writer, const QString& path) {
    auto* wiring = new CourseWiring(window, writer, path);
    wiring->setObjectName(QStringLiteral("KursVerdrahtung"));
    QMenuBar* bar = window.menuBar();
    auto* menu = new QMenu(QStringLiteral("K&urs"), bar);
    // The course: today's practice and the choice of course and lesson.
    menu->setObjectName(QStringLiteral("MKurs"));
    menu->setAccessibleName(QStringLiteral("Kurs"));
    QAction* before = bar->findChild<QAction*>(QStringLiteral("MInfo"));
    if (auto* evaluation = bar->findChild<QMenu*>(QStringLiteral("MAuswertung")))
        before = evaluation->menuAction();
    if (before && bar->actions().contains(before))
        bar->insertMenu(before, menu);
    else
        bar->addMenu(menu);

    auto* today = new QAction(QStringLiteral("&Heute üben"), &window);
    // One step to today's round of the learner's lesson.
    today->setObjectName(QString::fromLatin1(kTodayAction));
    today->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    today->setStatusTip(
        QStringLiteral("Startet die Übung der aktuellen Lektion im Kurs und öffnet danach die "
                       "Mitschrift"));
    menu->addAction(today);
    window.addAction(today);
    QObject::connect(today, &QAction::triggered, wiring, [wiring] { practiceToday(*wiring); });

    auto* lesson = new QAction(QStringLiteral("Kurs und &Lektion ..."), &window);
    // The course page of "Lernstand", where course and lesson are chosen.
    lesson->setObjectName(QStringLiteral("MKursLektion"));
    menu->addAction(lesson);
    QObject::connect(lesson, &QAction::triggered, wiring, [wiring] {
        auto* show = wiring->window.findChild<QAction*>(QStringLiteral("MLernstand"));
        if (!show) return;
        show->trigger();
        if (ProgressWindow* progress = progressWithCourse(*wiring)) {
            auto* tabs = progress->findChild<QTabWidget*>(QStringLiteral("LernstandSeiten"));
            auto* page = progress->findChild<CoursePage*>(QStringLiteral("KursSeite"));
            if (tabs && page) tabs->setCurrentWidget(page);
        }
    });

    // "Lernstand" opened from its own menu shows the course page too.
    if (auto* show = window.findChild<QAction*>(QStringLiteral("MLernstand"))) {
        QObject::connect(show, &QAction::triggered, wiring,
                         [wiring] { progressWithCourse(*wiring); });
    }
    if (auto* copy = window.findChild<CopyCheckWindow*>(QStringLiteral("Mitschrift"))) {
        copy->onChecked = [wiring](const CopyCheckResult& result) { countCheck(*wiring, result); };
    }
}

void PracticeToday(QMainWindow& window) {
    if (auto* today = window.findChild<QAction*>(QString::fromLatin1(kTodayAction)))
        today->trigger();
}
