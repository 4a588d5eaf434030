#include "mainwindow/startup.h"
#include "mainwindow/ui/band_entries.h"
#include "mainwindow/ui/contest_entries.h"
#include "mainwindow/ui/course_entries.h"
#include "mainwindow/ui/sending_entries.h"
#include "mainwindow/ui/export_entries.h"
#include "mainwindow/ui/main_window.h"
#include "mainwindow/ui/record_entries.h"
#include "mainwindow/ui/speed_units_label.h"
#include "mainwindow/ui/trainer_dialog_seam.h"
#include "mainwindow/ui/window_zoom.h"
#include "mainwindow/wiring.h"
#include "platform/background_work.h"
#include "platform/data_folder.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "platform/thread_background_work.h"
#include "platform/ui/qt_german_texts.h"
#include "platform/ui/qt_print_layer.h"
#include "platform/ui/start_failure.h"
#include "platform/user_settings.h"
#include "platform/working_folder.h"
#include "record/record_database.h"
#include "record/record_writer.h"
#include "sound/device/sound_device.h"
#include "sound/files/file_wave_player.h"
#include "sound/tonwerk.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(kAppName);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto answer = InformationRequested(arguments)) {
        std::fputs(answer->toLocal8Bit().constData(), stdout);
        return 0;
    }
    // The options are read before the window system starts, so that a bad one is told in
    // German even where Qt would end without a display; otherwise the working folder is set.
    if (const StartOutcome start = ApplyStartOptions(WithoutWindowSystemOptions(arguments));
        start.exitCode) {
        std::fputs(start.message.toLocal8Bit().constData(), *start.exitCode == 0 ? stdout : stderr);
        // Started from the desktop menu, nobody reads standard error.
        if (*start.exitCode != 0 && DisplayNamed()) {
            QApplication app(argc, argv);
            const std::unique_ptr<QTranslator> germanQt = LoadGermanQtTexts();
            if (germanQt) QCoreApplication::installTranslator(germanQt.get());
            ShowStartFailure(start.message);
        }
        return *start.exitCode;
    }
    QApplication app(argc, argv);
    const std::unique_ptr<QTranslator> germanQt = LoadGermanQtTexts();
    if (germanQt) QCoreApplication::installTranslator(germanQt.get());
    SystemClock clock;
    std::unique_ptr<SoundOutput> output = OpenSoundOutput(clock);
    Tonwerk tonwerk(*output, clock);
    FileWavePlayer wave(*output, clock);
    Services& p = Platform();
    p.clock = &clock;
    p.tonwerk = &tonwerk;
    p.wave = &wave;
    p.installedDataDir = InstalledDataDir();
    QtPrintLayer printer(QDir::currentPath());
    TrainerDialogSeam dialogs;
    // The record is read on a thread of its own, so that a sounding run keeps its rhythm.
    ThreadBackgroundWork background;
    InstallBackgroundWork(&background);
    QString recordMessage;
    std::unique_ptr<RecordWriter> record = OpenLearnerRecord(DefaultRecordPath(), recordMessage);
    p.record = record.get();
    p.printer = &printer;
    p.dialogs = &dialogs;
    // An open print job is finished first, so its pages come out; closing the sound device
    // lets a sounding tone fade instead of breaking off with a click.
    p.exitProgram = [&printer, &output, &record] {
        printer.endDoc();
        // The record's last entries are written before the process ends.
        Platform().record = nullptr;
        record.reset();
        ReportUnderruns(*output);
        output.reset();
        std::exit(0);
    };
    // The window is also the display; Form_Load shows it once the settings are in place.
    MainWindow window(form1());
    AddSpeedUnits(window);
    window.zoom().restore();
    p.surface = &window.surface();
    AddExportEntries(window);
    WireForm1();
    AddRecordEntries(window, record.get(), DefaultRecordPath(), recordMessage);
    if (const QString problem = UserSettingsProblem(); !problem.isEmpty()) {
        QTimer::singleShot(0, &window, [problem] { Platform().dialogs->message(problem); });
    }
    AddContestEntry(window, record.get(), DefaultRecordPath());
    AddCourseEntries(window, record.get(), DefaultRecordPath());
    Form_Initialize();
    Form_Load();
    Form_Activate();
    AddBandEntries(window);
    AddSendingEntries(window);
    const int code = app.exec();
    ReportUnderruns(*output);
    return code;
}
