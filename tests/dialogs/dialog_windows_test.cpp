#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "dialogs/dauform.h"
#include "dialogs/formtxt.h"
#include "dialogs/infoform.h"
#include "lessons/lektionen.h"
#include "mainwindow/ui/trainer_dialog_seam.h"
#include "mainwindow/window_handlers.h"
#include "platform/ui/form_window.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
// The rig with the real dialog windows instead of the recording seam.
struct WindowRig : TestRig {
    WindowRig() { Platform().dialogs = &seam; }
    ~WindowRig() {
        Platform().dialogs = &dialogs;
        ResetDialogForms();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TrainerDialogSeam seam;
};

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Every control of a dialog window carries its legacy name and a German accessible name.
void checkNames(QWidget* window, const QStringList& names) {
    for (const QString& name : names) {
        auto* control = window->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        QVERIFY2(control, qPrintable(name));
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(name));
    }
}
}  // namespace

class DialogWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void lessonsWindowDrivesTheModel();
    void ownTextWindowKeepsLineEnds();
    void continuousMorseWindowHidesAndDiscards();
    void infoWindowClosesWithItsButton();
    void assistiveActionsAndEscape();
};

void DialogWindowsTest::lessonsWindowDrivesTheModel() {
    WindowRig rig;
    rig.f.MELekt.click();
    FormWindow* window = rig.seam.window(DialogId::Lessons);
    QVERIFY(window && window->isVisible());
    QVERIFY(!window->isModal());
    QCOMPARE(window->windowTitle(), QStringLiteral("LEKTIONEN"));
    checkNames(window, {"Label1", "List1", "Label2", "List2", "Command3", "Command4", "Cancel",
                        "Command2", "Text1", "Command5", "Command6", "ok"});
    // The caption stays English; a screen reader speaks German.
    auto* cancel = window->findChild<QPushButton*>(QStringLiteral("Cancel"));
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QCOMPARE(QAccessible::queryAccessibleInterface(cancel)->text(QAccessible::Name),
             QStringLiteral("Abbrechen"));
    auto* course = window->findChild<QListWidget*>(QStringLiteral("List1"));
    QCOMPARE(course->count(), 11);
    course->item(2)->setSelected(true);
    course->item(0)->setSelected(true);
    QVERIFY(lektionen().get()->List1.Selected(0) && lektionen().get()->List1.Selected(2));
    // Showing it again raises the same window.
    rig.f.MELekt.click();
    QCOMPARE(rig.seam.window(DialogId::Lessons), window);
    window->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("elv0toc2="));
    settle();
    QVERIFY(!rig.seam.window(DialogId::Lessons));

    // Closing by the frame acts like Cancel.
    rig.f.MELekt.click();
    window = rig.seam.window(DialogId::Lessons);
    window->findChild<QListWidget*>(QStringLiteral("List1"))->item(5)->setSelected(true);
    window->close();
    QVERIFY(!lektionen().get());
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("elv0toc2="));
}

void DialogWindowsTest::ownTextWindowKeepsLineEnds() {
    WindowRig rig;
    rig.s.SentText = QStringLiteral("ABC");
    rig.f.METext.click();
    FormWindow* window = rig.seam.window(DialogId::OwnText);
    QVERIFY(window && window->isVisible());
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    checkNames(window, {"Text1", "ok", "ok2"});
    // The short captions ("Als Z&eichen eing.") are spoken in full.
    QCOMPARE(QAccessible::queryAccessibleInterface(window->findChild<QPushButton*>(u"ok"_qs))
                 ->text(QAccessible::Name),
             QStringLiteral("Als Zeichen eingeben"));
    QCOMPARE(QAccessible::queryAccessibleInterface(window->findChild<QPushButton*>(u"ok2"_qs))
                 ->text(QAccessible::Name),
             QStringLiteral("Als Text eingeben"));
    auto* text = window->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    QCOMPARE(text->toPlainText(), QStringLiteral("ABC"));
    text->setPlainText(QStringLiteral("cq de\ndl1abc"));
    QCOMPARE(formtxt().get()->Text1.text(), QStringLiteral("cq de\r\ndl1abc"));
    window->findChild<QPushButton*>(QStringLiteral("ok2"))->click();
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("cq de\r\ndl1abc"));
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("T"));
}

