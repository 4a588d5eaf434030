#include "engine/printing.h"

#include "platform/clock.h"
#include "platform/print_layer.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

namespace {
// Prints a rule and then the text from its second character on, breaking the line at the
// first blank once more than 60 characters stand on it.
void printBlock(const QString& text, int ruleIndent, int ruleDashes, int firstIndent) {
    PrintLayer& printer = *Platform().printer;
    printer.print(QString(ruleIndent, u' ') + QString(ruleDashes, u'-'), true);
    printer.print(QString(firstIndent, u' '), false);
    int column = 1;
    const int length = static_cast<int>(text.size());
    for (int j = 1; j <= length; ++j) {
        const QChar c = text[j - 1];
        if (j > 1) {
            printer.print(QString(c), false);
            ++column;
        }
        if (column > 60 && c == u' ') {
            printer.print(QString(), true);
            printer.print(QString(8, u' '), false);
            column = 0;
        }
    }
    printer.print(QString(), true);
}

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
}  // namespace

void PrintSentText() {
    if (!Platform().printer) return;
    Hourglass busy;
    printBlock(S().SentText, 8, 65, 8);
}

void PrintClosingLines() {
    PrintLayer* printer = Platform().printer;
    if (!printer) return;
    printer->print(QString(8, u' ') + QString(65, u'-'), true);
    printer->font = FontSpec{QStringLiteral("Arial"), 8.0f, false, false};
    printer->print(QString(8, u' ') + QStringLiteral("Morse-Übungsprogramm, Dauermorsen vom ") +
                       Platform().clock->now().toString(QStringLiteral("dd.MM.yyyy")),
                   true);
    printer->endDoc();
}
