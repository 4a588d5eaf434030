#pragma once

#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class ValueLabel;

// The course page of "Lernstand": the learner's course and lesson (both can be chosen by
// hand), each character of the lesson with its share right and whether it sits, every checked
// practice round and every advance with its date and figures, all in tables a screen reader
// can walk.
class CoursePage : public QWidget {
    Q_OBJECT
public:
    CoursePage(const QString& databasePath, std::function<QString()> learner,
               QWidget* parent = nullptr);

    // Reads the record again.
    void refresh();
    // Tells the user something (German); tests answer it themselves.
    std::function<void(const QString&)> tell;

private:
    void chooseLesson();
    void courseChanged();

    QString databasePath_;
    std::function<QString()> learner_;
    QComboBox* course_;
    QSpinBox* lesson_;
    QPushButton* choose_;
    ValueLabel* status_;
    QTableWidget* mastery_;
    QTableWidget* rounds_;
    QTableWidget* advances_;
};
