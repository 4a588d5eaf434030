#include <QDialog>
#include <QScreen>
#include <QTest>

#include "engine/morse_table.h"
#include "mainwindow/ui/trainer_dialog_seam.h"
#include "platform/dialog_form.h"
#include "platform/ui/twips.h"
#include "support/registry.h"
#include "window_rig.h"

class WindowLifecycleTest : public QObject {
    Q_OBJECT
private slots:
    void startUpPlacesAndShowsTheWindow();
    void comingBackFromOwnDialogActivates();
    void closingEndsTheProgram();
};

void WindowLifecycleTest::startUpPlacesAndShowsTheWindow() {
    WindowRig w;
    Form1& f = w.rig.f;
    Screen().Width = 1600 * 12;
    Screen().Height = 1000 * 12;
    // The window appears after the character sets are built and before the Morse table is.
    bool shown = false;
    QString poolAtShow;
    QString tableAtShow = QStringLiteral("?");
    const auto show = f.onShow;
    f.onShow = [&] {
        shown = true;
        poolAtShow = w.rig.s.ExerciseText;
        tableAtShow = w.rig.s.MorseTable[MorseIndex(u'A')];
        show();
    };
    QVERIFY(!w.window.isVisible());
    w.rig.startUp();
    QVERIFY(shown);
    QVERIFY(!poolAtShow.isEmpty());
    QVERIFY(tableAtShow.isEmpty());
    QVERIFY(w.window.isVisible());

    QCOMPARE(f.Height, 7335.0);
    QCOMPARE(f.Top, (12000.0 - 7335.0) / 3);
    QCOMPARE(f.Left, (19200.0 - 11640.0) / 2);
    const QPoint origin = w.window.screen()->availableGeometry().topLeft();
    QCOMPARE(w.window.pos(), origin + QPoint(twips::px(f.Left), twips::px(f.Top)));
    QCOMPARE(w.window.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(w.window.centralWidget()->size(), QSize(twips::px(11520), twips::px(6735)));
}

void WindowLifecycleTest::comingBackFromOwnDialogActivates() {
    WindowRig w;
    Form1& f = w.rig.f;
    w.rig.startUp();
    QVERIFY(w.showActive());
    QCoreApplication::processEvents();
    QCOMPARE(f.fuer.caption(), QStringLiteral(" Version 1.0"));
    const auto mark = [&] {
        f.fuer.setCaption(QStringLiteral("für: "));
        f.Panel2.setCaption(QString());
    };
    const auto comeBack = [&] {
        w.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QCoreApplication::processEvents();
    };
    mark();

    // A modal dialog (file, printer, message) is not one of the program's own windows.
    {
        QDialog modal(&w.window);
        modal.setModal(true);
        modal.show();
        QVERIFY(QTest::qWaitForWindowActive(&modal));
        modal.hide();
    }
    comeBack();
    QCOMPARE(f.fuer.caption(), QStringLiteral("für: "));

    // Nor is one of the program's messages, which leaves the main window usable.
    {
        TrainerDialogSeam seam;
        seam.message(QStringLiteral("Drucken ist nicht möglich."));
        auto* box = w.window.findChild<QWidget*>(QStringLiteral("Meldung"));
        QVERIFY(box);
        box->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(box));
        box->close();
    }
    comeBack();
    QCOMPARE(f.fuer.caption(), QStringLiteral("für: "));

    QDialog own;
    own.setWindowTitle(QStringLiteral("Info"));
    own.show();
    QVERIFY(QTest::qWaitForWindowActive(&own));
    QCOMPARE(f.fuer.caption(), QStringLiteral("für: "));
    own.hide();
    comeBack();
    QCOMPARE(f.fuer.caption(), QStringLiteral(" Version 1.0"));
    QCOMPARE(f.Panel2.caption(), QStringLiteral("Buchst. + 1 Zahlengruppe"));
    QCOMPARE(w.find<QAction>("fuer")->text(), QStringLiteral(" Version 1.0"));

    // Once per return: staying in the window does not activate it again.
    mark();
    comeBack();
    QCOMPARE(f.fuer.caption(), QStringLiteral("für: "));
}

void WindowLifecycleTest::closingEndsTheProgram() {
    WindowRig w;
    QVERIFY(w.showActive());
    int exits = 0;
    Platform().exitProgram = [&] { ++exits; };
    w.window.close();
    QCOMPARE(exits, 1);
    Platform().exitProgram = [] {};
}

REGISTER_TEST(WindowLifecycleTest);
#include "window_lifecycle_test.moc"
