#include "mainwindow/ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QWindow>
#include <functional>
#include <memory>
#include <type_traits>

#include "engine/morse_table.h"
#include "mainwindow/startup.h"
#include "mainwindow/ui/function_keys.h"
#include "mainwindow/ui/pictures.h"
#include "mainwindow/ui/window_zoom.h"
#include "platform/dialog_form.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/ui/announcer.h"
#include "platform/ui/display_area.h"
#include "platform/ui/option_button.h"
#include "platform/ui/spin_button.h"
#include "platform/ui/twips.h"
#include "platform/ui/value_label.h"

namespace {

constexpr Rgb kFormGrey = RGB(192, 192, 192);
const QColor kPurple(128, 0, 128);
const QColor kDarkGrey(64, 64, 64);

QColor toColor(Rgb c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

bool isMessageBox(const QWindow* window) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window) return qobject_cast<QMessageBox*>(widget) != nullptr;
    }
    return false;
}

// The faces of the design: the system dialog face for most captions, Arial for headings and
// switches, a large bold face for the value displays.
QFont systemFont() { return twips::font(QStringLiteral("Arial"), 8.25, true); }
QFont headingFont() { return twips::font(QStringLiteral("Arial"), 9.75); }
QFont valueFont() { return twips::font(QStringLiteral("Arial"), 13.5, true); }

// The Windows-1252 code of a typed character, or -1 for keys that type nothing (arrows,
// shortcuts, Tab, which moves the focus).
int typedCode(const QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return -1;
    const QString text = event->text();
    if (text.isEmpty()) return -1;
    const QChar c = text.front();
    const char16_t u = c.unicode();
    if (u == 127 || (u < 32 && u != 8 && u != 13 && u != 27)) return -1;
    const int code = Cp1252Code(c);
    return code > 255 ? -1 : code;
}

Qt::Key keyFor(int code) {
    switch (code) {
        case 8:
            return Qt::Key_Backspace;
        case 13:
            return Qt::Key_Return;
        case 27:
            return Qt::Key_Escape;
        default:
            return static_cast<Qt::Key>(FromCp1252(code).toUpper().unicode());
    }
}

void name(QWidget* w, const char* objectName, const QRect& r, const QString& accessible,
          const QString& tip = QString()) {
    w->setObjectName(QString::fromUtf8(objectName));
    w->setGeometry(r);
    w->setAccessibleName(accessible);
    if (!tip.isEmpty()) w->setToolTip(tip);
}

void setColors(QWidget* w, const QColor& fore, const QColor& back) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, fore);
    pal.setColor(QPalette::Window, back);
    w->setPalette(pal);
    w->setBackgroundRole(QPalette::Window);
    w->setAutoFillBackground(true);
}

void setButtonColor(QWidget* w, const QColor& back) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Button, back);
    pal.setColor(QPalette::ButtonText, Qt::black);
    w->setPalette(pal);
}

// The window's background: light grey with the text layer on it.
class Canvas : public QWidget {
public:
    Canvas(WidgetSurface& surface, QWidget* parent) : QWidget(parent), surface_(surface) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), toColor(kFormGrey));
        surface_.paint(painter, event->rect());
    }

private:
    WidgetSurface& surface_;
};

// Rectangles and lines drawn on the window; they never take the mouse.
class ShapeWidget : public QWidget {
public:
    enum class Kind { Rectangle, Rounded, Line };
    ShapeWidget(Kind kind, QColor border, qreal borderWidth, QColor fill, QWidget* parent)
        : QWidget(parent), kind_(kind), border_(border), width_(borderWidth), fill_(fill) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (kind_ == Kind::Line) {
            p.fillRect(rect(), border_);
            return;
        }
        p.setRenderHint(QPainter::Antialiasing, kind_ == Kind::Rounded);
        p.setPen(width_ > 0 ? QPen(border_, width_) : QPen(Qt::NoPen));
        p.setBrush(fill_.isValid() ? QBrush(fill_) : QBrush(Qt::NoBrush));
        const QRectF box =
            QRectF(rect()).adjusted(width_ / 2, width_ / 2, -width_ / 2, -width_ / 2);
        if (kind_ == Kind::Rounded)
            p.drawRoundedRect(box, 10, 10);
        else
            p.drawRect(box);
    }

private:
    Kind kind_;
    QColor border_;
    qreal width_;
    QColor fill_;
};

// A label that reports clicks; a value label for assistive technology.
class ModelLabel : public ValueLabel {
public:
    using ValueLabel::ValueLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (onClick && rect().contains(event->position().toPoint())) onClick();
    }
};

// Check box or option button whose state belongs to the model: a click asks the model, and
// only the model's answer changes what the widget shows. Long captions wrap.
template <class Base>
class ModelToggle : public Base {
public:
    using Base::Base;
    std::function<void()> onUserToggle;

protected:
    void nextCheckState() override {
        if (onUserToggle) onUserToggle();
    }

