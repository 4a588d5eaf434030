#include "sending/attempt_reader.h"

#include <cmath>

namespace {
// An attempt of fewer marks leaves the tracked speed as it was for the next one.
constexpr int kMarksForSpeed = 4;
}  // namespace

AttemptReader::AttemptReader(double setCpm, double dashRatio, double attemptPauseMs)
    : dotMs_(DotMsAtCpm(setCpm > 0 ? setCpm : 60.0)), ratio_(dashRatio), pauseMs_(attemptPauseMs) {}

bool AttemptReader::take(const std::vector<KeyedElement>& elements) {
    bool changed = false;
    for (const KeyedElement& e : elements) {
        if (!decoder_) {
            if (!e.mark) continue;
            decoder_.emplace(CpmForDotMs(dotMs_), ratio_);
        }
        changed = decoder_->feed(e) > 0 || changed;
        if (e.mark) lastMarkEndUs_ = e.atUs + std::llround(e.durationMs * 1000.0);
    }
    return changed;
}

bool AttemptReader::poll(int64_t nowUs, std::optional<int64_t> keyDownSinceUs) {
    if (!decoder_) return false;
    const QString before = decoder_->text();
    decoder_->poll(nowUs, keyDownSinceUs.value_or(-1));
    return decoder_->text() != before;
}

std::optional<int64_t> AttemptReader::nextDueUs() const {
    if (!decoder_ || decoder_->elements().empty() || !decoder_->elements().back().mark)
        return std::nullopt;
    const double dot = decoder_->dotMs();
    auto at = [&](double ms) { return lastMarkEndUs_ + std::llround(ms * 1000.0) + 1; };
    if (!decoder_->pendingPattern().isEmpty()) return at(FistDecoder::kCharGapDots * dot);
    const int64_t wordGap = at(FistDecoder::kWordGapDots * dot);
    if (!decoder_->text().endsWith(u' ') && at(pauseMs_) > wordGap) return wordGap;
    return at(pauseMs_);
}

bool AttemptReader::attemptOver(int64_t nowUs, std::optional<int64_t> keyDownSinceUs) const {
    if (!decoder_ || keyDownSinceUs) return false;
    if (decoder_->elements().empty() || !decoder_->elements().back().mark) return false;
    return (nowUs - lastMarkEndUs_) / 1000.0 >= pauseMs_;
}

QString AttemptReader::text() const { return decoder_ ? decoder_->text() : QString(); }

QString AttemptReader::pendingPattern() const {
    return decoder_ ? decoder_->pendingPattern() : QString();
}

double AttemptReader::dotMs() const { return decoder_ ? decoder_->dotMs() : dotMs_; }

std::optional<SendingAttempt> AttemptReader::finish(double idealDashRatio) {
    if (!decoder_) return std::nullopt;
    decoder_->finish();
    SendingAttempt attempt;
    attempt.elements = decoder_->elements();
    // A space keyed after the last mark (the next mark began) is no part of the attempt.
    while (!attempt.elements.empty() && !attempt.elements.back().mark) attempt.elements.pop_back();
    attempt.signs = decoder_->signs();
    attempt.text = decoder_->text().trimmed();
    attempt.dotMs = decoder_->dotMs();
    attempt.report = AnalyseFist(attempt.elements, attempt.signs, idealDashRatio);
    // A stray contact (a click, a touch of the key) says nothing about the learner's speed.
    int marks = 0;
    for (const KeyedElement& e : attempt.elements) marks += e.mark ? 1 : 0;
    if (marks >= kMarksForSpeed) {
        dotMs_ = decoder_->dotMs();
        ratio_ = decoder_->dashRatio();
    }
    decoder_.reset();
    return attempt;
}

std::vector<KeyedElement> IdealElements(const QString& text, double dotMs, double dashRatio,
                                        double charSpacing, double wordSpacing) {
    std::vector<KeyedElement> out;
    int64_t atUs = 0;
    auto put = [&](bool mark, double ms) {
        out.push_back({mark, atUs, ms});
        atUs += std::llround(ms * 1000.0);
    };
    bool wordGap = false;
    for (QChar c : text) {
        const QString pattern = PatternForCharacter(c == u'\\' ? QChar(u'/') : c);
        if (pattern.isEmpty()) {
            wordGap = wordGap || !out.empty();
            continue;
        }
        if (!out.empty()) put(false, dotMs * (wordGap ? 7.0 * wordSpacing : 3.0 * charSpacing));
        wordGap = false;
        for (qsizetype k = 0; k < pattern.size(); ++k) {
            if (k > 0) put(false, dotMs);
            put(true, dotMs * (pattern[k] == u'-' ? dashRatio : 1.0));
        }
    }
    return out;
}
