#include "sending/attempt_entry.h"

#include <QStringList>
#include <cmath>

std::vector<SendingCharacterTiming> CharacterTimings(const FistReport& report) {
    std::vector<SendingCharacterTiming> out;
    for (const TimingRow& row : report.picture) {
        if (row.keyed.empty() || row.keyed.size() != row.ideal.size()) continue;
        double sum = 0;
        int parts = 0;
        for (size_t k = 0; k < row.keyed.size(); ++k) {
            if (row.ideal[k].lengthMs > 0) {
                sum += std::abs(row.keyed[k].lengthMs / row.ideal[k].lengthMs - 1.0);
                ++parts;
            }
            if (k == 0) continue;
            const double keyedGap =
                row.keyed[k].startMs - row.keyed[k - 1].startMs - row.keyed[k - 1].lengthMs;
            const double idealGap =
                row.ideal[k].startMs - row.ideal[k - 1].startMs - row.ideal[k - 1].lengthMs;
            if (idealGap > 0) {
                sum += std::abs(keyedGap / idealGap - 1.0);
                ++parts;
            }
        }
        if (parts > 0) out.push_back({row.text, 100.0 * sum / parts});
    }
    return out;
}

SendingAttemptEntry EntryOf(const SendingAttempt& attempt, const SendingVerdict& verdict,
                            SendingMode mode, const QString& intended, const QDateTime& at,
                            double pitchHz) {
    SendingAttemptEntry e;
    e.at = at;
    e.exercise = mode == SendingMode::Echo       ? QStringLiteral("Nachgeben")
                 : mode == SendingMode::Template ? QStringLiteral("Vorlage")
                                                 : QStringLiteral("Frei");
    e.intended = verdict.judged ? intended : QString();
    e.decoded = attempt.text;
    for (const AlignedPair& p : verdict.check.pairs) {
        e.pairs.push_back({p.sent.isNull() ? QString() : QString(p.sent),
                           p.copied.isNull() ? QString() : QString(p.copied)});
    }
    e.right = verdict.right;
    const FistReport& r = attempt.report;
    e.cpm = r.cpm;
    e.wpm = r.wpm;
    e.dashRatio = r.dashRatio;
    const TimingClass* classes[] = {&r.dots, &r.dashes, &r.elementGaps, &r.characterGaps,
                                    &r.wordGaps};
    for (int i = 0; i < 5; ++i) {
        e.meanPercent[i] = classes[i]->meanPercent;
        e.spreadPercent[i] = classes[i]->spreadPercent;
    }
    e.regularity = r.regularity;
    QStringList worst;
    for (const TimingFault& f : r.worst) worst << f.words;
    e.worst = worst.join(QStringLiteral("; "));
    e.durationsMs.reserve(attempt.elements.size());
    for (const KeyedElement& k : attempt.elements) e.durationsMs.push_back(k.durationMs);
    e.characters = CharacterTimings(r);
    e.pitchHz = pitchHz;
    return e;
}

std::vector<KeyedElement> ElementsOfDurations(const std::vector<double>& durationsMs) {
    std::vector<KeyedElement> out;
    out.reserve(durationsMs.size());
    int64_t atUs = 0;
    bool mark = true;
    for (double ms : durationsMs) {
        out.push_back({mark, atUs, ms});
        atUs += std::llround(ms * 1000.0);
        mark = !mark;
    }
    return out;
}
