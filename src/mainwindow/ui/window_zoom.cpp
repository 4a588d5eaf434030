#include "mainwindow/ui/window_zoom.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QToolButton>
#include <cmath>

#include "mainwindow/ui/pictures.h"
#include "platform/ui/widget_surface.h"
#include "platform/user_settings.h"

namespace {

const char* const kSettingsKey = "window/zoomPercent";
// The font size (pt) the window's design assumes for the desktop's own face.
constexpr double kDesignDesktopPoints = 10.0;

// The designed size of a widget is kept on it the first time it is zoomed, so widgets added
// later (at 100 %) are zoomed from their own design.
template <class T>
T designed(QWidget* w, const char* name, const T& current) {
    const QVariant kept = w->property(name);
    if (kept.isValid()) return kept.value<T>();
    w->setProperty(name, QVariant::fromValue(current));
    return current;
}

QFont scaled(QFont font, qreal zoom) {
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * zoom))));
    else
        font.setPointSizeF(font.pointSizeF() * zoom);
    return font;
}

QSize scaled(const QSize& size, qreal zoom) {
    return QSize(int(std::lround(size.width() * zoom)), int(std::lround(size.height() * zoom)));
}

bool inLayout(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(w) >= 0;
}

void zoomWidget(QWidget* w, qreal zoom) {
    if (w->testAttribute(Qt::WA_SetFont) || w->property("designFont").isValid())
        w->setFont(scaled(designed(w, "designFont", w->font()), zoom));
    if (!w->isWindow() && !inLayout(w)) {
        const QRect r = designed(w, "designGeometry", w->geometry());
        const int left = int(std::lround(r.x() * zoom)), top = int(std::lround(r.y() * zoom));
        w->setGeometry(left, top, int(std::lround((r.x() + r.width()) * zoom)) - left,
                       int(std::lround((r.y() + r.height()) * zoom)) - top);
    }
    const qreal ratio = qApp->devicePixelRatio();
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->property("face").isValid()) {
        b->setIconSize(scaled(designed(w, "designIconSize", b->iconSize()), zoom));
        b->setIcon(QIcon(DrawPicture(b->property("face").toString(), b->iconSize(), ratio)));
    }
    if (auto* l = qobject_cast<QLabel*>(w); l && l->property("picture").isValid())
        l->setPixmap(DrawPicture(l->property("picture").toString(), l->size(), ratio));
}

bool drawsStyleMarks(const QWidget* w) {
    if (qobject_cast<const QSlider*>(w)) return true;
    return qobject_cast<const QAbstractButton*>(w) && !qobject_cast<const QPushButton*>(w) &&
           !qobject_cast<const QToolButton*>(w);
}

}  // namespace

// The style's own marks (check box and option indicators, the slider's groove and handle)
// grow with the zoom; everything else is drawn as the desktop's style draws it.
class ZoomStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    qreal zoom = 1.0;

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int size = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
            case PM_IndicatorWidth:
            case PM_IndicatorHeight:
            case PM_ExclusiveIndicatorWidth:
            case PM_ExclusiveIndicatorHeight:
            case PM_CheckBoxLabelSpacing:
            case PM_RadioButtonLabelSpacing:
            case PM_SliderThickness:
            case PM_SliderLength:
            case PM_SliderControlThickness:
            case PM_SliderTickmarkOffset:
                return int(std::lround(size * zoom));
            default:
                return size;
        }
    }
};

WindowZoom::WindowZoom(QMainWindow& window, QWidget& client, WidgetSurface& surface,
                       std::function<bool()> keysFree)
    : QObject(&window),
      window_(window),
      client_(client),
      surface_(surface),
      style_(new ZoomStyle(QApplication::style()->name())) {
    style_->setParent(this);
    const auto key = [this, keysFree](const QKeySequence& sequence, auto step) {
        auto* shortcut = new QShortcut(sequence, &window_);
        connect(shortcut, &QShortcut::activated, this, [this, keysFree, step] {
            if (keysFree()) setPercent(step(percent_));
        });
    };
    const auto larger = [](int p) { return p + kStepPercent; };
    const auto smaller = [](int p) { return p - kStepPercent; };
    key(QKeySequence(Qt::CTRL | Qt::Key_Plus), larger);
    // Where plus is a shifted key, Ctrl and the key under it.
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), larger);
    key(QKeySequence(Qt::CTRL | Qt::Key_Minus), smaller);
    key(QKeySequence(Qt::CTRL | Qt::Key_0), [](int) { return int(kMinPercent); });
}

void WindowZoom::setPercent(int percent) {
    percent = std::clamp(percent, kMinPercent, kMaxPercent);
    OpenUserSettings()->setValue(QLatin1String(kSettingsKey), percent);
    if (percent == percent_) return;
    percent_ = percent;
    apply();
}

void WindowZoom::restore() {
    const QVariant kept = OpenUserSettings()->value(QLatin1String(kSettingsKey));
    int percent = kept.toInt();
    if (!kept.isValid()) {
        const qreal points = QApplication::font().pointSizeF();
        percent =
            points > 0 ? int(std::lround(points / kDesignDesktopPoints * 10)) * 10 : kMinPercent;
    }
    percent_ = std::clamp(percent, kMinPercent, kMaxPercent);
    apply();
}

void WindowZoom::apply() {
    const qreal zoom = percent_ / 100.0;
    // The client's own font is what its controls without a face of their own inherit.
    client_.setFont(scaled(designed(&client_, "designFont", QApplication::font()), zoom));
    style_->zoom = zoom;
    for (QWidget* w : client_.findChildren<QWidget*>()) {
        zoomWidget(w, zoom);
        if (drawsStyleMarks(w)) w->setStyle(style_);
    }
    QMenuBar* bar = window_.menuBar();
    const QFont menuFont = scaled(designed(bar, "designFont", bar->font()), zoom);
    bar->setFont(menuFont);
    // Menus are windows of their own and inherit nothing.
    for (QMenu* menu : bar->findChildren<QMenu*>()) menu->setFont(menuFont);
    client_.setFixedSize(scaled(designed(&client_, "designSize", client_.size()), zoom));
    surface_.setZoom(zoom);
    window_.setFixedSize(client_.width(), client_.height() + bar->sizeHint().height());
}
