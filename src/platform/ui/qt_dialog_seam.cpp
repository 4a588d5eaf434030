#include "platform/ui/qt_dialog_seam.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

#include "platform/dialog_form.h"
#include "platform/print_layer.h"
#include "platform/services.h"
#include "platform/ui/open_file_dialog.h"
#include "platform/ui/twips.h"
#include "platform/working_folder.h"

QWidget* MainWindowWidget() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("form1")) return widget;
    }
    return nullptr;
}

QtDialogSeam::QtDialogSeam() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        Screen().Width = twips::fromPixels(area.width());
        Screen().Height = twips::fromPixels(area.height());
    }
}

QString QtDialogSeam::openFileName(const QString& title, const QString& filter) {
    const auto dialog = MakeOpenFileDialog(MainWindowWidget(), title, FileDialogFolder(), filter);
    if (dialog->exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog->selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

QString QtDialogSeam::saveFileName(const QString& title, const QString& filter) {
    return QFileDialog::getSaveFileName(MainWindowWidget(), title, QDir::currentPath(), filter);
}

bool QtDialogSeam::printerSetup() {
    PrintLayer* layer = Platform().printer;
    if (!layer) return false;
    QPrinter printer;
    const QString current = layer->printerName();
    if (QPrinterInfo::availablePrinterNames().contains(current)) {
        printer.setPrinterName(current);
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir::current().filePath(current));
    }
    QPrintDialog dialog(&printer, MainWindowWidget());
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return layer->choosePrinter(printer.outputFileName());
    return layer->choosePrinter(printer.printerName());
}

void QtDialogSeam::message(const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Morse-Übungsprogramm"),
                                text, QMessageBox::Ok, MainWindowWidget());
    box->setObjectName(QStringLiteral("Meldung"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}
