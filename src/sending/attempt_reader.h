#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "sending/fist_decoder.h"
#include "sending/fist_report.h"
#include "sending/keyed_elements.h"

// One finished attempt: what was keyed and what was read from it.
struct SendingAttempt {
    std::vector<KeyedElement> elements;  // from its first mark to its last
    std::vector<DecodedSign> signs;      // element indices point into `elements`
    QString text;                        // decoded, words separated by one blank
    double dotMs = 0;                    // the tracked dot at its end [ms]
    FistReport report;
};

// Reads the learner's keying while it goes on: each character as soon as the gap after it has
// become a character gap, and the attempt as a whole once the learner has paused for
// `attemptPauseMs`. The tracked speed carries over from one attempt to the next. Pure: it runs
// on the moments it is given.
class AttemptReader {
public:
    // `setCpm` and `dashRatio`: the trainer's speed and dash length [dots], the first guess of
    // the learner's.
    AttemptReader(double setCpm, double dashRatio, double attemptPauseMs);

    // Completed marks and spaces, in order. Returns true when the text read changed. Silence
    // before an attempt's first mark belongs to no attempt.
    bool take(const std::vector<KeyedElement>& elements);
    // Time has passed until `nowUs` without a new element; `keyDownSinceUs` is where a mark
    // still keyed began. Returns true when the text read changed.
    bool poll(int64_t nowUs, std::optional<int64_t> keyDownSinceUs);
    // The next moment at which poll would change something (a character or the attempt ends)
    // if the key stays up; nothing while nothing is pending.
    std::optional<int64_t> nextDueUs() const;
    // The learner has paused long enough: the attempt is over.
    bool attemptOver(int64_t nowUs, std::optional<int64_t> keyDownSinceUs) const;

    // An attempt has begun and is not finished.
    bool keying() const { return decoder_.has_value(); }
    // What has been read of the current attempt.
    QString text() const;
    // The marks of the character being keyed.
    QString pendingPattern() const;
    double dotMs() const;
    double attemptPauseMs() const { return pauseMs_; }

    // Closes the current attempt and measures it against a dash of `idealDashRatio` dots;
    // nullopt when nothing was keyed.
    std::optional<SendingAttempt> finish(double idealDashRatio);

private:
    double dotMs_;
    double ratio_;
    double pauseMs_;
    std::optional<FistDecoder> decoder_;
    int64_t lastMarkEndUs_ = 0;
};

// `text` keyed at ideal timing: dashes of `dashRatio` dots, gaps of one, three and seven dots
// (character and word gaps stretched by the given factors), starting at moment 0.
std::vector<KeyedElement> IdealElements(const QString& text, double dotMs, double dashRatio,
                                        double charSpacing = 1.0, double wordSpacing = 1.0);
