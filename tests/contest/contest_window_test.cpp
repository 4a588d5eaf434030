#include "contest/ui/contest_window.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "../mainwindow/window_rig.h"
#include "contest/contest_attempt.h"
#include "contest/contest_scoring.h"
#include "mainwindow/ui/contest_entries.h"
#include "mainwindow/ui/record_entries.h"
#include "platform/ui/accessibility_events.h"
#include "platform/ui/announcer.h"
#include "platform/ui/value_label.h"
#include "record/record_writer.h"
#include "record/ui/progress_window.h"
#include "support/audio_analysis.h"
#include "support/registry.h"

namespace {
QAccessibleInterface* accessible(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

void press(QObject* button) {
    QAccessibleInterface* a = accessible(button);
    QVERIFY(a && a->actionInterface());
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// Types `text` into the answer box as keys and presses Enter.
void answer(QLineEdit* box, const QString& text) {
    if (!text.isEmpty()) QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// The speed the window shows, in BpM ("Tempo 110 BpM (22 WpM)" → 110).
int shownBpm(ValueLabel* speed) {
    return accessible(speed)->text(QAccessible::Name).section(u' ', 1, 1).toInt();
}
}  // namespace

class ContestWindowTest : public QObject {
    Q_OBJECT
private slots:
    void attemptThroughTheWindow();
};

void ContestWindowTest::attemptThroughTheWindow() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    QString message;
    std::unique_ptr<RecordWriter> writer = OpenLearnerRecord(path, message);
    QVERIFY(writer);
    writer->setLearner(QStringLiteral("Erika"));
    WindowRig w;
    w.rig.startUp();
    Platform().record = writer.get();
    const auto uninstall = qScopeGuard([] { Platform().record = nullptr; });
    AddContestEntry(w.window, writer.get(), path);
    auto* groups = w.window.menuBar()->findChild<QMenu*>(QStringLiteral("MGruppen"));
    QVERIFY(groups);
    auto* entry = groups->findChild<QAction*>(QStringLiteral("MWettbewerb"));
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("Rufzeichen-&Wettbewerb ..."));
    entry->trigger();
    auto* window = w.window.findChild<ContestWindow*>(QStringLiteral("Wettbewerb"));
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Rufzeichen-Wettbewerb"));

    // Every control has a German name and shows its value.
    auto* startSpeed = window->findChild<QSpinBox*>(QStringLiteral("Startgeschwindigkeit"));
    auto* box = window->findChild<QLineEdit*>(QStringLiteral("Antwort"));
    auto* speed = window->findChild<ValueLabel*>(QStringLiteral("WettbewerbTempo"));
    auto* score = window->findChild<ValueLabel*>(QStringLiteral("WettbewerbPunkte"));
    auto* verdict = window->findChild<ValueLabel*>(QStringLiteral("WettbewerbErgebnis"));
    auto* number = window->findChild<ValueLabel*>(QStringLiteral("WettbewerbNummer"));
    auto* best = window->findChild<QTableWidget*>(QStringLiteral("Bestenliste"));
    QVERIFY(startSpeed && box && speed && score && verdict && number && best);
    QCOMPARE(accessible(startSpeed)->text(QAccessible::Name),
             QStringLiteral("Startgeschwindigkeit in Buchstaben pro Minute"));
    startSpeed->setValue(100);
    QCOMPARE(accessible(startSpeed)->text(QAccessible::Value), QStringLiteral("100 BpM"));
    QCOMPARE(accessible(box)->text(QAccessible::Name), QStringLiteral("Gehörtes Rufzeichen"));
    QCOMPARE(accessible(speed)->text(QAccessible::Name), QStringLiteral("Tempo 100 BpM (20 WpM)"));
    QCOMPARE(accessible(best)->text(QAccessible::Name), QStringLiteral("Bestenliste"));
    for (const char* name : {"FesteGeschwindigkeit", "BeliebigWiederholen", "TonhoeheWechseln"}) {
        auto* option = window->findChild<QCheckBox*>(QString::fromLatin1(name));
        QVERIFY2(option && !accessible(option)->text(QAccessible::Name).isEmpty(), name);
    }
    for (const char* name : {"ListeLaden", "WettbewerbStart", "WettbewerbAbbruch", "Wiederholen",
                             "Vorheriges", "ZusammenfassungSpeichern"}) {
        auto* b = window->findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY2(b && !accessible(b)->text(QAccessible::Name).isEmpty(), name);
    }
    // A call list through the file dialog seam; its bad line is reported in German.
    const QString listPath = dir.filePath(QStringLiteral("rufe.txt"));
    {
        QFile list(listPath);
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("E5E\nkein rufzeichen\n");
    }
    w.rig.dialogs.fileAnswer = listPath;
    press(window->findChild<QPushButton*>(QStringLiteral("ListeLaden")));
    // A button pressed through its accessibility action clicks a moment later, as on screen.
    QTRY_COMPARE(w.rig.dialogs.messages.size(), 1);
    QCOMPARE(w.rig.dialogs.fileTitles, QStringList{QStringLiteral("Rufzeichenliste laden")});
    QVERIFY2(w.rig.dialogs.messages.front().contains(QStringLiteral("Zeile 2")),
             qPrintable(w.rig.dialogs.messages.front()));

    // The values a screen reader is told of as they change.
    QStringList told;
    const auto previousWatcher = WatchAccessibilityEvents([&told](QAccessibleEvent& e) {
        if (e.type() == QAccessible::NameChanged && e.object())
            told << accessible(e.object())->text(QAccessible::Name);
    });
    const auto unwatch = qScopeGuard([&] { WatchAccessibilityEvents(previousWatcher); });

    // The figures are reached with Tab, so that a screen reader can read them again.
    for (ValueLabel* l : {number, speed, score, verdict})
        QVERIFY2(l->focusPolicy() & Qt::TabFocus, qPrintable(l->objectName()));
    // Orca speaks what changes at the focus only: the verdicts, which change beside the answer
    // box, are announced.
    auto* announcer = window->findChild<Announcer*>(QStringLiteral("Ansage"));
    QVERIFY(announcer);
    QCOMPARE(accessible(announcer)->role(), QAccessible::Notification);
    QSignalSpy announced(announcer, &Announcer::announced);

    press(window->findChild<QPushButton*>(QStringLiteral("WettbewerbStart")));
    QTRY_VERIFY(window->attempt());
    ContestAttempt* attempt = window->attempt();
    QVERIFY(attempt->phase() == ContestAttempt::Phase::Running);
    QCOMPARE(attempt->options().calls.front(), QStringLiteral("E5E"));
    QCOMPARE(accessible(number)->text(QAccessible::Name), QStringLiteral("Rufzeichen 1 von 50"));

    answer(box, QStringLiteral("e5e"));
    QCOMPARE(accessible(verdict)->text(QAccessible::Name),
             QStringLiteral("Ergebnis: Richtig: E5E. 600 Punkte. Neues Tempo 110 BpM."));
    QVERIFY(told.contains(accessible(verdict)->text(QAccessible::Name)));
    QVERIFY(box->hasFocus() || !window->isActiveWindow());
    QCOMPARE(announced.last().at(0).toString(),
             QStringLiteral("Richtig: E5E. 600 Punkte. Neues Tempo 110 BpM."));
    QCOMPARE(accessible(announcer)->text(QAccessible::Name), announced.last().at(0).toString());
    QCOMPARE(accessible(score)->text(QAccessible::Name), QStringLiteral("Punkte: 600"));
    QCOMPARE(shownBpm(speed), 110);
    QVERIFY(told.contains(QStringLiteral("Tempo 110 BpM (22 WpM)")));
    QVERIFY(box->text().isEmpty());  // cleared for the next call

    // The second call sounds at the speed shown: its dots measured in the samples.
    const auto marks = audio::FindMarks(w.rig.output.samples(), 20);
    QVERIFY(marks.size() >= 14);
    const auto& lastDot = marks.back();
    const double dotSamples = 1200.0 / (shownBpm(speed) / 5.0) * 48.0;
    QVERIFY2(std::abs((lastDot.last - lastDot.first + 1) - dotSamples) <= 0.05 * dotSamples,
             qPrintable(QString::number(lastDot.last - lastDot.first + 1)));
    QVERIFY(std::abs((marks.back().first - marks[marks.size() - 2].first) - 4 * dotSamples) <= 2);

    // F6 while the window has the focus repeats the call once; a second F6 is refused.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    box->setFocus();
    const size_t before = audio::FindMarks(w.rig.output.samples(), 20).size();
    QTest::keyClick(box, Qt::Key_F6);
    QCOMPARE(audio::FindMarks(w.rig.output.samples(), 20).size(), before + 7);
    QTest::keyClick(box, Qt::Key_F6);
    QCOMPARE(accessible(verdict)->text(QAccessible::Name),
             QStringLiteral("Ergebnis: Nur eine Wiederholung je Rufzeichen."));
    QCOMPARE(audio::FindMarks(w.rig.output.samples(), 20).size(), before + 7);
    answer(box, QStringLiteral("E5X"));
    // 2 × 3 × 110 = 660, one wrong: 132, repeated: 66.
    QCOMPARE(accessible(verdict)->text(QAccessible::Name),
             QStringLiteral("Ergebnis: Falsch: gesendet E5E, geschrieben „E5X“, 1 Fehler (X statt "
                            "E). 66 Punkte (wiederholt, halbe Punkte). Neues Tempo 100 BpM."));
    QCOMPARE(accessible(score)->text(QAccessible::Name), QStringLiteral("Punkte: 666"));
    // Call 3 has sounded; F7 plays call 2 again, nothing scored.
    QCOMPARE(audio::FindMarks(w.rig.output.samples(), 20).size(), before + 14);
    QTest::keyClick(box, Qt::Key_F7);
    QCOMPARE(audio::FindMarks(w.rig.output.samples(), 20).size(), before + 21);
    QCOMPARE(attempt->score(), 666);

    for (int i = 2; i < kContestCalls; ++i) answer(box, QStringLiteral("E5E"));
    QCOMPARE(attempt->phase(), ContestAttempt::Phase::Finished);
    // 48 right calls from 100 BpM: 2 × 3 × (100 + 110 + ... + 570).
    const int expected = 666 + 6 * (48 * 100 + 10 * 47 * 48 / 2);
    QCOMPARE(attempt->score(), expected);
    const QString end = accessible(verdict)->text(QAccessible::Name);
    QVERIFY2(end.contains(QStringLiteral("Durchgang beendet: %1 Punkte").arg(expected)),
             qPrintable(end));
    QVERIFY(announced.last().at(0).toString().startsWith(QStringLiteral("Durchgang beendet")));
    QCOMPARE(best->rowCount(), 1);
    QCOMPARE(best->item(0, 1)->text(), QString::number(expected));
    QCOMPARE(best->item(0, 2)->text(), QStringLiteral("570"));

    // The summary through the file dialog seam.
    const QString summaryPath = dir.filePath(QStringLiteral("wettbewerb.txt"));
    w.rig.dialogs.fileAnswer = summaryPath;
    press(window->findChild<QPushButton*>(QStringLiteral("ZusammenfassungSpeichern")));
    QTRY_VERIFY(QFile::exists(summaryPath));
    QFile summary(summaryPath);
    QVERIFY(summary.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(summary.readAll());
    QVERIFY(text.contains(QStringLiteral("Punkte: %1").arg(expected)));
    QVERIFY(text.contains(QStringLiteral("Lernende(r): Erika")));
    // Sent 50 times, typed right 49 times; the one wrong answer as typed.
    QCOMPARE(text.count(QStringLiteral("E5E")), 99);
    QCOMPARE(text.count(QStringLiteral("E5X")), 1);
    QTRY_VERIFY(w.rig.dialogs.messages.back().contains(summaryPath));

    // "Lernstand" shows the attempt and the character missed.
    ProgressWindow progress(path, QStringLiteral("Erika"));
    progress.refresh();
    w.rig.clock.processEvents();  // the figures arrive from the background work
    auto* tabs = progress.findChild<QTabWidget*>(QStringLiteral("LernstandSeiten"));
    auto* scores = progress.findChild<QTableWidget*>(QStringLiteral("WettbewerbTabelle"));
    auto* misses = progress.findChild<QTableWidget*>(QStringLiteral("WettbewerbFehlerTabelle"));
    QVERIFY(scores && misses);
    int page = 0;
    while (page < tabs->count() && !tabs->widget(page)->isAncestorOf(scores)) ++page;
    QCOMPARE(tabs->tabText(page), QStringLiteral("Wettbewer&b"));
    QCOMPARE(accessible(misses)->text(QAccessible::Name),
             QStringLiteral("Tabelle: in Rufzeichen am häufigsten verfehlte Zeichen"));
    QCOMPARE(scores->rowCount(), 1);
    QCOMPARE(scores->item(0, 1)->text(), QString::number(expected));
    QCOMPARE(scores->item(0, 4)->text(), QStringLiteral("ja"));
    QCOMPARE(misses->rowCount(), 1);
    QCOMPARE(misses->item(0, 0)->text(), QStringLiteral("E"));
    QCOMPARE(misses->item(0, 1)->text(), QStringLiteral("1"));
    QCOMPARE(misses->item(0, 2)->text(), QStringLiteral("100"));
}

REGISTER_TEST(ContestWindowTest);
#include "contest_window_test.moc"
