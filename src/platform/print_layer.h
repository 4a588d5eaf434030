#pragma once

#include "platform/text_surface.h"

#include <QString>

// The printer as the trainer uses it: lines of text in a font that persists between
// printouts, one job that stays open until it is ended, and the printer's name.
class PrintLayer {
public:
    virtual ~PrintLayer() = default;

    FontSpec font{QStringLiteral("Courier New"), 12.0f, true, false};

    // Prints `text` in the current font; with `endLine` the next output starts a new line.
    // The first output after the start or after endDoc opens a new job.
    virtual void print(const QString& text, bool endLine) = 0;
    // Ends the job so that the pages come out; harmless when no job is open.
    virtual void endDoc() = 0;
    // The name of the current printer (or of the PDF file printed into).
    virtual QString printerName() = 0;
    // A German description of the last failure, emptied by the call; empty when all went well.
    virtual QString takeError() { return {}; }
};
