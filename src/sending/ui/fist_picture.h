#pragma once

#include <QWidget>

#include "sending/fist_report.h"

// The timing picture of an attempt: for each character a line with its marks as keyed (dark
// bars) above the same character at ideal timing at the learner's speed (light bars), on one
// time scale, so that a long dot or a short dash stands out. The table beside it in the window
// says the same for screen readers.
class FistPicture : public QWidget {
    Q_OBJECT
public:
    explicit FistPicture(QWidget* parent = nullptr);

    void setRows(std::vector<TimingRow> rows);
    const std::vector<TimingRow>& rows() const { return rows_; }
    // What a screen reader hears as its value: how many characters it shows.
    QString summary() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<TimingRow> rows_;
    double longestMs_ = 0;
};
