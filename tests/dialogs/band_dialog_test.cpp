#include "sound/ui/band_dialog.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "platform/user_settings.h"
#include "sound/band/band_settings_store.h"
#include "support/registry.h"

class BandDialogTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlIsNamedAndShowsItsValue();
    void presetsSetTheValuesAndOwnChangesShowAsOwn();
    void storedSettingsComeBackBounded();
};

void BandDialogTest::everyControlIsNamedAndShowsItsValue() {
    BandSettings start;
    start.enabled = true;
    start.qsbOn = true;
    start.qsbDepthDb = 12;
    BandDialog dialog(start);
    QSignalSpy changed(&dialog, &BandDialog::settingsChanged);

    const QStringList spins = {"RauschAbstand", "SchwundTiefe", "SchwundPeriode", "StoerAblage",
                               "StoerPegel",    "KnackRate",    "KnackPegel"};
    for (const QString& name : spins) {
        auto* spin = dialog.findChild<QSpinBox*>(name);
        QVERIFY2(spin, qPrintable(name));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(spin);
        QVERIFY(!a->text(QAccessible::Name).isEmpty());
        QCOMPARE(a->valueInterface()->currentValue().toInt(), spin->value());
        QVERIFY(a->text(QAccessible::Value).contains(QString::number(spin->value())));
    }
    for (const char* name : {"BandAn", "Rauschen", "Schwund", "Stoersender", "Knacken"}) {
        auto* box = dialog.findChild<QCheckBox*>(name);
        QVERIFY2(box, qPrintable(name));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
        QVERIFY(!a->text(QAccessible::Name).isEmpty());
        QCOMPARE(a->state().checked, box->isChecked());
    }
    auto* filter = dialog.findChild<QComboBox*>("Filter");
    QCOMPARE(QAccessible::queryAccessibleInterface(filter)->text(QAccessible::Value),
             QStringLiteral("500 Hz"));
    // Orca finds no value in a closed Qt combo box; it speaks the description, which follows
    // the current item.
    QCOMPARE(QAccessible::queryAccessibleInterface(filter)->text(QAccessible::Description),
             QStringLiteral("500 Hz"));
    auto* preset = dialog.findChild<QComboBox*>("BandVorgabe");
    QCOMPARE(QAccessible::queryAccessibleInterface(preset)->text(QAccessible::Description),
             preset->currentText());
    // On Linux a combo box is named by its label, through the labelled-by relation.
    const auto labels =
        QAccessible::queryAccessibleInterface(filter)->relations(QAccessible::Label);
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](const auto& relation) {
        return relation.first->text(QAccessible::Name).contains(QStringLiteral("filter"));
    }));

    // What an assistive technology sets is what a click sets.
    auto* depth = dialog.findChild<QSpinBox*>("SchwundTiefe");
    QAccessible::queryAccessibleInterface(depth)->valueInterface()->setCurrentValue(20);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.last().at(0).value<BandSettings>().qsbDepthDb, 20);
    auto* qrm = dialog.findChild<QCheckBox*>("Stoersender");
    QAccessibleInterface* qrmA = QAccessible::queryAccessibleInterface(qrm);
    qrmA->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(changed.last().at(0).value<BandSettings>().qrmOn);
    QVERIFY(dialog.findChild<QSpinBox*>("StoerAblage")->isEnabled());

    // The master switch off: the parts stay as they are but cannot be reached.
    dialog.findChild<QCheckBox*>("BandAn")->click();
    QCOMPARE(QAccessible::queryAccessibleInterface(preset)->text(QAccessible::Description),
             QStringLiteral("aus"));
    QVERIFY(!changed.last().at(0).value<BandSettings>().enabled);
    QVERIFY(!depth->isEnabled());
    QVERIFY(QAccessible::queryAccessibleInterface(depth)->state().disabled);
}

void BandDialogTest::presetsSetTheValuesAndOwnChangesShowAsOwn() {
    BandSettings start;
    start.seed = 99;
    BandDialog dialog(start);
    QSignalSpy changed(&dialog, &BandDialog::settingsChanged);
    auto* preset = dialog.findChild<QComboBox*>("BandVorgabe");
    QCOMPARE(preset->currentText(), QStringLiteral("aus"));

    const int contest = preset->findText(QStringLiteral("Contest"));
    preset->setCurrentIndex(contest);
    emit preset->activated(contest);
    const BandSettings chosen = changed.last().at(0).value<BandSettings>();
    QCOMPARE(chosen, ApplyPreset(BandPreset::Contest, start));
    QVERIFY(chosen.enabled && chosen.qrmOn && chosen.seed == 99);
    QCOMPARE(dialog.settings(), chosen);

    dialog.findChild<QSpinBox*>("RauschAbstand")->setValue(chosen.snrDb + 1);
    QCOMPARE(preset->currentText(), QStringLiteral("eigene Einstellung"));

    const int quiet = preset->findText(QStringLiteral("ruhiges Band"));
    emit preset->activated(quiet);
    QCOMPARE(preset->currentText(), QStringLiteral("ruhiges Band"));
    const int off = preset->findText(QStringLiteral("aus"));
    emit preset->activated(off);
    const BandSettings quietOff = changed.last().at(0).value<BandSettings>();
    QVERIFY(!quietOff.enabled);
    QCOMPARE(quietOff.snrDb, ApplyPreset(BandPreset::Quiet, start).snrDb);
}

void BandDialogTest::storedSettingsComeBackBounded() {
    BandSettings s = ApplyPreset(BandPreset::Normal, BandSettings{});
    s.qrmOffsetHz = 650;
    SaveBandSettings(s);
    BandSettings back = LoadBandSettings();
    back.seed = s.seed;
    QCOMPARE(back, s);

    {
        const auto store = OpenUserSettings();
        store->beginGroup(QStringLiteral("Bandbedingungen"));
        store->setValue(QStringLiteral("enabled"), QStringLiteral("vielleicht"));
        store->setValue(QStringLiteral("snrDb"), 999);
        store->setValue(QStringLiteral("filterHz"), 333);
        store->setValue(QStringLiteral("qsbPeriodS"), -4);
        store->setValue(QStringLiteral("qrmLevelDb"), QStringLiteral("laut"));
        store->setValue(QStringLiteral("qrnPerMinute"), QStringLiteral("1e9"));
    }
    const BandSettings read = LoadBandSettings();
    QCOMPARE(read.enabled, BandSettings{}.enabled);
    QCOMPARE(read.snrDb, band_limits::kSnrMaxDb);
    QCOMPARE(read.filterHz, 250);
    QCOMPARE(read.qsbPeriodS, band_limits::kQsbPeriodMinS);
    QCOMPARE(read.qrmLevelDb, BandSettings{}.qrmLevelDb);
    QVERIFY(read.qrnPerMinute >= 0 && read.qrnPerMinute <= band_limits::kQrnMaxPerMinute);
    QCOMPARE(read.qrmOffsetHz, 650);
    OpenUserSettings()->remove(QStringLiteral("Bandbedingungen"));
}

REGISTER_TEST(BandDialogTest);
#include "band_dialog_test.moc"
