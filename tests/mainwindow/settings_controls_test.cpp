#include "mainwindow/settings_controls.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "engine/timing.h"
#include "platform/dialogs.h"
#include "platform/external_program.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
const QString kFolderClick = QStringLiteral(".\\alfa\\S12.wav");
const QString kPlainClick = QStringLiteral("S12.wav");

struct EmptyWorkingDir {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    EmptyWorkingDir() { QDir::setCurrent(dir.path()); }
    ~EmptyWorkingDir() { QDir::setCurrent(previous); }
};

class MessageCatcher : public DialogSeam {
public:
    void showDialog(DialogId) override {}
    QString openFileName(const QString&, const QString&) override { return {}; }
    bool printerSetup() override { return false; }
    void message(const QString& text) override { messages << text; }
    QStringList messages;
};

// Records the programs asked for; only `available` starts.
struct FakeStarter {
    QStringList asked;
    QString available;
    FakeStarter() {
        SetProgramStarter([this](const QString& program, const QStringList& arguments) {
            asked << (arguments.isEmpty() ? program : program + u' ' + arguments.join(u' '));
            return program == available;
        });
    }
    ~FakeStarter() { SetProgramStarter({}); }
};
}  // namespace

class SettingsControlsTest : public QObject {
    Q_OBJECT
private slots:
    void upDownsAndSlider();
    void standardKeepsTheUpDownPositions();
    void standardUnticksTheEffects();
    void switchesAndSoundButtons();
    void volumeControl();
};

void SettingsControlsTest::upDownsAndSlider() {
    EmptyWorkingDir dir;
    TestRig rig;
    rig.startUp();
    rig.f.UpDownGesch.stepUp();
    QCOMPARE(rig.s.Speed, 65.0f);
    QCOMPARE(rig.s.StartSpeed, 60.0f);
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("65"));
    QCOMPARE(rig.s.DotMs, 77.0f / 65.0f * 60.0f);
    // The up-down set to the speed already in force changes nothing.
    rig.s.StartSpeed = 1;
    rig.s.Speed = 70;
    rig.f.UpDownGesch.setValue(70);
    QCOMPARE(rig.s.StartSpeed, 1.0f);

    rig.f.UpDownTon.stepUp();
    QCOMPARE(rig.s.TonePitch, 810.0f);
    QCOMPARE(rig.f.L_Ton.caption(), QStringLiteral("810"));
    rig.f.UpDownAnz.stepDown();
    QCOMPARE(rig.s.GroupCount, 11.0f);
    QCOMPARE(rig.f.L_Anz.caption(), QStringLiteral("11"));

    rig.f.UpDownAbst.setValue(15);
    QCOMPARE(rig.s.CharSpacing, 1.5f);
    QCOMPARE(rig.f.L_Abst.caption(), QStringLiteral("1,5"));
    QCOMPARE(rig.s.CharGap, rig.s.DashMs * 1.5f);
    rig.f.UpDownWAbst.setValue(23);
    QCOMPARE(rig.s.WordSpacing, 2.3f);
    QCOMPARE(rig.f.L_WAbst.caption(), QStringLiteral("2,3"));
    rig.f.UpDownWAbst.setValue(51);  // beyond the word-spacing range: ignored
    QCOMPARE(rig.s.WordSpacing, 2.3f);

    rig.f.LT.setValue(35);
    QCOMPARE(rig.f.L_LT.caption(), QStringLiteral("langer Ton 3,5"));
    QCOMPARE(rig.s.DashMs, rig.s.DotMs * 35.0f / 10.0f);
    QVERIFY(rig.wave.played.count(kFolderClick) == 1);  // only the settings load at start-up
}

void SettingsControlsTest::standardKeepsTheUpDownPositions() {
    EmptyWorkingDir dir;
    TestRig rig;
    rig.startUp();
    rig.f.UpDownGesch.setValue(100);
    rig.f.UpDownTon.setValue(900);
    rig.f.UpDownAnz.setValue(20);
    rig.f.C_Default.click();
    QCOMPARE(rig.s.Speed, 60.0f);
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("60"));
    QCOMPARE(rig.s.TonePitch, 800.0f);
    QCOMPARE(rig.s.GroupCount, 12.0f);
    QCOMPARE(rig.f.UpDownGesch.value(), 100);
    rig.f.UpDownGesch.stepUp();
    QCOMPARE(rig.s.Speed, 105.0f);
    rig.f.UpDownTon.stepUp();
    QCOMPARE(rig.s.TonePitch, 910.0f);
    rig.f.UpDownAnz.stepUp();
    QCOMPARE(rig.s.GroupCount, 21.0f);
}

