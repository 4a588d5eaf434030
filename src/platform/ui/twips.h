#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>

// The windows are laid out in twips at 15 twips per pixel (96 dpi). Modern screens get one
// extra factor for everything, fonts included, so the layout keeps its proportions.
namespace twips {

constexpr double kPerPixel = 15.0;
constexpr double kScale = 1.25;

inline double toPixels(double t) { return t / kPerPixel * kScale; }
inline int px(double t) { return static_cast<int>(std::lround(toPixels(t))); }
inline double fromPixels(double p) { return p * kPerPixel / kScale; }
inline QRect rect(double left, double top, double width, double height) {
    const int x = px(left), y = px(top);
    return QRect(x, y, px(left + width) - x, px(top + height) - y);
}

// A font of `points` points at the window's scale. Pixel sizes keep text independent of the
// screen's own dpi setting.
inline QFont font(const QString& family, double points, bool bold = false, bool underline = false) {
    QFont f(family);
    // Faces with the same widths as the design's, where the system has them.
    const bool typewriter = family.toLower().contains(u"courier");
    f.setFamilies(typewriter
                      ? QStringList{family, QStringLiteral("Liberation Mono"),
                                    QStringLiteral("Cousine"), QStringLiteral("Nimbus Mono PS")}
                      : QStringList{family, QStringLiteral("Liberation Sans"),
                                    QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans")});
    f.setStyleHint(typewriter ? QFont::TypeWriter : QFont::SansSerif);
    f.setPixelSize(std::max(1, px(points * 20.0)));
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

}  // namespace twips
