#include "mainwindow/ui/band_entries.h"

#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QRandomGenerator>

#include "exercises/qrm_traffic.h"
#include "platform/services.h"
#include "sound/band/band_settings_store.h"
#include "sound/tonwerk.h"
#include "sound/ui/band_dialog.h"

void AddBandEntries(QMainWindow& window) {
    BandSettings settings = LoadBandSettings();
    // A new band every start; the seed matters only where files must repeat.
    settings.seed = QRandomGenerator::global()->generate();
    const auto traffic = BuildQrmTraffic(settings.seed);
    const auto apply = [traffic](const BandSettings& s) {
        if (Platform().tonwerk) Platform().tonwerk->output().setBandConditions(s, traffic);
    };
    apply(settings);

    auto* menu = window.findChild<QMenu*>(QStringLiteral("Mk"));
    if (!menu) return;
    QAction* entry = menu->addAction(QStringLiteral("Bandbedingungen ..."));
    entry->setObjectName(QStringLiteral("MBand"));
    auto dialog = std::make_shared<QPointer<BandDialog>>();
    QObject::connect(entry, &QAction::triggered, &window, [&window, dialog, settings, apply] {
        if (!*dialog) {
            *dialog = new BandDialog(settings, &window);
            QObject::connect(*dialog, &BandDialog::settingsChanged, *dialog,
                             [apply](const BandSettings& s) {
                                 apply(s);
                                 SaveBandSettings(s);
                             });
        }
        (*dialog)->show();
        (*dialog)->raise();
        (*dialog)->activateWindow();
    });
}
