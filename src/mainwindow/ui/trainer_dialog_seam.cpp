#include "mainwindow/ui/trainer_dialog_seam.h"

#include "dialogs/dauform.h"
#include "dialogs/formtxt.h"
#include "dialogs/infoform.h"
#include "dialogs/ui/dialog_windows.h"
#include "lessons/lektionen.h"
#include "lessons/ui/lektionen_window.h"

FormWindow* TrainerDialogSeam::window(DialogId id) const {
    const auto found = windows_.find(id);
    return found == windows_.end() ? nullptr : found->second.data();
}

void TrainerDialogSeam::showDialog(DialogId id) {
    DialogForm* form = nullptr;
    switch (id) {
        case DialogId::OwnText:
            form = formtxt().get();
            break;
        case DialogId::Lessons:
            form = lektionen().get();
            break;
        case DialogId::ContinuousMorse:
            form = dauform().get();
            break;
        case DialogId::Info:
            form = infoform().get();
            break;
    }
    if (!form) return;
    FormWindow* shown = window(id);
    // A form discarded and loaded again gets a new window.
    if (!shown || shown->form() != form) {
        QWidget* parent = MainWindowWidget();
        switch (id) {
            case DialogId::OwnText:
                shown = new FormtxtWindow(*formtxt().get(), parent);
                break;
            case DialogId::Lessons:
                shown = new LektionenWindow(*lektionen().get(), parent);
                break;
            case DialogId::ContinuousMorse:
                shown = new DauformWindow(*dauform().get(), parent);
                break;
            case DialogId::Info:
                shown = new InfoformWindow(*infoform().get(), parent);
                break;
        }
        windows_[id] = shown;
    }
    shown->present();
}
