#include "platform/ui/widget_surface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <cmath>

#include "platform/display_meaning.h"
#include "platform/ui/twips.h"

namespace {
QColor toColor(Rgb c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

bool sameFont(const FontSpec& a, const FontSpec& b) {
    return a.name == b.name && a.sizePt == b.sizePt && a.bold == b.bold &&
           a.underline == b.underline;
}
}  // namespace

WidgetSurface::WidgetSurface(double clientWidth, double clientHeight, qreal devicePixelRatio)
    : layer_(QSize(static_cast<int>(std::ceil(twips::toPixels(clientWidth) * devicePixelRatio)),
                   static_cast<int>(std::ceil(twips::toPixels(clientHeight) * devicePixelRatio))),
             QImage::Format_ARGB32_Premultiplied),
      baseRatio_(devicePixelRatio) {
    layer_.setDevicePixelRatio(devicePixelRatio);
    layer_.fill(Qt::transparent);
}

void WidgetSurface::setTarget(QWidget* target) { target_ = target; }

void WidgetSurface::paint(QPainter& painter, const QRect& rect) const {
    // The layer holds the designed client area at the zoomed resolution.
    const qreal ratio = layer_.devicePixelRatio() / zoom_;
    const QRectF source(rect.x() * ratio, rect.y() * ratio, rect.width() * ratio,
                        rect.height() * ratio);
    painter.drawImage(QRectF(rect), layer_, source);
}

void WidgetSurface::setZoom(qreal zoom) {
    if (qFuzzyCompare(zoom, zoom_)) return;
    const qreal ratio = baseRatio_ * zoom;
    const QSizeF logical = layer_.deviceIndependentSize();
    QImage layer(QSize(static_cast<int>(std::ceil(logical.width() * ratio)),
                       static_cast<int>(std::ceil(logical.height() * ratio))),
                 QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), logical), layer_);
    painter.end();
    layer_ = std::move(layer);
    zoom_ = zoom;
    if (target_) target_->update();
}

const QFont& WidgetSurface::currentFont() {
    if (!cacheValid_ || !sameFont(font, fontOfCache_)) {
        cachedFont_ = twips::font(font.name, font.sizePt, font.bold, font.underline);
        fontOfCache_ = font;
        cacheValid_ = true;
    }
    return cachedFont_;
}

double WidgetSurface::textWidth(const QString& text) {
    return twips::fromPixels(QFontMetricsF(currentFont()).horizontalAdvance(text));
}

double WidgetSurface::textHeight(const QString&) {
    return twips::fromPixels(QFontMetricsF(currentFont()).height());
}

void WidgetSurface::drawText(double x, double y, const QString& text) {
    const QFont& f = currentFont();
    const QFontMetricsF metrics(f);
    const QPointF origin(twips::toPixels(x), twips::toPixels(y));
    QPainter painter(&layer_);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(f);
    painter.setPen(toColor(foreColor));
    painter.drawText(origin + QPointF(0, metrics.ascent()), text);
    painter.end();
    visible_.add(x, y, text, DisplayMeaning());
    if (textChanged) textChanged();
    // Bold and italic glyphs may reach a little past their advance.
    const QRectF box(origin, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
    changed(box.toAlignedRect().adjusted(-2, -2, 3, 2));
}

void WidgetSurface::clearRect(double left, double top, double width, double height, Rgb fill) {
    const QRectF box(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width),
                     twips::toPixels(height));
    QPainter painter(&layer_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(box, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal border = 2.0;
    const qreal radius = std::min(12.0, std::min(box.width(), box.height()) / 6.0);
    painter.setPen(QPen(QColor(64, 64, 64), border));
    painter.setBrush(toColor(fill));
    painter.drawRoundedRect(box.adjusted(border / 2, border / 2, -border / 2, -border / 2), radius,
                            radius);
    painter.end();
    visible_.erase(left, top, width, height);
    if (textChanged) textChanged();
    changed(box.toAlignedRect());
}

void WidgetSurface::pointerChanged() {
    if (!target_) return;
    QWidget* window = target_->window();
    switch (mousePointer) {
        case MousePointer::Hourglass:
            window->setCursor(Qt::WaitCursor);
            break;
        case MousePointer::Arrow:
            window->setCursor(Qt::ArrowCursor);
            break;
        case MousePointer::Default:
            window->unsetCursor();
            break;
    }
}

void WidgetSurface::changed(const QRect& pixels) {
    if (!target_) return;
    const QRectF shown(pixels.x() * zoom_, pixels.y() * zoom_, pixels.width() * zoom_,
                       pixels.height() * zoom_);
    target_->update(shown.toAlignedRect());
}
