#pragma once

#include <QObject>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "support/rig.h"

// A key typed while the main window is active: the window's key preview first, then the box
// with the focus.
inline void TypeIntoWindow(Form1& f, int key) {
    int code = key;
    if (f.onKeyPress) f.onKeyPress(code);
    if (code != 0) f.Text2.typeKey(code);
}

// Plays the user of the question-and-answer drill: every time the drill hands the answer box
// the focus (ready for the start key, an answer or the closing key), the next scripted key is
// typed a little later. The drill's waits then run on scripted events alone.
class DrillUser {
public:
    enum class Kind { Key, Right, RightLower, Wrong, GiveUp, Enter, Idle };
    struct Step {
        Kind kind = Kind::Key;
        int key = 0;
        double delay = 0.3;            // seconds after the focus
        double atTime = -1;            // or at this virtual second, if later
        std::function<void()> before;  // runs just before the key is typed
    };

    explicit DrillUser(TestRig& rig) : rig_(rig) {
        connection_ =
            QObject::connect(&rig.f.Text2, &Control::focusRequested, [this] { onFocus(); });
    }
    ~DrillUser() { QObject::disconnect(connection_); }

    DrillUser& key(int code, double atTime = -1) { return add(Kind::Key, code, atTime); }
    DrillUser& right(int times = 1) {
        for (int i = 0; i < times; ++i) add(Kind::Right);
        return *this;
    }
    DrillUser& rightLower() { return add(Kind::RightLower); }
    DrillUser& wrong() { return add(Kind::Wrong); }
    DrillUser& giveUp() { return add(Kind::GiveUp, ' '); }
    // Leaves the drill waiting for an answer.
    DrillUser& idle() { return add(Kind::Idle); }
    DrillUser& enter(double atTime = -1) { return add(Kind::Enter, 13, atTime); }
    DrillUser& then(std::function<void()> action) {
        steps_.back().before = std::move(action);
        return *this;
    }
    DrillUser& fast() {
        for (Step& step : steps_) step.delay = 0.01;
        return *this;
    }

    // The characters as the drill asked them (upper case), repetitions included.
    QStringList asked;
    // True when the drill wanted more keys than were scripted; it was then released.
    bool ranOut = false;

private:
    DrillUser& add(Kind kind, int key = 0, double atTime = -1) {
        Step step;
        step.kind = kind;
        step.key = key;
        step.atTime = atTime;
        steps_.push_back(std::move(step));
        return *this;
    }

    void onFocus() {
        if (!rig_.f.COM_FA.pressed()) return;
        if (steps_.empty()) {
            ranOut = true;
            rig_.clock.post([this] { rig_.f.COM_FA.setPressed(false); });
            return;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        const QString current = rig_.s.CurrentChar;
        if (step.kind == Kind::Right || step.kind == Kind::RightLower || step.kind == Kind::Wrong ||
            step.kind == Kind::GiveUp || step.kind == Kind::Idle)
            asked << current;
        if (step.kind == Kind::Idle) return;
        int code = step.key;
        if (step.kind == Kind::Right) code = current.front().unicode();
        if (step.kind == Kind::RightLower) code = current.front().toLower().unicode();
        if (step.kind == Kind::Wrong) code = '#';
        const double when = std::max(rig_.clock.monotonicSeconds() + step.delay, step.atTime);
        rig_.clock.at(when, [this, code, before = step.before] {
            if (before) before();
            TypeIntoWindow(rig_.f, code);
        });
    }

    TestRig& rig_;
    std::deque<Step> steps_;
    QMetaObject::Connection connection_;
};
