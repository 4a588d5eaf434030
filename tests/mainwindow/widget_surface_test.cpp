#include <QTest>

#include "platform/ui/twips.h"
#include "support/registry.h"
#include "window_rig.h"

class WidgetSurfaceTest : public QObject {
    Q_OBJECT
private slots:
    void printedTextStaysUntilTheShapeIsRepainted();
    void newFillRepaintsTheDisplay();
    void measuresInTwipsWithTheCurrentFont();
    void hourglassPointer();
};

namespace {
// Pixels of `image` inside `box` (client pixels) that are clearly red.
int redPixels(const QImage& image, const QRect& box) {
    const qreal ratio = image.devicePixelRatio();
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor c = image.pixelColor(QPoint(qRound(x * ratio), qRound(y * ratio)));
            if (c.alpha() > 0 && c.red() > 140 && c.green() < 90 && c.blue() < 90) ++count;
        }
    return count;
}

QColor layerAt(const WidgetSurface& s, double xTwips, double yTwips) {
    const qreal ratio = s.layer().devicePixelRatio();
    return s.layer().pixelColor(
        QPoint(qRound(twips::toPixels(xTwips) * ratio), qRound(twips::toPixels(yTwips) * ratio)));
}
}  // namespace

void WidgetSurfaceTest::printedTextStaysUntilTheShapeIsRepainted() {
    WindowRig w;
    QVERIFY(w.showActive());
    WidgetSurface& s = w.window.surface();
    const Shape& display = w.rig.f.shape1;
    QCOMPARE(layerAt(s, display.Left + 2000, display.Top + 900), QColor(224, 224, 224));

    s.font = FontSpec{QStringLiteral("Arial"), 20, true, false};
    s.foreColor = RGB(192, 0, 0);
    s.CurrentX = display.Left + 300;
    s.CurrentY = display.Top + 120;
    const QString text = QStringLiteral("VVV*");
    const QRect box = twips::rect(s.CurrentX, s.CurrentY, s.textWidth(text), s.textHeight(text));
    s.Print(text);
    // Text printed on the window background, outside the display, as after a line end.
    s.CurrentX = 120;
    s.CurrentY = 4380;
    const QRect outside = twips::rect(s.CurrentX, s.CurrentY, s.textWidth(u"W"_qs), 180);
    s.Print(QStringLiteral("W"));
    QVERIFY(redPixels(s.layer(), box) > 40);
    QVERIFY(redPixels(s.layer(), outside) > 0);
    // The window shows the layer under its controls.
    QCoreApplication::processEvents();
    const QImage shown = w.window.centralWidget()->grab().toImage();
    QVERIFY(redPixels(shown, box) > 40);

    w.rig.f.shape1.Redraw();
    QCOMPARE(redPixels(s.layer(), box), 0);
    QCOMPARE(layerAt(s, display.Left + 400, display.Top + 300), QColor(224, 224, 224));
    QVERIFY(redPixels(s.layer(), outside) > 0);
    QCOMPARE(redPixels(w.window.centralWidget()->grab().toImage(), box), 0);
}

void WidgetSurfaceTest::newFillRepaintsTheDisplay() {
    WindowRig w;
    WidgetSurface& s = w.window.surface();
    Shape& display = w.rig.f.shape1;
    s.foreColor = RGB(200, 0, 0);
    s.CurrentX = display.Left + 300;
    s.CurrentY = display.Top + 120;
    s.Print(QStringLiteral("HHH"));
    display.setFillColor(RGB(192, 255, 192));
    QCOMPARE(layerAt(s, display.Left + 3000, display.Top + 1000), QColor(192, 255, 192));
    QCOMPARE(redPixels(s.layer(), twips::rect(display.Left, display.Top, 3000, 600)), 0);
    // The corners outside the rounded border stay the window's own background.
    QCOMPARE(layerAt(s, display.Left + 5, display.Top + 5).alpha(), 0);
}

void WidgetSurfaceTest::measuresInTwipsWithTheCurrentFont() {
    WindowRig w;
    WidgetSurface& s = w.window.surface();
    s.font = FontSpec{QStringLiteral("Courier New"), 12, false, false};
    const double one = s.textWidth(QStringLiteral("W"));
    QVERIFY(one > 0);
    QVERIFY(qAbs(s.textWidth(QStringLiteral("WWWW")) - 4 * one) < 20);
    // A 12 point line is a little more than 240 twips high.
    const double line = s.textHeight(QStringLiteral("X"));
    QVERIFY2(line > 240 && line < 360, qPrintable(QString::number(line)));
    s.font.sizePt = 24;
    QVERIFY(qAbs(s.textWidth(QStringLiteral("W")) / one - 2.0) < 0.15);
    s.font.bold = true;
    s.font.name = QStringLiteral("Arial");
    QVERIFY(s.textWidth(QStringLiteral("W")) > s.textWidth(QStringLiteral("i")));
}

void WidgetSurfaceTest::hourglassPointer() {
    WindowRig w;
    WidgetSurface& s = w.window.surface();
    s.mousePointer = MousePointer::Hourglass;
    s.pointerChanged();
    QCOMPARE(w.window.cursor().shape(), Qt::WaitCursor);
    s.mousePointer = MousePointer::Default;
    s.pointerChanged();
    QCOMPARE(w.window.cursor().shape(), Qt::ArrowCursor);
}

REGISTER_TEST(WidgetSurfaceTest);
#include "widget_surface_test.moc"
