#include "mainwindow/ui/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>
#include <map>

namespace {

using Draw = std::function<void(QPainter&, const QRectF&)>;

// The largest square centred in `r`, shrunk by a margin so the picture does not touch the edge.
QRectF square(const QRectF& r, qreal margin = 0.12) {
    const qreal side = std::min(r.width(), r.height()) * (1 - 2 * margin);
    return QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
}

// Dots and dashes of a Morse text (".-" style) laid out from `left` on the line `y`.
void morse(QPainter& p, const QString& code, qreal left, qreal y, qreal unit, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    qreal x = left;
    for (QChar ch : code) {
        if (ch == u'.') {
            p.drawEllipse(QPointF(x + unit / 2, y), unit / 2, unit / 2);
            x += 2 * unit;
        } else if (ch == u'-') {
            p.drawRoundedRect(QRectF(x, y - unit / 2, 3 * unit, unit), unit / 2, unit / 2);
            x += 4 * unit;
        } else {
            x += 2 * unit;
        }
    }
}

qreal morseLength(const QString& code, qreal unit) {
    qreal length = 0;
    for (QChar ch : code) length += (ch == u'-' ? 4 : 2) * unit;
    return length - unit;
}

void vvv(QPainter& p, const QRectF& r) {
    const QColor ink(0, 70, 110);
    const QString code = QStringLiteral("...- ...- ...-");
    const qreal unit = std::min(r.width() * 0.8 / (morseLength(code, 1)), r.height() * 0.12);
    morse(p, code, r.center().x() - morseLength(code, unit) / 2, r.top() + r.height() * 0.30, unit,
          ink);
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setBold(true);
    f.setPixelSize(std::max(6, static_cast<int>(r.height() * 0.45)));
    p.setFont(f);
    p.setPen(ink);
    p.drawText(QRectF(r.left(), r.top() + r.height() * 0.42, r.width(), r.height() * 0.55),
               Qt::AlignCenter, QStringLiteral("vvv"));
}

void triangle(QPainter& p, const QRectF& s, const QColor& fill) {
    QPainterPath path;
    path.moveTo(s.left() + s.width() * 0.2, s.top());
    path.lineTo(s.right(), s.center().y());
    path.lineTo(s.left() + s.width() * 0.2, s.bottom());
    path.closeSubpath();
    p.setPen(QPen(fill.darker(150), std::max<qreal>(1, s.width() * 0.04), Qt::SolidLine,
                  Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void start(QPainter& p, const QRectF& r) { triangle(p, square(r, 0.16), QColor(0, 140, 0)); }

void pause(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.18);
    const QColor fill(150, 110, 0);
    p.setPen(QPen(fill.darker(150), std::max<qreal>(1, s.width() * 0.04)));
    p.setBrush(fill);
    const qreal bar = s.width() * 0.3;
    p.drawRoundedRect(QRectF(s.left() + s.width() * 0.08, s.top(), bar, s.height()), 2, 2);
    p.drawRoundedRect(QRectF(s.right() - s.width() * 0.08 - bar, s.top(), bar, s.height()), 2, 2);
}

void weiter(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.18);
    const QColor fill(0, 110, 170);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(s.left(), s.top(), s.width() * 0.16, s.height()), 2, 2);
    triangle(p, QRectF(s.left() + s.width() * 0.18, s.top(), s.width() * 0.82, s.height()), fill);
}

void stop(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.2);
    const QColor fill(180, 0, 0);
    p.setPen(QPen(fill.darker(150), std::max<qreal>(1, s.width() * 0.04)));
    p.setBrush(fill);
    p.drawRoundedRect(s, s.width() * 0.1, s.width() * 0.1);
}

void loeschen(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.1);
    // An eraser lying at an angle above a wiped line.
    p.save();
    p.translate(s.center() + QPointF(0, -s.height() * 0.08));
    p.rotate(-35);
    const qreal w = s.width() * 0.75, h = s.height() * 0.36;
    p.setPen(QPen(QColor(60, 60, 60), std::max<qreal>(1, s.width() * 0.03)));
    p.setBrush(QColor(235, 120, 140));
    p.drawRoundedRect(QRectF(-w / 2, -h / 2, w * 0.55, h), 2, 2);
    p.setBrush(QColor(70, 110, 200));
    p.drawRoundedRect(QRectF(-w / 2 + w * 0.55, -h / 2, w * 0.45, h), 2, 2);
    p.restore();
    p.setPen(
        QPen(QColor(90, 90, 90), std::max<qreal>(1, s.width() * 0.05), Qt::DotLine, Qt::RoundCap));
    p.drawLine(QPointF(s.left(), s.bottom() - s.height() * 0.05),
               QPointF(s.right(), s.bottom() - s.height() * 0.05));
}

