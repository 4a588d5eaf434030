#include "platform/ui/open_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

namespace {
// True when the filter entry's pattern list is exactly "*.".
bool MeansWithoutExtension(const QString& entry) {
    static const QRegularExpression kPattern(QStringLiteral("\\(\\s*\\*\\.\\s*\\)\\s*$"));
    return kPattern.match(entry).hasMatch();
}

// Between the dialog's file system model and its views. The model keeps the files that fail
// the name filter as disabled rows; this hides them again, except under a "*." entry, where it
// shows the files without an extension instead and lets them be chosen.
class ExtensionFilter : public QSortFilterProxyModel {
public:
    explicit ExtensionFilter(QFileDialog& dialog)
        : QSortFilterProxyModel(&dialog), dialog_(dialog) {}

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
        if (withoutExtension()) flags |= Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        return flags;
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        const QModelIndex index = files->index(row, 0, parent);
        if (files->isDir(index)) return true;
        if (withoutExtension()) return QFileInfo(files->fileName(index)).suffix().isEmpty();
        return files->flags(index).testFlag(Qt::ItemIsEnabled);
    }

private:
    bool withoutExtension() const { return MeansWithoutExtension(dialog_.selectedNameFilter()); }

    QFileDialog& dialog_;
};
}  // namespace

std::unique_ptr<QFileDialog> MakeOpenFileDialog(QWidget* parent, const QString& title,
                                                const QString& folder, const QString& filter) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, folder, filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    auto* proxy = new ExtensionFilter(*dialog);
    dialog->setProxyModel(proxy);
    if (auto* files = qobject_cast<QFileSystemModel*>(proxy->sourceModel())) {
        files->setNameFilterDisables(true);
    }
    QObject::connect(dialog.get(), &QFileDialog::filterSelected, proxy,
                     &QSortFilterProxyModel::invalidate);
    return dialog;
}
