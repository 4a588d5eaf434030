#include "platform/ui/combo_value.h"

#include <QComboBox>

void SpeakCurrentItem(QComboBox* box) {
    box->setAccessibleDescription(box->currentText());
    QObject::connect(box, &QComboBox::currentTextChanged, box,
                     [box](const QString& text) { box->setAccessibleDescription(text); });
}
