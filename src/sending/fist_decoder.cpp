#include "sending/fist_decoder.h"

#include <QHash>
#include <algorithm>
#include <cmath>

#include "engine/morse_table.h"

namespace {
// The engine's dot is 77 ms at 60 cpm.
constexpr double kDotMsTimesCpm = 77.0 * 60.0;
// Weight of the newest mark or element gap in the tracked dot: high enough to follow a speed
// that doubles within ten characters, low enough that one sloppy element moves it little.
constexpr double kTrackWeight = 0.18;
// The k-means clusters count as dots and dashes when their lengths differ by this much.
constexpr double kMinRatio = 2.0;
constexpr double kMaxRatio = 4.0;
// The tracked dot stays within 5 ms (over 900 cpm) and 2 s, whatever the key delivers.
constexpr double kShortestDotMs = 5.0;
constexpr double kLongestDotMs = 2000.0;
// Dots and dashes part a little below the geometric mean of their lengths: a sloppy fist
// stretches both by the same share, which leaves less room below the dash than above the dot.
constexpr double kMarkBorder = 0.95;
// A tracked dot this far from the dots the recent marks show is thrown away for theirs: the
// learner keys at another speed than the one set.
constexpr double kReanchorShare = 0.35;

const QHash<QString, QString>& patternTable() {
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> t;
        // The first of two characters with one pattern wins: "(" before ")".
        for (const MorseSign& sign : MorseSigns()) {
            const QString pattern = QString::fromLatin1(sign.pattern);
            if (!t.contains(pattern)) t.insert(pattern, QString(QChar::fromLatin1(sign.character)));
        }
        t.insert(QStringLiteral(".-.-"), QStringLiteral("Ä"));
        t.insert(QStringLiteral("---."), QStringLiteral("Ö"));
        t.insert(QStringLiteral("..--"), QStringLiteral("Ü"));
        return t;
    }();
    return table;
}

struct Clusters {
    double low = 0;
    double high = 0;
    bool split = false;  // both clusters have members
};

// Two-means of a few lengths, starting from the extremes.
Clusters TwoMeans(const double* values, int count) {
    Clusters c;
    if (count < 2) return c;
    c.low = *std::min_element(values, values + count);
    c.high = *std::max_element(values, values + count);
    if (!(c.high > c.low)) return c;
    for (int round = 0; round < 8; ++round) {
        const double border = (c.low + c.high) / 2.0;
        double sumLow = 0, sumHigh = 0;
        int nLow = 0, nHigh = 0;
        for (int i = 0; i < count; ++i) {
            if (values[i] < border) {
                sumLow += values[i];
                ++nLow;
            } else {
                sumHigh += values[i];
                ++nHigh;
            }
        }
        if (nLow == 0 || nHigh == 0) return c;
        const double low = sumLow / nLow;
        const double high = sumHigh / nHigh;
        const bool settled = low == c.low && high == c.high;
        c.low = low;
        c.high = high;
        if (settled) break;
    }
    c.split = true;
    return c;
}
}  // namespace

double DotMsAtCpm(double cpm) { return kDotMsTimesCpm / cpm; }
double CpmForDotMs(double dotMs) { return kDotMsTimesCpm / dotMs; }

QString CharacterForPattern(const QString& pattern) { return patternTable().value(pattern); }

QString PatternForCharacter(QChar c) {
    const QString upper = c.toUpper();
    const auto& table = patternTable();
    for (auto it = table.begin(); it != table.end(); ++it) {
        if (it.value() == upper) return it.key();
    }
    // The character that shares its pattern with one read first.
    for (const MorseSign& sign : MorseSigns()) {
        if (QChar::fromLatin1(sign.character) == upper) return QString::fromLatin1(sign.pattern);
    }
    return {};
}

FistDecoder::FistDecoder(double setCpm, double dashRatio)
    : dotMs_(DotMsAtCpm(setCpm > 0 ? setCpm : 60.0)),
      ratio_(dashRatio >= kMinRatio && dashRatio <= kMaxRatio ? dashRatio : 3.0) {}

