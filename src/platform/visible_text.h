#pragma once

#include <QString>
#include <vector>

// The text that the display shows, kept as printed pieces with their place (twips), so that
// it can be read as text: lines from top to bottom, each from left to right. Repainting a part
// of the display removes the pieces that start inside it; a piece printed at the very place
// of another covers it.
class VisibleText {
public:
    struct Piece {
        double x, y;  // twips
        QString text;
        QString meaning;  // what its colour means ("nicht erkannt"), or empty
    };

    void add(double x, double y, const QString& text, const QString& meaning = QString());
    void erase(double left, double top, double width, double height);

    // The text in reading order, a line break between lines.
    QString text() const;
    // The pieces whose colour carries a meaning, in reading order: "K (nicht erkannt), ...".
    QString marks() const;

private:
    std::vector<Piece> inReadingOrder() const;

    std::vector<Piece> pieces_;
};
