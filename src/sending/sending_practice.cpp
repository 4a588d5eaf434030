#include "sending/sending_practice.h"

#include <cmath>

#include "platform/record_sink.h"
#include "sending/attempt_entry.h"
#include "sound/sound_output.h"

namespace {
// Between the attempt as keyed and the same text at ideal timing on "Anhören" [ms].
constexpr double kPlaybackPauseMs = 800;

int KeyedCharacters(const QString& text) {
    int n = 0;
    for (QChar c : text)
        if (!c.isSpace()) ++n;
    return n;
}
}  // namespace

SendingPractice::SendingPractice(PracticeSetup setup)
    : setup_(std::move(setup)),
      reader_(setup_.setCpm, setup_.dashRatio, kAttemptPauseMs),
      exercise_(setup_.draw) {}

void SendingPractice::setMode(SendingMode mode) {
    exercise_.setMode(mode);
    present();
}

void SendingPractice::setHideTemplate(bool hide) {
    hideTemplate_ = hide;
    if (!hide) hidden_ = false;
}

void SendingPractice::nextText() {
    exercise_.skip();
    present();
}

void SendingPractice::present() {
    nextItemUs_.reset();
    hidden_ = false;
    exercise_.next();
    if (exercise_.mode() == SendingMode::Echo) sendItem();
}

void SendingPractice::replayItem() {
    if (exercise_.mode() == SendingMode::Echo) sendItem();
}

void SendingPractice::sendItem() {
    if (!setup_.output || exercise_.intended().isEmpty()) return;
    const double dotMs = DotMsAtCpm(setup_.setCpm);
    setup_.output->queueTones(ElementsToTones(
        IdealElements(exercise_.intended(), dotMs, setup_.dashRatio), setup_.pitchHz));
}

QString SendingPractice::templateText() const {
    switch (exercise_.mode()) {
        case SendingMode::Free:
            return {};
        case SendingMode::Template:
            return hidden_ ? QStringLiteral("(ausgeblendet)") : exercise_.intended();
        case SendingMode::Echo:
            return QStringLiteral("(hören und nachgeben)");
    }
    return {};
}

bool SendingPractice::itemComplete(std::optional<int64_t> keyDownSinceUs) const {
    // An echo is judged as soon as it has as many characters as the item and the learner
    // paused for a word gap, not only after the long pause.
    if (exercise_.mode() != SendingMode::Echo || keyDownSinceUs || !reader_.keying()) return false;
    if (!reader_.pendingPattern().isEmpty()) return false;
    const QString read = reader_.text();
    return read.endsWith(u' ') && KeyedCharacters(read) >= KeyedCharacters(exercise_.intended());
}

PracticeChange SendingPractice::step(const std::vector<KeyedElement>& fresh, int64_t nowUs,
                                     std::optional<int64_t> keyDownSinceUs) {
    PracticeChange change;
    const bool wasKeying = reader_.keying();
    change.textChanged = reader_.take(fresh);
    if (!wasKeying && (reader_.keying() || keyDownSinceUs)) {
        // Keying began: a pending item no longer interrupts, the template may go.
        nextItemUs_.reset();
        if (hideTemplate_ && exercise_.mode() == SendingMode::Template && !hidden_) {
            hidden_ = true;
            change.templateChanged = true;
        }
    }
    change.textChanged = reader_.poll(nowUs, keyDownSinceUs) || change.textChanged;
    if (reader_.attemptOver(nowUs, keyDownSinceUs) || itemComplete(keyDownSinceUs)) {
        PracticeChange closed = close(nowUs);
        change.verdict = std::move(closed.verdict);
        change.templateChanged = change.templateChanged || closed.templateChanged;
        change.textChanged = true;
    } else if (nextItemUs_ && nowUs >= *nextItemUs_) {
        nextItemUs_.reset();
        present();
        change.templateChanged = true;
    }
    return change;
}

PracticeChange SendingPractice::endAttempt(int64_t nowUs) {
    PracticeChange change = close(nowUs);
    change.textChanged = true;
    return change;
}

PracticeChange SendingPractice::close(int64_t nowUs) {
    PracticeChange change;
    auto attempt = reader_.finish(setup_.dashRatio);
    if (!attempt) return change;
    const QString intended = exercise_.intended();
    SendingVerdict verdict = exercise_.judge(*attempt);
    change.verdict = verdict;
    if (setup_.record) {
        setup_.record->sending(EntryOf(*attempt, verdict, exercise_.mode(), intended,
                                       setup_.now ? setup_.now() : QDateTime(), setup_.pitchHz));
    }
    attempts_.push_back(std::move(*attempt));
    verdicts_.push_back(std::move(verdict));
    switch (exercise_.mode()) {
        case SendingMode::Free:
            break;
        case SendingMode::Template:
            present();
            change.templateChanged = true;
            break;
        case SendingMode::Echo:
            nextItemUs_ = nowUs + static_cast<int64_t>(kNextItemAfterMs * 1000.0);
            break;
    }
    return change;
}

std::optional<int64_t> SendingPractice::nextDueUs() const {
    std::optional<int64_t> due = reader_.nextDueUs();
    if (nextItemUs_ && (!due || *nextItemUs_ < *due)) due = nextItemUs_;
    return due;
}

bool SendingPractice::playLastAttempt() {
    if (!setup_.output || attempts_.empty()) return false;
    const SendingAttempt& last = attempts_.back();
    if (last.elements.empty()) return false;
    std::vector<ToneSegment> tones = ElementsToTones(last.elements, setup_.pitchHz);
    const QString text = last.text;
    const double dotMs = last.report.wpm > 0 ? 1200.0 / last.report.wpm : last.dotMs;
    const auto ideal = IdealElements(text, dotMs, setup_.dashRatio);
    if (!ideal.empty()) {
        tones.push_back({0, kPlaybackPauseMs, 0});
        for (const ToneSegment& t : ElementsToTones(ideal, setup_.pitchHz)) tones.push_back(t);
    }
    setup_.output->queueTones(tones);
    return true;
}