    void paintEvent(QPaintEvent*) override {
        constexpr bool box = std::is_same_v<Base, QCheckBox>;
        QStylePainter p(this);
        QStyleOptionButton opt;
        this->initStyleOption(&opt);
        const QString text = opt.text;
        opt.text.clear();
        opt.state &= ~QStyle::State_HasFocus;
        p.drawControl(box ? QStyle::CE_CheckBox : QStyle::CE_RadioButton, opt);
        opt.text = text;
        const QRect textRect = this->style()->subElementRect(
            box ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, this);
        p.drawItemText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, opt.palette,
                       this->isEnabled(), text, QPalette::WindowText);
        if (this->hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect =
                p.boundingRect(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text)
                    .adjusted(-1, 0, 1, 0);
            p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
};
using ModelCheckBox = ModelToggle<QCheckBox>;
using ModelOption = ModelToggle<OptionButtonWidget>;

// The text box: typed characters go to the model, which decides what the box holds.
class ModelTextBox : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    std::function<void(int)> onTyped;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int code = typedCode(event);
        if (code >= 0 && onTyped) {
            onTyped(code);
            event->accept();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
};

// Tooltips of the faces a picture button can take.
QString faceTip(const QString& face) {
    if (face == u"pause") return QStringLiteral("Pause");
    if (face == u"weiter") return QStringLiteral("Weiter");
    return QString();
}

// A tooltip names the button's key: "Start (F5)".
QString withKey(const QString& tip, const QAbstractButton* w) {
    if (w->shortcut().isEmpty()) return tip;
    return tip + QStringLiteral(" (") + w->shortcut().toString(QKeySequence::NativeText) +
           QStringLiteral(")");
}

ModelLabel* label(QWidget* parent, const char* objectName, const QString& text, const QRect& r,
                  const QFont& font, Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop,
                  const QString& tip = QString()) {
    auto* l = new ModelLabel(text, parent);
    name(l, objectName, r, tip.isEmpty() ? text : tip, tip);
    l->setFont(font);
    l->setAlignment(align);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    return l;
}

QLabel* picture(QWidget* parent, const char* objectName, const QString& pictureName, const QRect& r,
                const QString& tip) {
    auto* l = new QLabel(parent);
    name(l, objectName, r, tip, tip);
    l->setPixmap(DrawPicture(pictureName, r.size(), qApp->devicePixelRatio()));
    l->setProperty("picture", pictureName);
    return l;
}

ModelCheckBox* checkBox(QWidget* parent, const char* objectName, const QString& text,
                        const QRect& r, const QFont& font) {
    auto* c = new ModelCheckBox(text, parent);
    name(c, objectName, r, text);
    c->setFont(font);
    // A caption wraps where the box has room for two lines; otherwise the box grows to the
    // right, over the window's background, until the caption fits.
    if (r.height() < 1.5 * c->fontMetrics().height() && c->sizeHint().width() > r.width())
        c->resize(c->sizeHint().width(), r.height());
    return c;
}

ModelOption* option(QWidget* parent, const char* objectName, const QString& text, const QRect& r,
                    const QFont& font) {
    auto* o = new ModelOption(parent);
    o->setText(text);
    name(o, objectName, r, text);
    o->setFont(font);
    return o;
}

QPushButton* button(QWidget* parent, const char* objectName, const QString& text, const QRect& r,
                    const QColor& back = QColor()) {
    auto* b = new QPushButton(text, parent);
    name(b, objectName, r, text);
    b->setFont(systemFont());
    if (back.isValid()) setButtonColor(b, back);
    return b;
}

QPushButton* pictureButton(QWidget* parent, const char* objectName, const QString& pictureName,
                           const QString& tip, const QRect& r, const QColor& back = QColor()) {
    auto* b = button(parent, objectName, QString(), r, back);
    b->setAccessibleName(tip);
    b->setToolTip(tip);
    b->setProperty("picture", pictureName);
    b->setProperty("tip", tip);
    b->setIconSize(r.size() - QSize(8, 8));
    return b;
}

QGroupBox* frame(QWidget* parent, const char* objectName, const QString& title, const QRect& r) {
    auto* g = new QGroupBox(title, parent);
    name(g, objectName, r, title);
    g->setFont(headingFont());
    return g;
}

ShapeWidget* shape(QWidget* parent, const char* objectName, const QString& what, const QRect& r,
                   ShapeWidget::Kind kind, QColor border, qreal width, QColor fill = QColor()) {
    auto* s = new ShapeWidget(kind, border, width, fill, parent);
    name(s, objectName, r, what);
    return s;
}

// Binding: the model's signals update the widget at once with the widget's own signals
// blocked, and the user's actions go to the model's methods, which run the handlers.

void applyCommon(const Control& m, QWidget* w) {
    w->setEnabled(m.enabled());
    w->setHidden(!m.visible());
}

template <class Model, class Widget, class Sync>
void mirror(Model& m, Widget* w, Sync sync) {
    QObject::connect(&m, &Control::changed, w, sync);
    QObject::connect(&m, &Control::refreshRequested, w, [w] { w->repaint(); });
    QObject::connect(&m, &Control::focusRequested, w, [w] { w->setFocus(Qt::OtherFocusReason); });
    sync();
}

void bind(Label& m, ModelLabel* w) {
    w->onClick = [&m] { m.click(); };
    mirror(m, w, [&m, w] {
        w->setValueText(m.caption());
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, toColor(m.foreColor()));
        pal.setColor(QPalette::Window, toColor(m.backColor()));
        w->setPalette(pal);
        // Labels in the window's own grey let the background show through.
        w->setAutoFillBackground(m.backColor() != kFormGrey);
        applyCommon(m, w);
    });
}

