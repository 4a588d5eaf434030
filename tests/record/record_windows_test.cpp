#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "../mainwindow/window_rig.h"
#include "mainwindow/ui/record_entries.h"
#include "platform/ui/announcer.h"
#include "record/record_store.h"
#include "record/record_writer.h"
#include "record/ui/copy_check_window.h"
#include "record/ui/progress_window.h"
#include "support/registry.h"

namespace {
QAccessibleInterface* accessible(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

// Presses a button the way a screen reader does.
void press(QObject* button) {
    QAccessibleInterface* a = accessible(button);
    QVERIFY(a && a->actionInterface());
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

void trigger(QMainWindow& window, const char* name) {
    auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action, name);
    action->trigger();
}

DrillAnswer answer(const QDateTime& at, const QString& asked, const QString& typed, int ms) {
    DrillAnswer a;
    a.at = at;
    a.asked = asked;
    a.typed = typed;
    a.right = asked == typed;
    a.reactionMs = ms;
    a.settings.speedCpm = 60;
    a.settings.charSpacing = 1.5;
    return a;
}
}  // namespace

class RecordWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void copyCheckMarksErrorsAndRecordsThePairs();
    void progressWindowShowsTheFiguresAndExports();
    void repairMessageIsShownOnce();
    void recordIsReadBesideASoundingRun();
};

void RecordWindowsTest::copyCheckMarksErrorsAndRecordsThePairs() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    QString message;
    std::unique_ptr<RecordWriter> writer = OpenLearnerRecord(path, message);
    QVERIFY(writer && message.isEmpty());
    WindowRig w;
    Platform().record = writer.get();
    const auto uninstall = qScopeGuard([] { Platform().record = nullptr; });
    AddRecordEntries(w.window, writer.get(), path, QString());
    auto* copyAction = w.window.findChild<QAction*>(QStringLiteral("MMitschrift"));
    QVERIFY(copyAction);
    QCOMPARE(copyAction->shortcut(), QKeySequence(Qt::Key_F12));
    auto* groups = w.window.menuBar()->findChild<QMenu*>(QStringLiteral("MGruppen"));
    QVERIFY(groups && groups->findChild<QAction*>(QStringLiteral("MSchwaechen")));

    // A run of its own, recorded, whose text the copy is checked against.
    w.rig.startUp();
    w.rig.f.L_Anz.setCaption(QStringLiteral("1"));
    w.rig.f.Comstart.click();
    w.rig.s.SentText = QStringLiteral("ABCDE FGHIJ ");
    trigger(w.window, "MMitschrift");
    auto* window = w.window.findChild<CopyCheckWindow*>(QStringLiteral("Mitschrift"));
    QVERIFY(window && window->isVisible());
    auto* box = window->findChild<QPlainTextEdit*>(QStringLiteral("MitschriftText"));
    QCOMPARE(accessible(box)->text(QAccessible::Name), QStringLiteral("Mitschrift"));
    box->setPlainText(QStringLiteral("abxde ghijk"));
    press(window->findChild<QPushButton*>(QStringLiteral("Pruefen")));

    auto* share = window->findChild<QLabel*>(QStringLiteral("Anteil"));
    // 11 pairs: 8 right, C wrong (X), F missed, K extra.
    QTRY_COMPARE(share->text(), QStringLiteral("72,7 % richtig"));
    // The result takes the focus, so a screen reader speaks it at once, with the errors in
    // words; Tab reaches it again later.
    QTRY_COMPARE(window->focusWidget(), static_cast<QWidget*>(share));
    QCOMPARE(accessible(share)->text(QAccessible::Name),
             QStringLiteral("Ergebnis: 72,7 % richtig"));
    QVERIFY(accessible(share)
                ->text(QAccessible::Description)
                .contains(QStringLiteral("3. Zeichen: X statt C")));
    QVERIFY(share->focusPolicy() & Qt::TabFocus);
    // A label's description is not spoken: the errors in words follow as a message.
    auto* announcer = window->findChild<Announcer*>(QStringLiteral("Ansage"));
    QVERIFY(announcer);
    QTRY_VERIFY(accessible(announcer)
                    ->text(QAccessible::Name)
                    .contains(QStringLiteral("6. Zeichen: F fehlt")));
    auto* result = window->findChild<QTextBrowser*>(QStringLiteral("Ergebnis"));
    const QString words = accessible(result)->text(QAccessible::Description);
    QVERIFY2(words.contains(QStringLiteral("3. Zeichen: X statt C")), qPrintable(words));
    QVERIFY(words.contains(QStringLiteral("6. Zeichen: F fehlt")));
    QVERIFY(words.contains(QStringLiteral("11. Zeichen: K zu viel")));
    QVERIFY(result->toHtml().contains(QStringLiteral("#c00000")));
    // The sent text stands above the copy, character under character: a gap under the missed
    // F, a gap over the extra K.
    const QStringList lines = result->toPlainText().split(QLatin1Char('\n'));
    const qsizetype sentAt = lines.indexOf(QStringLiteral("Gesendet:   ABCDE FGHIJ "));
    QVERIFY2(sentAt >= 0, qPrintable(result->toPlainText()));
    QCOMPARE(lines.value(sentAt + 1), QStringLiteral("Mitschrift: ABXDE  GHIJK"));

    // The typo mended and checked again: the second check replaces the first.
    box->setPlainText(QStringLiteral("abcde ghijk"));
    press(window->findChild<QPushButton*>(QStringLiteral("Pruefen")));
    QTRY_COMPARE(share->text(), QStringLiteral("81,8 % richtig"));
    box->setPlainText(QStringLiteral("abxde ghijk"));
    press(window->findChild<QPushButton*>(QStringLiteral("Pruefen")));
    QTRY_COMPARE(share->text(), QStringLiteral("72,7 % richtig"));

    writer->flush();
    QCOMPARE(writer->lost(), 0);
    RecordStore store(path);
    QCOMPARE(store.checkedCopies(writer->learner()).size(), size_t(1));
    QCOMPARE(store.entryCount(writer->learner(), QDateTime()), 10);  // sent characters only
    const auto confusions = store.confusions(writer->learner(), QDateTime(), 5);
    QCOMPARE(confusions.size(), size_t(1));
    QCOMPARE(confusions[0].heard, QStringLiteral("X"));
}

