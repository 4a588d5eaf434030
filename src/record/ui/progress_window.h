#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;
class RecordStore;

// "Lernstand": the learner's progress in charts, each with a table of the same figures beside
// it for screen readers: accuracy per character (worst first), mean reaction time per
// character, accuracy and measured speed per day, and the most frequent confusions. The
// learner is chosen here; "Exportieren ..." writes the record as CSV.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(const QString& databasePath, const QString& learner, QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Reads the record again and redraws every chart and table.
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
    // The figures were read again (for the added pages).
    void refreshed();

private:
    void exportCsv();
    void chooseLearner();

    QString databasePath_;
    QString chosen_;
    std::unique_ptr<RecordStore> store_;
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
};