void SettingsControlsTest::standardUnticksTheEffects() {
    EmptyWorkingDir dir;
    TestRig rig;
    rig.startUp();
    rig.f.UpDownAbst.setValue(30);
    rig.f.UpDownWAbst.setValue(40);
    rig.f.MBuchstaben.click();
    rig.s.TonePitch = 850;
    for (CheckBox* box :
         {&rig.f.tonschwank, &rig.f.O_Verkl, &rig.f.anziehen1, &rig.f.anziehen2, &rig.f.unsauber})
        box->setValue(1);
    rig.s.PitchDrift = 1.0f;  // as a run start leaves it
    rig.wave.played.clear();

    rig.f.C_Default.click();
    for (CheckBox* box :
         {&rig.f.tonschwank, &rig.f.O_Verkl, &rig.f.anziehen1, &rig.f.anziehen2, &rig.f.unsauber})
        QCOMPARE(box->value(), 0);
    // Unticking "Tonschwankung" ran its handler with the pitch already back at 800.
    QCOMPARE(rig.s.PitchDrift, 0.02f);
    QCOMPARE(rig.s.SavedPitch, int16_t(800));
    // One click each for "langsam verkleinern", "10%" and "5%", none for the pitch box, then the
    // kind's own click.
    QCOMPARE(rig.wave.played, (QStringList{kFolderClick, kFolderClick, kFolderClick, kPlainClick}));
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("Z"));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Buchst. + 1 Zahlengruppe"));
    QCOMPARE(rig.s.ExerciseText.size(), 36);
    QCOMPARE(rig.f.UpDownAbst.value(), 10);
    QCOMPARE(rig.f.UpDownWAbst.value(), 10);
    QCOMPARE(rig.s.CharSpacing, 1.0f);
    QCOMPARE(rig.s.WordSpacing, 1.0f);
    QCOMPARE(rig.f.L_Abst.caption(), QStringLiteral("1,0"));
    QCOMPARE(rig.f.L_WAbst.caption(), QStringLiteral("1,0"));
    QCOMPARE(rig.f.L_Ton.caption(), QStringLiteral("800"));
    QCOMPARE(rig.s.EffectiveSpeed, 60.0f);
}

void SettingsControlsTest::switchesAndSoundButtons() {
    TestRig rig;
    rig.f.anziehen1.setValue(1);
    rig.f.anziehen2.setValue(1);
    rig.f.O_Verkl.setValue(1);
    rig.f.englisch.setValue(true);
    rig.f.deutsch.setValue(true);
    for (CheckBox* box : {&rig.f.vari, &rig.f.Auge, &rig.f.Ohr, &rig.f.Mund}) box->setValue(1);
    rig.f.com_s1.click();
    rig.f.COM_S2.click();
    rig.f.com_s3.click();
    QCOMPARE(rig.wave.played,
             (QStringList{kFolderClick, kFolderClick, kFolderClick, kPlainClick, kPlainClick,
                          QStringLiteral(".\\Alfa\\S1.wav"), QStringLiteral(".\\Alfa\\S2.wav"),
                          QStringLiteral(".\\Alfa\\S3.wav")}));

    rig.s.TonePitch = 812.5f;
    rig.f.tonschwank.setValue(1);
    QCOMPARE(rig.s.PitchDrift, 0.02f);
    QCOMPARE(rig.s.SavedPitch, int16_t(812));  // half to even
    QCOMPARE(rig.f.L_Ton.caption(), QStringLiteral("812,5"));

    // "unsauber" takes back the sloppy dot when ticked, and leaves it when unticked.
    rig.s.BaseDotMs = 77;
    rig.s.DotMs = 90;
    rig.f.unsauber.setValue(1);
    QCOMPARE(rig.s.DotMs, 77.0f);
    rig.s.DotMs = 95;
    rig.f.unsauber.setValue(0);
    QCOMPARE(rig.s.DotMs, 95.0f);
}

void SettingsControlsTest::volumeControl() {
    TestRig rig;
    MessageCatcher catcher;
    Platform().dialogs = &catcher;
    {
        FakeStarter starter;
        starter.available = QStringLiteral("gnome-control-center");
        rig.f.Command1.click();
        QCOMPARE(starter.asked,
                 (QStringList{"pavucontrol", "pavucontrol-qt", "gnome-control-center sound"}));
        QVERIFY(catcher.messages.isEmpty());
    }
    {
        FakeStarter starter;
        rig.f.Command1.click();
        QCOMPARE(starter.asked.size(), 6);
        QCOMPARE(catcher.messages.size(), 1);
        QVERIFY(catcher.messages.front().contains(QStringLiteral("Lautstärke")));
        // Without a dialog seam nobody is told, and nothing breaks.
        Platform().dialogs = nullptr;
        rig.f.Command1.click();
        QCOMPARE(starter.asked.size(), 12);
    }
    Platform().dialogs = nullptr;
}

REGISTER_TEST(SettingsControlsTest);
#include "settings_controls_test.moc"
