#include "platform/ui/form_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>

QColor ToQColor(Rgb color) { return QColor(RedOf(color), GreenOf(color), BlueOf(color)); }

namespace {
QString withoutAccessKey(QString caption) {
    caption.remove(u'&');
    return caption;
}

void bindControl(Control& model, QWidget* widget, const QString& accessible) {
    widget->setObjectName(model.objectName());
    widget->setAccessibleName(accessible);
    widget->setEnabled(model.enabled());
    if (!model.visible()) widget->hide();
    QObject::connect(&model, &Control::changed, widget, [widget, m = QPointer<Control>(&model)] {
        widget->setEnabled(m->enabled());
        widget->setVisible(m->visible());
    });
    QObject::connect(&model, &Control::focusRequested, widget, [widget] { widget->setFocus(); });
}

// Plain text boxes keep CR LF line ends, as the trainer's texts always have.
QString toWidgetText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
QString fromWidgetText(QString text) { return text.replace(u'\n', QStringLiteral("\r\n")); }
}  // namespace

void BindLabel(Label& model, QLabel* widget) {
    bindControl(model, widget, model.caption());
    widget->setText(model.caption());
    QObject::connect(&model, &Control::changed, widget, [widget, m = QPointer<Label>(&model)] {
        widget->setText(m->caption());
        widget->setAccessibleName(m->caption());
    });
}

void BindButton(Button& model, QPushButton* widget) {
    bindControl(model, widget, withoutAccessKey(model.caption()));
    widget->setText(model.caption());
    QObject::connect(widget, &QPushButton::clicked, widget, [m = QPointer<Button>(&model)] {
        if (m && m->enabled()) m->click();
    });
}

// The box follows the model with its own signals blocked; any change of the box that does not
// come from the model (a click, the keyboard, an accessibility action) goes to the model once.
void BindCheckBox(CheckBox& model, QCheckBox* widget, const QString& caption) {
    bindControl(model, widget, withoutAccessKey(caption));
    widget->setText(caption);
    const auto show = [widget, m = QPointer<CheckBox>(&model)] {
        if (!m) return;
        const QSignalBlocker blocker(widget);
        widget->setChecked(m->value() == 1);
    };
    show();
    QObject::connect(&model, &Control::changed, widget, show);
    QObject::connect(widget, &QCheckBox::toggled, widget,
                     [show, m = QPointer<CheckBox>(&model)](bool on) {
                         if (!m) return;
                         m->setValue(on ? 1 : 0);
                         // A handler may have put the value back.
                         show();
                     });
}

// Typing, pasting and text set through the accessibility interface all reach the model; the
// model's own changes are shown with the box's signals blocked.
void BindTextBox(TextBox& model, QLineEdit* widget, const QString& accessible) {
    bindControl(model, widget, accessible);
    widget->setText(model.text());
    QObject::connect(&model, &Control::changed, widget, [widget, m = QPointer<TextBox>(&model)] {
        const QSignalBlocker blocker(widget);
        if (widget->text() != m->text()) widget->setText(m->text());
    });
    QObject::connect(widget, &QLineEdit::textChanged, widget,
                     [m = QPointer<TextBox>(&model)](const QString& text) {
                         if (m) m->setText(text);
                     });
}

void BindTextBox(TextBox& model, QPlainTextEdit* widget, const QString& accessible) {
    bindControl(model, widget, accessible);
    widget->setPlainText(toWidgetText(model.text()));
    QObject::connect(&model, &Control::changed, widget, [widget, m = QPointer<TextBox>(&model)] {
        const QString text = toWidgetText(m->text());
        if (widget->toPlainText() != text) widget->setPlainText(text);
    });
    QObject::connect(widget, &QPlainTextEdit::textChanged, widget,
                     [widget, m = QPointer<TextBox>(&model)] {
                         if (m) m->setText(fromWidgetText(widget->toPlainText()));
                     });
}

void BindListBox(ListBox& model, QListWidget* widget, const QString& accessible) {
    bindControl(model, widget, accessible);
    widget->setSelectionMode(model.multiSelect() ? QAbstractItemView::MultiSelection
                                                 : QAbstractItemView::SingleSelection);
    auto syncing = std::make_shared<bool>(false);
    auto show = [widget, syncing, m = QPointer<ListBox>(&model)] {
        if (!m) return;
        *syncing = true;
        const QStringList items = m->items();
        for (int i = 0; i < items.size(); ++i) {
            if (i >= widget->count())
                widget->addItem(items[i]);
            else if (widget->item(i)->text() != items[i])
                widget->item(i)->setText(items[i]);
        }
        while (widget->count() > items.size()) delete widget->takeItem(widget->count() - 1);
        for (int i = 0; i < m->ListCount(); ++i) widget->item(i)->setSelected(m->Selected(i));
        if (m->ListIndex() >= 0)
            widget->setCurrentRow(m->ListIndex(), QItemSelectionModel::NoUpdate);
        *syncing = false;
    };
    show();
    QObject::connect(&model, &Control::changed, widget, show);
    QObject::connect(widget, &QListWidget::itemSelectionChanged, widget,
                     [widget, syncing, m = QPointer<ListBox>(&model)] {
                         if (*syncing || !m) return;
                         std::vector<bool> selected(widget->count());
                         for (int i = 0; i < widget->count(); ++i)
                             selected[i] = widget->item(i)->isSelected();
                         m->userSelect(selected, widget->currentRow());
                     });
}

FormWindow::FormWindow(DialogForm& form, QWidget* parent, bool framed, double innerWidth,
                       double innerHeight)
    : QWidget(parent, framed ? Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                   Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowCloseButtonHint
                             : Qt::Window | Qt::FramelessWindowHint),
      form_(&form) {
    setObjectName(form.objectName());
    setWindowTitle(form.Caption);
    setAccessibleName(form.Caption.isEmpty() ? form.objectName() : form.Caption);
    setFixedSize(twips::px(innerWidth), twips::px(innerHeight));
    setFont(twips::font(QStringLiteral("Arial"), 8.25, true));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ToQColor(form.BackColor));
    setPalette(colours);
    connect(&form, &DialogForm::visibilityChanged, this, [this] {
        if (!form_) return;
        if (form_->visible())
            present();
        else
            hide();
    });
    connect(&form, &DialogForm::geometryChanged, this, [this] { place(); });
    // Escape closes the window as its frame's close button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(&form, &DialogForm::unloading, this, [this] {
        closingForForm_ = true;
        close();
        deleteLater();
    });
}

void FormWindow::place() {
    // Twips count from the corner of the screen's free area, as for the main window.
    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    const QPoint origin = where ? where->availableGeometry().topLeft() : QPoint();
    move(origin + QPoint(twips::px(form_->Left), twips::px(form_->Top)));
}

void FormWindow::present() {
    place();
    show();
    raise();
    activateWindow();
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closingForForm_ || !form_ || form_->unloaded()) return;
    frameClosed();
}

void FormWindow::frameClosed() { form_->Unload(); }
