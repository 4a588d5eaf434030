#include "mainwindow/ui/sending_entries.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTest>

#include "sending/ui/sending_window.h"
#include "support/registry.h"
#include "window_rig.h"

class SendingEntriesTest : public QObject {
    Q_OBJECT
private slots:
    void menuEntryWithAShortcutOfItsOwnOpensTheWindowOnce();
};

void SendingEntriesTest::menuEntryWithAShortcutOfItsOwnOpensTheWindowOnce() {
    WindowRig w;
    // Every key the main window already answers to, before the entry is added.
    QList<QKeySequence> taken;
    for (QAction* a : w.window.findChildren<QAction*>()) taken += a->shortcuts();
    for (QShortcut* s : w.window.findChildren<QShortcut*>()) taken += s->keys();
    for (int f = Qt::Key_F1; f <= Qt::Key_F12; ++f) taken += QKeySequence(f);
    AddSendingEntries(w.window);
    auto* entry = w.find<QAction>("MGebenUeben");
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("Geben &üben ..."));
    QVERIFY(!entry->shortcut().isEmpty());
    QVERIFY(!taken.contains(entry->shortcut()));
    // The menu sits before "Info", where a screen reader finds it by its German name.
    auto* menu = w.find<QMenu>("MGeben");
    QVERIFY(menu->actions().contains(entry));
    QCOMPARE(menu->accessibleName(), QStringLiteral("Geben"));
    const auto top = w.window.menuBar()->actions();
    const auto info = std::find_if(top.begin(), top.end(), [](QAction* a) {
        return a->objectName() == QStringLiteral("MInfo");
    });
    if (info != top.end()) QVERIFY(top.indexOf(menu->menuAction()) < top.indexOf(*info));

    entry->trigger();
    entry->trigger();
    const auto windows = w.window.findChildren<SendingWindow*>();
    QCOMPARE(windows.size(), 1);
    QVERIFY(windows.front()->isVisible());
    QCOMPARE(windows.front()->windowTitle(), QStringLiteral("Geben üben"));
    windows.front()->close();
}

REGISTER_TEST(SendingEntriesTest);
#include "sending_entries_test.moc"
