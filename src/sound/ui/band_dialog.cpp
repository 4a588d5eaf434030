#include "sound/ui/band_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/ui/combo_value.h"

using namespace band_limits;

namespace {
// Preset entries after the first, which stands for settings of the user's own.
constexpr BandPreset kPresets[] = {BandPreset::Quiet, BandPreset::Normal, BandPreset::Contest,
                                   BandPreset::Off};

QCheckBox* Check(const char* name, const QString& text, const QString& description) {
    auto* box = new QCheckBox(text);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleDescription(description);
    return box;
}

QSpinBox* Spin(const char* name, int low, int high, int step, const QString& suffix,
               const QString& accessibleName) {
    auto* spin = new QSpinBox;
    spin->setObjectName(QLatin1String(name));
    spin->setRange(low, high);
    spin->setSingleStep(step);
    spin->setSuffix(suffix);
    spin->setAccessibleName(accessibleName);
    return spin;
}

// A row of a form whose label, with its mnemonic, leads to the control.
void Row(QFormLayout* form, const QString& label, QWidget* field) {
    auto* caption = new QLabel(label);
    caption->setBuddy(field);
    form->addRow(caption, field);
}
}  // namespace

BandDialog::BandDialog(const BandSettings& settings, QWidget* parent)
    : QDialog(parent), seed_(settings.seed) {
    setObjectName(QStringLiteral("Bandbedingungen"));
    setWindowTitle(QStringLiteral("Bandbedingungen"));
    setAccessibleName(QStringLiteral("Bandbedingungen"));

    // The master switch: with it off the sound is as clean as without band conditions.
    master_ = Check("BandAn", QStringLiteral("&Bandbedingungen einschalten"),
                    QStringLiteral("Rauschen, Schwund, Störsender und Knackstörungen hörbar"));
    // The presets, and "eigene Einstellung" once a value differs from all of them.
    preset_ = new QComboBox;
    preset_->setObjectName(QStringLiteral("BandVorgabe"));
    preset_->setAccessibleName(QStringLiteral("Voreinstellung"));
    preset_->addItems({QStringLiteral("eigene Einstellung"), QStringLiteral("ruhiges Band"),
                       QStringLiteral("normaler Betrieb"), QStringLiteral("Contest"),
                       QStringLiteral("aus")});
    SpeakCurrentItem(preset_);

    // Noise: the signal-to-noise ratio. The receiver filter shapes it and whatever else the
    // band adds.
    noise_ = Check("Rauschen", QStringLiteral("&Rauschen"),
                   QStringLiteral("Rauschen, durch das Empfängerfilter geformt"));
    snr_ = Spin("RauschAbstand", kSnrMinDb, kSnrMaxDb, 1, QStringLiteral(" dB"),
                QStringLiteral("Signal-Rausch-Abstand"));
    snr_->setAccessibleDescription(QStringLiteral("gemessen in 500 Hz Bandbreite um den Ton"));
    filter_ = new QComboBox;
    filter_->setObjectName(QStringLiteral("Filter"));
    filter_->setAccessibleName(QStringLiteral("Empfängerfilter"));
    for (int hz : kFiltersHz) filter_->addItem(QStringLiteral("%1 Hz").arg(hz), hz);
    SpeakCurrentItem(filter_);

    // Fading: how deep and how often.
    qsb_ = Check("Schwund", QStringLiteral("&Schwund (QSB)"),
                 QStringLiteral("das Signal wird unregelmäßig leiser und wieder lauter"));
    qsbDepth_ = Spin("SchwundTiefe", 0, kQsbDepthMaxDb, 1, QStringLiteral(" dB"),
                     QStringLiteral("Schwundtiefe"));
    qsbPeriod_ = Spin("SchwundPeriode", kQsbPeriodMinS, kQsbPeriodMaxS, 1, QStringLiteral(" s"),
                      QStringLiteral("Schwundperiode"));

    // The second station: its distance in pitch and its level.
    qrm_ = Check("Stoersender", QStringLiteral("Störsender (QR&M)"),
                 QStringLiteral("eine zweite Station sendet neben dem Signal"));
    qrmOffset_ = Spin("StoerAblage", kQrmOffsetMinHz, kQrmOffsetMaxHz, 10, QStringLiteral(" Hz"),
                      QStringLiteral("Ablage des Störsenders"));
    qrmLevel_ = Spin("StoerPegel", kQrmLevelMinDb, kQrmLevelMaxDb, 1, QStringLiteral(" dB"),
                     QStringLiteral("Pegel des Störsenders"));

    // Static crashes: how many a minute and how loud.
    qrn_ = Check("Knacken", QStringLiteral("&Knackstörungen (QRN)"),
                 QStringLiteral("Knacken und Prasseln atmosphärischer Störungen"));
    qrnRate_ = Spin("KnackRate", 0, kQrnMaxPerMinute, 1, QStringLiteral(" je Minute"),
                    QStringLiteral("Knackstörungen je Minute"));
    qrnLevel_ = Spin("KnackPegel", kQrnLevelMinDb, kQrnLevelMaxDb, 1, QStringLiteral(" dB"),
                     QStringLiteral("Lautstärke der Knackstörungen"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(master_);
    auto* top = new QFormLayout;
    Row(top, QStringLiteral("&Voreinstellung:"), preset_);
    Row(top, QStringLiteral("Empfänger&filter:"), filter_);
    layout->addLayout(top);
    // Each part in a frame of its own, led by its switch.
    const auto group = [layout](QCheckBox* on) {
        auto* box = new QGroupBox;
        auto* form = new QFormLayout(box);
        form->addRow(on);
        layout->addWidget(box);
        return form;
    };
    QFormLayout* noise = group(noise_);
    Row(noise, QStringLiteral("Signal-Rausch-&Abstand:"), snr_);
    QFormLayout* qsb = group(qsb_);
    Row(qsb, QStringLiteral("&Tiefe:"), qsbDepth_);
    Row(qsb, QStringLiteral("&Periode:"), qsbPeriod_);
    QFormLayout* qrm = group(qrm_);
    Row(qrm, QStringLiteral("Abla&ge:"), qrmOffset_);
    Row(qrm, QStringLiteral("P&egel:"), qrmLevel_);
    QFormLayout* qrn = group(qrn_);
    Row(qrn, QStringLiteral("&Häufigkeit:"), qrnRate_);
    Row(qrn, QStringLiteral("&Lautstärke:"), qrnLevel_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    // Closes the dialog; the settings are already in effect.
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("BandSchliessen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    showSettings(Bounded(settings));
    for (QCheckBox* box : {master_, noise_, qsb_, qrm_, qrn_}) {
        connect(box, &QCheckBox::toggled, this, &BandDialog::controlChanged);
    }
    for (QSpinBox* spin :
         {snr_, qsbDepth_, qsbPeriod_, qrmOffset_, qrmLevel_, qrnRate_, qrnLevel_}) {
        connect(spin, &QSpinBox::valueChanged, this, &BandDialog::controlChanged);
    }
    connect(filter_, &QComboBox::currentIndexChanged, this, &BandDialog::controlChanged);
    connect(preset_, &QComboBox::activated, this, &BandDialog::presetChosen);
}

BandSettings BandDialog::settings() const {
    BandSettings s;
    s.enabled = master_->isChecked();
    s.noiseOn = noise_->isChecked();
    s.snrDb = snr_->value();
    s.filterHz = filter_->currentData().toInt();
    s.qsbOn = qsb_->isChecked();
    s.qsbDepthDb = qsbDepth_->value();
    s.qsbPeriodS = qsbPeriod_->value();
    s.qrmOn = qrm_->isChecked();
    s.qrmOffsetHz = qrmOffset_->value();
    s.qrmLevelDb = qrmLevel_->value();
    s.qrnOn = qrn_->isChecked();
    s.qrnPerMinute = qrnRate_->value();
    s.qrnLevelDb = qrnLevel_->value();
    s.seed = seed_;
    return s;
}

void BandDialog::showSettings(const BandSettings& s) {
    filling_ = true;
    master_->setChecked(s.enabled);
    noise_->setChecked(s.noiseOn);
    snr_->setValue(s.snrDb);
    filter_->setCurrentIndex(filter_->findData(s.filterHz));
    qsb_->setChecked(s.qsbOn);
    qsbDepth_->setValue(s.qsbDepthDb);
    qsbPeriod_->setValue(s.qsbPeriodS);
    qrm_->setChecked(s.qrmOn);
    qrmOffset_->setValue(s.qrmOffsetHz);
    qrmLevel_->setValue(s.qrmLevelDb);
    qrn_->setChecked(s.qrnOn);
    qrnRate_->setValue(s.qrnPerMinute);
    qrnLevel_->setValue(s.qrnLevelDb);
    filling_ = false;
    updateStates();
}

void BandDialog::controlChanged() {
    if (filling_) return;
    updateStates();
    emit settingsChanged(settings());
}

void BandDialog::presetChosen(int index) {
    if (index <= 0) return;
    showSettings(ApplyPreset(kPresets[index - 1], settings()));
    emit settingsChanged(settings());
}

void BandDialog::updateStates() {
    const BandSettings s = settings();
    for (QWidget* w : {static_cast<QWidget*>(noise_), static_cast<QWidget*>(qsb_),
                       static_cast<QWidget*>(qrm_), static_cast<QWidget*>(qrn_)}) {
        w->setEnabled(s.enabled);
    }
    filter_->setEnabled(s.enabled);
    snr_->setEnabled(s.enabled && s.noiseOn);
    qsbDepth_->setEnabled(s.enabled && s.qsbOn);
    qsbPeriod_->setEnabled(s.enabled && s.qsbOn);
    qrmOffset_->setEnabled(s.enabled && s.qrmOn);
    qrmLevel_->setEnabled(s.enabled && s.qrmOn);
    qrnRate_->setEnabled(s.enabled && s.qrnOn);
    qrnLevel_->setEnabled(s.enabled && s.qrnOn);
    int match = 0;
    if (!s.enabled) {
        match = 4;
    } else {
        for (int i = 0; i < 3; ++i) {
            if (ApplyPreset(kPresets[i], s) == s) match = i + 1;
        }
    }
    preset_->setCurrentIndex(match);
}
