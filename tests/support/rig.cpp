#include "support/rig.h"

#include "mainwindow/startup.h"
#include "mainwindow/window_handlers.h"
#include "mainwindow/wiring.h"
#include "platform/background_work.h"
#include "platform/external_program.h"

void RecordingWavePlayer::play(const QString& legacyName) {
    played << legacyName;
    if (secondsPerFile > 0) clock_.sleepUntil(clock_.monotonicSeconds() + secondsPerFile);
}

namespace {
Form1& freshForm() {
    ResetForm1();
    return form1();
}
}  // namespace

TestRig::TestRig(uint32_t seed) : s((ResetSharedState(), S())), f((Platform().clock = &clock, freshForm())) {
    Services& p = Platform();
    p.clock = &clock;
    p.surface = &surface;
    p.tonwerk = &tonwerk;
    p.wave = &wave;
    p.printer = &printer;
    p.dialogs = &dialogs;
    InstallBackgroundWork(&background);
    ResetDialogForms();
    p.random.fixSeed(seed);
    p.exitProgram = [] {};
    // No test starts a real program; a test that cares installs its own recorder.
    SetProgramStarter([](const QString&, const QStringList&) { return false; });
    WireForm1();
}

TestRig::~TestRig() {
    // The controls' timers belong to this clock: drop them before the clock goes.
    ResetDialogForms();
    ResetForm1();
    Services& p = Platform();
    p.clock = nullptr;
    p.surface = nullptr;
    p.tonwerk = nullptr;
    p.wave = nullptr;
    p.printer = nullptr;
    p.dialogs = nullptr;
    InstallBackgroundWork(nullptr);
}

void TestRig::startUp() {
    Form_Initialize();
    Form_Load();
    Form_Activate();
}
