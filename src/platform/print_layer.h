#pragma once

#include <QString>

// The printer as the trainer uses it: lines of text in a chosen font. A print job opens with the
// first text printed after the last job ended and stays open across printouts until endDoc, so
// several runs collect on the same pages. The font settings persist from job to job.
class PrintLayer {
public:
    virtual ~PrintLayer() = default;

    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(float points) = 0;
    virtual void setFontBold(bool bold) = 0;

    // Prints `text` at the print position; with `endLine` the next print starts a new line.
    // False when no job could be opened; errorText() then says why.
    virtual bool print(const QString& text, bool endLine) = 0;
    bool endLine() { return print(QString(), true); }
    // Ends the open job, releasing its pages; nothing happens without an open job.
    virtual void endDoc() = 0;

    // The name shown for the printer that the next job goes to; empty without any printer.
    virtual QString printerName() = 0;
    // Chooses the printer for the next job: the name of a system printer, or the path of a PDF
    // file. A job already open finishes on its printer. False for an unknown printer.
    virtual bool choosePrinter(const QString& name) = 0;
    // German text of the last failure.
    virtual QString errorText() const = 0;
};
