#pragma once

#include <QString>
#include <functional>

#include "record/copy_alignment.h"
#include "sending/attempt_reader.h"

// What the learner keys in "Geben üben".
//   Free      anything; it is read, not judged
//   Template  a text shown in the window (it may be hidden once keying starts)
//   Echo      the trainer sends an item, the learner keys it back; a wrong one comes again
enum class SendingMode { Free = 0, Template = 1, Echo = 2 };

// The judgement of one attempt against the intended text.
struct SendingVerdict {
    bool judged = false;  // there was an intended text
    bool right = false;   // every character keyed as intended, none missing or extra
    CopyCheckResult check;
    QString said;  // German: right or wrong, what was read, the timing
};

// The exercise of "Geben üben": which text the learner is to key and how an attempt went.
// The texts come from `draw` (the trainer's generators for the current kind, so many items).
class SendingExercise {
public:
    using Draw = std::function<QString(int items)>;
    // Items in a "Vorlage"; "Nachgeben" asks one at a time.
    static constexpr int kTemplateItems = 5;

    explicit SendingExercise(Draw draw);

    void setMode(SendingMode mode);
    SendingMode mode() const { return mode_; }
    // Chooses what to key next: a fresh text, or in "Echo" the same item again after a wrong
    // attempt. Free keying has none.
    const QString& next();
    // Gives up the current item (the learner asked for another one).
    void skip() { repeat_ = false; }
    const QString& intended() const { return intended_; }
    // An item keyed wrong is asked again by next().
    bool repeating() const { return repeat_; }

    // Judges an attempt with the copy check's alignment; in "Echo" a wrong attempt makes the
    // next item the same one.
    SendingVerdict judge(const SendingAttempt& attempt);

private:
    Draw draw_;
    SendingMode mode_ = SendingMode::Free;
    QString intended_;
    bool repeat_ = false;
};

// "62 Zeichen/min, Gleichmäßigkeit 80" for a verdict.
QString TimingInShort(const FistReport& report);
