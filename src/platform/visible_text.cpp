#include "platform/visible_text.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {
bool samePlace(double a, double b) { return std::abs(a - b) < 0.5; }
}  // namespace

void VisibleText::add(double x, double y, const QString& text, const QString& meaning) {
    if (text.isEmpty()) return;
    std::erase_if(pieces_, [&](const Piece& p) { return samePlace(p.x, x) && samePlace(p.y, y); });
    pieces_.push_back(Piece{x, y, text, meaning});
}

void VisibleText::erase(double left, double top, double width, double height) {
    std::erase_if(pieces_, [&](const Piece& p) {
        return p.x >= left && p.x < left + width && p.y >= top && p.y < top + height;
    });
}

std::vector<VisibleText::Piece> VisibleText::inReadingOrder() const {
    std::vector<Piece> ordered = pieces_;
    std::stable_sort(ordered.begin(), ordered.end(), [](const Piece& a, const Piece& b) {
        if (!samePlace(a.y, b.y)) return a.y < b.y;
        return a.x < b.x;
    });
    return ordered;
}

QString VisibleText::text() const {
    QString out;
    const std::vector<Piece> ordered = inReadingOrder();
    for (size_t i = 0; i < ordered.size(); ++i) {
        if (i > 0 && !samePlace(ordered[i].y, ordered[i - 1].y)) out += QLatin1Char('\n');
        out += ordered[i].text;
    }
    return out;
}

QString VisibleText::marks() const {
    QStringList marked;
    for (const Piece& p : inReadingOrder())
        if (!p.meaning.isEmpty())
            marked << p.text.trimmed() + QStringLiteral(" (") + p.meaning + u')';
    return marked.join(QStringLiteral(", "));
}