void RecordWindowsTest::progressWindowShowsTheFiguresAndExports() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    WindowRig w;
    const QDateTime now = w.rig.clock.now();
    {
        RecordStore store(path);
        RecordBatch batch;
        const QString me = QStringLiteral("dl1abc");
        batch.answers.emplace_back(me, answer(now, "B", "6", 900));
        batch.answers.emplace_back(me, answer(now, "B", "B", 800));
        batch.answers.emplace_back(me, answer(now, "E", "E", 300));
        batch.answers.emplace_back(me, answer(now.addDays(-10), "K", "R", 700));
        batch.answers.emplace_back(QStringLiteral("=other"), answer(now, "E", "E", 300));
        RunSummary run;
        run.at = now;
        run.kind = QStringLiteral("Z");
        run.elapsedSeconds = 61.5;
        run.measuredCpm = 58.5;
        batch.runs.emplace_back(me, run);
        // Two attempts of sending practice: "KA" keyed right, then as "KN".
        for (const QString& keyed : {QStringLiteral("KA"), QStringLiteral("KN")}) {
            SendingAttemptEntry s;
            s.at = now;
            s.exercise = QStringLiteral("Nachgeben");
            s.intended = QStringLiteral("KA");
            s.decoded = keyed;
            s.pairs = {{QStringLiteral("K"), QStringLiteral("K")},
                       {QStringLiteral("A"), keyed.right(1)}};
            s.right = keyed == s.intended;
            s.cpm = keyed == s.intended ? 60 : 80;
            s.regularity = keyed == s.intended ? 90 : 70;
            s.durationsMs = {231, 77, 77};
            s.characters = {{QStringLiteral("K"), 12}, {keyed.right(1), 30}};
            batch.sendings.emplace_back(me, s);
        }
        QVERIFY(store.write(batch));
    }
    RecordWriter writer(path, QStringLiteral("dl1abc"));
    AddRecordEntries(w.window, &writer, path, QString());
    trigger(w.window, "MLernstand");
    auto* window = w.window.findChild<ProgressWindow*>(QStringLiteral("Lernstand"));
    QVERIFY(window && window->isVisible());
    w.rig.clock.processEvents();  // the figures arrive from the background work

    // How many entries the figures rest on is reached with Tab.
    auto* status = window->findChild<QLabel*>(QStringLiteral("LernstandStatus"));
    QVERIFY(status->focusPolicy() & Qt::TabFocus);
    QVERIFY(accessible(status)->text(QAccessible::Name).contains(QStringLiteral("Antworten")));
    auto* period = window->findChild<QComboBox*>(QStringLiteral("Zeitraum"));
    QCOMPARE(period->accessibleName(), QStringLiteral("Zeitraum"));
    QCOMPARE(accessible(period)->text(QAccessible::Value), QStringLiteral("30 Tage"));
    QCOMPARE(accessible(period)->text(QAccessible::Description), QStringLiteral("30 Tage"));
    auto* accuracy = window->findChild<QTableWidget*>(QStringLiteral("GenauigkeitTabelle"));
    QCOMPARE(accuracy->rowCount(), 3);
    QCOMPARE(accuracy->item(0, 0)->text(), QStringLiteral("K"));  // worst first
    QCOMPARE(accuracy->item(1, 0)->text(), QStringLiteral("B"));
    QCOMPARE(accuracy->item(1, 3)->text(), QStringLiteral("50,0"));
    auto* confusions = window->findChild<QTableWidget*>(QStringLiteral("VerwechslungTabelle"));
    QCOMPARE(confusions->item(0, 0)->text(), QStringLiteral("B gehört als 6"));
    auto* reaction = window->findChild<QTableWidget*>(QStringLiteral("ReaktionTabelle"));
    QCOMPARE(reaction->item(0, 0)->text(), QStringLiteral("B"));
    QCOMPARE(reaction->item(0, 2)->text(), QStringLiteral("800"));
    auto* days = window->findChild<QTableWidget*>(QStringLiteral("VerlaufTabelle"));
    QCOMPARE(days->rowCount(), 2);
    QCOMPARE(days->item(1, 4)->text(), QStringLiteral("58,5"));

    // "Geben": per character the least accurate first, and the day's regularity and speed.
    auto* sending = window->findChild<QTableWidget*>(QStringLiteral("GebenTabelle"));
    QVERIFY(sending);
    QCOMPARE(accessible(sending)->text(QAccessible::Name),
             QStringLiteral("Tabelle: Geben je Zeichen, ungenaueste zuerst"));
    QCOMPARE(sending->rowCount(), 3);
    QCOMPARE(sending->item(0, 0)->text(), QStringLiteral("A"));
    QCOMPARE(sending->item(0, 3)->text(), QStringLiteral("50,0"));
    QCOMPARE(sending->item(1, 0)->text(), QStringLiteral("K"));
    QCOMPARE(sending->item(1, 5)->text(), QStringLiteral("12"));
    QCOMPARE(sending->item(2, 0)->text(), QStringLiteral("N"));  // keyed, never asked for
    auto* sendingDays = window->findChild<QTableWidget*>(QStringLiteral("GebenVerlaufTabelle"));
    QCOMPARE(sendingDays->rowCount(), 1);
    QCOMPARE(sendingDays->item(0, 1)->text(), QStringLiteral("2"));
    QCOMPARE(sendingDays->item(0, 2)->text(), QStringLiteral("80"));
    QCOMPARE(sendingDays->item(0, 3)->text(), QStringLiteral("70"));
    QVERIFY(window->findChild<QWidget*>(QStringLiteral("GebenDiagramm"))
                ->accessibleDescription()
                .contains(QStringLiteral("Gleichmäßigkeit 80")));

    period->setCurrentIndex(0);  // 7 days: K drops out
    w.rig.clock.processEvents();
    QCOMPARE(accessible(period)->text(QAccessible::Description), QStringLiteral("7 Tage"));
    QCOMPARE(accuracy->rowCount(), 2);

    auto* learner = window->findChild<QComboBox*>(QStringLiteral("Lernender"));
    QCOMPARE(learner->count(), 2);
    learner->setCurrentText(QStringLiteral("=other"));
    emit learner->activated(learner->currentIndex());
    QCOMPARE(writer.learner(), QStringLiteral("=other"));
    w.rig.clock.processEvents();
    QCOMPARE(accuracy->rowCount(), 1);
    learner->setCurrentText(QStringLiteral("dl1abc"));
    emit learner->activated(learner->currentIndex());
    w.rig.clock.processEvents();

    const QString csv = dir.filePath(QStringLiteral("export.csv"));
    QStringList told;
    window->askExportPath = [csv] { return csv; };
    window->tell = [&told](const QString& text) { told << text; };
    // The accessible press clicks a moment later; the file is written in the background.
    press(window->findChild<QPushButton*>(QStringLiteral("Exportieren")));
    QTRY_COMPARE((w.rig.clock.processEvents(), told.size()), 1);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(
        bytes.startsWith("\xEF\xBB\xBF"
                         "Art;Zeitpunkt;Lernende(r);"));
    const QStringList lines =
        QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + 4 + 1);
    for (const QString& line : lines) QCOMPARE(line.count(u';'), 17);
    QVERIFY(lines[1].startsWith(QStringLiteral("Antwort;")));
    QVERIFY(lines[1].contains(QStringLiteral(";1,50;")));
    QVERIFY(lines.last().contains(QStringLiteral(";61,5;58,5;")));
}