int FistDecoder::feed(const KeyedElement& element) {
    if (!(element.durationMs >= 0) || !std::isfinite(element.durationMs)) return 0;
    int completed = 0;
    const bool afterMark = !elements_.empty() && elements_.back().mark;
    elements_.push_back(element);
    const int index = static_cast<int>(elements_.size()) - 1;
    if (element.mark) {
        // Two marks in a row: the silence between them is what their moments say.
        if (afterMark) {
            const double silenceMs = (element.atUs - lastMarkEndUs_) / 1000.0;
            if (!pending_.isEmpty() && silenceMs >= kCharGapDots * dotMs_) completed += complete();
            if (silenceMs >= kWordGapDots * dotMs_ && !signs_.empty()) wordGapSeen_ = true;
        }
        if (pending_.isEmpty()) pendingFirst_ = index;
        pendingLast_ = index;
        takeMark(element.durationMs);
        lastMarkEndUs_ =
            element.atUs + static_cast<int64_t>(std::llround(element.durationMs * 1000.0));
        return completed;
    }
    if (pendingFirst_ < 0 && signs_.empty()) return 0;  // silence before the first mark
    const double dots = element.durationMs / dotMs_;
    if (dots < kCharGapDots) {
        // Element gaps are dots of silence: twice the samples of the speed.
        track(element.durationMs);
        return 0;
    }
    if (!pending_.isEmpty()) completed += complete();
    if (dots >= kWordGapDots) wordGapSeen_ = true;
    return completed;
}

int FistDecoder::poll(int64_t nowUs, int64_t keyDownSinceUs) {
    if (elements_.empty() || !elements_.back().mark) return 0;
    const int64_t silentUntil = keyDownSinceUs >= 0 ? std::min(nowUs, keyDownSinceUs) : nowUs;
    const double silenceMs = (silentUntil - lastMarkEndUs_) / 1000.0;
    int completed = 0;
    if (!pending_.isEmpty() && silenceMs >= kCharGapDots * dotMs_) completed += complete();
    if (pending_.isEmpty() && !signs_.empty() && silenceMs >= kWordGapDots * dotMs_)
        wordGapSeen_ = true;
    return completed;
}

int FistDecoder::finish() { return pending_.isEmpty() ? 0 : complete(); }

QString FistDecoder::text() const {
    QString out;
    for (const DecodedSign& sign : signs_) {
        if (sign.wordBefore) out += u' ';
        out += sign.text;
    }
    if (wordGapSeen_ && pending_.isEmpty() && !signs_.empty()) out += u' ';
    return out;
}

void FistDecoder::takeMark(double durationMs) {
    const bool dash = durationMs > dotMs_ * kMarkBorder * std::sqrt(ratio_);
    pending_ += dash ? u'-' : u'.';
    recent_[recentNext_] = durationMs / dotMs_;
    recentRaw_[recentNext_] = durationMs;
    recentNext_ = (recentNext_ + 1) % static_cast<int>(recent_.size());
    recentCount_ = std::min(recentCount_ + 1, static_cast<int>(recent_.size()));
    const double sample = dash ? durationMs / ratio_ : durationMs;
    track(sample);
    estimateRatio();
}

void FistDecoder::track(double sampleMs) {
    dotMs_ = std::clamp(dotMs_ + kTrackWeight * (sampleMs - dotMs_), kShortestDotMs, kLongestDotMs);
}

void FistDecoder::estimateRatio() {
    // In tracked dots the drift of the speed is gone, and the two clusters give the ratio.
    const Clusters relative = TwoMeans(recent_.data(), recentCount_);
    if (relative.split) {
        const double ratio = relative.high / relative.low;
        if (ratio >= kMinRatio && ratio <= kMaxRatio) ratio_ = ratio;
    }
    const Clusters raw = TwoMeans(recentRaw_.data(), recentCount_);
    if (raw.split) {
        const double ratio = raw.high / raw.low;
        if (ratio >= kMinRatio && ratio <= kMaxRatio &&
            std::abs(raw.low - dotMs_) > kReanchorShare * dotMs_)
            dotMs_ = std::clamp(raw.low, kShortestDotMs, kLongestDotMs);
    }
}

int FistDecoder::complete() {
    DecodedSign sign;
    sign.pattern = pending_;
    sign.text = CharacterForPattern(pending_);
    sign.known = !sign.text.isEmpty();
    if (!sign.known) sign.text = QStringLiteral("*(") + pending_ + u')';
    sign.wordBefore = wordGapSeen_ && !signs_.empty();
    sign.firstElement = pendingFirst_;
    sign.lastElement = pendingLast_;
    sign.dotMs = dotMs_;
    signs_.push_back(std::move(sign));
    pending_.clear();
    pendingFirst_ = -1;
    pendingLast_ = -1;
    wordGapSeen_ = false;
    return 1;
}
