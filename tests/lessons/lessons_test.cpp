#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "lessons/lektionen.h"
#include "lessons/lesson_file.h"
#include "platform/form1.h"
#include "support/registry.h"
#include "support/rig.h"

// Runs the test in an empty working directory that may hold a Lek.txt.
class WorkingDir {
public:
    WorkingDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~WorkingDir() { QDir::setCurrent(previous_); }
    void write(const QString& name, const QByteArray& content) {
        QFile file(dir_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

class LessonsTest : public QObject {
    Q_OBJECT
private slots:
    void coursePoolFollowsListOrder();
    void poolKeepsCommasAndOwnLessons();
    void nothingSelectedGivesEmptyPool();
    void entryRules_data();
    void entryRules();
    void readsLekTxtFromWorkingDir();
    void missingOrUnreadableFileGivesNoOwnLessons();
    void editingOwnLessons();
    void editingWithoutSelectionDoesNothing();
    void moveUpAndDownStopAtTheEnds();
    void editsLastUntilClosed();
    void fileOverItsLimitsIsCutAndTold();
};

void LessonsTest::coursePoolFollowsListOrder() {
    TestRig rig;
    WorkingDir dir;
    rig.startUp();
    rig.wave.played.clear();
    rig.f.MELekt.click();
    Lektionen* d = lektionen().get();
    QVERIFY(d && d->visible());
    QCOMPARE(rig.dialogs.shown, std::vector<DialogId>{DialogId::Lessons});
    QVERIFY(rig.wave.played.isEmpty());  // no click sound for the lessons
    QCOMPARE(d->List1.ListCount(), 11);
    d->List1.clickItem(2);
    d->List1.clickItem(0);
    d->ok.click();
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("elv0toc2="));
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("E"));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Lektionen"));
    QVERIFY(!lektionen().get());
}

void LessonsTest::poolKeepsCommasAndOwnLessons() {
    TestRig rig;
    WorkingDir dir;
    dir.write(QStringLiteral("Lek.txt"), "abc\r\nxyz\r\n");
    Lektionen& d = lektionen().load();
    d.List1.clickItem(7);
    d.ok.click();
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("h,kb"));

    // A click toggles a course lesson; own lessons follow the course lessons.
    Lektionen& again = lektionen().load();
    again.List1.clickItem(0);
    again.List1.clickItem(1);
    again.List1.clickItem(0);
    again.List2.clickItem(1);
    again.ok.click();
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("asqxyz"));
}

void LessonsTest::nothingSelectedGivesEmptyPool() {
    TestRig rig;
    WorkingDir dir;
    rig.s.ExerciseText = QStringLiteral("abc");
    lektionen().load().ok.click();
    QCOMPARE(rig.s.ExerciseText, QString());
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("E"));

    rig.s.ExerciseText = QStringLiteral("abc");
    rig.s.ExerciseKind = QStringLiteral("B");
    lektionen().load().List1.clickItem(3);
    lektionen().get()->Cancel.click();
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("abc"));
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("B"));
    QVERIFY(!lektionen().get());
}

void LessonsTest::entryRules_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("lines") << "elv0\r\ntoc2=\r\n" << QStringList{"elv0", "toc2="};
    QTest::newRow("no line end at the end") << "elv0\r\ntoc2=" << QStringList{"elv0", "toc2="};
    QTest::newRow("comma splits") << "h,kb" << QStringList{"h", "kb"};
    QTest::newRow("quoted comma") << "\"h,kb\"\r\nasq" << QStringList{"h,kb", "asq"};
    QTest::newRow("leading blanks") << "  abc,  \"d, e\" , f" << QStringList{"abc", "d, e", "f"};
    QTest::newRow("unix and old mac line ends") << "a\nb\rc" << QStringList{"a", "b", "c"};
    QTest::newRow("empty line") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("open quote runs to the end") << "\"ab,c\r\nd" << QStringList{"ab,c\r\nd"};
    QTest::newRow("empty file") << "" << QStringList{};
}

void LessonsTest::entryRules() {
    QFETCH(QString, content);
    QFETCH(QStringList, entries);
    QCOMPARE(ParseLessonEntries(content), entries);
}

void LessonsTest::readsLekTxtFromWorkingDir() {
    TestRig rig;
    WorkingDir dir;
    // Any case of the name; Windows-1252 bytes.
    dir.write(QStringLiteral("LEK.TXT"), "elv0\r\n\"h,kb\"\r\n\xc4\xd6\xdc\r\n");
    Lektionen& d = lektionen().load();
    QCOMPARE(d.List2.items(), (QStringList{"elv0", "h,kb", QStringLiteral("ÄÖÜ")}));
    QCOMPARE(d.List2.ListIndex(), -1);
}

void LessonsTest::missingOrUnreadableFileGivesNoOwnLessons() {
    TestRig rig;
    WorkingDir dir;
    QCOMPARE(lektionen().load().List2.ListCount(), 0);
    lektionen().get()->Cancel.click();
    QVERIFY(QDir(dir.path(QString())).mkdir(QStringLiteral("Lek.txt")));
    QCOMPARE(lektionen().load().List2.ListCount(), 0);
    QCOMPARE(lektionen().get()->List1.ListCount(), 11);
}

