#pragma once

#include "platform/dialogs.h"

class QWidget;

// The window system's side of the dialog seam: the file and printer dialogs of Qt, and
// messages that do not block. Which window shows which of the program's own dialogs is
// decided above, by the window that composes them (showDialog).
class QtDialogSeam : public DialogSeam {
public:
    // Takes the size of the screen for placing the dialogs.
    QtDialogSeam();

    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter) override;
    bool printerSetup() override;
    void message(const QString& text) override;
};

// The main window, parent of every dialog; null before it exists.
QWidget* MainWindowWidget();
