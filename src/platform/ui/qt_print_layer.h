#pragma once

#include <QFont>
#include <QPainter>
#include <memory>

#include "platform/print_layer.h"

class QPrinter;

// Prints through Qt: on the system printer when the desktop has one, otherwise into a PDF file
// in a folder (the working directory), one file per job: Morse-Ausdruck.pdf, or
// Morse-Ausdruck-2.pdf and so on when that name is taken, so no earlier printout is lost.
class QtPrintLayer : public PrintLayer {
public:
    // `useSystemPrinters` false always prints into PDF files.
    explicit QtPrintLayer(const QString& pdfFolder, bool useSystemPrinters = true);
    ~QtPrintLayer() override;

    void setFontName(const QString& name) override { font_.setFamily(name); }
    void setFontSize(float points) override { font_.setPointSizeF(points); }
    void setFontBold(bool bold) override { font_.setBold(bold); }
    bool print(const QString& text, bool endLine) override;
    void endDoc() override;
    QString printerName() override;
    bool choosePrinter(const QString& name) override;
    QString errorText() const override { return error_; }

    // The PDF file of the last job that went into one; empty when none did.
    QString lastPdfFile() const { return lastPdf_; }

private:
    bool beginJob();
    QString nextPdfPath() const;
    QFont deviceFont() const;
    void drawPiece(const QString& piece);
    void newLine();

    QString pdfFolder_;
    QString systemPrinter_;  // empty: print into PDF files
    QString chosenPdf_;      // a PDF file chosen in the printer dialog
    QFont font_;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    QString jobPdf_;
    QString lastPdf_;
    double x_ = 0, y_ = 0;   // device pixels inside the printable area
    double lineHeight_ = 0;  // of the tallest font on the current line
    QString error_;
};
