#pragma once

#include <QFont>
#include <QImage>
#include <QPointer>
#include <functional>

#include "platform/text_surface.h"
#include "platform/visible_text.h"

class QPainter;
class QWidget;

// The main window as a display. Printed text goes into a layer the size of the client area
// that the window paints under its child controls, so it stays until the shape under it is
// repainted, whatever the window system does to the window meanwhile.
class WidgetSurface : public TextSurface {
public:
    // The client area in twips; `devicePixelRatio` keeps text sharp on dense screens.
    WidgetSurface(double clientWidth, double clientHeight, qreal devicePixelRatio = 1.0);

    // The widget that shows the layer: it is told which part changed, and its window shows the
    // mouse pointer.
    void setTarget(QWidget* target);
    // Draws the part of the layer inside `rect` (pixels of the client area as shown).
    void paint(QPainter& painter, const QRect& rect) const;
    // The client area is shown `zoom` times its designed size (1 to 2). Text printed from now
    // on is drawn at the new size; what is already shown is scaled along.
    void setZoom(qreal zoom);
    qreal zoom() const { return zoom_; }
    const QImage& layer() const { return layer_; }
    // What the display shows, as text; `textChanged` runs after every print and repaint.
    const VisibleText& visibleText() const { return visible_; }
    std::function<void()> textChanged;

    double textWidth(const QString& text) override;
    double textHeight(const QString& text) override;
    // Repaints the display shape: a rounded rectangle with a dark grey border and `fill`.
    void clearRect(double left, double top, double width, double height, Rgb fill) override;
    void pointerChanged() override;

protected:
    void drawText(double x, double y, const QString& text) override;

private:
    const QFont& currentFont();
    void changed(const QRect& pixels);

    QImage layer_;
    VisibleText visible_;
    qreal baseRatio_;
    qreal zoom_ = 1.0;
    QPointer<QWidget> target_;
    FontSpec fontOfCache_;
    QFont cachedFont_;
    bool cacheValid_ = false;
};
