#include "mainwindow/ui/sending_entries.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "keyinput/midi_sequencer.h"
#include "keyinput/modem_lines.h"
#include "keyinput/serial_ports.h"
#include "platform/clock.h"
#include "platform/services.h"
#include "platform/user_settings.h"
#include "sending/practice_text.h"
#include "sending/ui/sending_window.h"
#include "sound/device/portaudio_output.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
const QString kBufferStepKey = QStringLiteral("Geben/Pufferstufe");

// The buffer a key played by hand settled on is kept for the next session, so that finding it
// again does not cost the same underflows.
void RememberSmallestBuffer(PortAudioOutput& device) {
    bool ok = false;
    const int step = OpenUserSettings()->value(kBufferStepKey).toInt(&ok);
    if (ok && step > 0) device.startSmallestAt(static_cast<size_t>(step));
    device.onSmallestStepGrown([](size_t grown) {
        OpenUserSettings()->setValue(kBufferStepKey, static_cast<int>(grown));
    });
}
}  // namespace

void AddSendingEntries(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();
    auto* menu = new QMenu(QStringLiteral("Ge&ben"), bar);
    // Sending practice with a real key.
    menu->setObjectName(QStringLiteral("MGeben"));
    menu->setAccessibleName(QStringLiteral("Geben"));
    QAction* before = bar->findChild<QAction*>(QStringLiteral("MInfo"));
    if (before && bar->actions().contains(before))
        bar->insertMenu(before, menu);
    else
        bar->addMenu(menu);

    QAction* open = menu->addAction(QStringLiteral("Geben &üben ..."));
    open->setObjectName(QStringLiteral("MGebenUeben"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    open->setShortcutContext(Qt::ApplicationShortcut);
    window.addAction(open);
    QObject::connect(open, &QAction::triggered, &window, [&window] {
        auto* sending = window.findChild<SendingWindow*>(QStringLiteral("GebenUeben"));
        if (!sending) {
            SendingWindowServices services;
            if (Tonwerk* tonwerk = Platform().tonwerk) {
                services.output = &tonwerk->output();
                if (auto* device = dynamic_cast<PortAudioOutput*>(services.output)) {
                    services.sidetone = &device->sidetone();
                    RememberSmallestBuffer(*device);
                }
            }
            services.timing = [](int weight) {
                return KeyerTiming::FromMs(S().DotMs, S().DashMs, weight);
            };
            services.pitchHz = [] { return static_cast<double>(S().TonePitch); };
            services.serialPorts = ListSerialPorts;
            services.modemLines = MakePosixModemLines;
            services.sequencer = MakeAlsaSequencer;
            services.drawText = DrawPracticeText;
            services.record = Platform().record;
            services.now = [] { return Platform().clock->now(); };
            sending = new SendingWindow(std::move(services), &window);
            sending->setWindowFlag(Qt::Window);
        }
        sending->show();
        sending->raise();
        sending->activateWindow();
    });
}
