#include "record/copy_check.h"

#include <QLocale>
#include <QStringList>

#include "engine/record_hooks.h"
#include "state/shared_state.h"

namespace {
// At most this many errors are spelled out; the rest are counted.
constexpr int kErrorsInWords = 40;
}  // namespace

CopyCheckResult CheckCopy(const QString& copy) {
    CopyCheckResult result = AlignCopy(S().SentText, copy);
    std::vector<CopyPair> pairs;
    pairs.reserve(result.pairs.size());
    for (const AlignedPair& p : result.pairs) {
        pairs.push_back({p.sent.isNull() ? QString() : QString(p.sent),
                         p.copied.isNull() ? QString() : QString(p.copied)});
    }
    RecordCopyCheck(pairs);
    return result;
}

QString DescribeCopyCheck(const CopyCheckResult& r) {
    if (r.pairs.empty())
        return QStringLiteral("Nichts zu prüfen: kein gesendeter Text und keine Mitschrift.");
    const int errors = r.wrongCount + r.missedCount + r.extraCount;
    QString text = QStringLiteral("%1. %2 falsch, %3 fehlen, %4 zu viel.")
                       .arg(ShareText(r))
                       .arg(r.wrongCount)
                       .arg(r.missedCount)
                       .arg(r.extraCount);
    if (errors == 0) return text;
    QStringList words;
    int position = 0;
    for (const AlignedPair& p : r.pairs) {
        ++position;
        if (p.kind == AlignedPair::Kind::Right) continue;
        if (words.size() == kErrorsInWords) {
            words << QStringLiteral("und weitere");
            break;
        }
        switch (p.kind) {
            case AlignedPair::Kind::Wrong:
                words << QStringLiteral("%1. Zeichen: %2 statt %3")
                             .arg(position)
                             .arg(p.copied)
                             .arg(p.sent);
                break;
            case AlignedPair::Kind::Missed:
                words << QStringLiteral("%1. Zeichen: %2 fehlt").arg(position).arg(p.sent);
                break;
            case AlignedPair::Kind::Extra:
                words << QStringLiteral("%1. Zeichen: %2 zu viel").arg(position).arg(p.copied);
                break;
            case AlignedPair::Kind::Right:
                break;
        }
    }
    return text + QStringLiteral(" Fehler: ") + words.join(QStringLiteral("; ")) + QLatin1Char('.');
}

QString ShareText(const CopyCheckResult& r) {
    return QLocale().toString(r.share() * 100.0, 'f', 1) + QStringLiteral(" % richtig");
}
