#include "contest/contest_scoring.h"

#include <algorithm>

int ContestPoints(int length, int speedBpm, int wrongCharacters, bool repeated) {
    if (length <= 0 || speedBpm <= 0 || wrongCharacters >= 4 || wrongCharacters < 0) return 0;
    const long long full = 2LL * length * speedBpm;
    long long points = wrongCharacters == 0 ? full : full / (5LL * wrongCharacters);
    if (repeated) points /= 2;
    return static_cast<int>(points);
}

int NextContestSpeed(int speedBpm, bool right) {
    const int next = speedBpm + (right ? kContestStepBpm : -kContestStepBpm);
    return std::clamp(next, kContestFloorBpm, kContestHighestBpm);
}

double ContestDotMs(int speedBpm) { return 6000.0 / speedBpm; }

ScoredCall ScoreContestCall(const QString& sent, const QString& typed, int speedBpm,
                            bool repeated) {
    ScoredCall scored;
    scored.alignment = AlignCopy(sent, typed);
    const CopyCheckResult& a = scored.alignment;
    scored.wrong = a.wrongCount + a.missedCount + a.extraCount;
    scored.points = ContestPoints(a.sentCount, speedBpm, scored.wrong, repeated);
    return scored;
}
