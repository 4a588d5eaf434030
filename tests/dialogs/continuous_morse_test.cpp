#include <QTest>

#include "dialogs/dauform.h"
#include "platform/form1.h"
#include "support/registry.h"
#include "support/rig.h"

// Watches a series of continuous Morse: when the start button is pressed, and when the count
// drops at the end of a run (right after the statistics and the printout).
struct SeriesLog {
    explicit SeriesLog(TestRig& rig) : rig_(rig) {
        auto start = rig.f.Comstart.onClick;
        rig.f.Comstart.onClick = [this, start] {
            starts.push_back(rig_.clock.monotonicSeconds());
            start();
        };
        auto s2 = rig.f.COM_S2.onClick;
        rig.f.COM_S2.onClick = [this, s2] {
            ++s2Presses;
            s2();
        };
        QObject::connect(&rig.f.pan_dau, &Control::changed, &rig.f.pan_dau, [this] {
            counts << rig_.f.pan_dau.caption();
            countTimes.push_back(rig_.clock.monotonicSeconds());
            sentTexts << rig_.s.SentText;
            printedLines.push_back(static_cast<int>(rig_.printer.lines().size()));
        });
    }

    std::vector<double> starts;
    QStringList counts;
    std::vector<double> countTimes;
    QStringList sentTexts;
    std::vector<int> printedLines;
    int s2Presses = 0;

private:
    TestRig& rig_;
};

class ContinuousMorseTest : public QObject {
    Q_OBJECT
private slots:
    void okArmsTheSeries();
    void dialogKeepsValuesUntilClosedByItsFrame();
    void boxClickCreatesTheDialogHidden();
    void threeRunsNineSecondsApart();
    void untickDuringThePauseGivesOneMoreRun();
    void countThatIsNoNumberEndsAfterOneRun();
    void printedSeriesIsOneJobWithClosingLines();
};

namespace {
void startSeries(TestRig& rig, const QString& count, bool print) {
    Dauform& d = dauform().load();
    d.Text1.setText(count);
    d.midru.setValue(print ? 1 : 0);
    d.ok.click();
}

void shortRuns(TestRig& rig) {
    rig.startUp();
    rig.f.L_Anz.setCaption(QStringLiteral("2"));
    rig.wave.played.clear();
}
}  // namespace

void ContinuousMorseTest::okArmsTheSeries() {
    TestRig rig;
    rig.f.Mdauermorsen.click();
    Dauform* d = dauform().get();
    QVERIFY(d && d->visible());
    QCOMPARE(rig.dialogs.shown, std::vector<DialogId>{DialogId::ContinuousMorse});
    QCOMPARE(d->Text1.text(), QStringLiteral("12"));
    d->Text1.setText(QStringLiteral("7"));
    d->midru.setValue(1);
    d->ok.click();
    QCOMPARE(rig.f.pan_dau.caption(), QStringLiteral("7"));
    QVERIFY(rig.f.Dauermorsen.ticked());
    QCOMPARE(rig.wave.played, QStringList{"S12.wav"});
    QCOMPARE(rig.s.PrintAfterRun, int16_t(1));
    QVERIFY(!d->visible());
    QCOMPARE(dauform().get(), d);
    // The printer is set for the run texts.
    rig.printer.print(QStringLiteral("x"), true);
    const auto& line = rig.printer.lines().back();
    QCOMPARE(line.fontName, QStringLiteral("Courier new"));
    QCOMPARE(line.fontSize, 12.0f);
    QVERIFY(line.bold);
    // No run starts by itself.
    QVERIFY(rig.f.Comstart.enabled());
    QVERIFY(rig.s.SentText.isEmpty());
}

void ContinuousMorseTest::dialogKeepsValuesUntilClosedByItsFrame() {
    TestRig rig;
    startSeries(rig, QStringLiteral("5"), true);
    rig.f.Mdauermorsen.click();
    QCOMPARE(dauform().get()->Text1.text(), QStringLiteral("5"));
    QCOMPARE(dauform().get()->midru.value(), 1);
    dauform().get()->Text1.setText(QStringLiteral("9"));
    dauform().get()->Form_Close();
    QVERIFY(!dauform().get());
    // Nothing was taken from the discarded dialog.
    QCOMPARE(rig.f.pan_dau.caption(), QStringLiteral("5"));
    rig.f.Mdauermorsen.click();
    QCOMPARE(dauform().get()->Text1.text(), QStringLiteral("12"));
    QCOMPARE(dauform().get()->midru.value(), 0);
}

