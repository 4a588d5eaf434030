#include "platform/recording_dialog_seam.h"

#include "platform/print_layer.h"
#include "platform/services.h"

QString RecordingDialogSeam::openFileName(const QString& title, const QString& filter) {
    fileTitles << title;
    return fileAnswer;
}

QString RecordingDialogSeam::saveFileName(const QString& title, const QString&) {
    fileTitles << title;
    return fileAnswer;
}

bool RecordingDialogSeam::printerSetup() {
    ++printerSetups;
    PrintLayer* printer = Platform().printer;
    if (printerAnswer.isEmpty() || !printer) return false;
    return printer->choosePrinter(printerAnswer);
}
