#include "contest/contest_attempt.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "contest/contest_scoring.h"
#include "engine/timing.h"
#include "engine/tone_control.h"
#include "exercises/call_signs.h"
#include "platform/clock.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "sound/sound_output.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString kDigits = QStringLiteral("0123456789");
// Between the answer and the next call, so that the verdict can be read or heard [s].
constexpr double kPauseBeforeCallS = 1.0;
// A varied pitch lies this share above or below the chosen one.
constexpr double kPitchSpread = 0.1;
// Longest answer taken; a call has at most a dozen characters.
constexpr int kMaxAnswerChars = 32;

int drawIndex(int n) {
    const float r = Platform().random.Rnd();
    return std::min(static_cast<int>(std::floor(r * static_cast<float>(n))), n - 1);
}

double monotonicNow() { return Platform().clock->monotonicSeconds(); }

int msBetween(double fromS, double toS) {
    return static_cast<int>(std::lround(std::clamp((toS - fromS) * 1000.0, 0.0, 3600000.0)));
}
}  // namespace

QStringList DrawContestCalls(const QStringList& list) {
    QStringList calls;
    if (list.isEmpty()) {
        for (int i = 0; i < kContestCalls; ++i) calls << DrawCallSign(kLetters, kDigits);
        return calls;
    }
    // Without repetition as long as the list lasts: a shuffle of as much of it as is needed,
    // started again on a fresh copy when the list is shorter than the attempt.
    while (calls.size() < kContestCalls) {
        QStringList pool = list;
        const int take = std::min<int>(static_cast<int>(pool.size()),
                                       kContestCalls - static_cast<int>(calls.size()));
        for (int i = 0; i < take; ++i) {
            const int j = i + drawIndex(static_cast<int>(pool.size()) - i);
            pool.swapItemsAt(i, j);
            calls << pool[i];
        }
    }
    return calls;
}

bool TrainerQuietForContest() {
    const SharedState& s = S();
    const Form1& f = form1();
    return s.RunAllowed && !s.InPreamble && !s.ReadingAloud && !s.KeyboardMode &&
           !f.COM_FA.pressed() && f.Comstart.enabled();
}

ContestAttempt::ContestAttempt(ContestOptions options) : options_(std::move(options)) {
    options_.startBpm = std::clamp(options_.startBpm, kContestFloorBpm, kContestHighestBpm);
    speedBpm_ = options_.startBpm;
}

ContestAttempt::~ContestAttempt() {
    if (phase_ == Phase::Running) S().RunAllowed = wasRunAllowed_;
}

bool ContestAttempt::repeatLeft() const { return options_.unlimitedRepeats || repeats_ == 0; }

void ContestAttempt::start() {
    if (phase_ != Phase::Ready || options_.calls.isEmpty()) return;
    phase_ = Phase::Running;
    startedAt_ = Platform().clock->now();
    // No run of the main window may start while the calls sound.
    wasRunAllowed_ = S().RunAllowed;
    S().RunAllowed = false;
    // The calls follow the answers: the stream stays open between them.
    soundNeed_ =
        std::make_unique<SoundNeedScope>(Platform().tonwerk->output(), SoundNeed{.keepOpen = true});
    busy_ = true;
    beginCall();
    busy_ = false;
    advance();
}

void ContestAttempt::beginCall() {
    repeated_ = false;
    repeats_ = 0;
    firstKeyS_ = -1;
    answerPending_ = false;
    repeatPending_ = false;
    previousPending_ = false;
    pitchHz_ = options_.pitchHz;
    if (options_.varyPitch) {
        const double r = Platform().random.Rnd();
        pitchHz_ = std::round(options_.pitchHz * (1.0 + kPitchSpread * (2.0 * r - 1.0)));
    }
    if (onCallStarted) onCallStarted();
    sound(options_.calls[current_], speedBpm_, pitchHz_);
    callEndS_ = S().LastSignEndSeconds;
}

void ContestAttempt::keyTyped() {
    if (phase_ == Phase::Running && firstKeyS_ < 0) firstKeyS_ = monotonicNow();
}

void ContestAttempt::submit(const QString& typed) {
    // A second Enter while the call still sounds does not replace the answer given.
    if (phase_ != Phase::Running || answerPending_) return;
    pendingAnswer_ = typed.left(kMaxAnswerChars);
    answerAtS_ = monotonicNow();
    answerPending_ = true;
    advance();
}

bool ContestAttempt::repeat() {
    if (phase_ != Phase::Running || !repeatLeft()) return false;
    ++repeats_;
    repeated_ = true;
    repeatPending_ = true;
    advance();
    return true;
}

bool ContestAttempt::playPrevious() {
    if (phase_ != Phase::Running || outcomes_.empty()) return false;
    previousPending_ = true;
    advance();
    return true;
}

void ContestAttempt::stop() {
    if (phase_ != Phase::Running) return;
    stopRequested_ = true;
    Platform().tonwerk->StopSound();
    advance();
}

