#pragma once

#include <QString>

// Everything modal or window-level that the logic asks of the window system goes through here,
// so that a test can answer it: the program's own dialogs, the file and printer dialogs, and
// short messages.
enum class DialogId { OwnText, Lessons, ContinuousMorse, Info };

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    // Shows one of the program's own dialogs without blocking the main window.
    virtual void showDialog(DialogId id) = 0;
    // Asks for a file to open; an empty result means the user cancelled.
    virtual QString openFileName(const QString& title, const QString& filter) = 0;
    // Asks for a file to write; an empty result means the user cancelled (as a seam that does
    // not answer it does).
    virtual QString saveFileName(const QString& title, const QString& filter) {
        Q_UNUSED(title);
        Q_UNUSED(filter);
        return {};
    }
    // Shows the printer set-up; false when the user cancelled or there is no printer dialog.
    virtual bool printerSetup() = 0;
    // Tells the user something (German text) without stopping the program.
    virtual void message(const QString& text) = 0;
};
