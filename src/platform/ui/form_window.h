#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "platform/controls.h"
#include "platform/dialog_form.h"
#include "platform/list_box.h"
#include "platform/ui/twips.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

QColor ToQColor(Rgb color);

// Mirrors of the control models onto widgets: the model's changes show on the widget, the
// user's actions on the widget go to the model. Each widget gets the model's name as its
// objectName and `accessible` (a German caption) as its accessible name.
void BindLabel(Label& model, QLabel* widget);
void BindButton(Button& model, QPushButton* widget);
void BindCheckBox(CheckBox& model, QCheckBox* widget, const QString& caption);
void BindTextBox(TextBox& model, QLineEdit* widget, const QString& accessible);
void BindTextBox(TextBox& model, QPlainTextEdit* widget, const QString& accessible);
void BindListBox(ListBox& model, QListWidget* widget, const QString& accessible);

// The window of one dialog form: a top-level window of its own with the main window as
// parent, never modal. It follows the form's visibility and goes when the form is discarded.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    // `innerWidth`/`innerHeight`: the client area in twips. Framed windows have a fixed dialog
    // frame with a title bar; the others have neither frame nor title bar.
    FormWindow(DialogForm& form, QWidget* parent, bool framed, double innerWidth,
               double innerHeight);
    DialogForm* form() const { return form_; }
    // Places the window where the form says and brings it to the front.
    void present();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The user closed the window through its frame (or the window system) while the form
    // still exists. Discards the form unless a dialog says otherwise.
    virtual void frameClosed();

private:
    void place();

    QPointer<DialogForm> form_;
    bool closingForForm_ = false;
};
