#pragma once

#include "platform/text_surface.h"

#include <vector>

// A display without a window: keeps every printed piece with its place, font and colour, and
// measures text with a fixed-pitch rule, so tests can check what was shown where.
class RecordingSurface : public TextSurface {
public:
    struct Piece {
        double x, y;
        QString text;
        FontSpec font;
        Rgb color;
    };

    double textWidth(const QString& text) override;
    double textHeight(const QString& text) override;
    void clearRect(double left, double top, double width, double height, Rgb fill) override;

    // What is still visible, in the order it was printed.
    const std::vector<Piece>& pieces() const { return pieces_; }
    // The visible text joined in printing order, a line break wherever y changes.
    QString visibleText() const;
    int clears() const { return clears_; }

protected:
    void drawText(double x, double y, const QString& text) override;

private:
    std::vector<Piece> pieces_;
    int clears_ = 0;
};
