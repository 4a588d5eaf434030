#pragma once

#include <QDialog>
#include <functional>

struct CopyCheckResult;

class Announcer;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTextBrowser;
class ValueLabel;

// "Mitschrift": a box for the copy, typed during or after a run, and "Prüfen", which compares it
// with the text of the last run: the sent text stands above the copy, character under
// character, every error in colour, and the errors in words for screen readers.
class CopyCheckWindow : public QDialog {
    Q_OBJECT
public:
    explicit CopyCheckWindow(QWidget* parent = nullptr);

    // Shows the window with the keyboard in the copy box.
    void present();
    void check();
    // Called after every check with its result (a course counts it).
    std::function<void(const CopyCheckResult&)> onChecked;

private:
    QPlainTextEdit* copy_;
    QPushButton* checkButton_;
    QTextBrowser* result_;
    ValueLabel* share_;
    Announcer* announcer_;
};