// A click asks the model through nextCheckState; any other change of the widget's state (an
// accessibility action toggles it directly) is taken as the same request. The model's answer
// is shown with the widget's signals blocked, so each request runs the handler once.
void bind(CheckBox& m, ModelCheckBox* w) {
    w->onUserToggle = [&m] { m.setValue(m.value() == 1 ? 0 : 1); };
    const auto sync = [&m, w] {
        const QSignalBlocker blocker(w);
        w->setCheckState(m.value() == 1   ? Qt::Checked
                         : m.value() == 2 ? Qt::PartiallyChecked
                                          : Qt::Unchecked);
        applyCommon(m, w);
    };
    QObject::connect(w, &QAbstractButton::toggled, &m, [w, sync] {
        w->onUserToggle();
        sync();
    });
    mirror(m, w, sync);
}

void bind(OptionButton& m, ModelOption* w) {
    w->onUserToggle = [&m] { m.setValue(true); };
    const auto sync = [&m, w] {
        const QSignalBlocker blocker(w);
        w->setChecked(m.value());
        applyCommon(m, w);
    };
    QObject::connect(w, &QAbstractButton::toggled, &m, [w, sync] {
        w->onUserToggle();
        sync();
    });
    mirror(m, w, sync);
}

void bind(Button& m, QPushButton* w) {
    QObject::connect(w, &QPushButton::clicked, &m, [&m] {
        if (m.enabled()) m.click();
    });
    mirror(m, w, [&m, w] {
        const QSignalBlocker blocker(w);
        // A picture button shows its current face, or its own picture; a caption replaces the
        // picture.
        const QString own = w->property("picture").toString();
        const QString face = m.face().isEmpty() ? own : m.face();
        if (!own.isEmpty() && m.caption().isEmpty()) {
            w->setText(QString());
            w->setIcon(QIcon(DrawPicture(face, w->iconSize(), qApp->devicePixelRatio())));
            // The zoom draws the face again at its new size.
            w->setProperty("face", face);
            const QString tip =
                faceTip(m.face()).isEmpty() ? w->property("tip").toString() : faceTip(m.face());
            w->setToolTip(withKey(tip, w));
            w->setAccessibleName(tip);
        } else {
            w->setIcon(QIcon());
            w->setProperty("face", QVariant());
            // A new text sets the button's shortcut to the text's access key, none without
            // one: the function key ("Vorlesen", F2) stays.
            const QKeySequence key = w->shortcut();
            w->setText(m.caption());
            if (QKeySequence::mnemonic(m.caption()).isEmpty()) w->setShortcut(key);
            // A caption that is English or cut short ("Load", "v vorne") is spoken as its
            // German meaning.
            const QString spoken = w->property("spokenName").toString();
            if (!spoken.isEmpty())
                w->setAccessibleName(spoken);
            else if (!m.caption().isEmpty())
                w->setAccessibleName(m.caption());
            if (!w->shortcut().isEmpty()) w->setToolTip(withKey(m.caption(), w));
        }
        applyCommon(m, w);
    });
}

void bind(ProgressBar& m, QProgressBar* w) {
    mirror(m, w, [&m, w] {
        w->setRange(0, m.max());
        w->setValue(m.value());
        applyCommon(m, w);
    });
}

void bind(ValueControl& m, QSlider* w) {
    QObject::connect(w, &QSlider::valueChanged, &m, [&m](int value) { m.setValue(value); });
    mirror(m, w, [&m, w] {
        const QSignalBlocker blocker(w);
        w->setRange(m.min(), m.max());
        w->setSingleStep(m.step());
        w->setValue(m.value());
        applyCommon(m, w);
    });
}

void bind(ValueControl& m, SpinButton* w) {
    mirror(m, w, [&m, w] { applyCommon(m, w); });
}