void DialogWindowsTest::continuousMorseWindowHidesAndDiscards() {
    WindowRig rig;
    rig.f.Mdauermorsen.click();
    FormWindow* window = rig.seam.window(DialogId::ContinuousMorse);
    QVERIFY(window && window->isVisible());
    checkNames(window, {"Label1", "Text1", "ok", "Label2", "midru"});
    auto* count = window->findChild<QLineEdit*>(QStringLiteral("Text1"));
    QCOMPARE(count->maxLength(), 2);
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("4"));
    QCOMPARE(dauform().get()->Text1.text(), QStringLiteral("4"));
    window->findChild<QCheckBox*>(QStringLiteral("midru"))->click();
    QCOMPARE(dauform().get()->midru.value(), 1);
    window->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(rig.f.pan_dau.caption(), QStringLiteral("4"));
    QVERIFY(rig.f.Dauermorsen.ticked());

    rig.f.Mdauermorsen.click();
    QCOMPARE(rig.seam.window(DialogId::ContinuousMorse), window);
    QVERIFY(window->isVisible());
    window->close();
    QVERIFY(!dauform().get());
    settle();
    rig.f.Mdauermorsen.click();
    auto* fresh = rig.seam.window(DialogId::ContinuousMorse);
    QCOMPARE(fresh->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QStringLiteral("12"));
    QVERIFY(!fresh->findChild<QCheckBox*>(QStringLiteral("midru"))->isChecked());
}

void DialogWindowsTest::infoWindowClosesWithItsButton() {
    WindowRig rig;
    rig.f.MInfo.click();
    FormWindow* window = rig.seam.window(DialogId::Info);
    QVERIFY(window && window->isVisible());
    checkNames(window, {"Shape1", "Label1", "Label2", "Image1", "Image2", "Command1"});
    // Without a caption the window is named after its menu entry, not its object name.
    QCOMPARE(QAccessible::queryAccessibleInterface(window)->text(QAccessible::Name),
             QStringLiteral("Info"));
    // Its text is heard with the button that has the focus.
    auto* back = window->findChild<QPushButton*>(QStringLiteral("Command1"));
    QCOMPARE(window->focusWidget(), static_cast<QWidget*>(back));
    QCOMPARE(QAccessible::queryAccessibleInterface(back)->text(QAccessible::Description),
             QStringLiteral("Morse-Übungsprogramm, für Alle, die sich noch für CW interessieren"));
    QVERIFY(!window->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
    window->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QVERIFY(!infoform().get());
    settle();
    QVERIFY(!rig.seam.window(DialogId::Info));
}

void DialogWindowsTest::assistiveActionsAndEscape() {
    WindowRig rig;
    rig.f.Mdauermorsen.click();
    FormWindow* window = rig.seam.window(DialogId::ContinuousMorse);
    QVERIFY(window->isVisible());
    Dauform& form = *dauform().get();
    // "mit Ausdrucken" toggled through its accessibility action, as switch access does it.
    int changes = 0;
    QObject::connect(&form.midru, &Control::changed, [&] { ++changes; });
    auto* print = window->findChild<QCheckBox*>(QStringLiteral("midru"));
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(print);
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(form.midru.value(), 1);
    QCOMPARE(changes, 1);
    form.midru.setValue(0);
    QVERIFY(!print->isChecked());
    QCOMPARE(changes, 2);
    // The count set through the editable-text interface, as voice control does it.
    auto* count = window->findChild<QLineEdit*>(QStringLiteral("Text1"));
    int edits = 0;
    QObject::connect(&form.Text1, &Control::changed, [&] { ++edits; });
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(count);
    field->editableTextInterface()->replaceText(0, int(count->text().size()), u"5"_qs);
    QCOMPARE(form.Text1.text(), u"5"_qs);
    QCOMPARE(edits, 1);
    QCOMPARE(field->relations(QAccessible::Label).size(), 1);
    window->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QCOMPARE(rig.f.pan_dau.caption(), u"5"_qs);

    // Escape closes a dialog as its close button does.
    rig.f.MInfo.click();
    FormWindow* info = rig.seam.window(DialogId::Info);
    info->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(info));
    QTest::keyClick(info, Qt::Key_Escape);
    QVERIFY(!infoform().get());
}

REGISTER_TEST(DialogWindowsTest);
#include "dialog_windows_test.moc"
