#include "sending/practice_text.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "exercises/call_signs.h"
#include "exercises/random_groups.h"
#include "exercises/word_generator.h"
#include "platform/services.h"
#include "state/shared_state.h"

namespace {
constexpr int kGroupLength = 5;

// Keeps the characters the learner can key; an abbreviation's placeholders have none.
QString Keyable(const QString& text) {
    QString out;
    for (QChar c : text.toUpper())
        if (c.isLetterOrNumber() || QStringLiteral("/?.,=+-:()").contains(c) || c == u' ') out += c;
    return out.simplified();
}

QString DrawItem() {
    SharedState& s = S();
    const QString& kind = s.ExerciseKind;
    if (kind == QStringLiteral("F")) return Keyable(DrawWord());
    if (kind == QStringLiteral("R")) return DrawCallSign(s.Letters, s.Digits);
    if (kind == QStringLiteral("A") && s.AbbrevCount > 0) {
        const int count = std::min<int>(s.AbbrevCount, static_cast<int>(s.AbbrevList.size()) - 1);
        const int number = std::clamp(
            static_cast<int>(std::floor(Platform().random.Rnd() * static_cast<float>(count))) + 1,
            1, count);
        const QString entry = s.AbbrevList[number];
        if (!entry.startsWith(QStringLiteral("name")) && !entry.startsWith(QStringLiteral("QTH")))
            return Keyable(entry);
        return {};
    }
    QString group;
    QString previous;
    const bool kindZ = kind == QStringLiteral("Z");
    for (int i = 0; i < kGroupLength; ++i) {
        const QString c = DrawGroupCharacter(s.ExerciseText, previous, kindZ, false);
        if (c.isEmpty()) break;
        group += c;
        previous = c.toUpper();
    }
    return Keyable(group);
}
}  // namespace

QString DrawPracticeText(int items) {
    QStringList out;
    for (int i = 0; i < items * 3 && out.size() < items; ++i) {
        const QString item = DrawItem();
        if (!item.isEmpty()) out << item;
    }
    return out.join(u' ');
}
