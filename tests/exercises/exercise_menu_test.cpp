#include "exercises/exercise_menu.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "mainwindow/startup.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString kDigits = QStringLiteral("1234567890");
const QString kPunctuation = QStringLiteral("=.,?/");
const QString kBefore = QStringLiteral("vorher");  // marks a pool the action leaves alone
const QString kFolderClick = QStringLiteral(".\\alfa\\S12.wav");
const QString kPlainClick = QStringLiteral("S12.wav");

MenuItem* menuEntry(Form1& f, const QString& name) {
    for (Control* control : f.all()) {
        if (control->objectName() == name) return qobject_cast<MenuItem*>(control);
    }
    return nullptr;
}

void setCharacterSets(SharedState& s) {
    s.Letters = kLetters;
    s.Digits = kDigits;
    s.Punctuation = kPunctuation;
}

// Runs the test inside an empty working directory, so that start-up finds no settings file.
struct EmptyWorkingDir {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    EmptyWorkingDir() { QDir::setCurrent(dir.path()); }
    ~EmptyWorkingDir() { QDir::setCurrent(previous); }
};
}  // namespace

class ExerciseMenuTest : public QObject {
    Q_OBJECT
private slots:
    void kindHandlers_data();
    void kindHandlers();
    void artupdate_data();
    void artupdate();
    void startUpAndActivation();
    void menuChoiceDuringARun();
};

void ExerciseMenuTest::kindHandlers_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<QString>("pool");
    const QString L = kLetters, D = kDigits, P = kPunctuation;
    QTest::newRow("B") << "MBuchstaben"
                       << "B"
                       << "Buchstaben" << kPlainClick << L;
    QTest::newRow("9") << "MZahlen"
                       << "9"
                       << "Ziffern" << kFolderClick << D;
    QTest::newRow("S") << "MSonderzeichen"
                       << "S"
                       << "Sonderzeichen" << kFolderClick << P;
    QTest::newRow("Z") << "MBsteZgr"
                       << "Z"
                       << "Buchst. + 1 Zahlengruppe" << kPlainClick << L + D;
    QTest::newRow("U") << "MBstZahlen"
                       << "U"
                       << "Buchstaben + Ziffern" << kPlainClick << L + L + L + D;
    QTest::newRow("X") << "MBstSonder"
                       << "X"
                       << "Buchst. + Sonderzeichen" << kPlainClick << L + L + P;
    QTest::newRow("Y") << "MBstZahlSond"
                       << "Y"
                       << "Buchst + Zahlen + Sonder" << kPlainClick << L + L + L + D + P;
    QTest::newRow("R") << "MRufzeichen"
                       << "R"
                       << "Rufzeichen" << kFolderClick << kBefore;
    QTest::newRow("F") << "MWortgen"
                       << "F"
                       << "Wordgenerator" << kFolderClick << kBefore;
    QTest::newRow("C") << "MPrüfung"
                       << "C"
                       << "Prüfungstext" << kFolderClick << kBefore;
    QTest::newRow("A") << "MAAbk"
                       << "A"
                       << "Amateurfunkabkürzungen" << kPlainClick << kBefore;
}

void ExerciseMenuTest::kindHandlers() {
    QFETCH(QString, entry);
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, sound);
    QFETCH(QString, pool);
    TestRig rig;
    setCharacterSets(rig.s);
    rig.s.ExerciseText = kBefore;
    MenuItem* item = menuEntry(rig.f, entry);
    QVERIFY(item);
    item->click();
    QCOMPARE(rig.s.ExerciseKind, kind);
    QCOMPARE(rig.f.Panel2.caption(), title);
    QCOMPARE(rig.s.ExerciseText, pool);
    QCOMPARE(rig.wave.played, QStringList{sound});
    QVERIFY(rig.surface.pieces().empty());  // choosing sends nothing
}

