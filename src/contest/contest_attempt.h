#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/record_sink.h"

class SoundNeedScope;

struct ContestOptions {
    int startBpm = 100;
    bool fixedSpeed = false;        // the speed stays at the start speed
    bool unlimitedRepeats = false;  // F6 as often as wanted
    bool varyPitch = false;         // each call at a pitch drawn around pitchHz
    double pitchHz = 800;
    QStringList calls;  // the calls of the attempt, in order
    QString source;     // where they came from, for the record and the summary
};

// The calls of one attempt: kContestCalls drawn from `list`, or from the trainer's call-sign
// generator when the list is empty.
QStringList DrawContestCalls(const QStringList& list);

// True when nothing else sounds (no run, preamble, drill, reading or keyboard mode), so that an
// attempt may begin.
bool TrainerQuietForContest();

// How one call went.
struct ContestCallOutcome {
    int number = 0;  // 1-based
    ContestCallEntry entry;
    int nextBpm = 0;  // speed of the following call
    double pitchHz = 0;
};

// One attempt of the call-sign contest: sounds each call through the engine at the speed of the
// moment, waits for the learner's answer, scores it and moves the speed. Every input may come
// while a call sounds (the sound handles window events): it is then taken once the sound is
// over, so that calls never nest.
class ContestAttempt {
public:
    enum class Phase { Ready, Running, Finished, Stopped };

    explicit ContestAttempt(ContestOptions options);
    ~ContestAttempt();
    ContestAttempt(const ContestAttempt&) = delete;
    ContestAttempt& operator=(const ContestAttempt&) = delete;

    // Sounds the first call; returns once it has sounded (or the attempt is over).
    void start();
    // The learner typed a key of the answer; the first one ends the reaction time.
    void keyTyped();
    // Enter: scores the current call and sounds the next one.
    void submit(const QString& typed);
    // F6: the current call once more; its points are halved. False when no repeat is left.
    bool repeat();
    // F7: the previous call once more, without any effect on the score. False without one.
    bool playPrevious();
    // Ends the attempt at once; the calls answered so far are recorded.
    void stop();

    Phase phase() const { return phase_; }
    bool sounding() const { return sounding_; }
    // True while a method of the attempt is on the stack (a call sounds, the pause runs).
    bool busy() const { return busy_; }
    int callNumber() const { return current_ + 1; }  // the call being asked, 1-based
    int callCount() const { return static_cast<int>(options_.calls.size()); }
    int speedBpm() const { return speedBpm_; }
    int score() const { return score_; }
    int highestBpm() const { return highestBpm_; }
    bool forBestList() const { return !options_.fixedSpeed && !options_.unlimitedRepeats; }
    bool repeatLeft() const;
    const ContestOptions& options() const { return options_; }
    const std::vector<ContestCallOutcome>& outcomes() const { return outcomes_; }
    QDateTime startedAt() const { return startedAt_; }
    // The attempt as the learner's record keeps it.
    ContestAttemptEntry entry() const;

    std::function<void()> onCallStarted;  // a new call begins to sound
    std::function<void(const ContestCallOutcome&)> onScored;
    std::function<void()> onEnded;  // finished or stopped

private:
    void advance();
    void scorePending();
    void sound(const QString& call, int speedBpm, double pitchHz);
    void beginCall();
    void end(Phase phase);

    ContestOptions options_;
    Phase phase_ = Phase::Ready;
    int current_ = 0;
    int speedBpm_ = 0;
    int score_ = 0;
    int highestBpm_ = 0;
    double pitchHz_ = 0;  // of the current call
    bool repeated_ = false;
    int repeats_ = 0;
    double callEndS_ = 0;    // monotonic; end of the current call's first sounding
    double firstKeyS_ = -1;  // monotonic; -1 before the first key
    bool sounding_ = false;
    bool busy_ = false;
    bool stopRequested_ = false;
    bool answerPending_ = false;
    QString pendingAnswer_;
    double answerAtS_ = 0;
    bool repeatPending_ = false;
    bool previousPending_ = false;
    bool wasRunAllowed_ = false;
    QDateTime startedAt_;
    std::vector<ContestCallOutcome> outcomes_;
    std::unique_ptr<SoundNeedScope> soundNeed_;
};
