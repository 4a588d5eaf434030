// The course in the main window: "Heute üben" from the menu and its key, the copy check that
// counts, the course page of "Lernstand", and the speed in WPM and BpM.
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "../mainwindow/window_rig.h"
#include "course/course_session.h"
#include "mainwindow/ui/course_entries.h"
#include "mainwindow/ui/record_entries.h"
#include "mainwindow/ui/speed_units_label.h"
#include "record/record_store.h"
#include "record/record_writer.h"
#include "support/registry.h"

namespace {
QAccessibleInterface* accessible(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

void press(QObject* button) {
    QAccessibleInterface* a = accessible(button);
    QVERIFY(a && a->actionInterface());
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}
}  // namespace

class CourseWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void todaysRoundRunsIsCheckedAndTheAdvanceShows();
    void speedIsShownAndReadInWpmAndBpm();
};

void CourseWindowsTest::todaysRoundRunsIsCheckedAndTheAdvanceShows() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    QString message;
    std::unique_ptr<RecordWriter> writer = OpenLearnerRecord(path, message);
    QVERIFY(writer);
    writer->setLearner(QStringLiteral("Anna"));
    {
        // Lesson 1 of the trainer's course, nearly there: two rounds with every character 8
        // times.
        RecordStore store(path);
        CourseRecord record(store);
        for (qint64 key : {1, 2}) {
            CourseRound r;
            r.runKey = key;
            r.at = QDateTime::fromMSecsSinceEpoch(key);
            r.course = QStringLiteral("darc");
            r.lesson = 1;
            for (const QString c : {"E", "L", "V", "0"}) r.characters[c] = {8, 8};
            r.attempts = r.right = 32;
            QVERIFY(record.saveRound(QStringLiteral("Anna"), r));
        }
    }
    WindowRig w;
    Platform().record = writer.get();
    const auto uninstall = qScopeGuard([] { Platform().record = nullptr; });
    AddRecordEntries(w.window, writer.get(), path, QString());
    AddCourseEntries(w.window, writer.get(), path);
    w.rig.startUp();

    auto* menu = w.window.menuBar()->findChild<QMenu*>(QStringLiteral("MKurs"));
    QVERIFY(menu);
    auto* today = w.window.findChild<QAction*>(QStringLiteral("MHeuteUeben"));
    QVERIFY(today && menu->actions().contains(today));
    QCOMPARE(today->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    // No other entry of the window has the key.
    for (QAction* a : w.window.findChildren<QAction*>()) {
        if (a != today) QVERIFY2(a->shortcut() != today->shortcut(), qPrintable(a->objectName()));
    }

    today->trigger();
    QCOMPARE(w.rig.s.ExerciseKind, kCourseKind);
    QVERIFY(!w.rig.s.SentText.isEmpty());
    auto* copyWindow = w.window.findChild<QWidget*>(QStringLiteral("Mitschrift"));
    QVERIFY(copyWindow && copyWindow->isVisible());
    auto* copy = copyWindow->findChild<QPlainTextEdit*>(QStringLiteral("MitschriftText"));
    copy->setPlainText(w.rig.s.SentText);
    press(copyWindow->findChild<QPushButton*>(QStringLiteral("Pruefen")));
    // A screen reader's press clicks the button a moment later.
    QTRY_VERIFY2(!w.rig.dialogs.messages.isEmpty() &&
                     w.rig.dialogs.messages.last().startsWith(QStringLiteral("Lektion 1 sitzt")),
                 qPrintable(w.rig.dialogs.messages.join(u'|')));

    w.window.findChild<QAction*>(QStringLiteral("MKursLektion"))->trigger();
    auto* page = w.window.findChild<QWidget*>(QStringLiteral("KursSeite"));
    QVERIFY(page && page->isVisible());
    auto* status = page->findChild<QLabel*>(QStringLiteral("KursStand"));
    QVERIFY2(status->text().contains(QStringLiteral("Lektion 2 von 11")),
             qPrintable(status->text()));
    // A screen reader hears the standing itself, not only what the label is; Tab reaches it.
    QCOMPARE(accessible(status)->text(QAccessible::Name),
             QStringLiteral("Stand im Kurs: ") + status->text());
    QVERIFY(status->focusPolicy() & Qt::TabFocus);
    auto* advances = page->findChild<QTableWidget*>(QStringLiteral("KursFortschrittTabelle"));
    QCOMPARE(advances->rowCount(), 1);
    QCOMPARE(advances->item(0, 3)->text(), QStringLiteral("ASQ"));
    auto* rounds = page->findChild<QTableWidget*>(QStringLiteral("KursRundenTabelle"));
    QCOMPARE(rounds->rowCount(), 3);
    auto* mastery = page->findChild<QTableWidget*>(QStringLiteral("KursZeichenTabelle"));
    QCOMPARE(mastery->rowCount(), 7);
    QCOMPARE(mastery->item(4, 0)->text(), QStringLiteral("A"));
    QCOMPARE(mastery->item(4, 4)->text(), QStringLiteral("noch nicht"));
    // The tables are there for a screen reader: named, with their cells.
    for (QTableWidget* t : {advances, rounds, mastery}) {
        QAccessibleInterface* a = accessible(t);
        QVERIFY(a && a->tableInterface());
        QVERIFY(a->text(QAccessible::Name).startsWith(QStringLiteral("Tabelle: ")));
        QCOMPARE(a->tableInterface()->rowCount(), t->rowCount());
    }
    QCOMPARE(accessible(advances)->tableInterface()->cellAt(0, 3)->text(QAccessible::Name),
             QStringLiteral("ASQ"));

    // Another lesson by hand.
    page->findChild<QSpinBox*>(QStringLiteral("KursLektion"))->setValue(5);
    press(page->findChild<QPushButton*>(QStringLiteral("KursLektionWaehlen")));
    QTRY_VERIFY(status->text().contains(QStringLiteral("Lektion 5 von 11")));
    RecordStore store(path);
    CourseRecord record(store);
    QCOMPARE(record.place(QStringLiteral("Anna"))->lesson, 5);
}

void CourseWindowsTest::speedIsShownAndReadInWpmAndBpm() {
    WindowRig w;
    AddSpeedUnits(w.window);
    w.rig.startUp();
    auto* units = w.window.findChild<QLabel*>(QStringLiteral("L_WPM"));
    auto* spin = w.window.findChild<QWidget*>(QStringLiteral("UpDownGesch"));
    QVERIFY(units && spin);
    w.rig.f.UpDownGesch.setValue(60);
    QCOMPARE(w.rig.f.L_Gesch.caption(), QStringLiteral("60"));
    QCOMPARE(units->text(), QStringLiteral("= 15,6 WPM · 78 BpM"));
    const QString read = accessible(spin)->text(QAccessible::Description);
    QVERIFY2(read.endsWith(QStringLiteral(", entspricht 15,6 Wörtern pro Minute, 78 BpM")),
             qPrintable(read));
    // The course's speed: 20 WPM.
    w.rig.f.UpDownGesch.setValue(77);
    QCOMPARE(units->text(), QStringLiteral("= 20,0 WPM · 100 BpM"));
    QVERIFY(accessible(spin)->text(QAccessible::Description).endsWith(QStringLiteral("100 BpM")));
    QCOMPARE(accessible(units)->text(QAccessible::Name),
             QStringLiteral("Geschwindigkeit entspricht 20,0 Wörtern pro Minute, 100 BpM"));
}

REGISTER_TEST(CourseWindowsTest);
#include "course_windows_test.moc"
