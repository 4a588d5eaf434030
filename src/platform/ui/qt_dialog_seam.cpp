#include "platform/ui/qt_dialog_seam.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSortFilterProxyModel>

#include "platform/dialog_form.h"
#include "platform/print_layer.h"
#include "platform/services.h"
#include "platform/ui/twips.h"
#include "platform/working_folder.h"

namespace {
// The files of a file dialog's list without an extension, and every folder, while active.
class WithoutExtension : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setActive(bool on) {
        active_ = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!active_) return true;
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files) return true;
        const QModelIndex index = files->index(row, 0, parent);
        return files->isDir(index) || files->fileInfo(index).suffix().isEmpty();
    }

private:
    bool active_ = false;
};
}  // namespace

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
    // "*." names the files without an extension, as on the system the filters come from; Qt
    // would list only names ending in a dot. Such a filter lists every file, and a proxy of
    // the dialog's list then keeps the ones without an extension.
    static const QString noExtension = QStringLiteral("(*.)");
    if (!filter.contains(noExtension)) {
        return QFileDialog::getOpenFileName(MainWindowWidget(), title, FileDialogFolder(), filter);
    }
    QStringList filters = filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    QString blankFilter;
    for (QString& entry : filters) {
        if (!entry.contains(noExtension)) continue;
        entry.replace(noExtension, QStringLiteral("(*)"));
        blankFilter = entry;
    }
    QFileDialog dialog(MainWindowWidget(), title, FileDialogFolder());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);  // a proxy needs Qt's own dialog
    dialog.setNameFilters(filters);
    auto* proxy = new WithoutExtension(&dialog);
    dialog.setProxyModel(proxy);
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, proxy,
        [proxy, blankFilter](const QString& chosen) { proxy->setActive(chosen == blankFilter); });
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
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