void RecordWindowsTest::repairMessageIsShownOnce() {
    QTemporaryDir dir;
    WindowRig w;
    AddRecordEntries(w.window, nullptr, dir.filePath(QStringLiteral("x.sqlite")),
                     QStringLiteral("Der Lernstand war beschädigt."));
    QTRY_COMPARE(w.rig.dialogs.messages.size(), 1);
    QTest::qWait(20);
    QCOMPARE(w.rig.dialogs.messages.size(), 1);
}

void RecordWindowsTest::recordIsReadBesideASoundingRun() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    const auto runOnce = [&path](bool readMeanwhile, QStringList* seen) {
        WindowRig w;
        w.rig.startUp();
        {
            RecordStore store(path);
            RecordBatch batch;
            for (int i = 0; i < 60 && readMeanwhile; ++i)
                batch.answers.emplace_back(QStringLiteral("dl1abc"),
                                           answer(w.rig.clock.now(), "K", i % 3 ? "K" : "R", 700));
            store.write(batch);
        }
        RecordWriter writer(path, QStringLiteral("dl1abc"));
        AddRecordEntries(w.window, &writer, path, QString());
        // Each query takes 0.4 s somewhere else; its result arrives through the event loop.
        w.rig.background.setWorkSeconds(0.4);
        w.rig.f.L_Anz.setCaption(QStringLiteral("3"));
        const double start = w.rig.clock.monotonicSeconds();
        if (readMeanwhile) {
            w.rig.clock.at(start + 3.0, [&] { trigger(w.window, "MLernstand"); });
            w.rig.clock.at(start + 3.2, [&, seen] {
                auto* table =
                    w.window.findChild<QTableWidget*>(QStringLiteral("GenauigkeitTabelle"));
                *seen << QString::number(table->rowCount());
                trigger(w.window, "MSchwaechen");
            });
            w.rig.clock.at(start + 3.5, [&, seen] {
                auto* table =
                    w.window.findChild<QTableWidget*>(QStringLiteral("GenauigkeitTabelle"));
                *seen << QString::number(table->rowCount()) << w.rig.s.ExerciseKind;
            });
            w.rig.clock.at(start + 3.7, [&, seen] { *seen << w.rig.s.ExerciseKind; });
        }
        w.rig.f.Comstart.click();
        // The sound up to a moment after everything arrived.
        std::vector<int16_t> sound = w.rig.output.samples();
        sound.resize(std::min(sound.size(), static_cast<size_t>((start + 4.0) * 48000)));
        return sound;
    };
    const std::vector<int16_t> plain = runOnce(false, nullptr);
    QStringList seen;
    const std::vector<int16_t> read = runOnce(true, &seen);
    // The figures came while the run sounded, 0.4 s after they were asked for; the weak
    // characters' pool likewise.
    QCOMPARE(seen, (QStringList{"0", "1", "Z", "W"}));
    QVERIFY(plain.size() > 3 * 48000);
    QVERIFY(read == plain);
}

REGISTER_TEST(RecordWindowsTest);
#include "record_windows_test.moc"
