#pragma once

#include <QStringList>
#include <vector>

#include "platform/dialogs.h"

// Answers the dialog seam without windows: records which dialogs were shown and what the user
// was told, and gives the answers a test sets beforehand.
class RecordingDialogSeam : public DialogSeam {
public:
    void showDialog(DialogId id) override { shown.push_back(id); }
    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter) override;
    bool printerSetup() override;
    void message(const QString& text) override { messages << text; }

    std::vector<DialogId> shown;
    QStringList messages;
    QStringList fileTitles;  // titles of the file dialogs asked for
    QString fileAnswer;      // the file "chosen"; empty = cancelled
    int printerSetups = 0;
    QString printerAnswer;  // the printer "chosen" in the set-up; empty = cancelled
};
