#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "sending/attempt_reader.h"
#include "sending/sending_exercise.h"

class RecordSink;
class SoundOutput;

// How "Geben üben" is set up for a practice.
struct PracticeSetup {
    double setCpm = 60;              // the trainer's speed
    double dashRatio = 3.0;          // the trainer's dash [dots]
    double pitchHz = 800;            // the trainer's tone, for items and playback
    SoundOutput* output = nullptr;   // where items and playback sound; none: silent
    SendingExercise::Draw draw;      // the trainer's generators
    RecordSink* record = nullptr;    // where each attempt is recorded; none: not recorded
    std::function<QDateTime()> now;  // the local time an attempt is recorded with
};

// What the window shows anew after a step.
struct PracticeChange {
    bool textChanged = false;               // the text read of the current attempt
    bool templateChanged = false;           // the text to key, or that it is hidden now
    std::optional<SendingVerdict> verdict;  // an attempt ended
};

// The logic of "Geben üben" between the keyer and the window: reads the keying, ends attempts,
// judges them in the chosen exercise, sends "Nachgeben" items and plays attempts back. Runs on
// the moments it is given [µs, the keyer's monotonic clock].
class SendingPractice {
public:
    // The learner pauses this long after the last mark: the attempt is over [ms].
    static constexpr double kAttemptPauseMs = 2500;
    // After a verdict in "Nachgeben" the next item comes after this pause [ms].
    static constexpr double kNextItemAfterMs = 1200;

    explicit SendingPractice(PracticeSetup setup);

    // Starts the exercise anew with its first text (in "Nachgeben": sends the first item).
    void setMode(SendingMode mode);
    SendingMode mode() const { return exercise_.mode(); }
    void setHideTemplate(bool hide);
    // The learner asks for another text; in "Nachgeben" a new item sounds.
    void nextText();
    // Sends the current "Nachgeben" item again.
    void replayItem();

    // New elements from the keyer, the moment now and where a mark still keyed began.
    PracticeChange step(const std::vector<KeyedElement>& fresh, int64_t nowUs,
                        std::optional<int64_t> keyDownSinceUs);
    // Ends the attempt now (the button); no verdict when nothing was keyed.
    PracticeChange endAttempt(int64_t nowUs);
    // When step should run next although no element comes.
    std::optional<int64_t> nextDueUs() const;

    // What the window shows as the text to key; empty in free keying.
    QString templateText() const;
    // What has been read of the attempt keyed now.
    QString currentText() const { return reader_.text(); }
    const std::vector<SendingAttempt>& attempts() const { return attempts_; }
    const std::vector<SendingVerdict>& verdicts() const { return verdicts_; }
    const SendingExercise& exercise() const { return exercise_; }
    // The learner's dot as the reading tracks it [ms].
    double trackedDotMs() const { return reader_.dotMs(); }

    // "Anhören": the last attempt exactly as keyed, then its text at ideal timing at the
    // learner's speed. False when there is nothing to play.
    bool playLastAttempt();

private:
    void present();
    void sendItem();
    bool itemComplete(std::optional<int64_t> keyDownSinceUs) const;
    PracticeChange close(int64_t nowUs);

    PracticeSetup setup_;
    AttemptReader reader_;
    SendingExercise exercise_;
    bool hideTemplate_ = false;
    bool hidden_ = false;  // keying began with the option on
    std::optional<int64_t> nextItemUs_;
    std::vector<SendingAttempt> attempts_;
    std::vector<SendingVerdict> verdicts_;
};
