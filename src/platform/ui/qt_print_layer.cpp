#include "platform/ui/qt_print_layer.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

namespace {
const QString kPdfBaseName = QStringLiteral("Morse-Ausdruck");
}

QtPrintLayer::QtPrintLayer(const QString& pdfFolder, bool useSystemPrinters)
    : pdfFolder_(pdfFolder), font_(QStringLiteral("Arial"), 10) {
    if (useSystemPrinters) {
        systemPrinter_ = QPrinterInfo::defaultPrinterName();
        const QStringList installed = QPrinterInfo::availablePrinterNames();
        if (systemPrinter_.isEmpty() && !installed.isEmpty()) systemPrinter_ = installed.first();
    }
}

QtPrintLayer::~QtPrintLayer() { endDoc(); }

QString QtPrintLayer::nextPdfPath() const {
    if (!chosenPdf_.isEmpty()) return chosenPdf_;
    const QDir folder(pdfFolder_);
    QString path = folder.filePath(kPdfBaseName + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(kPdfBaseName + QStringLiteral("-%1.pdf").arg(n));
    return path;
}

QString QtPrintLayer::printerName() {
    if (!systemPrinter_.isEmpty()) return systemPrinter_;
    return QFileInfo(nextPdfPath()).fileName();
}

bool QtPrintLayer::choosePrinter(const QString& name) {
    if (name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        systemPrinter_.clear();
        chosenPdf_ = QFileInfo(name).isAbsolute() ? name : QDir(pdfFolder_).filePath(name);
        return true;
    }
    if (!QPrinterInfo::availablePrinterNames().contains(name)) return false;
    systemPrinter_ = name;
    chosenPdf_.clear();
    return true;
}

QFont QtPrintLayer::deviceFont() const {
    QFont font = font_;
    const QString family = font.family().toLower();
    if (family.contains(QStringLiteral("courier")))
        font.setStyleHint(QFont::TypeWriter);
    else if (family.contains(QStringLiteral("times")))
        font.setStyleHint(QFont::Serif);
    else
        font.setStyleHint(QFont::SansSerif);
    return font;
}

bool QtPrintLayer::beginJob() {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setDocName(QStringLiteral("Morse-Übungsprogramm"));
    if (!systemPrinter_.isEmpty()) {
        printer_->setPrinterName(systemPrinter_);
        jobPdf_.clear();
    } else {
        jobPdf_ = nextPdfPath();
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(jobPdf_);
    }
    if (!painter_.begin(printer_.get())) {
        error_ =
            systemPrinter_.isEmpty()
                ? QStringLiteral(
                      "Es ist kein Drucker eingerichtet, und die Datei %1 lässt "
                      "sich nicht anlegen.")
                      .arg(QDir::toNativeSeparators(jobPdf_))
                : QStringLiteral("Der Drucker %1 nimmt keinen Auftrag an.").arg(systemPrinter_);
        printer_.reset();
        return false;
    }
    x_ = 0;
    y_ = 0;
    lineHeight_ = 0;
    return true;
}

bool QtPrintLayer::print(const QString& text, bool endLine) {
    if (!painter_.isActive() && !beginJob()) return false;
    // Line ends inside the text start new lines, as they would on a line printer.
    QString plain = text;
    plain.remove(u'\r');
    const QStringList pieces = plain.split(u'\n');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) newLine();
        drawPiece(pieces[i]);
    }
    if (endLine) newLine();
    return true;
}

void QtPrintLayer::drawPiece(const QString& piece) {
    if (piece.isEmpty()) return;
    const QFont font = deviceFont();
    const QFontMetricsF metrics(font, printer_.get());
    const double pageHeight = printer_->pageRect(QPrinter::DevicePixel).height();
    if (x_ == 0 && y_ > 0 && y_ + metrics.lineSpacing() > pageHeight) {
        printer_->newPage();
        y_ = 0;
    }
    painter_.setFont(font);
    painter_.drawText(QPointF(x_, y_ + metrics.ascent()), piece);
    x_ += metrics.horizontalAdvance(piece);
    lineHeight_ = std::max(lineHeight_, metrics.lineSpacing());
}

void QtPrintLayer::newLine() {
    if (lineHeight_ == 0) lineHeight_ = QFontMetricsF(deviceFont(), printer_.get()).lineSpacing();
    y_ += lineHeight_;
    x_ = 0;
    lineHeight_ = 0;
}

void QtPrintLayer::endDoc() {
    if (!painter_.isActive()) return;
    painter_.end();
    printer_.reset();
    if (!jobPdf_.isEmpty()) lastPdf_ = jobPdf_;
    jobPdf_.clear();
}
