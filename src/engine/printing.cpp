#include "engine/printing.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/form1.h"
#include "platform/print_layer.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

namespace {
class Hourglass {
public:
    Hourglass() { set(MousePointer::Hourglass); }
    ~Hourglass() { set(MousePointer::Default); }

private:
    static void set(MousePointer pointer) {
        if (TextSurface* surface = Platform().surface) {
            surface->mousePointer = pointer;
            surface->pointerChanged();
        }
    }
};

// One printout. The first line the printer refuses ends it: the user hears about it once and
// the rest is dropped, instead of a message for every line.
class Printout {
public:
    explicit Printout(PrintLayer& printer) : printer_(printer) {}

    void line(const QString& text) { put(text, true); }
    void text(const QString& text) { put(text, false); }
    bool failed() const { return failed_; }

private:
    void put(const QString& text, bool endLine) {
        if (failed_ || printer_.print(text, endLine)) return;
        failed_ = true;
        if (DialogSeam* seam = Platform().dialogs) {
            seam->message(QStringLiteral("Drucken ist nicht möglich. ") + printer_.errorText());
        }
    }

    PrintLayer& printer_;
    bool failed_ = false;
};

QString rule(int indent, int dashes) { return QString(indent, u' ') + QString(dashes, u'-'); }

// A rule, then the whole text. A line breaks after the first blank once more than 60
// characters stand on it; later lines are indented by 8 blanks.
void printBlock(PrintLayer& printer, const QString& text, int ruleIndent, int ruleDashes,
                int firstIndent) {
    Printout out(printer);
    out.line(rule(ruleIndent, ruleDashes));
    QString line(firstIndent, u' ');
    int column = 0;
    for (const QChar c : text) {
        if (out.failed()) break;
        line += c;
        ++column;
        if (column > 60 && c == u' ') {
            out.line(line);
            line = QString(8, u' ');
            column = 0;
        }
    }
    out.line(line);
}
}  // namespace

void PrintText(const QString& text) {
    PrintLayer* printer = Platform().printer;
    if (!printer) return;
    Hourglass busy;
    printer->setFontName(QStringLiteral("Courier new"));
    printer->setFontSize(12);
    printer->setFontBold(true);
    printBlock(*printer, text, 6, 68, 6);
}

void PrintSentText() {
    PrintLayer* printer = Platform().printer;
    if (!printer) return;
    Hourglass busy;
    printBlock(*printer, S().SentText, 8, 65, 8);
}

void PrintClosingLines() {
    PrintLayer* printer = Platform().printer;
    if (!printer) return;
    Printout out(*printer);
    out.line(rule(8, 65));
    printer->setFontName(QStringLiteral("Arial"));
    printer->setFontSize(8);
    printer->setFontBold(false);
    out.line(QString(8, u' ') + QStringLiteral("Morse-Übungsprogramm, Dauermorsen vom ") +
             Platform().clock->now().toString(QStringLiteral("dd.MM.yyyy")));
    printer->endDoc();
    ShowPrinterName();
}

void PrintFormFeed() {
    PrintLayer* printer = Platform().printer;
    if (!printer) return;
    Printout(*printer).line(rule(6, 68));
    printer->endDoc();
    ShowPrinterName();
}

void ShowPrinterName() {
    PrintLayer* printer = Platform().printer;
    if (!printer) return;
    const QString name = printer->printerName();
    if (!name.isEmpty()) form1().L_Printer.setCaption(name);
}
