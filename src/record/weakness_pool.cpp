#include "record/weakness_pool.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "engine/morse_table.h"

namespace {
constexpr double kErrorWeight = 4.0;     // a character always wrong weighs 5
constexpr double kReactionWeight = 2.0;  // per multiple of the mean reaction time above it
constexpr double kMaxWeight = 10.0;
constexpr int kCopiesPerWeight = 3;

bool sendable(const QString& c) {
    return c.size() == 1 && !c[0].isSpace() && MorseIndex(c[0]) >= 0;
}
}  // namespace

double CharacterWeight(const CharacterFigures& figures, double overallMeanReactionMs) {
    if (figures.attempts <= 0) return 1.0;
    const double errorRate = 1.0 - figures.accuracy();
    double slowness = 0;
    if (figures.reactionCount > 0 && overallMeanReactionMs > 0)
        slowness = std::max(0.0, figures.meanReactionMs / overallMeanReactionMs - 1.0);
    return std::min(kMaxWeight, 1.0 + kErrorWeight * errorRate + kReactionWeight * slowness);
}

QString WeightedPool(const std::vector<CharacterFigures>& figures,
                     const std::vector<Confusion>& confusions) {
    double reactionSum = 0;
    int reactionCount = 0;
    for (const CharacterFigures& f : figures) {
        reactionSum += f.meanReactionMs * f.reactionCount;
        reactionCount += f.reactionCount;
    }
    const double meanReaction = reactionCount > 0 ? reactionSum / reactionCount : 0;

    std::map<QString, double> weights;
    for (const CharacterFigures& f : figures) {
        const QString c = f.character.toUpper();
        if (!sendable(c)) continue;
        weights[c] = std::max(weights[c], CharacterWeight(f, meanReaction));
    }
    for (const Confusion& c : confusions) {
        const QString sent = c.sent.toUpper();
        const QString heard = c.heard.toUpper();
        if (!sendable(sent) || !sendable(heard) || !weights.count(sent)) continue;
        weights[heard] = std::max(weights[heard], weights[sent]);
    }
    QString pool;
    for (const auto& [c, weight] : weights) {
        const int copies = std::clamp(static_cast<int>(std::lround(weight * kCopiesPerWeight)), 1,
                                      static_cast<int>(kMaxWeight) * kCopiesPerWeight);
        pool += c.repeated(copies);
    }
    return pool;
}

WeaknessChoice ChooseWeaknessPool(RecordStore& store, const QString& learner,
                                  const QDateTime& now) {
    WeaknessChoice choice;
    const QDateTime since = now.addDays(-kWeaknessDays);
    choice.entries = store.entryCount(learner, since);
    if (choice.entries < kWeaknessMinEntries) return choice;
    choice.pool =
        WeightedPool(store.characterFigures(learner, since), store.confusions(learner, since, 100));
    return choice;
}