void ende(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.14);
    const qreal line = std::max<qreal>(1.5, s.width() * 0.06);
    // Door frame, the open door, and an arrow leading out.
    const QRectF frame(s.left(), s.top(), s.width() * 0.45, s.height());
    p.setPen(QPen(QColor(70, 45, 20), line, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(frame);
    QPainterPath door;
    door.moveTo(frame.topLeft());
    door.lineTo(frame.left() + frame.width() * 0.7, frame.top() + frame.height() * 0.1);
    door.lineTo(frame.left() + frame.width() * 0.7, frame.bottom() - frame.height() * 0.02);
    door.lineTo(frame.bottomLeft());
    door.closeSubpath();
    p.setBrush(QColor(190, 130, 70));
    p.drawPath(door);
    const QColor arrow(170, 0, 0);
    const qreal y = s.center().y();
    p.setPen(QPen(arrow, line * 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s.left() + s.width() * 0.55, y), QPointF(s.right() - line * 2, y));
    QPainterPath head;
    head.moveTo(s.right(), y);
    head.lineTo(s.right() - s.width() * 0.22, y - s.height() * 0.18);
    head.lineTo(s.right() - s.width() * 0.22, y + s.height() * 0.18);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(arrow);
    p.drawPath(head);
}

void lautstaerke(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.12);
    const qreal line = std::max<qreal>(1, s.width() * 0.06);
    QPainterPath speaker;
    speaker.moveTo(s.left(), s.top() + s.height() * 0.35);
    speaker.lineTo(s.left() + s.width() * 0.2, s.top() + s.height() * 0.35);
    speaker.lineTo(s.left() + s.width() * 0.45, s.top() + s.height() * 0.12);
    speaker.lineTo(s.left() + s.width() * 0.45, s.top() + s.height() * 0.88);
    speaker.lineTo(s.left() + s.width() * 0.2, s.top() + s.height() * 0.65);
    speaker.lineTo(s.left(), s.top() + s.height() * 0.65);
    speaker.closeSubpath();
    p.setPen(QPen(QColor(30, 30, 30), line * 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(60, 60, 60));
    p.drawPath(speaker);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 90, 160), line, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i <= 3; ++i) {
        const qreal radius = s.width() * 0.16 * i;
        const QRectF arc(s.left() + s.width() * 0.45 - radius, s.center().y() - radius, 2 * radius,
                         2 * radius);
        p.drawArc(arc, -45 * 16, 90 * 16);
    }
}

void schreibmaschine(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.1);
    const QRectF body(s.left(), s.top() + s.height() * 0.2, s.width(), s.height() * 0.62);
    p.setPen(QPen(QColor(40, 40, 40), std::max<qreal>(1, s.width() * 0.04)));
    p.setBrush(QColor(90, 90, 100));
    p.drawRoundedRect(body, s.width() * 0.08, s.width() * 0.08);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 240, 240));
    const qreal key = body.width() / 9;
    for (int row = 0; row < 3; ++row) {
        const qreal y = body.top() + key * 0.6 + row * key * 1.35;
        for (int col = 0; col < 4; ++col) {
            const qreal x = body.left() + key * (0.9 + row * 0.4) + col * key * 1.8;
            p.drawRect(QRectF(x, y, key, key));
        }
    }
    p.drawRect(QRectF(body.left() + body.width() * 0.25, body.bottom() - key * 1.3,
                      body.width() * 0.5, key * 0.7));
}

void frage(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.08);
    QPainterPath bubble;
    const QRectF oval(s.left(), s.top(), s.width(), s.height() * 0.78);
    bubble.addEllipse(oval);
    QPainterPath tail;
    tail.moveTo(s.left() + s.width() * 0.25, oval.bottom() - s.height() * 0.12);
    tail.lineTo(s.left() + s.width() * 0.12, s.bottom());
    tail.lineTo(s.left() + s.width() * 0.48, oval.bottom() - s.height() * 0.05);
    tail.closeSubpath();
    p.setPen(QPen(QColor(30, 30, 30), std::max<qreal>(1, s.width() * 0.04)));
    p.setBrush(Qt::white);
    p.drawPath(bubble.united(tail));
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setBold(true);
    f.setPixelSize(std::max(6, static_cast<int>(oval.height() * 0.7)));
    p.setFont(f);
    p.setPen(QColor(0, 80, 160));
    p.drawText(oval, Qt::AlignCenter, QStringLiteral("?!"));
}