// The model keeps a line end as CR LF; the box shows it as a line break.
QString shownText(const QString& text) {
    QString shown = text;
    return shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Text added to the box other than by a key (set through the accessibility interface, as
// voice control does, or pasted) counts as typed: each added character goes through the
// window's key handler and then the box's, exactly as its key would. Other edits are taken
// as they stand.
void bindTextBox(TextBox& m, ModelTextBox* w, const std::function<void(int&)>& windowKeys) {
    w->onTyped = [&m](int code) { m.typeKey(code); };
    const auto sync = [&m, w] {
        const QSignalBlocker blocker(w);
        const QString shown = shownText(m.text());
        if (w->toPlainText() != shown) {
            w->setPlainText(shown);
            w->moveCursor(QTextCursor::End);
        }
        applyCommon(m, w);
    };
    QObject::connect(w, &QPlainTextEdit::textChanged, &m, [&m, w, &windowKeys, sync] {
        const QString text = w->toPlainText();
        const QString before = shownText(m.text());
        if (!text.startsWith(before) || text.size() == before.size()) {
            m.setText(QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
            return;
        }
        for (const QChar c : text.mid(before.size())) {
            int code = c == u'\n' ? 13 : Cp1252Code(c);
            if (code < 0 || code > 255) continue;
            if (windowKeys) windowKeys(code);
            if (code != 0) m.typeKey(code);
        }
        // Keys a handler swallowed leave the box.
        sync();
    });
    mirror(m, w, sync);
}

// The caption with its access key marked: the entry's "accessKey" letter, where it has one
// ("&Gruppen ..." for Alt+G). A literal ampersand shows as one.
QString withAccessKey(const QString& caption, const QAction* a) {
    QString text = caption;
    text.replace(u'&', QStringLiteral("&&"));
    const QString key = a->property("accessKey").toString();
    const qsizetype at = key.isEmpty() ? -1 : text.indexOf(key, 0, Qt::CaseInsensitive);
    if (at >= 0) text.insert(at, u'&');
    return text;
}

void bind(MenuItem& m, QAction* a) {
    QObject::connect(a, &QAction::triggered, &m, [&m] { m.click(); });
    const auto sync = [&m, a] {
        a->setText(withAccessKey(m.caption(), a));
        a->setEnabled(m.enabled());
        a->setVisible(m.visible());
    };
    QObject::connect(&m, &Control::changed, a, sync);
    sync();
}

void bind(MenuItem& m, QMenu* menu) {
    QObject::connect(menu, &QMenu::aboutToShow, &m, [&m] { m.click(); });
    bind(m, menu->menuAction());
    QObject::connect(&m, &Control::changed, menu,
                     [&m, menu] { menu->setAccessibleName(m.caption()); });
    menu->setAccessibleName(m.caption());
}

}  // namespace

MainWindow::MainWindow(Form1& form, QWidget* parent)
    : QMainWindow(parent),
      f_(form),
      surface_(form.ScaleWidth, form.ScaleHeight, qApp->devicePixelRatio()) {
    setObjectName(QStringLiteral("form1"));
    setWindowTitle(f_.Caption);
    setAccessibleName(f_.Caption);
    setWindowIcon(QIcon::fromTheme(QStringLiteral("morse-trainer")));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        Screen().Width = twips::fromPixels(screen->availableGeometry().width());
        Screen().Height = twips::fromPixels(screen->availableGeometry().height());
    }

    client_ = new Canvas(surface_, this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setFixedSize(twips::px(f_.ScaleWidth), twips::px(f_.ScaleHeight));
    setCentralWidget(client_);
    surface_.setTarget(client_);

    buildMenus();
    // Shapes first: they lie under the controls.
    buildTopStrip(client_);
    buildLeftPart(client_);
    buildSettingsPanel(client_);
    buildButtonRow(client_);
    describeValues();
    AddFunctionKeys(this, f_);
    bindAll();
    announceExerciseChoice();
    setFixedSize(client_->width(), client_->height() + menuBar()->sizeHint().height());
    zoom_ = new WindowZoom(*this, *client_, surface_, [this] { return FunctionKeysFree(f_); });

    // The start button has the focus when the window first shows, ready for Enter or Space.
    findChild<QWidget*>(QStringLiteral("Comstart"))->setFocus();
    f_.onShow = [this] { showAtStartPosition(); };
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainWindow::focusWindowChanged);
}

MainWindow::~MainWindow() { f_.onShow = nullptr; }

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setFont(twips::font(QStringLiteral("Arial"), 9));
    const auto submenu = [bar](MenuItem& top, std::initializer_list<MenuItem*> entries) {
        QMenu* menu = bar->addMenu(top.caption());
        menu->setObjectName(top.objectName());
        // Alt and the first letter opens the menu.
        menu->menuAction()->setProperty("accessKey", top.caption().left(1));
        for (MenuItem* entry : entries)
            menu->addAction(entry->caption())->setObjectName(entry->objectName());
    };
    submenu(f_.MGruppen,
            {&f_.MBuchstaben, &f_.MZahlen, &f_.MSonderzeichen, &f_.MRufzeichen, &f_.Meigen,
             &f_.MBsteZgr, &f_.MBstZahlen, &f_.MBstSonder, &f_.MBstZahlSond});
    submenu(f_.MTexte,
            {&f_.METext, &f_.MELekt, &f_.MausDatei, &f_.MAAbk, &f_.MWortgen, &f_.MPruefung});
    submenu(f_.Mk, {&f_.Mdauermorsen, &f_.DruConf});
    for (MenuItem* top : {&f_.MInfo, &f_.sp1, &f_.fuer})
        bar->addAction(top->caption())->setObjectName(top->objectName());
    findChild<QAction*>(f_.MInfo.objectName())->setProperty("accessKey", QStringLiteral("I"));
}