// Takes what the learner asked for, one thing at a time. A call made while this runs (from the
// events a sound handles) only leaves its wish behind, which the loop then takes.
void ContestAttempt::advance() {
    if (busy_) return;
    busy_ = true;
    while (phase_ == Phase::Running) {
        if (stopRequested_) {
            end(Phase::Stopped);
        } else if (answerPending_) {
            answerPending_ = false;
            scorePending();
        } else if (repeatPending_) {
            repeatPending_ = false;
            sound(options_.calls[current_], speedBpm_, pitchHz_);
            // Before the first key the reaction runs from the end of the repeat.
            if (firstKeyS_ < 0) callEndS_ = S().LastSignEndSeconds;
        } else if (previousPending_) {
            previousPending_ = false;
            const ContestCallOutcome& previous = outcomes_.back();
            sound(previous.entry.sent, previous.entry.speedBpm, previous.pitchHz);
        } else {
            break;
        }
    }
    busy_ = false;
}

void ContestAttempt::scorePending() {
    ContestCallOutcome outcome;
    outcome.number = current_ + 1;
    outcome.pitchHz = pitchHz_;
    ContestCallEntry& e = outcome.entry;
    e.sent = options_.calls[current_];
    e.typed = pendingAnswer_.trimmed().toUpper();
    e.speedBpm = speedBpm_;
    e.repeated = repeated_;
    const ScoredCall scored = ScoreContestCall(e.sent, e.typed, speedBpm_, repeated_);
    e.wrong = scored.wrong;
    e.points = scored.points;
    for (const AlignedPair& p : scored.alignment.pairs) {
        e.pairs.push_back({p.sent.isNull() ? QString() : QString(p.sent),
                           p.copied.isNull() ? QString() : QString(p.copied)});
    }
    // Without a key before Enter the answer was empty: its reaction ends at Enter.
    const double firstKey = firstKeyS_ < 0 ? answerAtS_ : firstKeyS_;
    e.reactionMs = msBetween(callEndS_, firstKey);
    e.typingMs = msBetween(firstKey, answerAtS_);
    outcome.nextBpm = options_.fixedSpeed ? speedBpm_ : NextContestSpeed(speedBpm_, scored.right());

    score_ += e.points;
    if (scored.right()) highestBpm_ = std::max(highestBpm_, speedBpm_);
    speedBpm_ = outcome.nextBpm;
    outcomes_.push_back(outcome);
    ++current_;
    if (onScored) onScored(outcomes_.back());
    if (current_ >= callCount()) {
        end(Phase::Finished);
        return;
    }
    WaitSeconds(static_cast<float>(kPauseBeforeCallS));
    if (stopRequested_) return;
    beginCall();
}

void ContestAttempt::sound(const QString& call, int speedBpm, double pitchHz) {
    SharedState& s = S();
    const float dotMs = static_cast<float>(ContestDotMs(speedBpm));
    const float savedDot = s.DotMs, savedDash = s.DashMs, savedGap = s.CharGap;
    const float savedPitch = s.TonePitch;
    sounding_ = true;
    for (const QChar c : call) {
        if (stopRequested_) break;
        // Set anew for every character: the main window may derive its timing meanwhile.
        // Dash three dots, three dots between characters (a dot after the last element, the
        // gap, and one more dot).
        s.DotMs = dotMs;
        s.DashMs = 3.0f * dotMs;
        s.CharGap = dotMs;
        s.TonePitch = static_cast<float>(pitchHz);
        PlayCharacter(QString(c));
    }
    sounding_ = false;
    s.DotMs = savedDot;
    s.DashMs = savedDash;
    s.CharGap = savedGap;
    s.TonePitch = savedPitch;
}

void ContestAttempt::end(Phase phase) {
    phase_ = phase;
    S().RunAllowed = wasRunAllowed_;
    soundNeed_.reset();
    if (RecordSink* sink = Platform().record; sink && !outcomes_.empty()) sink->contest(entry());
    if (onEnded) onEnded();
}

ContestAttemptEntry ContestAttempt::entry() const {
    ContestAttemptEntry e;
    e.at = startedAt_;
    e.score = score_;
    e.startBpm = options_.startBpm;
    e.finalBpm = speedBpm_;
    e.highestBpm = highestBpm_;
    e.completed = phase_ == Phase::Finished;
    e.forBestList = forBestList();
    e.source = options_.source;
    QStringList chosen;
    if (options_.fixedSpeed) chosen << QStringLiteral("feste Geschwindigkeit");
    if (options_.unlimitedRepeats) chosen << QStringLiteral("beliebig viele Wiederholungen");
    if (options_.varyPitch) chosen << QStringLiteral("wechselnde Tonhöhe");
    e.options = chosen.join(u',');
    e.pitchHz = options_.pitchHz;
    for (const ContestCallOutcome& o : outcomes_) e.calls.push_back(o.entry);
    return e;
}
