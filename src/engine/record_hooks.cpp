#include "engine/record_hooks.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "platform/clock.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "state/shared_state.h"

namespace {
bool runOpen = false;
// When the text of the last recorded run began; the copy check of SentText belongs to it.
QDateTime runStartedAt;
}  // namespace

RecordSettings CurrentRecordSettings() {
    const SharedState& s = S();
    Form1& f = form1();
    RecordSettings settings;
    settings.speedCpm = s.Speed;
    settings.charSpacing = s.CharSpacing;
    settings.wordSpacing = s.WordSpacing;
    settings.pitchHz = s.TonePitch;
    QStringList effects;
    if (f.anziehen1.value() != 0) effects << QStringLiteral("5%");
    if (f.anziehen2.value() != 0) effects << QStringLiteral("10%");
    if (f.O_Verkl.ticked()) effects << QStringLiteral("langsam verkleinern");
    if (f.unsauber.ticked()) effects << QStringLiteral("unsauber");
    if (f.tonschwank.ticked()) effects << QStringLiteral("Tonschwankung");
    settings.effects = effects.join(QLatin1Char(','));
    return settings;
}

void RecordDrillAnswer(const QString& asked, const QString& typed, bool right) {
    RecordSink* sink = Platform().record;
    if (!sink) return;
    Clock& clock = *Platform().clock;
    DrillAnswer entry;
    entry.at = clock.now();
    entry.asked = asked;
    entry.typed = typed.left(16);  // a pasted answer is not a character

    entry.right = right;
    const double ms = (clock.monotonicSeconds() - S().LastSignEndSeconds) * 1000.0;
    entry.reactionMs = static_cast<int>(std::lround(std::clamp(ms, 0.0, 3600000.0)));
    entry.settings = CurrentRecordSettings();
    sink->answer(entry);
}

void RecordRunStart() {
    // A run nobody records (an export) leaves no open run behind for a later stop to close.
    runOpen = Platform().record != nullptr;
    if (runOpen) runStartedAt = Platform().clock->now();
}

void RecordRunEnd(bool completed) {
    RecordSink* sink = Platform().record;
    if (!runOpen || !sink) return;
    runOpen = false;
    const SharedState& s = S();
    Clock& clock = *Platform().clock;
    RunSummary entry;
    entry.at = clock.now();
    entry.kind = s.ExerciseKind;
    entry.groups = static_cast<int>(std::lround(s.RunGroupCount));
    entry.charactersSent = s.PlayedCount;
    // The run clock counts on the monotonic clock, so a run across midnight needs no repair.
    const double elapsed = clock.monotonicSeconds() - s.StartTime;
    entry.elapsedSeconds = elapsed;
    entry.measuredCpm = elapsed > 0 ? s.PlayedCount / elapsed * 60.0 : 0.0;
    entry.completed = completed;
    entry.settings = CurrentRecordSettings();
    // The run's own speed, not what the speed increase made of it.
    if (s.StartSpeed > 0) entry.settings.speedCpm = s.StartSpeed;
    sink->run(entry);
}

void RecordCopyCheck(const std::vector<CopyPair>& pairs) {
    RecordSink* sink = Platform().record;
    if (!sink || pairs.empty()) return;
    CheckedCopy entry;
    entry.at = Platform().clock->now();
    entry.runStart = runStartedAt;
    entry.pairs = pairs;
    entry.settings = CurrentRecordSettings();
    sink->copy(entry);
}
