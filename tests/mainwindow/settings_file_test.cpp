#include "mainwindow/settings_file.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "platform/dialogs.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
const QByteArray kDefaultLine = "60,800,12,1,1,\"Z\",0,30,,\r\n";

// Each case runs in a fresh working directory of its own.
struct WorkingDir {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    WorkingDir() { QDir::setCurrent(dir.path()); }
    ~WorkingDir() {
        QDir::setCurrent(previous);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    }
    QString path(const QString& name = QStringLiteral("MORSE.CST")) const {
        return dir.filePath(name);
    }
    void write(const QByteArray& bytes, const QString& name = QStringLiteral("MORSE.CST")) const {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString& name = QStringLiteral("MORSE.CST")) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

class MessageCatcher : public DialogSeam {
public:
    MessageCatcher() { Platform().dialogs = this; }
    ~MessageCatcher() override { Platform().dialogs = nullptr; }
    void showDialog(DialogId) override {}
    QString openFileName(const QString&, const QString&) override { return {}; }
    bool printerSetup() override { return false; }
    void message(const QString& text) override { messages << text; }
    QStringList messages;
};

QList<CheckBox*> effectBoxes(Form1& f) {
    return {&f.anziehen1, &f.anziehen2, &f.tonschwank, &f.unsauber, &f.O_Verkl};
}
}  // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT
private slots:
    void defaultLine();
    void everyFieldThroughTheFile();
    void speedKeepsItsIntegerPart();
    void decimalsIgnoreTheLocale();
    void ownKindsAreSavedAsLettersAndDigits();
    void optionBits();
    void eightFields();
    void badFiles_data();
    void badFiles();
    void dashTheSliderRefuses();
    void startUpLoadsTheFile();
    void otherCaseOfTheName();
    void unwritableFolder();
    void failedWriteKeepsTheOldFile();
    void targetIsAFolder();
};

void SettingsFileTest::defaultLine() {
    WorkingDir dir;
    TestRig rig;
    rig.startUp();
    rig.wave.played.clear();
    rig.f.Comsave_cst.click();
    QCOMPARE(dir.read(), kDefaultLine);
    QCOMPARE(rig.wave.played, QStringList{QStringLiteral("S12.wav")});
    QCOMPARE(QDir(dir.dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("MORSE.CST")});  // no temporary file left behind
}

// A distinct value in every stored field goes through the window, the file and a fresh start.
void SettingsFileTest::everyFieldThroughTheFile() {
    WorkingDir dir;
    SettingsValues stored = DefaultSettings();
    {
        TestRig rig;
        rig.startUp();
        rig.s.Speed = 145;
        rig.s.TonePitch = 730;
        rig.s.GroupCount = 17;
        rig.s.CharSpacing = 2.5f;
        rig.s.WordSpacing = 3.5f;
        rig.f.MBstZahlSond.click();
        rig.f.anziehen2.setValue(1);
        rig.f.unsauber.setValue(1);
        rig.f.LT.setValue(37);
        rig.f.Comsave_cst.click();
        stored = CurrentSettings();
    }
    const SettingsValues defaults = DefaultSettings();
    TestRig rig;
    rig.startUp();
    // The flags went into the boxes and were consumed on the way; the boxes give them back.
    QCOMPARE(rig.s.OptionFlags, int16_t(0));
    PackOptionFlags();
    const SettingsValues loaded = CurrentSettings();
    for (const SettingsField& field : kSettingsFields) {
        switch (field.type) {
            case SettingsFieldType::IntegerPart:
            case SettingsFieldType::Decimal:
                QVERIFY2(loaded.*field.decimal == stored.*field.decimal, field.name);
                QVERIFY2(loaded.*field.decimal != defaults.*field.decimal, field.name);
                break;
            case SettingsFieldType::Whole:
                QVERIFY2(loaded.*field.whole == stored.*field.whole, field.name);
                QVERIFY2(loaded.*field.whole != defaults.*field.whole, field.name);
                break;
            case SettingsFieldType::Quoted:
                QVERIFY2(loaded.*field.text == stored.*field.text, field.name);
                QVERIFY2(loaded.*field.text != defaults.*field.text, field.name);
                break;
            case SettingsFieldType::Reserved:
                break;
        }
    }
    QCOMPARE(stored.optionFlags, int16_t(10));
    QCOMPARE(rig.f.anziehen2.value(), 1);
    QCOMPARE(rig.f.unsauber.value(), 1);
    QCOMPARE(loaded.dash, int16_t(37));
    QCOMPARE(rig.f.L_LT.caption(), QStringLiteral("langer Ton  3,7"));
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("145"));
    QCOMPARE(rig.f.L_Ton.caption(), QStringLiteral("730"));
    QCOMPARE(rig.f.L_Anz.caption(), QStringLiteral("17"));
    QCOMPARE(rig.s.StartSpeed, 145.0f);
    QCOMPARE(rig.s.SavedPitch, int16_t(730));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Buchst + Zahlen + Sonder"));
    QCOMPARE(rig.s.DotMs, 77.0f / 145.0f * 60.0f);
}