void ExerciseMenuTest::artupdate_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<int>("poolSize");  // -1: the pool stays as it was
    const QStringList plain{kPlainClick}, folder{kFolderClick};
    QTest::newRow("B") << "B"
                       << "B"
                       << "Buchstaben" << plain << 26;
    QTest::newRow("9") << "9"
                       << "9"
                       << "Ziffern" << folder << 10;
    QTest::newRow("S") << "S"
                       << "S"
                       << "Sonderzeichen" << folder << 5;
    QTest::newRow("R") << "R"
                       << "R"
                       << "Rufzeichen" << folder << -1;
    QTest::newRow("Z") << "Z"
                       << "Z"
                       << "Buchst. + 1 Zahlengruppe" << plain << 36;
    QTest::newRow("U") << "U"
                       << "U"
                       << "Buchstaben + Ziffern" << plain << 88;
    QTest::newRow("X") << "X"
                       << "X"
                       << "Buchst. + Sonderzeichen" << plain << 57;
    QTest::newRow("Y") << "Y"
                       << "Y"
                       << "Buchst + Zahlen + Sonder" << plain << 93;
    QTest::newRow("F") << "F"
                       << "F"
                       << "Wordgenerator" << folder << -1;
    QTest::newRow("C") << "C"
                       << "C"
                       << "Prüfungstext" << folder << -1;
    QTest::newRow("E") << "E"
                       << "E"
                       << "Eigene Zeichen" << QStringList() << -1;
    QTest::newRow("T") << "T"
                       << "T"
                       << "Eigener Text" << QStringList() << -1;
    QTest::newRow("A becomes Z") << "A"
                                 << "Z"
                                 << "Buchst. + 1 Zahlengruppe" << plain << 36;
    QTest::newRow("unknown") << "q"
                             << "Z"
                             << "Buchst. + 1 Zahlengruppe" << plain << 36;
    QTest::newRow("blank") << " "
                           << "Z"
                           << "Buchst. + 1 Zahlengruppe" << plain << 36;
}

void ExerciseMenuTest::artupdate() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, title);
    QFETCH(QStringList, sounds);
    QFETCH(int, poolSize);
    TestRig rig;
    setCharacterSets(rig.s);
    rig.s.ExerciseKind = before;
    rig.s.ExerciseText = kBefore;
    rig.f.Panel2.setCaption(QStringLiteral("HÖREN"));
    Artupdate();
    QCOMPARE(rig.s.ExerciseKind, after);
    QCOMPARE(rig.f.Panel2.caption(), title);
    QCOMPARE(rig.wave.played, sounds);
    if (poolSize < 0)
        QCOMPARE(rig.s.ExerciseText, kBefore);
    else
        QCOMPARE(rig.s.ExerciseText.size(), poolSize);
}

void ExerciseMenuTest::startUpAndActivation() {
    EmptyWorkingDir dir;
    TestRig rig;
    rig.startUp();
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Buchst. + 1 Zahlengruppe"));
    QCOMPARE(rig.s.ExerciseText, kLetters + kDigits);

    // An own choice of a group kind survives a return to the main window, pool and all.
    rig.f.MBstSonder.click();
    rig.s.ExerciseText.clear();
    Form_Activate();
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("X"));
    QCOMPARE(rig.s.ExerciseText.size(), 57);
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Buchst. + Sonderzeichen"));

    // The abbreviations do not: the activation falls back to "Z", with its click.
    rig.f.MAAbk.click();
    rig.wave.played.clear();
    Form_Activate();
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("Z"));
    QCOMPARE(rig.s.ExerciseText.size(), 36);
    QCOMPARE(rig.wave.played, QStringList{kPlainClick});
}

void ExerciseMenuTest::menuChoiceDuringARun() {
    EmptyWorkingDir dir;
    TestRig rig;
    rig.startUp();
    bool chosen = false;
    rig.clock.at(4.0, [&] {
        QVERIFY(rig.f.MBuchstaben.enabled());
        QVERIFY(!rig.f.Comstart.enabled());  // the run is still going
        rig.f.MBuchstaben.click();
        chosen = true;
    });
    rig.f.Comstart.click();
    QVERIFY(chosen);
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("B"));
    QCOMPARE(rig.s.ExerciseText, kLetters);
    // The run went on to its end with the statistics.
    QVERIFY(rig.f.Comstart.enabled());
    QVERIFY(!rig.f.comstop.enabled());
    QVERIFY(!rig.s.StopRequested);
}

REGISTER_TEST(ExerciseMenuTest);
#include "exercise_menu_test.moc"
