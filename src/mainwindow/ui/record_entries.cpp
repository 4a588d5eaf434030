#include "mainwindow/ui/record_entries.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "exercises/weakness_exercise.h"
#include "mainwindow/ui/function_keys.h"
#include "platform/dialogs.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/user_settings.h"
#include "record/record_database.h"
#include "record/record_store.h"
#include "record/record_writer.h"
#include "record/ui/copy_check_window.h"
#include "record/ui/progress_window.h"

namespace {
const QString kLearnerKey = QStringLiteral("record/learner");

QString savedLearner() {
    const QString name = OpenUserSettings()->value(kLearnerKey).toString().trimmed();
    return name.isEmpty() ? DefaultLearner() : name.left(64);
}

QAction* entry(QObject* parent, const char* objectName, const QString& caption) {
    auto* action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}
}  // namespace

std::unique_ptr<RecordWriter> OpenLearnerRecord(const QString& path, QString& message) {
    const RecordOpening opening = PrepareRecordDatabase(path, QDate::currentDate());
    message = opening.message;
    if (!opening.usable) return nullptr;
    return std::make_unique<RecordWriter>(path, savedLearner());
}

void AddRecordEntries(QMainWindow& window, RecordWriter* writer, const QString& path,
                      const QString& message) {
    QMenuBar* bar = window.menuBar();
    const auto learner = [writer] { return writer ? writer->learner() : savedLearner(); };

    // Under "Gruppen ...": groups of the characters the learner misses or hears slowly.
    if (auto* groups = bar->findChild<QMenu*>(QStringLiteral("MGruppen"))) {
        QAction* weak = entry(groups, "MSchwaechen", QStringLiteral("Schwächen üben"));
        groups->addAction(weak);
        QObject::connect(weak, &QAction::triggered, &window,
                         [path, learner] { PracticeWeaknesses(path, learner()); });
    }

    auto* menu = new QMenu(QStringLiteral("&Auswertung"), bar);
    // The learner's record: copy check and progress.
    menu->setObjectName(QStringLiteral("MAuswertung"));
    menu->setAccessibleName(QStringLiteral("Auswertung"));
    QAction* before = bar->findChild<QAction*>(QStringLiteral("MInfo"));
    if (before && bar->actions().contains(before))
        bar->insertMenu(before, menu);
    else
        bar->addMenu(menu);

    auto* copyWindow = new CopyCheckWindow(&window);
    copyWindow->setWindowFlag(Qt::Window);
    QAction* copy = entry(&window, "MMitschrift", QStringLiteral("&Mitschrift ..."));
    copy->setShortcut(QKeySequence(Qt::Key_F12));
    copy->setShortcutContext(Qt::ApplicationShortcut);
    // Like F1 to F11, F12 waits while keyboard mode or the drill takes the keys.
    GateShortcut(copy, form1());
    menu->addAction(copy);
    window.addAction(copy);
    QObject::connect(copy, &QAction::triggered, copyWindow, &CopyCheckWindow::present);

    // The progress window is made on first use: its charts cost start-up time.
    QAction* show = entry(&window, "MLernstand", QStringLiteral("&Lernstand ..."));
    menu->addAction(show);
    QObject::connect(show, &QAction::triggered, &window, [&window, writer, path, learner] {
        auto* progress = window.findChild<ProgressWindow*>(QStringLiteral("Lernstand"));
        if (!progress) {
            progress = new ProgressWindow(path, learner(), &window);
            progress->setWindowFlag(Qt::Window);
            QObject::connect(progress, &ProgressWindow::learnerChosen, &window,
                             [writer](const QString& name) {
                                 if (writer) writer->setLearner(name);
                                 OpenUserSettings()->setValue(kLearnerKey, name);
                             });
        }
        progress->refresh();
        progress->show();
        progress->raise();
        progress->activateWindow();
    });

    if (writer) {
        // The writer's thread tells of a loss; the window thread shows it.
        writer->setTroubleHandler([](const QString& text) {
            QCoreApplication* app = QCoreApplication::instance();
            if (!app) return;
            QMetaObject::invokeMethod(
                app,
                [text] {
                    if (Platform().dialogs) Platform().dialogs->message(text);
                },
                Qt::QueuedConnection);
        });
    }

    if (!message.isEmpty()) {
        QTimer::singleShot(0, &window, [message] {
            if (Platform().dialogs) Platform().dialogs->message(message);
        });
    }
}
