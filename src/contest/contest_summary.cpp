#include "contest/contest_summary.h"

#include <QLocale>
#include <QSaveFile>
#include <QStringList>

namespace {
QString wrongWords(int wrong) {
    return wrong == 1 ? QStringLiteral("1 Fehler") : QStringLiteral("%1 Fehler").arg(wrong);
}

// Errors named one by one; a screen reader need not spell out a whole wrong line.
constexpr int kNamedErrors = 4;

// The wrong, missed and extra characters of the typed call, the first few of them by name.
QString errorWords(const ContestCallEntry& call) {
    QStringList words;
    for (const CopyPair& p : call.pairs) {
        if (p.sent == p.copied) continue;
        if (words.size() == kNamedErrors) {
            words << QStringLiteral("…");
            break;
        }
        if (p.copied.isEmpty())
            words << QStringLiteral("%1 fehlt").arg(p.sent);
        else if (p.sent.isEmpty())
            words << QStringLiteral("%1 zu viel").arg(p.copied);
        else
            words << QStringLiteral("%1 statt %2").arg(p.copied, p.sent);
    }
    return words.join(QStringLiteral(", "));
}
}  // namespace

QString DescribeContestCall(const ContestCallEntry& call, int nextBpm) {
    const QString points =
        QStringLiteral("%1 Punkte%2")
            .arg(call.points)
            .arg(call.repeated ? QStringLiteral(" (wiederholt, halbe Punkte)") : QString());
    const QString speed = QStringLiteral("Neues Tempo %1 BpM.").arg(nextBpm);
    if (call.wrong == 0) {
        return QStringLiteral("Richtig: %1. %2. %3").arg(call.sent, points, speed);
    }
    const QString typed =
        call.typed.isEmpty() ? QStringLiteral("nichts") : QStringLiteral("„%1“").arg(call.typed);
    return QStringLiteral("Falsch: gesendet %1, geschrieben %2, %3 (%4). %5. %6")
        .arg(call.sent, typed, wrongWords(call.wrong), errorWords(call), points, speed);
}

QString ContestSummaryText(const ContestAttemptEntry& attempt, const QString& learner) {
    const QLocale german(QLocale::German, QLocale::Germany);
    QStringList lines;
    lines << QStringLiteral("Rufzeichen-Wettbewerb");
    lines << QStringLiteral("Lernende(r): %1").arg(learner);
    lines << QStringLiteral("Datum: %1")
                 .arg(german.toString(attempt.at, QStringLiteral("dd.MM.yyyy HH:mm")));
    lines << QStringLiteral("Rufzeichen aus: %1").arg(attempt.source);
    int right = 0;
    for (const ContestCallEntry& c : attempt.calls) right += c.wrong == 0 ? 1 : 0;
    lines << QStringLiteral("Punkte: %1").arg(attempt.score);
    lines << QStringLiteral("Rufzeichen: %1 gegeben, %2 richtig%3")
                 .arg(attempt.calls.size())
                 .arg(right)
                 .arg(attempt.completed ? QString() : QStringLiteral(" (abgebrochen)"));
    lines << QStringLiteral("Tempo: Start %1 BpM, Ende %2 BpM, höchstes richtig %3 BpM")
                 .arg(attempt.startBpm)
                 .arg(attempt.finalBpm)
                 .arg(attempt.highestBpm);
    if (!attempt.options.isEmpty())
        lines << QStringLiteral("Optionen: %1")
                     .arg(QString(attempt.options).replace(u',', QStringLiteral(", ")));
    if (!attempt.forBestList) lines << QStringLiteral("nicht für die Bestenliste");
    lines << QString();
    lines << QStringLiteral(
        "Nr.  gesendet      geschrieben   BpM  Punkte  Fehler  Wdh.  Reaktion  Tippen");
    int number = 0;
    for (const ContestCallEntry& c : attempt.calls) {
        ++number;
        lines << QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8  %9")
                     .arg(number, 3)
                     .arg(c.sent, -12)
                     .arg(c.typed.isEmpty() ? QStringLiteral("-") : c.typed, -12)
                     .arg(c.speedBpm, 4)
                     .arg(c.points, 6)
                     .arg(c.wrong, 6)
                     .arg(c.repeated ? QStringLiteral("ja") : QStringLiteral("nein"), 4)
                     .arg(QStringLiteral("%1 ms").arg(c.reactionMs), 8)
                     .arg(QStringLiteral("%1 ms").arg(c.typingMs), 7);
    }
    return lines.join(u'\n') + u'\n';
}

QString SaveContestSummary(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return QStringLiteral("„%1“ lässt sich nicht schreiben: %2").arg(path, file.errorString());
    }
    file.write(text.toUtf8());
    if (!file.commit()) {
        return QStringLiteral("„%1“ lässt sich nicht schreiben: %2").arg(path, file.errorString());
    }
    return {};
}
