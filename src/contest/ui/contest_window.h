#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class Announcer;
class ContestAttempt;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class ValueLabel;

// Where the window finds the learner's record.
struct ContestRecordAccess {
    QString databasePath;
    std::function<QString()> learner;
    // Waits until what the record was handed is written (before the best list is read again).
    std::function<void()> flush;
};

// "Rufzeichen-Wettbewerb": 50 call signs at a speed that rises with every right call and falls
// with every wrong one. The learner types each call and presses Enter; F6 repeats the call
// (half points), F7 plays the previous one. The verdict on each call, the score and the speed are
// shown and read out; the best list of the learner and a summary to save close the attempt.
class ContestWindow : public QDialog {
    Q_OBJECT
public:
    explicit ContestWindow(ContestRecordAccess record, QWidget* parent = nullptr);
    ~ContestWindow() override;

    // Shows the window with the focus on the start button.
    void present();
    // The running or last attempt; null before the first.
    ContestAttempt* attempt() { return attempt_.get(); }
    // Reads the best list of the learner again.
    void refreshBestList();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void start();
    void stopAttempt();
    void loadList();
    void saveSummary();
    void repeatCall();
    void previousCall();
    void showRunning(bool running);
    void showVerdict(const QString& text);
    void showSpeed(int bpm);
    void showScore();
    void tell(const QString& text);

    ContestRecordAccess record_;
    std::unique_ptr<ContestAttempt> attempt_;
    QStringList list_;  // the loaded calls; empty: the generator
    QString listName_;
    QSpinBox* startSpeed_;
    QSpinBox* pitch_;
    QCheckBox* fixedSpeed_;
    QCheckBox* unlimitedRepeats_;
    QCheckBox* varyPitch_;
    QComboBox* source_;
    QPushButton* loadList_;
    QPushButton* start_;
    QPushButton* stop_;
    QLineEdit* answer_;
    QPushButton* repeat_;
    QPushButton* previous_;
    ValueLabel* number_;
    ValueLabel* speed_;
    ValueLabel* score_;
    ValueLabel* verdict_;
    Announcer* announcer_;
    QTableWidget* bestList_;
    QPushButton* save_;
};
