#pragma once

#include <QDialog>

#include "sound/band/band_settings.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

// "Bandbedingungen": noise, fading, a second station and static, with a master switch and
// presets. Every change is reported at once, so that it is heard while the dialog is open.
class BandDialog : public QDialog {
    Q_OBJECT
public:
    explicit BandDialog(const BandSettings& settings, QWidget* parent = nullptr);

    BandSettings settings() const;

signals:
    void settingsChanged(const BandSettings& settings);

private:
    void showSettings(const BandSettings& settings);
    void controlChanged();
    void presetChosen(int index);
    void updateStates();

    uint32_t seed_;
    bool filling_ = false;
    QCheckBox* master_;
    QComboBox* preset_;
    QCheckBox* noise_;
    QSpinBox* snr_;
    QComboBox* filter_;
    QCheckBox* qsb_;
    QSpinBox* qsbDepth_;
    QSpinBox* qsbPeriod_;
    QCheckBox* qrm_;
    QSpinBox* qrmOffset_;
    QSpinBox* qrmLevel_;
    QCheckBox* qrn_;
    QSpinBox* qrnRate_;
    QSpinBox* qrnLevel_;
};
