#include "sending/report_text.h"

#include <QLocale>
#include <cmath>

namespace {
QString Number(double value, int decimals = 0) {
    return QLocale(QLocale::German).toString(value, 'f', decimals);
}

// "Zeichenabstände 120 % des Ideals (Streuung 8 %)"; nothing for a class never keyed.
QString ClassSentence(const QString& name, const TimingClass& c) {
    if (c.count == 0) return {};
    return QStringLiteral("%1: %2 % der idealen Länge, Streuung %3 %.")
        .arg(name, Number(c.meanPercent), Number(c.spreadPercent));
}
}  // namespace

QStringList ReportSentences(const FistReport& report) {
    QStringList out;
    if (report.characters == 0) {
        out << QStringLiteral("Kein Zeichen erkannt.");
        return out;
    }
    out << QStringLiteral("%1 Zeichen, Tempo %2 Zeichen pro Minute (%3 WpM).")
               .arg(report.characters)
               .arg(Number(report.cpm), Number(report.wpm));
    const double drift = report.endCpm - report.startCpm;
    if (report.characters > 1) {
        QString how = std::abs(drift) < 0.05 * report.cpm ? QStringLiteral("gleichmäßig")
                      : drift > 0                         ? QStringLiteral("schneller geworden")
                                                          : QStringLiteral("langsamer geworden");
        out << QStringLiteral(
                   "Tempo %1: von %2 auf %3 Zeichen pro Minute (langsamstes %4, "
                   "schnellstes %5).")
                   .arg(how, Number(report.startCpm), Number(report.endCpm),
                        Number(report.lowestCpm), Number(report.highestCpm));
    }
    if (report.dashes.count > 0) {
        out << QStringLiteral("Punkt zu Strich 1 : %1 (ideal 1 : %2).")
                   .arg(Number(report.dashRatio, 1), Number(report.idealDashRatio, 1));
    }
    for (const QString& s : {ClassSentence(QStringLiteral("Punkte"), report.dots),
                             ClassSentence(QStringLiteral("Striche"), report.dashes),
                             ClassSentence(QStringLiteral("Pausen im Zeichen"), report.elementGaps),
                             ClassSentence(QStringLiteral("Zeichenabstände"), report.characterGaps),
                             ClassSentence(QStringLiteral("Wortabstände"), report.wordGaps)}) {
        if (!s.isEmpty()) out << s;
    }
    out << QStringLiteral("Gleichmäßigkeit %1 von 100.").arg(report.regularity);
    if (report.worst.empty()) {
        out << QStringLiteral("Kein Zeichen weicht deutlich ab.");
    } else {
        for (const TimingFault& f : report.worst)
            out << QStringLiteral("%1 (%2%3 %).")
                       .arg(f.words, f.departure > 0 ? QStringLiteral("+") : QString(),
                            Number(100.0 * f.departure));
    }
    return out;
}

QString BarLengths(const std::vector<TimingBar>& bars) {
    QStringList parts;
    for (const TimingBar& b : bars) parts << Number(b.lengthMs);
    return parts.join(QStringLiteral(" – "));
}