void ContinuousMorseTest::boxClickCreatesTheDialogHidden() {
    TestRig rig;
    rig.f.pan_dau.setCaption(QStringLiteral("3"));
    rig.f.Dauermorsen.setValue(1);
    QVERIFY(dauform().get() && !dauform().get()->visible());
    QCOMPARE(rig.f.pan_dau.caption(), QStringLiteral("12"));
    QCOMPARE(rig.wave.played, QStringList{"S12.wav"});
    QVERIFY(rig.dialogs.shown.empty());
}

void ContinuousMorseTest::threeRunsNineSecondsApart() {
    TestRig rig;
    shortRuns(rig);
    SeriesLog log(rig);
    startSeries(rig, QStringLiteral("3"), false);
    rig.f.Comstart.click();

    QCOMPARE(log.starts.size(), size_t(3));
    QCOMPARE(log.counts, (QStringList{"3", "2", "1", "0", "3"}));
    // Every automatic start comes 8 + 1 s after the count dropped at the end of a run.
    QCOMPARE(log.countTimes.size(), size_t(5));
    for (int run = 1; run < 3; ++run)
        QVERIFY(qAbs(log.starts[run] - log.countTimes[run] - 9.0) < 1e-6);
    QVERIFY(log.starts[1] - log.starts[0] > 9.0);
    QCOMPARE(log.s2Presses, 1);
    QVERIFY(rig.wave.played.contains(QStringLiteral(".\\Alfa\\S2.wav")));
    QVERIFY(!rig.f.Dauermorsen.ticked());
    QCOMPARE(rig.f.pan_dau.caption(), QStringLiteral("3"));
    QVERIFY(rig.printer.lines().empty());
    QVERIFY(rig.f.Comstart.enabled());
}

void ContinuousMorseTest::untickDuringThePauseGivesOneMoreRun() {
    TestRig rig;
    shortRuns(rig);
    SeriesLog log(rig);
    startSeries(rig, QStringLiteral("5"), false);
    bool unticked = false;
    QObject::connect(&rig.f.pan_dau, &Control::changed, &rig.f.pan_dau, [&] {
        if (unticked || rig.f.pan_dau.caption() != QStringLiteral("4")) return;
        unticked = true;
        rig.clock.at(rig.clock.monotonicSeconds() + 4, [&] { rig.f.Dauermorsen.setValue(0); });
    });
    rig.f.Comstart.click();
    QVERIFY(unticked);
    QCOMPARE(log.starts.size(), size_t(2));
    QCOMPARE(log.s2Presses, 0);
    QCOMPARE(rig.f.pan_dau.caption(), QStringLiteral("5"));
    QVERIFY(rig.f.Comstart.enabled());
}

void ContinuousMorseTest::countThatIsNoNumberEndsAfterOneRun() {
    TestRig rig;
    shortRuns(rig);
    SeriesLog log(rig);
    startSeries(rig, QStringLiteral("x"), false);
    rig.f.Comstart.click();
    QCOMPARE(log.starts.size(), size_t(1));
    QCOMPARE(log.s2Presses, 1);
    QVERIFY(!rig.f.Dauermorsen.ticked());
    QCOMPARE(rig.f.pan_dau.caption(), QStringLiteral("x"));
}

void ContinuousMorseTest::printedSeriesIsOneJobWithClosingLines() {
    TestRig rig;
    shortRuns(rig);
    SeriesLog log(rig);
    startSeries(rig, QStringLiteral("2"), true);
    rig.f.Comstart.click();

    QCOMPARE(log.starts.size(), size_t(2));
    QCOMPARE(rig.printer.endedJobs(), 1);
    QVERIFY(!rig.printer.jobOpen());
    const QString rule = QString(8, u' ') + QString(65, u'-');
    // Run texts of 2 groups (and a blank after each) fit on one line each.
    QStringList expected;
    for (int run = 1; run <= 2; ++run) {
        const QString text = log.sentTexts[run];
        QCOMPARE(text.size(), 12);
        expected << rule << QString(8, u' ') + text;
    }
    const QStringList job = rig.printer.jobText(1);
    QCOMPARE(job.mid(0, 4), expected);
    QCOMPARE(job.size(), 6);
    QCOMPARE(job[4], rule);
    // The run was printed before the count dropped.
    QCOMPARE(log.printedLines[1], 2);
    const auto& signature = rig.printer.lines().back();
    QVERIFY(signature.text.contains(QStringLiteral("Morse-Übungsprogramm")));
    QVERIFY(signature.text.contains(QStringLiteral("09.12.2026")));
    QCOMPARE(signature.fontName, QStringLiteral("Arial"));
    QCOMPARE(signature.fontSize, 8.0f);
    QVERIFY(!signature.bold);
    QCOMPARE(rig.printer.lines()[1].fontName, QStringLiteral("Courier new"));
}

REGISTER_TEST(ContinuousMorseTest);
#include "continuous_morse_test.moc"
