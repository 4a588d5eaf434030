#include "mainwindow/ui/band_entries.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QTest>

#include "sound/ui/band_dialog.h"
#include "support/registry.h"

class BandEntriesTest : public QObject {
    Q_OBJECT
private slots:
    void configurationMenuOpensTheDialogOnce();
};

void BandEntriesTest::configurationMenuOpensTheDialogOnce() {
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Konfiguration ..."))->setObjectName("Mk");
    AddBandEntries(window);
    auto* entry = window.findChild<QAction*>(QStringLiteral("MBand"));
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("Bandbedingungen ..."));
    entry->trigger();
    entry->trigger();
    const auto dialogs = window.findChildren<BandDialog*>();
    QCOMPARE(dialogs.size(), 1);
    QVERIFY(dialogs.front()->isVisible());
    dialogs.front()->close();
}

REGISTER_TEST(BandEntriesTest);
#include "band_entries_test.moc"