void SettingsFileTest::speedKeepsItsIntegerPart() {
    WorkingDir dir;
    TestRig rig;
    rig.startUp();
    rig.s.Speed = 71.5f;
    rig.f.Comsave_cst.click();
    QVERIFY(dir.read().startsWith("71,800,"));
    rig.s.Speed = 60;
    rig.f.comload_cst.click();
    QCOMPARE(rig.s.Speed, 71.0f);
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("71"));
}

void SettingsFileTest::decimalsIgnoreTheLocale() {
    WorkingDir dir;
    TestRig rig;
    rig.startUp();
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    rig.f.UpDownAbst.setValue(15);
    rig.f.UpDownWAbst.setValue(23);
    rig.f.Comsave_cst.click();
    QCOMPARE(dir.read(), QByteArray("60,800,12,1.5,2.3,\"Z\",0,30,,\r\n"));
    rig.f.C_Default.click();
    QCOMPARE(rig.f.L_Abst.caption(), QStringLiteral("1,0"));
    rig.f.comload_cst.click();
    QCOMPARE(rig.s.CharSpacing, 1.5f);
    QCOMPARE(rig.s.WordSpacing, 2.3f);
    QCOMPARE(rig.f.L_Abst.caption(), QStringLiteral("1,5"));
    QCOMPARE(rig.f.L_WAbst.caption(), QStringLiteral("2,3"));
}

void SettingsFileTest::ownKindsAreSavedAsLettersAndDigits() {
    WorkingDir dir;
    TestRig rig;
    rig.startUp();
    for (const QString& kind : {QStringLiteral("T"), QStringLiteral("E")}) {
        rig.s.ExerciseKind = kind;
        rig.f.Panel2.setCaption(QStringLiteral("Eigener Text"));
        rig.f.Comsave_cst.click();
        QCOMPARE(dir.read(), QByteArray("60,800,12,1,1,\"U\",0,30,,\r\n"));
        QCOMPARE(rig.s.ExerciseKind, QStringLiteral("U"));
        QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Eigener Text"));  // not refreshed
    }
}

void SettingsFileTest::optionBits() {
    WorkingDir dir;
    {
        TestRig rig;
        rig.startUp();
        rig.f.anziehen1.setValue(1);
        rig.f.tonschwank.setValue(1);
        rig.f.O_Verkl.setValue(1);
        rig.f.Comsave_cst.click();
        QCOMPARE(rig.s.OptionFlags, int16_t(21));
        QCOMPARE(dir.read(), QByteArray("60,800,12,1,1,\"Z\",21,30,,\r\n"));
    }
    dir.write("60,777,12,1,1,\"Z\",21,30,,\r\n");
    TestRig rig;
    rig.startUp();
    QCOMPARE(rig.f.anziehen1.value(), 1);
    QCOMPARE(rig.f.anziehen2.value(), 0);
    QCOMPARE(rig.f.tonschwank.value(), 1);
    QCOMPARE(rig.f.unsauber.value(), 0);
    QCOMPARE(rig.f.O_Verkl.value(), 1);
    QCOMPARE(rig.s.OptionFlags, int16_t(0));
    // Ticking ran the handlers: two clicks, and the fluctuation armed at the loaded pitch.
    QCOMPARE(rig.wave.played.count(QStringLiteral(".\\alfa\\S12.wav")), 3);  // load + 2 boxes
    QCOMPARE(rig.s.PitchDrift, 0.02f);
    QCOMPARE(rig.s.SavedPitch, int16_t(777));

    // Field 7 at 0 leaves the boxes as they are.
    dir.write(kDefaultLine);
    rig.f.comload_cst.click();
    QCOMPARE(rig.f.anziehen1.value(), 1);
    QCOMPARE(rig.f.tonschwank.value(), 1);
    QCOMPARE(rig.f.O_Verkl.value(), 1);
}

