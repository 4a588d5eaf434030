#include "platform/ui/open_file_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

#include <QAbstractProxyModel>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>

#include "platform/ui/qt_german_texts.h"
#include "support/registry.h"

namespace {
// The names the dialog's views show in `folder`, sorted, and whether each can be chosen.
QStringList Listed(QFileDialog& dialog, const QString& folder) {
    QAbstractProxyModel* proxy = dialog.proxyModel();
    auto* files = static_cast<QFileSystemModel*>(proxy->sourceModel());
    const QModelIndex root = proxy->mapFromSource(files->index(folder));
    QStringList names;
    for (int row = 0; row < proxy->rowCount(root); ++row) {
        const QModelIndex index = proxy->index(row, 0, root);
        const bool choosable = proxy->flags(index).testFlag(Qt::ItemIsEnabled);
        names << index.data().toString() + (choosable ? QString() : QStringLiteral("!"));
    }
    names.sort();
    return names;
}
}  // namespace

class OpenFileDialogTest : public QObject {
    Q_OBJECT
private slots:
    void blankExtensionListsFilesWithoutOne();
    void qtTextsAreGerman();
};

void OpenFileDialogTest::blankExtensionListsFilesWithoutOne() {
    QTemporaryDir dir;
    for (const char* name : {"README", "NOTIZEN", "brief.txt", "alt.doc", "ende."}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ordner.neu")));
    const auto dialog = MakeOpenFileDialog(
        nullptr, QStringLiteral("DATEI ERÖFFNEN"), dir.path(),
        QStringLiteral("Txt (*.txt);;Alles (*.*);;Blank Ext (*.);;Doc (*.doc)"));
    const QString folder = dir.path();

    // The first entry is chosen at the start; the folder is loaded in the background.
    QTRY_COMPARE(Listed(*dialog, folder), (QStringList{"brief.txt", "ordner.neu"}));
    // A name ending in a dot has no extension either.
    dialog->selectNameFilter(QStringLiteral("Blank Ext (*.)"));
    QTRY_COMPARE(Listed(*dialog, folder), (QStringList{"NOTIZEN", "README", "ende.", "ordner.neu"}));
    dialog->selectNameFilter(QStringLiteral("Doc (*.doc)"));
    QTRY_COMPARE(Listed(*dialog, folder), (QStringList{"alt.doc", "ordner.neu"}));
}

void OpenFileDialogTest::qtTextsAreGerman() {
    const std::unique_ptr<QTranslator> german = LoadGermanQtTexts();
    QVERIFY2(german, "Qt's translations (qt6-translations-l10n) are missing");
    QCoreApplication::installTranslator(german.get());
    const auto dialog =
        MakeOpenFileDialog(nullptr, QStringLiteral("DATEI ERÖFFNEN"), QString(), QString());
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QCoreApplication::removeTranslator(german.get());
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
}

REGISTER_TEST(OpenFileDialogTest);
#include "open_file_dialog_test.moc"
