#include "platform/ui/start_failure.h"

#include <QMessageBox>
#include <QRegularExpression>

void ShowStartFailure(const QString& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Morse-Übungsprogramm"),
                    QStringLiteral("Das Morse-Übungsprogramm kann nicht starten."),
                    QMessageBox::Ok);
    // The program's name before the reason is for the terminal; the box has it in its title.
    QString reason = message.trimmed();
    reason.remove(QRegularExpression(QStringLiteral("^morse-trainer: ")));
    box.setInformativeText(reason);
    box.setObjectName(QStringLiteral("StartFailure"));  // the box with the reason
    box.exec();
}