void LessonsTest::editingOwnLessons() {
    TestRig rig;
    WorkingDir dir;
    dir.write(QStringLiteral("Lek.txt"), "abc\r\ndef\r\n");
    Lektionen& d = lektionen().load();
    d.List2.clickItem(1);
    QCOMPARE(d.Text1.text(), QStringLiteral("def"));
    d.Text1.setText(QStringLiteral("xy"));
    d.Command2.click();  // tauschen
    QCOMPARE(d.List2.items(), (QStringList{"abc", "xy"}));
    d.Text1.setText(QStringLiteral("neu"));
    d.Command6.click();  // anhängen
    QCOMPARE(d.List2.items(), (QStringList{"abc", "xy", "neu"}));
    d.Text1.setText(QString());
    d.Command6.click();
    QCOMPARE(d.List2.ListCount(), 4);
    d.List2.clickItem(0);
    d.Command5.click();  // Löschen
    QCOMPARE(d.List2.items(), (QStringList{"xy", "neu", ""}));
    QCOMPARE(d.List2.ListIndex(), -1);
    // The empty lesson adds nothing to the pool.
    d.List2.clickItem(2);
    d.ok.click();
    QCOMPARE(rig.s.ExerciseText, QString());
}

void LessonsTest::editingWithoutSelectionDoesNothing() {
    TestRig rig;
    WorkingDir dir;
    dir.write(QStringLiteral("Lek.txt"), "abc\r\ndef\r\n");
    Lektionen& d = lektionen().load();
    d.Text1.setText(QStringLiteral("zz"));
    for (Button* b : {&d.Command2, &d.Command5, &d.Command3, &d.Command4}) b->click();
    QCOMPARE(d.List2.items(), (QStringList{"abc", "def"}));
}

void LessonsTest::moveUpAndDownStopAtTheEnds() {
    TestRig rig;
    WorkingDir dir;
    dir.write(QStringLiteral("Lek.txt"), "a\r\nb\r\nc\r\n");
    Lektionen& d = lektionen().load();
    d.List2.clickItem(2);
    d.Command3.click();  // up: the selection moves with the lesson
    QCOMPARE(d.List2.items(), (QStringList{"a", "c", "b"}));
    QCOMPARE(d.List2.ListIndex(), 1);
    QVERIFY(d.List2.Selected(1) && !d.List2.Selected(2));
    d.Command3.click();
    d.Command3.click();  // already first
    QCOMPARE(d.List2.items(), (QStringList{"c", "a", "b"}));
    QCOMPARE(d.List2.ListIndex(), 0);
    d.Command4.click();
    d.Command4.click();
    d.Command4.click();  // already last
    QCOMPARE(d.List2.items(), (QStringList{"a", "b", "c"}));
    QCOMPARE(d.List2.ListIndex(), 2);
}

void LessonsTest::editsLastUntilClosed() {
    TestRig rig;
    WorkingDir dir;
    dir.write(QStringLiteral("Lek.txt"), "abc\r\n");
    Lektionen& d = lektionen().load();
    d.List2.clickItem(0);
    d.Text1.setText(QStringLiteral("qrs"));
    d.Command2.click();
    d.ok.click();
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("qrs"));
    // The file itself is never written: the next opening shows its lessons again.
    Lektionen& again = lektionen().load();
    QCOMPARE(again.List2.items(), QStringList{"abc"});
    QFile file(dir.path(QStringLiteral("Lek.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("abc\r\n"));
}

void LessonsTest::fileOverItsLimitsIsCutAndTold() {
    TestRig rig;
    WorkingDir dir;
    QByteArray many;
    for (int i = 1; i <= kMaxOwnLessons + 1; ++i) many += "L" + QByteArray::number(i) + "\r\n";
    dir.write(QStringLiteral("Lek.txt"), many);
    Lektionen& d = lektionen().load();
    QCOMPARE(d.List2.ListCount(), kMaxOwnLessons);
    QCOMPARE(d.List2.List(kMaxOwnLessons - 1), QStringLiteral("L1000"));
    QCOMPARE(int(rig.dialogs.messages.size()), 1);
    QVERIFY(rig.dialogs.messages[0].contains(QStringLiteral("Lek.txt")));
    d.Cancel.click();

    // Few but long lessons past the byte limit: the lesson cut by it is left out, and no byte
    // after the limit is read.
    QByteArray longLessons;
    while (longLessons.size() <= kMaxLessonFileBytes) longLessons += QByteArray(999, 'e') + '\n';
    QBuffer device(&longLessons);
    QVERIFY(device.open(QIODevice::ReadOnly));
    const OwnLessons read = ReadLessonsFrom(device);
    QCOMPARE(int(read.entries.size()), int(kMaxLessonFileBytes / 1000));
    QCOMPARE(read.entries.last(), QString(999, u'e'));
    QVERIFY(!read.problem.isEmpty());
    QCOMPARE(device.pos(), kMaxLessonFileBytes + 1);

    // 100 000 quotes and commas: cut at the lesson limit.
    QByteArray quotes = QByteArray("\"\",").repeated(100000);
    QBuffer quoted(&quotes);
    QVERIFY(quoted.open(QIODevice::ReadOnly));
    QCOMPARE(int(ReadLessonsFrom(quoted).entries.size()), kMaxOwnLessons);
}

REGISTER_TEST(LessonsTest);
#include "lessons_test.moc"
