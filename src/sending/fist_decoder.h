#pragma once

#include <QString>
#include <array>
#include <vector>

#include "sending/keyed_elements.h"

// Dot length [ms] at a speed in the trainer's characters per minute, as the engine sends it.
double DotMsAtCpm(double cpm);
// The speed [cpm] whose dot lasts `dotMs`; words per minute are 1200 / dotMs.
double CpmForDotMs(double dotMs);

// One character read from the learner's keying.
struct DecodedSign {
    QString text;             // the character, or "*(" pattern ")" when the pattern is no sign
    QString pattern;          // "." and "-"
    bool known = false;       // the pattern is a sign
    bool wordBefore = false;  // a word gap lies before it
    int firstElement = 0;     // index of its first mark among the elements fed
    int lastElement = 0;      // index of its last mark
    double dotMs = 0;         // the tracked dot when it ended [ms]
};

// Reads human sending: follows the learner's dot as the speed drifts, splits marks into dots and
// dashes by a threshold between the two tracked lengths, and classes spaces as element,
// character and word gaps in tracked dots. Everything runs on the moments it is given.
class FistDecoder {
public:
    // `setCpm`: the speed set in the trainer, the first guess of the learner's dot;
    // `dashRatio`: the trainer's dash length in dots, the first guess of the learner's.
    explicit FistDecoder(double setCpm, double dashRatio = 3.0);

    // Takes the next mark or space. A space long enough completes the pending character.
    // Returns how many characters became complete.
    int feed(const KeyedElement& element);
    // No element arrived until `nowUs` (monotonic [µs]): completes the pending character once
    // the silence since its last mark is a character gap, and notes a word gap once it is one.
    // While the key is down (since `keyDownSinceUs`, else -1) the silence ended there.
    int poll(int64_t nowUs, int64_t keyDownSinceUs = -1);
    // The attempt is over: completes whatever is pending.
    int finish();

    const std::vector<DecodedSign>& signs() const { return signs_; }
    const std::vector<KeyedElement>& elements() const { return elements_; }
    // What has been read, words separated by one blank (a trailing blank once a word gap is known).
    QString text() const;
    // The marks of the character being keyed ("." and "-").
    const QString& pendingPattern() const { return pending_; }

    double dotMs() const { return dotMs_; }  // tracked [ms]
    double dashRatio() const { return ratio_; }
    // Element gap below this many dots, character gap below kWordGapDots, word gap above.
    static constexpr double kCharGapDots = 1.7;
    static constexpr double kWordGapDots = 5.0;

private:
    void takeMark(double durationMs);
    void track(double sampleMs);
    void estimateRatio();
    int complete();

    double dotMs_;
    double ratio_;
    QString pending_;
    int pendingFirst_ = -1;
    int pendingLast_ = -1;
    int64_t lastMarkEndUs_ = 0;
    bool wordGapSeen_ = false;
    std::vector<KeyedElement> elements_;
    std::vector<DecodedSign> signs_;
    // The last marks, each in dots of the tracked length when it came.
    std::array<double, 20> recent_{};
    std::array<double, 20> recentRaw_{};  // the same marks [ms]
    int recentCount_ = 0;
    int recentNext_ = 0;
};

// The character a pattern of "." and "-" stands for: the trainer's signs and the German
// umlauts; empty when it is no sign.
QString CharacterForPattern(const QString& pattern);
// The pattern of a character (any case), empty when it has none.
QString PatternForCharacter(QChar c);
