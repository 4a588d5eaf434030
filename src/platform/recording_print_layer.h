#pragma once

#include <QStringList>
#include <vector>

#include "platform/print_layer.h"

// A printer without paper: keeps every printed line with its font and the job it belongs to,
// so tests can check the layout of a printout.
class RecordingPrintLayer : public PrintLayer {
public:
    struct Line {
        QString text;
        QString fontName;  // the font the line started in
        float fontSize = 0;
        bool bold = false;
        int job = 0;  // 1 for the first job
    };

    void setFontName(const QString& name) override { fontName_ = name; }
    void setFontSize(float points) override { fontSize_ = points; }
    void setFontBold(bool bold) override { bold_ = bold; }
    bool print(const QString& text, bool endLine) override;
    void endDoc() override;
    QString printerName() override { return name; }
    bool choosePrinter(const QString& printer) override;
    QString errorText() const override { return error_; }

    // Every line in printing order; a line not yet ended is the last one.
    const std::vector<Line>& lines() const { return lines_; }
    // The texts of one job's lines.
    QStringList jobText(int job) const;
    // Jobs ended so far, and whether one is open.
    int endedJobs() const { return endedJobs_; }
    bool jobOpen() const { return jobOpen_; }

    QString name = QStringLiteral("Testdrucker");
    QStringList knownPrinters{QStringLiteral("Testdrucker")};
    // Simulates a printer that cannot open a job.
    bool failing = false;

private:
    std::vector<Line> lines_;
    bool lineOpen_ = false;
    bool jobOpen_ = false;
    int endedJobs_ = 0;
    QString fontName_ = QStringLiteral("Arial");
    float fontSize_ = 10;
    bool bold_ = false;
    QString error_;
};
