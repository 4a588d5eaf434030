#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "record/record_store.h"

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;
struct ProgressFigures;
class RecordStore;

// "Lernstand": the learner's progress in charts, each with a table of the same figures beside
// it for screen readers: accuracy per character (worst first), mean reaction time per
// character, accuracy and measured speed per day, the most frequent confusions, and the scores
// of the call-sign contest with the characters most often missed in its calls, and the
// sending practice (accuracy and timing per character, regularity and speed per day). The
// learner is chosen here; "Exportieren ..." writes the record as CSV.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(const QString& databasePath, const QString& learner, QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Reads the record again, off the window thread, and redraws every chart and table when
    // the figures are there (then shown() is emitted).
    void refresh();
    // Adds a page of another room (the course) after the record's own; it refreshes on
    // `refreshed`.
    void addPage(QWidget* page, const QString& title);
    // The learner whose figures are shown.
    QString learner() const;
    // Asks where to write the CSV; tests answer it themselves. Empty = cancelled.
    std::function<QString()> askExportPath;
    // Tells the user something (German), e.g. that the export failed.
    std::function<void(const QString&)> tell;

signals:
    // The user chose another learner; new entries belong to them from now on.
    void learnerChosen(const QString& learner);
    // The figures of the last refresh are on the screen.
    void shown();

private:
    // The connection to the record: made, used and dropped by the background work only.
    struct Reader {
        QString path;
        std::unique_ptr<RecordStore> store;
        RecordStore& open();
    };

    void display(const ProgressFigures& figures, const QString& who);
    void exportCsv();
    void showContest(const std::vector<ContestAttemptEntry>& attempts,
                     const std::vector<ContestMisses>& misses);
    void chooseLearner();
    void showSending(const std::vector<SendingCharacterFigures>& characters,
                     const std::vector<SendingDayFigures>& days);

    QString chosen_;
    std::shared_ptr<Reader> reader_;
    int requests_ = 0;  // refreshes asked for; only the newest one is shown
    QComboBox* learner_;
    QComboBox* period_;
    QPushButton* export_;
    QLabel* status_;
    QTabWidget* tabs_;
    QChartView* accuracyChart_;
    QTableWidget* accuracyTable_;
    QChartView* reactionChart_;
    QTableWidget* reactionTable_;
    QChartView* dayChart_;
    QTableWidget* dayTable_;
    QChartView* confusionChart_;
    QTableWidget* confusionTable_;
    QChartView* contestChart_;
    QTableWidget* contestTable_;
    QTableWidget* contestMissesTable_;
    QChartView* sendingChart_;
    QTableWidget* sendingTable_;
    QTableWidget* sendingDayTable_;
};
