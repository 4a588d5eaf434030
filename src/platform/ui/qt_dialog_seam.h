#pragma once

#include <QPointer>
#include <map>

#include "platform/dialogs.h"

class FormWindow;
class QWidget;

// The window system's side of the dialog seam: the program's own dialogs as top-level windows
// over the main window, the file and printer dialogs of Qt, and messages that do not block.
class QtDialogSeam : public DialogSeam {
public:
    // Takes the size of the screen for placing the dialogs.
    QtDialogSeam();

    void showDialog(DialogId id) override;
    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter) override;
    bool printerSetup() override;
    void message(const QString& text) override;

    // The window showing a dialog, if there is one (tests).
    FormWindow* window(DialogId id) const;

private:
    std::map<DialogId, QPointer<FormWindow>> windows_;
};

// The main window, parent of every dialog; null before it exists.
QWidget* MainWindowWidget();
