#pragma once

#include "platform/controls.h"

#include <QString>

struct FontSpec {
    QString name = QStringLiteral("Arial");
    float sizePt = 8.25f;
    bool bold = false;
    bool underline = false;
};

enum class MousePointer { Default, Hourglass, Arrow };

// The main window as a display: text printed at a print position (twips) in the current font
// and text colour stays until the shape under it is repainted.
class TextSurface {
public:
    virtual ~TextSurface() = default;

    double CurrentX = 0;  // twips
    double CurrentY = 0;  // twips
    FontSpec font;
    Rgb foreColor = RGB(0, 0, 0);
    MousePointer mousePointer = MousePointer::Default;

    // Prints `text` at the print position. Without a line end the position stays right after
    // the text; with one it moves to the start of the next line.
    void Print(const QString& text, bool endLine = false);
    // Ends the current line.
    void EndLine() { Print(QString(), true); }
    // Prints a number the way the window prints numbers: a sign position (blank) before the
    // shortest decimal text and one blank after it.
    void PrintNumber(double value, bool endLine = false);

    // Measurements in twips with the current font.
    virtual double textWidth(const QString& text) = 0;
    virtual double textHeight(const QString& text) = 0;
    // Paints a rectangle (twips) with `fill`, covering the text printed on it.
    virtual void clearRect(double left, double top, double width, double height, Rgb fill) = 0;
    // Hook for the mouse pointer and other window-level state that the surface mirrors.
    virtual void pointerChanged() {}

protected:
    virtual void drawText(double x, double y, const QString& text) = 0;
};