void SettingsFileTest::eightFields() {
    WorkingDir dir;
    TestRig rig;
    rig.startUp();
    dir.write("75,900,20,1.5,2,\"B\",3,35\r\n");
    rig.f.comload_cst.click();
    QCOMPARE(rig.s.Speed, 75.0f);
    QCOMPARE(rig.s.TonePitch, 900.0f);
    QCOMPARE(rig.s.GroupCount, 20.0f);
    QCOMPARE(rig.s.CharSpacing, 1.5f);
    QCOMPARE(rig.s.WordSpacing, 2.0f);
    QCOMPARE(rig.s.OptionFlags, int16_t(3));
    // Neither the kind, nor the boxes, nor the slider, nor the labels.
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("Z"));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Buchst. + 1 Zahlengruppe"));
    for (CheckBox* box : effectBoxes(rig.f)) QCOMPARE(box->value(), 0);
    QCOMPARE(rig.f.LT.value(), 30);
    QCOMPARE(rig.f.L_LT.caption(), QStringLiteral("langer Ton"));
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("60"));
    QCOMPARE(rig.f.L_Abst.caption(), QStringLiteral("1,0  "));
    QCOMPARE(rig.s.StartSpeed, 60.0f);
}

void SettingsFileTest::badFiles_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<float>("speed");  // what the failing read leaves
    QTest::addColumn<float>("pitch");
    QTest::addColumn<bool>("applied");  // the whole file went through
    QTest::newRow("speed 0") << QByteArray("0,900,12,1,1,\"B\",0,30,,\r\n") << 88.f << 650.f
                             << false;
    QTest::newRow("speed -5") << QByteArray("-5,900,12,1,1,\"B\",0,30,,\r\n") << 88.f << 650.f
                              << false;
    QTest::newRow("speed 1e30") << QByteArray("1e30,900,12,1,1,\"B\",0,30,,\r\n") << 88.f << 650.f
                                << false;
    QTest::newRow("speed garbage")
        << QByteArray("xyz,900,12,1,1,\"B\",0,30,,\r\n") << 88.f << 650.f << false;
    QTest::newRow("pitch 0") << QByteArray("75,0,12,1,1,\"B\",0,30,,\r\n") << 75.f << 650.f
                             << false;
    QTest::newRow("spacing nan") << QByteArray("75,900,12,nan,1,\"B\",0,30,,\r\n") << 75.f << 900.f
                                 << false;
    QTest::newRow("empty file") << QByteArray() << 88.f << 650.f << false;
    QByteArray binary(4096, '\0');
    for (char& byte : binary) byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
    binary.prepend('\xff');  // never a digit: the speed fails at once
    QTest::newRow("binary") << binary << 88.f << 650.f << false;
    QTest::newRow("megabyte of digits") << QByteArray(1 << 20, '7') << 88.f << 650.f << false;
    QTest::newRow("megabyte after the line")
        << QByteArray("75,900,12,1,1,\"B\",0,30,,") + QByteArray(1 << 20, ',') << 75.f << 900.f
        << true;
    QTest::newRow("speed 500 stays")
        << QByteArray("500,900,12,1,1,\"B\",0,30,,\r\n") << 500.f << 900.f << true;
}

void SettingsFileTest::badFiles() {
    QFETCH(QByteArray, content);
    QFETCH(float, speed);
    QFETCH(float, pitch);
    QFETCH(bool, applied);
    WorkingDir dir;
    TestRig rig;
    rig.startUp();
    rig.f.UpDownGesch.setValue(88);
    rig.f.UpDownTon.setValue(650);
    dir.write(content);
    const float dotMs = rig.s.DotMs;
    rig.f.comload_cst.click();
    QCOMPARE(rig.s.Speed, speed);
    QCOMPARE(rig.s.TonePitch, pitch);
    QCOMPARE(rig.s.ExerciseKind, QString::fromLatin1(applied ? "B" : "Z"));
    QCOMPARE(rig.f.L_Gesch.caption(), applied ? QString::number(speed) : QStringLiteral("88"));
    QCOMPARE(rig.s.DotMs, applied ? 77.0f / speed * 60.0f : dotMs);
}