void hoeren(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.1);
    const qreal line = std::max<qreal>(1.5, s.width() * 0.1);
    p.setPen(QPen(QColor(40, 40, 40), line, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF band(s.left() + line, s.top() + line / 2, s.width() - 2 * line, s.height() * 1.1);
    p.drawArc(band, 0, 180 * 16);
    p.setPen(QPen(QColor(30, 30, 30), std::max<qreal>(1, s.width() * 0.03)));
    p.setBrush(QColor(180, 30, 30));
    const qreal cupW = s.width() * 0.26, cupH = s.height() * 0.42;
    const qreal cupTop = s.top() + s.height() * 0.5;
    p.drawRoundedRect(QRectF(s.left(), cupTop, cupW, cupH), cupW * 0.4, cupW * 0.4);
    p.drawRoundedRect(QRectF(s.right() - cupW, cupTop, cupW, cupH), cupW * 0.4, cupW * 0.4);
}

void morsezeile(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(32, 40, 48));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), r.height() * 0.3, r.height() * 0.3);
    const QString code = QStringLiteral("-.-. --.- -.. .-..");
    const qreal unit = std::min(r.width() * 0.88 / morseLength(code, 1), r.height() * 0.3);
    morse(p, code, r.center().x() - morseLength(code, unit) / 2, r.center().y(), unit,
          QColor(255, 200, 40));
}

void tastenfeld(QPainter& p, const QRectF& r) {
    // A bevelled panel around the typing box, with a row of keys below it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(96, 112, 128));
    p.drawRoundedRect(r, 4, 4);
    p.setPen(QPen(QColor(170, 185, 200), 2));
    p.drawLine(r.topLeft() + QPointF(3, 1), r.topRight() + QPointF(-3, 1));
    p.drawLine(r.topLeft() + QPointF(1, 3), r.bottomLeft() + QPointF(1, -3));
    p.setPen(QPen(QColor(40, 48, 56), 2));
    p.drawLine(r.bottomLeft() + QPointF(3, -1), r.bottomRight() + QPointF(-3, -1));
    p.drawLine(r.topRight() + QPointF(-1, 3), r.bottomRight() + QPointF(-1, -3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 225, 215));
    const int keys = 5;
    const qreal key = r.width() * 0.8 / (keys * 1.25);
    const qreal y = r.bottom() - r.height() * 0.13;
    for (int i = 0; i < keys; ++i)
        p.drawRoundedRect(QRectF(r.left() + r.width() * 0.1 + i * key * 1.25 + key * 0.12,
                                 y - key * 0.45, key, key * 0.8),
                          1.5, 1.5);
}

void tonwerk(QPainter& p, const QRectF& r) {
    const QRectF s = square(r, 0.04);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(250, 250, 235));
    p.drawEllipse(s);
    QPainterPath wave;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = static_cast<qreal>(i) / steps;
        const QPointF point(s.left() + s.width() * (0.15 + 0.7 * t),
                            s.center().y() - std::sin(t * 2 * M_PI) * s.height() * 0.25);
        if (i == 0)
            wave.moveTo(point);
        else
            wave.lineTo(point);
    }
    p.setPen(QPen(QColor(0, 110, 0), std::max<qreal>(1, s.width() * 0.08)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

const std::map<QString, Draw>& painters() {
    static const std::map<QString, Draw> all{
        {QStringLiteral("vvv"), vvv},
        {QStringLiteral("start"), start},
        {QStringLiteral("pause"), pause},
        {QStringLiteral("weiter"), weiter},
        {QStringLiteral("stop"), stop},
        {QStringLiteral("loeschen"), loeschen},
        {QStringLiteral("ende"), ende},
        {QStringLiteral("lautstaerke"), lautstaerke},
        {QStringLiteral("schreibmaschine"), schreibmaschine},
        {QStringLiteral("frage"), frage},
        {QStringLiteral("hoeren"), hoeren},
        {QStringLiteral("morsezeile"), morsezeile},
        {QStringLiteral("tastenfeld"), tastenfeld},
        {QStringLiteral("tonwerk"), tonwerk},
    };
    return all;
}

}  // namespace

QPixmap DrawPicture(const QString& name, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    const auto found = painters().find(name);
    if (found == painters().end() || size.isEmpty()) return pixmap;
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    found->second(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}
