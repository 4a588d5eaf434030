#include "platform/recording_print_layer.h"

bool RecordingPrintLayer::print(const QString& text, bool endLine) {
    if (!jobOpen_) {
        if (failing) {
            error_ = QStringLiteral("Der Drucker ist nicht bereit.");
            return false;
        }
        jobOpen_ = true;
    }
    if (!lineOpen_) {
        lines_.push_back(Line{QString(), fontName_, fontSize_, bold_, endedJobs_ + 1});
        lineOpen_ = true;
    }
    lines_.back().text += text;
    if (endLine) lineOpen_ = false;
    return true;
}

void RecordingPrintLayer::endDoc() {
    if (!jobOpen_) return;
    jobOpen_ = false;
    lineOpen_ = false;
    ++endedJobs_;
}

bool RecordingPrintLayer::choosePrinter(const QString& printer) {
    if (!knownPrinters.contains(printer)) return false;
    name = printer;
    return true;
}

QStringList RecordingPrintLayer::jobText(int job) const {
    QStringList texts;
    for (const Line& line : lines_) {
        if (line.job == job) texts << line.text;
    }
    return texts;
}
