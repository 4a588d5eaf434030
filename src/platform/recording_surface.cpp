#include "platform/recording_surface.h"

#include <cmath>

// Fixed pitch: each character 0.6 em wide, lines 1.2 em high (1 pt = 20 twips).
double RecordingSurface::textWidth(const QString& text) {
    return text.size() * font.sizePt * 20.0 * 0.6;
}

double RecordingSurface::textHeight(const QString&) { return font.sizePt * 20.0 * 1.2; }

void RecordingSurface::clearRect(double left, double top, double width, double height, Rgb) {
    ++clears_;
    std::erase_if(pieces_, [&](const Piece& p) {
        return p.x >= left && p.x < left + width && p.y >= top && p.y < top + height;
    });
}

void RecordingSurface::drawText(double x, double y, const QString& text) {
    pieces_.push_back(Piece{x, y, text, font, foreColor});
}

QString RecordingSurface::visibleText() const {
    QString out;
    double lastY = pieces_.empty() ? 0 : pieces_.front().y;
    for (const Piece& p : pieces_) {
        if (std::abs(p.y - lastY) > 0.5) out += QLatin1Char('\n');
        lastY = p.y;
        out += p.text;
    }
    return out;
}