void MainWindow::buildTopStrip(QWidget* c) {
    using twips::rect;
    const Qt::Alignment centre = Qt::AlignCenter;
    shape(c, "Line1", QStringLiteral("Trennlinie"), rect(0, 420, f_.ScaleWidth, 15),
          ShapeWidget::Kind::Line, QColor(128, 128, 128), 0);
    shape(c, "Line2", QStringLiteral("Trennlinie"), rect(0, 435, f_.ScaleWidth, 15),
          ShapeWidget::Kind::Line, Qt::white, 0);
    label(c, "Datum(1)", QString(), rect(90, 60, 915, 315), systemFont(), centre,
          QStringLiteral("Uhrzeit"));
    label(c, "Minuten", QString(), rect(1110, 60, 705, 315), systemFont(), centre,
          QStringLiteral("Sekunden seit dem Start"));
    label(c, "Panel2", QString(), rect(1920, 60, 4020, 315),
          twips::font(QStringLiteral("Arial"), 12, true), centre, QStringLiteral("Übungsart"));
    label(c, "pan1", QString(), rect(6030, 60, 2370, 315), systemFont(), centre,
          QStringLiteral("Betriebsart"));
    picture(c, "Image1", QStringLiteral("morsezeile"), rect(8490, 30, 1605, 345),
            QStringLiteral("Morsezeichen"));
    label(c, "Datum(0)", QString(), rect(10140, 60, 1305, 315), systemFont(), centre,
          QStringLiteral("Datum"));
    label(c, "L_Printer", QString(), rect(6930, 510, 4335, 225), systemFont(),
          Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Drucker"));
}

void MainWindow::buildLeftPart(QWidget* c) {
    using twips::rect;
    shape(c, "Shape4", QStringLiteral("Dauermorsen"), rect(180, 660, 2265, 405),
          ShapeWidget::Kind::Rectangle, kPurple.darker(150), 1, kPurple);
    auto* dauer = checkBox(c, "Dauermorsen", QStringLiteral("Dauermorsen"),
                           rect(330, 720, 1470, 315), headingFont());
    setColors(dauer, Qt::white, kPurple);
    label(c, "pan_dau", QString(), rect(1800, 720, 495, 285),
          twips::font(QStringLiteral("Arial"), 9.75, true), Qt::AlignCenter,
          QStringLiteral("Verbleibende Durchgänge"));

    QGroupBox* parameter =
        frame(c, "Frame2", QStringLiteral("Parameter"), rect(180, 1200, 1215, 1485));
    button(parameter, "comload_cst", QString(), rect(120, 270, 975, 345), QColor(192, 255, 192));
    button(parameter, "Comsave_cst", QString(), rect(120, 660, 975, 345), QColor(255, 255, 0));
    button(parameter, "C_Default", QString(), rect(120, 1050, 975, 345));

    button(c, "com_vorlesen", QString(), rect(2580, 660, 1905, 405));
    button(c, "Command2", QString(), rect(4470, 660, 1845, 405));

    QGroupBox* language =
        frame(c, "Framesprache", QStringLiteral("Wörterbuch"), rect(2040, 1290, 1665, 885));
    option(language, "deutsch", QStringLiteral("deutsch"), rect(120, 270, 1400, 255), systemFont());
    option(language, "englisch", QStringLiteral("englisch"), rect(120, 540, 1400, 255),
           systemFont());

    QGroupBox* switches =
        frame(c, "Frame1", QStringLiteral("SCHALTER"), rect(4080, 1260, 2235, 1305));
    checkBox(switches, "Auge", QStringLiteral("Text zeigen"), rect(180, 270, 1950, 285),
             headingFont());
    checkBox(switches, "Ohr", QStringLiteral("Sound an"), rect(180, 600, 1950, 285), headingFont());
    checkBox(switches, "Mund", QStringLiteral("Buchstabieren an"), rect(180, 930, 1950, 285),
             headingFont());

    auto* progress = new QProgressBar(c);
    name(progress, "PB1", rect(6480, 630, 255, 2940), QStringLiteral("Fortschritt"),
         QStringLiteral("Fortschritt"));
    progress->setOrientation(Qt::Vertical);
    progress->setTextVisible(false);

    label(c, "Label11", QStringLiteral("Tastatur"), rect(2340, 2340, 900, 240), headingFont(),
          Qt::AlignHCenter | Qt::AlignTop);
    picture(c, "Picture1", QStringLiteral("tastenfeld"), rect(2310, 2640, 960, 975),
            QStringLiteral("Tastatur"));
    auto* typing = new ModelTextBox(c);
    name(typing, "Text2", rect(2550, 2850, 540, 570), QStringLiteral("Tastatureingabe"));
    typing->setFont(twips::font(QStringLiteral("Courier New"), 26.25, true));
    typing->setFrameShape(QFrame::NoFrame);
    typing->document()->setDocumentMargin(0);
    typing->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    typing->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    typing->setTabChangesFocus(true);
    QPalette pal = typing->palette();
    pal.setColor(QPalette::Text, QColor(128, 128, 128));
    pal.setColor(QPalette::Base, Qt::white);
    typing->setPalette(pal);

    pictureButton(c, "Command1", QStringLiteral("lautstaerke"), QStringLiteral("Lautstärke"),
                  rect(3660, 2880, 615, 555));
    pictureButton(c, "Com_Tastatur", QStringLiteral("schreibmaschine"),
                  QStringLiteral("Schreibmaschine"), rect(4470, 2880, 585, 555));
    pictureButton(c, "COM_FA", QStringLiteral("frage"), QStringLiteral("Frage & Antwort"),
                  rect(5100, 2880, 585, 555));
    pictureButton(c, "C_Hoeren", QStringLiteral("hoeren"), QStringLiteral("Hören"),
                  rect(5700, 2880, 555, 555));

    label(c, "L_LT", QString(), rect(390, 2790, 1400, 240), headingFont(),
          Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Strichlänge"));
    auto* slider = new QSlider(Qt::Horizontal, c);
    // The value reads 30 to 40: tenths of a dot.
    const QString dash = QStringLiteral("Strichlänge in Zehnteln der Punktlänge");
    name(slider, "LT", rect(210, 3030, 1425, 285), QStringLiteral("langer Ton"), dash);
    slider->setAccessibleDescription(dash);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    label(c, "Label13", QStringLiteral("3"), rect(270, 3330, 200, 240), headingFont());
    label(c, "Label14", QStringLiteral("4"), rect(1440, 3330, 200, 240), headingFont());
}

void MainWindow::buildSettingsPanel(QWidget* c) {
    using twips::rect;
    const QColor panel(208, 208, 208), border(96, 96, 96);
    shape(c, "Shape2", QStringLiteral("Geschwindigkeit und Abstände"), rect(6930, 810, 4425, 1425),
          ShapeWidget::Kind::Rounded, border, 2, panel);
    shape(c, "Shape3", QStringLiteral("Ton und Gruppen"), rect(6930, 2430, 4485, 1035),
          ShapeWidget::Kind::Rounded, border, 2, panel);
    const Qt::Alignment centre = Qt::AlignCenter;

    // Each up-down with its value label is one spin button, named after its heading, whose
    // value reads as the label shows it.
    const auto upDown = [c](ValueControl& m, Label& shown, const QString& caption,
                            const QString& what, double unit, const QRect& r) {
        auto* spin = new SpinButton(m, caption, what, unit, c);
        name(spin, qPrintable(m.objectName()), r, caption, caption);
        auto* valueLabel = c->findChild<ValueLabel*>(shown.objectName());
        // The long meaning of the value label ("Tonhöhe in Hertz").
        spin->setAccessibleDescription(valueLabel->toolTip());
        spin->setValueLabel(valueLabel);
    };
    label(c, "Label6", QStringLiteral("Geschw."), rect(7050, 960, 850, 240), headingFont());
    label(c, "L_Gesch", QString(), rect(7050, 1230, 800, 375), valueFont(), centre,
          QStringLiteral("Geschwindigkeit in Zeichen pro Minute"));
    upDown(f_.UpDownGesch, f_.L_Gesch, QStringLiteral("Geschw."),
           QStringLiteral("Geschwindigkeit"), 1, rect(7920, 900, 255, 660));

    label(c, "Label1", QStringLiteral("Zei-Abst."), rect(8430, 960, 950, 240), headingFont());
    label(c, "L_Abst", QString(), rect(8430, 1230, 900, 375), valueFont(), centre,
          QStringLiteral("Zeichenabstand"));
    upDown(f_.UpDownAbst, f_.L_Abst, QStringLiteral("Zei-Abst."), QStringLiteral("Zeichenabstand"),
           0.1, rect(9420, 900, 255, 660));

    label(c, "Label12", QStringLiteral("Wortabst."), rect(9930, 960, 900, 240), headingFont());
    label(c, "L_WAbst", QString(), rect(9900, 1230, 900, 375), valueFont(), centre,
          QStringLiteral("Wortabstand"));
    upDown(f_.UpDownWAbst, f_.L_WAbst, QStringLiteral("Wortabst."), QStringLiteral("Wortabstand"),
           0.1, rect(10860, 900, 255, 660));

    checkBox(c, "anziehen1", QStringLiteral("5%"), rect(7110, 1650, 900, 255), systemFont());
    checkBox(c, "anziehen2", QStringLiteral("10%"), rect(7110, 1920, 900, 255), systemFont());
    checkBox(c, "O_Verkl", QStringLiteral("langsam verkleinern"), rect(8130, 1710, 1230, 405),
             systemFont());
    label(c, "Label7", QStringLiteral("Schnitt:"), rect(9360, 1800, 950, 240), headingFont());
    label(c, "panschnitt", QString(), rect(10290, 1740, 900, 375), valueFont(), centre,
          QStringLiteral("Effektive Geschwindigkeit"));
    picture(c, "Tonwerk1", QStringLiteral("tonwerk"), rect(11220, 1230, 225, 225),
            QStringLiteral("Tongenerator"));

    label(c, "Label9", QStringLiteral("Tonhöhe"), rect(7140, 2610, 950, 240), headingFont());
    label(c, "L_Ton", QString(), rect(7050, 2880, 850, 375), valueFont(), centre,
          QStringLiteral("Tonhöhe in Hertz"));
    label(c, "Label5", QStringLiteral("Hz"), rect(7920, 3000, 300, 240), headingFont());
    upDown(f_.UpDownTon, f_.L_Ton, QStringLiteral("Tonhöhe"), QStringLiteral("Tonhöhe"), 1,
           rect(8220, 2550, 255, 660));
    checkBox(c, "vari", QStringLiteral("variable Länge"), rect(8670, 2580, 1365, 255),
             systemFont());
    checkBox(c, "unsauber", QStringLiteral("unsauber"), rect(8610, 2880, 1365, 240), systemFont());
    checkBox(c, "tonschwank", QStringLiteral("Tonschwankung"), rect(8610, 3135, 1365, 255),
             systemFont());
    label(c, "Label3", QStringLiteral("Gruppen:"), rect(10140, 2580, 900, 240), headingFont());
    label(c, "L_Anz", QString(), rect(10200, 2940, 800, 375), valueFont(), centre,
          QStringLiteral("Anzahl der Gruppen"));
    upDown(f_.UpDownAnz, f_.L_Anz, QStringLiteral("Gruppen"), QStringLiteral("Gruppenanzahl"), 1,
           rect(11040, 2550, 255, 660));
}

void MainWindow::buildButtonRow(QWidget* c) {
    using twips::rect;
    label(c, "Panel3D26", QStringLiteral("Sounds"), rect(150, 3690, 1455, 255), headingFont(),
          Qt::AlignHCenter | Qt::AlignTop);
    button(c, "com_s1", QString(), rect(150, 3990, 465, 375));
    button(c, "COM_S2", QString(), rect(630, 3990, 465, 375));
    button(c, "com_s3", QString(), rect(1140, 3990, 465, 375));

    shape(c, "Shape6", QStringLiteral("Ablauf"), rect(1760, 3820, 5500, 530),
          ShapeWidget::Kind::Rectangle, kDarkGrey, 3);
    pictureButton(c, "COM_vvv", QStringLiteral("vvv"), QStringLiteral("Vorspann vvv"),
                  rect(1740, 3810, 1215, 525), QColor(192, 255, 255));
    pictureButton(c, "Comstart", QStringLiteral("start"), QStringLiteral("Start"),
                  rect(2970, 3810, 1470, 525), QColor(192, 255, 192));
    pictureButton(c, "compause", QStringLiteral("pause"), QStringLiteral("Pause"),
                  rect(4410, 3810, 1410, 525), QColor(255, 255, 192));
    pictureButton(c, "comstop", QStringLiteral("stop"), QStringLiteral("Stop"),
                  rect(5820, 3810, 1410, 525), QColor(255, 192, 192));
    pictureButton(c, "comloe", QStringLiteral("loeschen"), QStringLiteral("Löschen"),
                  rect(7365, 3750, 585, 600));
    button(c, "Command3D4", QString(), rect(7950, 3750, 1335, 300));
    button(c, "Command3D7", QString(), rect(7950, 4050, 1335, 300));
    shape(c, "Shape7", QStringLiteral("Ende"), rect(9390, 3720, 2025, 705),
          ShapeWidget::Kind::Rectangle, kDarkGrey, 0, kDarkGrey);
    pictureButton(c, "comexit", QStringLiteral("ende"), QStringLiteral("Ende"),
                  rect(9360, 3660, 2025, 705));

    // The display area is painted by the text layer; this widget is its text for assistive
    // technology.
    auto* display = new DisplayArea(surface_, c);
    name(display, "shape1",
         rect(f_.shape1.Left, f_.shape1.Top, f_.shape1.Width, f_.shape1.Height),
         QStringLiteral("Textanzeige"));

    // The two faces of the pause button, kept as hidden pictures.
    picture(c, "Pic_Pause", QStringLiteral("pause"), rect(0, 0, 1425, 540), QStringLiteral("Pause"))
        ->hide();
    picture(c, "Pic_Weiter", QStringLiteral("weiter"), rect(0, 0, 1425, 540),
            QStringLiteral("Weiter"))
        ->hide();
}

void MainWindow::describeValues() {
    // Short meaning first: a screen reader says "Geschwindigkeit: 60"; the tooltip stays the
    // longer description.
    const struct {
        const char* objectName;
        const char* meaning;
    } values[] = {
        {"Datum(1)", "Uhrzeit"},       {"Minuten", "Sekunden"},
        {"Panel2", "Übungsart"},       {"pan1", "Betriebsart"},
        {"Datum(0)", "Datum"},         {"L_Printer", "Drucker"},
        {"pan_dau", "Durchgänge"},     {"L_LT", "Strichlänge"},
        {"L_Gesch", "Geschwindigkeit"}, {"L_Abst", "Zeichenabstand"},
        {"L_WAbst", "Wortabstand"},    {"panschnitt", "Schnitt"},
        {"L_Ton", "Tonhöhe"},          {"L_Anz", "Gruppen"},
    };
    for (const auto& v : values) {
        auto* l = findChild<ValueLabel*>(QString::fromUtf8(v.objectName));
        l->setMeaning(QString::fromUtf8(v.meaning), l->toolTip());
    }
    // The dash length's caption says what it is ("langer Ton 3,5").
    findChild<ValueLabel*>(QStringLiteral("L_LT"))->setCaptionIsName(true);
    // Buttons whose caption says little to a listener: the name a screen reader speaks, and
    // what the button does.
    const struct {
        const char* objectName;
        const char* spoken;
        const char* description;
    } buttons[] = {
        {"comload_cst", "Einstellungen laden", "Lädt die gespeicherten Einstellungen (Load)"},
        {"Comsave_cst", "Einstellungen speichern", "Speichert die Einstellungen (Save)"},
        {"C_Default", "Standard", "Stellt die Standardwerte ein"},
        {"Command2", "Von vorne vorlesen", "Liest den letzten Text von Anfang an vor (v vorne)"},
        {"com_s1", "Klang S1", "Spielt den Klang S1"},
        {"COM_S2", "Klang S2", "Spielt den Klang S2"},
        {"com_s3", "Klang S3", "Spielt den Klang S3"},
    };
    for (const auto& b : buttons) {
        auto* w = findChild<QPushButton*>(QString::fromUtf8(b.objectName));
        w->setProperty("spokenName", QString::fromUtf8(b.spoken));
        w->setAccessibleName(QString::fromUtf8(b.spoken));
        w->setAccessibleDescription(QString::fromUtf8(b.description));
    }
    // Headings name the controls under them.
    const std::pair<const char*, const char*> buddies[] = {
        {"Label6", "UpDownGesch"}, {"Label1", "UpDownAbst"}, {"Label12", "UpDownWAbst"},
        {"Label9", "UpDownTon"},   {"Label3", "UpDownAnz"},  {"L_LT", "LT"},
    };
    for (const auto& [heading, control] : buddies)
        findChild<QLabel*>(QString::fromUtf8(heading))
            ->setBuddy(findChild<QWidget*>(QString::fromUtf8(control)));
}

void MainWindow::announceExerciseChoice() {
    // The kind chosen from a menu shows in the heading, away from the focus, which goes back
    // where it was: a screen reader is told the new kind. Connected after the entries' own
    // handlers, so the kind is already the new one.
    auto* announcer = new Announcer(client_);
    for (const char* menuName : {"MGruppen", "MTexte"}) {
        auto* menu = findChild<QMenu*>(QString::fromLatin1(menuName));
        auto before = std::make_shared<QString>();
        connect(menu, &QMenu::aboutToShow, this, [this, before] { *before = f_.Panel2.caption(); });
        for (QAction* entry : menu->actions()) {
            connect(entry, &QAction::triggered, this, [this, before, announcer] {
                const QString kind = f_.Panel2.caption();
                if (kind == *before) return;
                *before = kind;
                announcer->announceAfterFocus(QStringLiteral("Übungsart: ") + kind);
            });
        }
    }
}

void MainWindow::bindAll() {
    for (Control* control : f_.all()) {
        // Timers run on the clock and need no widget.
        if (qobject_cast<Timer*>(control)) continue;
        const QString objectName = control->objectName();
        QObject* found = findChild<QObject*>(objectName);
        const auto widget = [&]<class W>(W*) {
            auto* w = dynamic_cast<W*>(found);
            if (!w) qWarning("main window: no widget for %s", qPrintable(objectName));
            return w;
        };
        if (auto* m = qobject_cast<Label*>(control)) {
            if (auto* w = widget(static_cast<ModelLabel*>(nullptr))) bind(*m, w);
        } else if (auto* m = qobject_cast<CheckBox*>(control)) {
            if (auto* w = widget(static_cast<ModelCheckBox*>(nullptr))) bind(*m, w);
        } else if (auto* m = qobject_cast<OptionButton*>(control)) {
            if (auto* w = widget(static_cast<ModelOption*>(nullptr))) bind(*m, w);
        } else if (auto* m = qobject_cast<Button*>(control)) {
            if (auto* w = widget(static_cast<QPushButton*>(nullptr))) bind(*m, w);
        } else if (auto* m = qobject_cast<ProgressBar*>(control)) {
            if (auto* w = widget(static_cast<QProgressBar*>(nullptr))) bind(*m, w);
        } else if (auto* m = qobject_cast<ValueControl*>(control)) {
            if (auto* slider = dynamic_cast<QSlider*>(found))
                bind(*m, slider);
            else if (auto* w = widget(static_cast<SpinButton*>(nullptr)))
                bind(*m, w);
        } else if (auto* m = qobject_cast<TextBox*>(control)) {
            if (auto* w = widget(static_cast<ModelTextBox*>(nullptr)))
                bindTextBox(*m, w, f_.onKeyPress);
        } else if (auto* m = qobject_cast<MenuItem*>(control)) {
            if (auto* menu = dynamic_cast<QMenu*>(found))
                bind(*m, menu);
            else if (auto* a = widget(static_cast<QAction*>(nullptr)))
                bind(*m, a);
        } else if (auto* m = qobject_cast<Shape*>(control)) {
            bindDisplay(*m);
        }
    }
}

void MainWindow::bindDisplay(Shape& shape) {
    // The display shape lives in the text layer: a new fill repaints it there.
    const auto paint = [this, &shape] {
        surface_.clearRect(shape.Left, shape.Top, shape.Width, shape.Height, shape.fillColor());
    };
    auto lastFill = std::make_shared<Rgb>(shape.fillColor());
    connect(&shape, &Control::changed, this, [&shape, paint, lastFill] {
        if (shape.fillColor() == *lastFill) return;
        *lastFill = shape.fillColor();
        paint();
    });
    connect(&shape, &Control::refreshRequested, this, [this, &shape] {
        client_->repaint(findChild<QWidget*>(shape.objectName())->geometry());
    });
    // The focus goes to the display's text ("Textanzeige"), which a screen reader names and
    // where Space and Enter press no button.
    connect(&shape, &Control::focusRequested, this, [this, &shape] {
        findChild<QWidget*>(shape.objectName())->setFocus(Qt::OtherFocusReason);
    });
    paint();
}

void MainWindow::showAtStartPosition() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect available = s ? s->availableGeometry() : QRect();
    // A window taller or wider than the screen starts at its top left corner rather than off it.
    move(available.topLeft() +
         QPoint(std::max(0, twips::px(f_.Left)), std::max(0, twips::px(f_.Top))));
    show();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !forwardingKey_ && isActiveWindow()) {
        auto* target = qobject_cast<QWidget*>(watched);
        // A key goes first to the focused control and then up its parents; the window sees
        // it once, before that control.
        QWidget* focused = focusWidget() ? focusWidget() : this;
        if (target == focused && target->window() == this)
            return previewKey(target, static_cast<QKeyEvent*>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::previewKey(QWidget* target, QKeyEvent* event) {
    if (!f_.onKeyPress) return false;
    int code = typedCode(event);
    if (code < 0) return false;
    const int typed = code;
    f_.onKeyPress(code);
    if (code == 0) return true;
    if (code == typed) return false;
    // The window's handler changed the key: the control gets the new character instead.
    QKeyEvent replaced(QEvent::KeyPress, keyFor(code), Qt::NoModifier, QString(FromCp1252(code)));
    forwardingKey_ = true;
    QCoreApplication::sendEvent(target, &replaced);
    forwardingKey_ = false;
    return true;
}

void MainWindow::focusWindowChanged(QWindow* window) {
    // No focus window: the user went to another application, which does not count.
    if (!window) return;
    if (window == windowHandle()) {
        if (awayInOwnWindow_) {
            awayInOwnWindow_ = false;
            // After the handler that switched windows has finished.
            QMetaObject::invokeMethod(
                this, [] { Form_Activate(); }, Qt::QueuedConnection);
        }
        return;
    }
    // The program's own windows are shown without blocking; the modal file, printer and
    // message dialogs do not count, nor do the program's messages, menus and tooltips.
    const bool ownWindow = window->modality() == Qt::NonModal &&
                           (window->type() == Qt::Dialog || window->type() == Qt::Window) &&
                           !isMessageBox(window);
    if (ownWindow) awayInOwnWindow_ = true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program the way the exit button does.
    event->ignore();
    if (Platform().exitProgram)
        Platform().exitProgram();
    else
        QCoreApplication::quit();
}
