#include "mainwindow/ui/export_entries.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QProgressDialog>
#include <QRandomGenerator>

#include "export/exercise_export_job.h"
#include "platform/dialogs.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "sound/band/band_settings_store.h"

namespace {
void Tell(const QString& text) {
    if (DialogSeam* dialogs = Platform().dialogs) dialogs->message(text);
}

void SaveExerciseAsAudio(QWidget* parent) {
    // A run in progress owns the shared state; the export waits for it to end.
    if (!form1().Comstart.enabled()) {
        Tell(QStringLiteral("Während eines Durchgangs lässt sich keine Übung speichern."));
        return;
    }
    DialogSeam* dialogs = Platform().dialogs;
    if (!dialogs) return;
    QString path =
        dialogs->saveFileName(QStringLiteral("Als Audiodatei speichern"),
                              QStringLiteral("Audiodateien (*.wav *.flac *.ogg *.opus *.mp3)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".wav");
    if (const QString bad = AudioFileWriter::CheckName(path); !bad.isEmpty()) {
        Tell(QStringLiteral("Die Audiodatei lässt sich nicht schreiben: %1.").arg(bad));
        return;
    }

    // The file sounds like the trainer: through the band set in "Bandbedingungen", a new band
    // for every file.
    BandSettings band = LoadBandSettings();
    band.seed = QRandomGenerator::global()->generate();
    ExerciseExportJob job(path, band);
    if (!job.start()) {
        Tell(QStringLiteral("Die Audiodatei lässt sich nicht schreiben: %1.").arg(job.error()));
        return;
    }
    QProgressDialog progress(QStringLiteral("Die Übung wird als Audiodatei gespeichert …"),
                             QStringLiteral("Abbrechen"), 0, 1000, parent);
    progress.setObjectName(QStringLiteral("AudioExportProgress"));  // the export's progress
    progress.setWindowTitle(QStringLiteral("Als Audiodatei speichern"));
    progress.setAccessibleName(QStringLiteral("Fortschritt beim Speichern der Audiodatei"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    while (!job.done()) {
        if (!job.step()) {
            Tell(QStringLiteral("Die Audiodatei lässt sich nicht schreiben: %1.").arg(job.error()));
            return;
        }
        progress.setValue(static_cast<int>(job.progress() * 1000));
        QCoreApplication::processEvents();
        if (progress.wasCanceled()) {
            job.cancel();
            return;
        }
    }
    if (!job.finish()) {
        Tell(QStringLiteral("Die Audiodatei lässt sich nicht schreiben: %1.").arg(job.error()));
    }
    progress.setValue(1000);
}
}  // namespace

void AddExportEntries(QMainWindow& window) {
    QMenu* texts = window.findChild<QMenu*>(QStringLiteral("MTexte"));
    if (!texts) return;
    texts->addSeparator();
    QAction* save = texts->addAction(QStringLiteral("Als Audiodatei speichern ..."));
    save->setObjectName(QStringLiteral("MAudiodatei"));  // "Als Audiodatei speichern ..."
    save->setStatusTip(
        QStringLiteral("Speichert einen ganzen Durchgang der gewählten Übung als Audiodatei mit "
                       "dem Lösungstext daneben"));
    QWidget* parent = &window;
    QObject::connect(save, &QAction::triggered, parent, [parent] { SaveExerciseAsAudio(parent); });
}