void SettingsFileTest::dashTheSliderRefuses() {
    WorkingDir dir;
    TestRig rig;
    rig.startUp();
    dir.write("75,900,12,1,1,\"B\",1,45,,\r\n");
    rig.f.comload_cst.click();
    // Read, kind and boxes applied; the slider refuses 45 and the rest is skipped.
    QCOMPARE(rig.s.Speed, 75.0f);
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("B"));
    QCOMPARE(rig.f.anziehen1.value(), 1);
    QCOMPARE(rig.f.LT.value(), 30);
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("60"));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Buchst. + 1 Zahlengruppe"));
}

void SettingsFileTest::startUpLoadsTheFile() {
    WorkingDir dir;
    dir.write("100,700,5,1,1,\"A\",0,35,,\r\n");
    TestRig rig;
    rig.startUp();
    QCOMPARE(rig.s.Speed, 100.0f);
    QCOMPARE(rig.s.TonePitch, 700.0f);
    QCOMPARE(rig.f.L_Anz.caption(), QStringLiteral("5"));
    QCOMPARE(rig.f.LT.value(), 35);
    QCOMPARE(rig.f.L_LT.caption(), QStringLiteral("langer Ton  3,5"));
    // The abbreviations are not kept: the kind falls back to "Z".
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("Z"));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Buchst. + 1 Zahlengruppe"));
    QCOMPARE(rig.wave.played.front(), QStringLiteral(".\\alfa\\S12.wav"));
}

void SettingsFileTest::otherCaseOfTheName() {
    WorkingDir dir;
    dir.write("90,800,12,1,1,\"Z\",0,30,,\r\n", QStringLiteral("morse.cst"));
    TestRig rig;
    rig.startUp();
    QCOMPARE(rig.s.Speed, 90.0f);
    rig.s.Speed = 95;
    rig.f.Comsave_cst.click();
    QVERIFY(dir.read(QStringLiteral("morse.cst")).startsWith("95,"));
    QCOMPARE(QDir(dir.dir.path()).entryList(QDir::Files).size(), 1);
}

// Root writes into a read-only folder anyway; either way the file is never left half written,
// and only a failed save is reported.
void SettingsFileTest::unwritableFolder() {
    WorkingDir dir;
    dir.write(kDefaultLine);
    TestRig rig;
    rig.startUp();
    MessageCatcher catcher;
    QVERIFY(::chmod(QFile::encodeName(dir.dir.path()).constData(), 0500) == 0);
    rig.s.Speed = 120;
    rig.f.Comsave_cst.click();
    const QByteArray content = dir.read();
    const QByteArray saved = "120,800,12,1,1,\"Z\",0,30,,\r\n";
    QVERIFY(content == kDefaultLine || content == saved);
    QCOMPARE(catcher.messages.size(), content == kDefaultLine ? 1 : 0);
}

// The new file cannot be written to its end: the old one must survive untouched.
void SettingsFileTest::failedWriteKeepsTheOldFile() {
    WorkingDir dir;
    dir.write(kDefaultLine);
    TestRig rig;
    rig.startUp();
    MessageCatcher catcher;
    rig.s.Speed = 120;
    rlimit old{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 10;  // bytes: the temporary file breaks off inside the line
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    rig.f.Comsave_cst.click();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(dir.read(), kDefaultLine);
    QCOMPARE(catcher.messages.size(), 1);
    QVERIFY(catcher.messages.front().contains(QStringLiteral("MORSE.CST")));
    QCOMPARE(QDir(dir.dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("MORSE.CST")});
}

void SettingsFileTest::targetIsAFolder() {
    WorkingDir dir;
    QVERIFY(QDir(dir.dir.path()).mkdir(QStringLiteral("MORSE.CST")));
    dir.write("inhalt", QStringLiteral("MORSE.CST/keep.txt"));
    TestRig rig;
    rig.startUp();  // nothing to load from a folder
    QCOMPARE(rig.s.Speed, 60.0f);
    MessageCatcher catcher;
    rig.f.Comsave_cst.click();
    QCOMPARE(catcher.messages.size(), 1);
    QVERIFY(QFileInfo(dir.path()).isDir());
    QCOMPARE(dir.read(QStringLiteral("MORSE.CST/keep.txt")), QByteArray("inhalt"));
}

REGISTER_TEST(SettingsFileTest);
#include "settings_file_test.moc"
