#include "mainwindow/ui/function_keys.h"

#include <QEvent>
#include <QPushButton>
#include <QShortcut>

#include "platform/form1.h"
#include "state/shared_state.h"

namespace {

// Takes a button's shortcut before the button does: the button would only animate a click
// (a tenth of a second later, whatever happened meanwhile), this runs the model's click at
// once or not at all.
class KeyGate : public QObject {
public:
    KeyGate(Button& model, const Form1& form, QObject* parent)
        : QObject(parent), model_(model), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) return QObject::eventFilter(watched, event);
        if (FunctionKeysFree(form_) && model_.enabled() && model_.visible()) model_.click();
        return true;
    }

private:
    Button& model_;
    const Form1& form_;
};

}  // namespace

bool FunctionKeysFree(const Form1& form) { return !S().KeyboardMode && !form.COM_FA.pressed(); }

void AddFunctionKeys(QWidget* window, Form1& f) {
    const std::pair<Qt::Key, Button*> keys[] = {
        {Qt::Key_F2, &f.com_vorlesen}, {Qt::Key_F3, &f.Com_Tastatur}, {Qt::Key_F4, &f.C_Hoeren},
        {Qt::Key_F5, &f.Comstart},     {Qt::Key_F6, &f.compause},     {Qt::Key_F7, &f.comstop},
        {Qt::Key_F8, &f.COM_vvv},      {Qt::Key_F9, &f.COM_FA},       {Qt::Key_F10, &f.comloe},
        {Qt::Key_F11, &f.comexit},
    };
    for (const auto& [key, model] : keys) {
        auto* button = window->findChild<QPushButton*>(model->objectName());
        button->setShortcut(QKeySequence(key));
        button->installEventFilter(new KeyGate(*model, f, button));
    }
    // "Info" is an entry of the menu bar.
    auto* info = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(info, &QShortcut::activated, window, [&f] {
        if (FunctionKeysFree(f) && f.MInfo.enabled() && f.MInfo.visible()) f.MInfo.click();
    });
}
