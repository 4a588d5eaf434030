#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "sending/keyer.h"

struct ToneSegment;

// One mark (tone) or space of what the learner keyed.
struct KeyedElement {
    bool mark = false;
    int64_t atUs = 0;       // where it began, monotonic clock [µs]
    double durationMs = 0;  // [ms]
    bool operator==(const KeyedElement&) const = default;
};

// Collects the keyed tone's changes as marks and the spaces between them. The first mark opens
// the list; a space is complete when the next mark begins.
class KeyedElementLog {
public:
    void add(const KeyTransition& transition);
    void add(const std::vector<KeyTransition>& transitions);
    // The complete elements since the last call.
    std::vector<KeyedElement> takeElements();
    // A mark that is still keyed: where it began.
    std::optional<int64_t> openMarkUs() const;

private:
    bool down_ = false;
    bool started_ = false;
    int64_t sinceUs_ = 0;
    std::vector<KeyedElement> done_;
};

// Text form, one element a line: "M" or "S", the moment [µs] and the duration [ms].
QString ElementsToText(const std::vector<KeyedElement>& elements);
// The elements of such a text; nullopt (and a German line in `error`) on a malformed line.
std::optional<std::vector<KeyedElement>> ElementsFromText(const QString& text, QString* error);

// The elements as tones for a sound output, at `pitchHz`, to be heard as they were keyed.
std::vector<ToneSegment> ElementsToTones(const std::vector<KeyedElement>& elements, double pitchHz,
                                         int amplitude = 32000);
