#include <QTest>

#include "dialogs/formtxt.h"
#include "dialogs/infoform.h"
#include "platform/form1.h"
#include "support/registry.h"
#include "support/rig.h"

class OwnTextTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithLastRunText();
    void asCharacters_data();
    void asCharacters();
    void asTextKeepsEverything();
    void bothMenuEntriesOpenTheOneDialog();
    void infoOpensCentredAndCloses();
};

void OwnTextTest::opensWithLastRunText() {
    TestRig rig;
    rig.f.Top = 1000;
    Screen().Width = 20000;
    rig.s.SentText = QStringLiteral("ABCDE FGHIJ");
    Formtxt& d = formtxt().load();
    QCOMPARE(d.Text1.text(), QStringLiteral("ABCDE FGHIJ"));
    QCOMPARE(d.Top, 1350.0);
    QCOMPARE(d.Left, (20000.0 - d.Width) / 2);
    d.Text1.setText(QStringLiteral("xyz"));
    d.ok2.click();
    QVERIFY(!formtxt().get());
    // The next opening shows the last run's text again, not what was typed.
    QCOMPARE(formtxt().load().Text1.text(), QStringLiteral("ABCDE FGHIJ"));
}

void OwnTextTest::asCharacters_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("pool");
    QTest::newRow("blanks removed") << "abc de"
                                    << "abcde";
    QTest::newRow("40 characters keep 30") << QString(40, u'k') << QString(30, u'k');
    QTest::newRow("limit before blank removal")
        << QStringLiteral("a b c d e f g h i j klmnopqrstuvwxyz") << "abcdefghijklmnopqrst";
    QTest::newRow("case kept, repeats kept") << "aAb aab"
                                             << "aAbaab";
    QTest::newRow("line breaks stay") << "ab\r\ncd"
                                      << "ab\r\ncd";
    QTest::newRow("empty") << ""
                           << "";
}

void OwnTextTest::asCharacters() {
    QFETCH(QString, input);
    QFETCH(QString, pool);
    TestRig rig;
    rig.s.ExerciseKind = QStringLiteral("Z");
    rig.f.Panel2.setCaption(QStringLiteral("Buchstaben"));
    Formtxt& d = formtxt().load();
    d.Text1.setText(input);
    d.ok.click();
    QCOMPARE(rig.s.ExerciseText, pool);
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("E"));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Buchstaben"));
    QVERIFY(!formtxt().get());
}

void OwnTextTest::asTextKeepsEverything() {
    TestRig rig;
    const QString text = QStringLiteral("cq cq de dl1abc\r\n") + QString(200, u'x') + u' ';
    Formtxt& d = formtxt().load();
    d.Text1.setText(text);
    d.ok2.click();
    QCOMPARE(rig.s.ExerciseText, text);
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("T"));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Eigener Text"));

    formtxt().load().ok2.click();
    QCOMPARE(rig.s.ExerciseText, QString());
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("T"));
}

void OwnTextTest::bothMenuEntriesOpenTheOneDialog() {
    TestRig rig;
    rig.s.SentText = QStringLiteral("abc");
    rig.f.Meigen.click();
    Formtxt* first = formtxt().get();
    QVERIFY(first && first->visible());
    first->Text1.setText(QStringLiteral("typed"));
    rig.f.METext.click();
    QCOMPARE(formtxt().get(), first);
    QCOMPARE(first->Text1.text(), QStringLiteral("typed"));
    QCOMPARE(rig.wave.played, (QStringList{"S12.wav", "S12.wav"}));
    QCOMPARE(rig.dialogs.shown, (std::vector<DialogId>{DialogId::OwnText, DialogId::OwnText}));
}

void OwnTextTest::infoOpensCentredAndCloses() {
    TestRig rig;
    rig.f.Left = 300;
    rig.f.Top = 600;
    rig.s.ExerciseKind = QStringLiteral("X");
    rig.f.MInfo.click();
    Infoform* d = infoform().get();
    QVERIFY(d && d->visible());
    QCOMPARE(d->Left, 300 + (rig.f.Width - 4155) / 2);
    QCOMPARE(d->Top, 600 + (rig.f.Height - 3915) / 2);
    QCOMPARE(d->Label1.caption(), QStringLiteral("für Alle, die sich noch für CW interessieren"));
    d->Command1.click();
    QVERIFY(!infoform().get());
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("X"));
}

REGISTER_TEST(OwnTextTest);
#include "own_text_test.moc"
