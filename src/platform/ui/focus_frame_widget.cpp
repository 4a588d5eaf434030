#include "platform/ui/focus_frame_widget.h"

#include <QPainter>

void FocusFrameWidget::paintEvent(QPaintEvent*) {
    if (!hasFocus()) return;
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    p.drawRect(QRectF(rect().adjusted(inset_, inset_, -inset_, -inset_)));
}

void FocusFrameWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void FocusFrameWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}
