#include "course/course_gate.h"

#include <algorithm>

CourseRound RoundOfCheck(const std::vector<AlignedPair>& pairs) {
    CourseRound round;
    for (const AlignedPair& p : pairs) {
        const bool right = p.kind == AlignedPair::Kind::Right;
        ++round.attempts;
        if (right) ++round.right;
        if (p.sent.isNull()) continue;
        CharacterTally& tally = round.characters[QString(p.sent.toUpper())];
        ++tally.attempts;
        if (right) ++tally.right;
    }
    return round;
}

GateVerdict JudgeLesson(const QString& characters, const std::vector<CourseRound>& recent) {
    GateVerdict verdict;
    verdict.rounds = static_cast<int>(std::min<size_t>(recent.size(), kGateRounds));
    for (int i = 0; i < verdict.rounds; ++i) {
        verdict.whole.attempts += recent[i].attempts;
        verdict.whole.right += recent[i].right;
    }
    bool everySits = true;
    for (const QChar c : characters) {
        Mastery m;
        m.character = QString(c.toUpper());
        for (int i = 0; i < verdict.rounds; ++i) {
            const auto found = recent[i].characters.find(m.character);
            if (found == recent[i].characters.end()) continue;
            m.tally.attempts += found->second.attempts;
            m.tally.right += found->second.right;
        }
        // Compared in whole numbers: right / attempts >= 0.9 without rounding trouble.
        m.sits =
            m.tally.attempts >= kPassMinOccurrences && m.tally.right * 10 >= m.tally.attempts * 9;
        everySits = everySits && m.sits;
        verdict.mastery.push_back(m);
    }
    verdict.passed = !characters.isEmpty() && everySits &&
                     verdict.whole.attempts >= kPassMinCharacters &&
                     verdict.whole.right * 10 >= verdict.whole.attempts * 9;
    return verdict;
}

bool Struggling(const std::vector<CourseRound>& recent) {
    if (recent.size() < static_cast<size_t>(kStrugglingRounds)) return false;
    return std::all_of(recent.begin(), recent.begin() + kStrugglingRounds,
                       [](const CourseRound& r) { return r.share() < kStrugglingShare; });
}
