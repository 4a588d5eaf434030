#include "course/course_plan.h"

#include <algorithm>
#include <cmath>

#include "engine/speed_units.h"

namespace {
// Copies of each older character in a weighted pool; the newest get as many as their share
// needs.
constexpr int kBaseCopies = 6;
constexpr int kMaxNewestCopies = 60 * kBaseCopies;
}  // namespace

double NewestShare(int newest, int total, int roundsDone) {
    if (total <= 0 || newest <= 0) return 0;
    const double plain = static_cast<double>(newest) / total;
    const double start = std::max(plain, kNewestStartShare);
    const double left = std::max(0.0, 1.0 - static_cast<double>(roundsDone) / kNewestBoostRounds);
    return plain + (start - plain) * left;
}

namespace {
// The long-run share of `k` characters with `a` copies each among `m` with `b` copies each,
// under the drawing rules: a character follows another with the weight of its copies among
// those of the others, so each character's share is proportional to
// weight x (all weights - weight).
double shareOfCopies(int k, int a, int m, int b) {
    const double all = static_cast<double>(k) * a + static_cast<double>(m) * b;
    const double mine = k * a * (all - a);
    const double others = m * b * (all - b);
    return mine / (mine + others);
}
}  // namespace

QString LessonPool(const QString& characters, const QString& newest, int roundsDone) {
    int newCount = 0;
    for (const QChar c : characters) {
        if (newest.contains(c, Qt::CaseInsensitive)) ++newCount;
    }
    const int total = static_cast<int>(characters.size());
    const int olderCount = total - newCount;
    const double target = NewestShare(newCount, total, roundsDone);
    if (newCount == 0 || olderCount == 0 || target <= static_cast<double>(newCount) / total)
        return characters;
    const auto share = [&](int copies) {
        return shareOfCopies(newCount, copies, olderCount, kBaseCopies);
    };
    // The share grows with the newest characters' copies: the fewest copies that reach the
    // target, or one fewer when that lies nearer.
    int copies = kBaseCopies;
    while (copies < kMaxNewestCopies && share(copies) < target) ++copies;
    if (copies > kBaseCopies && target - share(copies - 1) < share(copies) - target) --copies;
    QString pool;
    for (const QChar c : characters)
        pool += QString(c).repeated(newest.contains(c, Qt::CaseInsensitive) ? copies : kBaseCopies);
    return pool;
}

int RoundGroups(int characterCount) {
    const int characters = std::max(kMinRoundCharacters, kOccurrencesPerRound * characterCount);
    return (characters + 4) / 5;
}

int RoundSpacingTenths(int learnerSpacingTenths, int roundsDone) {
    return learnerSpacingTenths + (roundsDone < kNewLessonRounds ? kNewLessonExtraTenths : 0);
}

int SpacingAfterPass(int spacingTenths, int rightPercent) {
    if (rightPercent < kNarrowingRightPercent) return spacingTenths;
    return std::max(10, spacingTenths - kSpacingStepTenths);
}

TodayPlan PlanToday(const Course& course, const CoursePlace& place, int roundsDone) {
    TodayPlan plan;
    plan.lesson = std::clamp(place.lesson, 1, std::max(1, course.lessonCount()));
    plan.characters = course.charactersUpTo(plan.lesson);
    plan.newest = course.newestOf(plan.lesson);
    plan.roundsDone = roundsDone;
    plan.pool = LessonPool(plan.characters, plan.newest, roundsDone);
    plan.groups = RoundGroups(static_cast<int>(plan.characters.size()));
    plan.speedCpm = static_cast<int>(std::lround(CpmAtWpm(course.speedWpm)));
    plan.charSpacingTenths = RoundSpacingTenths(place.spacingTenths, roundsDone);
    return plan;
}
