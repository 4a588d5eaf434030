#include "sending/ui/fist_picture.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>

#include "platform/ui/accessibility_events.h"

namespace {
constexpr int kRowHeight = 26;   // [px] a character: keyed bar, ideal bar, space
constexpr int kBarHeight = 9;    // [px]
constexpr int kLabelWidth = 48;  // [px] the character's name on the left

class AccessibleFistPicture : public QAccessibleWidget {
public:
    explicit AccessibleFistPicture(FistPicture* picture)
        : QAccessibleWidget(picture, QAccessible::Graphic) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return static_cast<FistPicture*>(widget())->summary();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* FistPictureFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("FistPicture") || !object) return nullptr;
    return new AccessibleFistPicture(static_cast<FistPicture*>(object));
}
}  // namespace

FistPicture::FistPicture(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(FistPictureFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // The bars of the last attempt: keyed above ideal, one line per character.
    setObjectName(QStringLiteral("Zeitbild"));
    setAccessibleName(QStringLiteral("Zeitbild"));
    setAccessibleDescription(
        QStringLiteral("Töne jedes Zeichens als Balken über den idealen Tönen; die Tabelle "
                       "daneben nennt dieselben Längen"));
    setMinimumSize(280, 120);
}

void FistPicture::setRows(std::vector<TimingRow> rows) {
    rows_ = std::move(rows);
    longestMs_ = 0;
    for (const TimingRow& r : rows_) {
        for (const auto* bars : {&r.keyed, &r.ideal})
            for (const TimingBar& b : *bars)
                longestMs_ = std::max(longestMs_, b.startMs + b.lengthMs);
    }
    updateGeometry();
    update();
    QAccessibleValueChangeEvent event(this, summary());
    SendAccessibilityEvent(event);
}

QString FistPicture::summary() const {
    if (rows_.empty()) return QStringLiteral("leer");
    return QStringLiteral("%1 Zeichen").arg(rows_.size());
}

QSize FistPicture::sizeHint() const {
    return {360, std::max(120, static_cast<int>(rows_.size()) * kRowHeight + 8)};
}

void FistPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (rows_.empty() || longestMs_ <= 0) return;
    const double scale = (width() - kLabelWidth - 8) / longestMs_;  // [px/ms]
    const QColor keyed = palette().color(QPalette::Text);
    const QColor ideal = palette().color(QPalette::Mid);
    int y = 4;
    for (const TimingRow& row : rows_) {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRect(4, y, kLabelWidth - 8, 2 * kBarHeight + 2),
                   Qt::AlignVCenter | Qt::AlignLeft, row.text);
        auto draw = [&](const std::vector<TimingBar>& bars, int top, const QColor& colour) {
            for (const TimingBar& b : bars) {
                const int x = kLabelWidth + static_cast<int>(b.startMs * scale);
                const int w = std::max(1, static_cast<int>(b.lengthMs * scale));
                p.fillRect(x, top, w, kBarHeight, colour);
            }
        };
        draw(row.keyed, y, keyed);
        draw(row.ideal, y + kBarHeight + 2, ideal);
        y += kRowHeight;
    }
}
