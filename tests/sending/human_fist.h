#pragma once

// A seeded generator of human-like keying for the decoder's tests and its benchmark: every
// mark and gap off by a random share, each attempt with its own dash-to-dot ratio, and a speed
// that drifts between 60 and 125 cpm, reaching a new goal every ten characters.
#include <QString>
#include <random>
#include <vector>

#include "sending/fist_decoder.h"
#include "sending/keyed_elements.h"

namespace testing {

struct KeyedAttempt {
    QString text;  // what was keyed, words separated by one blank
    std::vector<KeyedElement> elements;
    double setCpm = 0;     // the speed set in the trainer
    double dashRatio = 0;  // the learner's dash in dots
};

// Characters a learner keys; ")" is left out, it sounds like "(".
inline const QString kKeyedCharacters =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ÄÖÜ(*+,-./:=?");

// `deviation`: the largest share by which a mark or gap departs from its ideal (0.2 = ±20 %).
inline KeyedAttempt GenerateAttempt(std::mt19937& random, int characters, double deviation) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto off = [&] { return 1.0 + deviation * (2.0 * unit(random) - 1.0); };
    KeyedAttempt attempt;
    attempt.dashRatio = 2.5 + unit(random);
    double cpm = 60.0 + 65.0 * unit(random);
    attempt.setCpm = cpm * (0.9 + 0.2 * unit(random));
    double goal = cpm;
    double step = 0;
    int64_t atUs = 0;
    auto put = [&](bool mark, double ms) {
        attempt.elements.push_back({mark, atUs, ms});
        atUs += static_cast<int64_t>(ms * 1000.0);
    };
    int wordLeft = 3 + static_cast<int>(unit(random) * 4);
    for (int i = 0; i < characters; ++i) {
        if (i % 10 == 0) {
            goal = 60.0 + 65.0 * unit(random);
            step = (goal - cpm) / 10.0;
        }
        cpm += step;
        const double dot = DotMsAtCpm(cpm);
        const QChar c =
            kKeyedCharacters.at(static_cast<qsizetype>(unit(random) * kKeyedCharacters.size()) %
                                kKeyedCharacters.size());
        if (i > 0) {
            const bool word = --wordLeft == 0;
            if (word) {
                wordLeft = 3 + static_cast<int>(unit(random) * 4);
                attempt.text += u' ';
            }
            put(false, (word ? 7.0 : 3.0) * dot * off());
        }
        attempt.text += c;
        const QString pattern = PatternForCharacter(c);
        for (qsizetype k = 0; k < pattern.size(); ++k) {
            if (k > 0) put(false, dot * off());
            put(true, (pattern[k] == u'-' ? attempt.dashRatio : 1.0) * dot * off());
        }
    }
    return attempt;
}

}  // namespace testing
