#pragma once

#include <QPointer>
#include <map>

#include "platform/ui/qt_dialog_seam.h"

class FormWindow;

// The trainer's dialog seam: Qt's file, printer and message dialogs, and the program's own
// dialogs (own text, lessons, continuous Morse, info) as top-level windows over the main window.
class TrainerDialogSeam : public QtDialogSeam {
public:
    void showDialog(DialogId id) override;

    // The window showing a dialog, if there is one (tests).
    FormWindow* window(DialogId id) const;

private:
    std::map<DialogId, QPointer<FormWindow>> windows_;
};
