#include "platform/text_surface.h"

#include "platform/number_format.h"

void TextSurface::Print(const QString& text, bool endLine) {
    if (!text.isEmpty()) {
        drawText(CurrentX, CurrentY, text);
        CurrentX += textWidth(text);
    }
    if (endLine) {
        CurrentY += textHeight(QStringLiteral("X"));
        CurrentX = 0;
    }
}

void TextSurface::PrintNumber(double value, bool endLine) {
    const QString digits = ShortestText(static_cast<float>(value));
    Print((value < 0 ? QString() : QStringLiteral(" ")) + digits + QStringLiteral(" "), endLine);
}
