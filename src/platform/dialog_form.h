#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "platform/controls.h"

// One of the program's own dialog windows as the logic sees it: its geometry (twips, outer
// size), whether it is shown, and whether it still exists. The window that mirrors it follows
// these signals; a test drives the form's controls directly.
class DialogForm : public QObject {
    Q_OBJECT
public:
    DialogForm(const char* name, const QString& caption, double width, double height,
               Rgb backColor);

    QString Caption;
    double Left = 0, Top = 0, Width, Height;
    Rgb BackColor;

    bool visible() const { return visible_; }
    void Show();
    void Hide();
    // Discards the form; it stops being the program's instance at once, and the next use
    // creates a fresh one.
    void Unload();
    bool unloaded() const { return unloaded_; }

signals:
    void visibilityChanged();
    void geometryChanged();
    void unloading();

private:
    template <class Form>
    friend class FormSlot;
    std::function<void()> unloader_;
    bool visible_ = false;
    bool unloaded_ = false;
};

// The screen the dialogs are placed on, in twips; the window layer fills it in.
struct ScreenSize {
    double Width = 1920 * 15;
    double Height = 1080 * 15;
};
ScreenSize& Screen();

// Holds the one instance of a dialog form: created and loaded on first use, discarded by
// Unload. A discarded form lives on until the next one is discarded, because it is usually
// discarded from inside one of its own handlers.
template <class Form>
class FormSlot {
public:
    Form* get() const { return current_.get(); }
    Form& load() {
        if (!current_) {
            current_ = std::make_unique<Form>();
            current_->unloader_ = [this] { retired_ = std::move(current_); };
            current_->Form_Load();
        }
        return *current_;
    }
    void reset() {
        current_.reset();
        retired_.reset();
    }

private:
    std::unique_ptr<Form> current_;
    std::unique_ptr<Form> retired_;
};
