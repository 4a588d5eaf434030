#include "mainwindow/ui/function_keys.h"

#include <QAction>
#include <QEvent>
#include <QPushButton>
#include <QShortcut>

#include "platform/form1.h"
#include "state/shared_state.h"

namespace {

// Takes a button's shortcut before the button does: the button would only animate a click
// (a tenth of a second later, whatever happened meanwhile), this runs the model's click at
// once or not at all. A key that is `alwaysFree` acts in keyboard mode and in the drill too.
class KeyGate : public QObject {
public:
    KeyGate(Button& model, const Form1& form, bool alwaysFree, QObject* parent)
        : QObject(parent), model_(model), form_(form), alwaysFree_(alwaysFree) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) return QObject::eventFilter(watched, event);
        const bool free = alwaysFree_ || FunctionKeysFree(form_);
        if (free && model_.enabled() && model_.visible()) model_.click();
        return true;
    }

private:
    Button& model_;
    const Form1& form_;
    bool alwaysFree_;
};

// Swallows an action's shortcut while the keys are taken; otherwise the action handles it.
class ActionGate : public QObject {
public:
    ActionGate(const Form1& form, QObject* parent) : QObject(parent), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Shortcut && !FunctionKeysFree(form_)) return true;
        return QObject::eventFilter(watched, event);
    }

private:
    const Form1& form_;
};

}  // namespace

bool FunctionKeysFree(const Form1& form) { return !S().KeyboardMode && !form.COM_FA.pressed(); }

void AddFunctionKeys(QWidget* window, Form1& f) {
    const struct {
        Qt::Key key;
        Button* model;
        bool alwaysFree;
    } keys[] = {
        {Qt::Key_F2, &f.com_vorlesen, false}, {Qt::Key_F3, &f.Com_Tastatur, false},
        {Qt::Key_F4, &f.C_Hoeren, true},      {Qt::Key_F5, &f.Comstart, false},
        {Qt::Key_F6, &f.compause, false},     {Qt::Key_F7, &f.comstop, true},
        {Qt::Key_F8, &f.COM_vvv, false},      {Qt::Key_F9, &f.COM_FA, false},
        {Qt::Key_F10, &f.comloe, false},      {Qt::Key_F11, &f.comexit, false},
    };
    for (const auto& k : keys) {
        auto* button = window->findChild<QPushButton*>(k.model->objectName());
        button->setShortcut(QKeySequence(k.key));
        button->installEventFilter(new KeyGate(*k.model, f, k.alwaysFree, button));
    }
    // "Info" is an entry of the menu bar.
    auto* info = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(info, &QShortcut::activated, window, [&f] {
        if (FunctionKeysFree(f) && f.MInfo.enabled() && f.MInfo.visible()) f.MInfo.click();
    });
}

void GateShortcut(QAction* action, const Form1& form) {
    action->installEventFilter(new ActionGate(form, action));
}
