#include "mainwindow/ui/speed_units_label.h"

#include <QAccessible>
#include <QLabel>
#include <QMainWindow>

#include "engine/speed_units.h"
#include "platform/form1.h"
#include "platform/ui/twips.h"
#include "state/shared_state.h"

void AddSpeedUnits(QMainWindow& window) {
    auto* speed = window.findChild<QWidget*>(QStringLiteral("L_Gesch"));
    auto* spin = window.findChild<QWidget*>(QStringLiteral("UpDownGesch"));
    if (!speed || !spin) return;
    auto* units = new QLabel(speed->parentWidget());
    // The speed in WPM and BpM, under the speed panel.
    units->setObjectName(QStringLiteral("L_WPM"));
    units->setGeometry(twips::rect(7050, 2235, 3000, 195));
    units->setFont(twips::font(QStringLiteral("Arial"), 7.5));
    units->setTextFormat(Qt::PlainText);
    units->setFocusPolicy(Qt::TabFocus);
    units->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    const QString described = spin->accessibleDescription();
    const auto show = [units, spin, described] {
        const double cpm = S().Speed;
        units->setText(QStringLiteral("= ") + SpeedUnitsText(cpm));
        units->setAccessibleName(QStringLiteral("Geschwindigkeit ") + SpeedUnitsWords(cpm));
        spin->setAccessibleDescription(described + QStringLiteral(", ") + SpeedUnitsWords(cpm));
        QAccessibleEvent changed(spin, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
        QAccessibleEvent renamed(units, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
    };
    QObject::connect(&form1().L_Gesch, &Control::changed, units, show);
    show();
}
