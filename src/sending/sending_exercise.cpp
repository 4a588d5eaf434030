#include "sending/sending_exercise.h"

#include <QLocale>

#include "sending/sending_check.h"

namespace {
// Texts the generators give are tried this often before the exercise makes do with a group.
constexpr int kDrawTries = 5;
}  // namespace

SendingExercise::SendingExercise(Draw draw) : draw_(std::move(draw)) {}

void SendingExercise::setMode(SendingMode mode) {
    mode_ = mode;
    repeat_ = false;
    intended_.clear();
}

const QString& SendingExercise::next() {
    if (mode_ == SendingMode::Free) {
        intended_.clear();
        return intended_;
    }
    if (repeat_ && !intended_.isEmpty()) return intended_;
    repeat_ = false;
    QString text;
    for (int i = 0; i < kDrawTries && text.trimmed().isEmpty(); ++i)
        text = draw_ ? draw_(mode_ == SendingMode::Template ? kTemplateItems : 1).simplified()
                     : QString();
    // Without material the learner still has something to key.
    intended_ = text.isEmpty() ? QStringLiteral("PARIS") : text.toUpper();
    return intended_;
}

SendingVerdict SendingExercise::judge(const SendingAttempt& attempt) {
    SendingVerdict v;
    if (mode_ == SendingMode::Free || intended_.isEmpty()) {
        v.said = QStringLiteral("Gelesen: %1 – %2.")
                     .arg(attempt.text.isEmpty() ? QStringLiteral("nichts") : attempt.text,
                          TimingInShort(attempt.report));
        return v;
    }
    v.judged = true;
    v.check = CheckSending(intended_, attempt.signs);
    v.right = v.check.sentCount > 0 && v.check.rightCount == v.check.sentCount &&
              v.check.rightCount == static_cast<int>(v.check.pairs.size());
    const QString timing = TimingInShort(attempt.report);
    if (v.right) {
        v.said = QStringLiteral("Richtig: %1 – %2.").arg(intended_, timing);
    } else {
        v.said =
            QStringLiteral("Falsch: gegeben „%1“ statt „%2“ (%3 Fehler) – %4.")
                .arg(attempt.text.isEmpty() ? QStringLiteral("nichts") : attempt.text, intended_)
                .arg(v.check.wrongCount + v.check.missedCount + v.check.extraCount)
                .arg(timing);
        if (mode_ == SendingMode::Echo) v.said += QStringLiteral(" Es kommt noch einmal.");
    }
    repeat_ = mode_ == SendingMode::Echo && !v.right;
    return v;
}

QString TimingInShort(const FistReport& report) {
    if (report.characters == 0) return QStringLiteral("kein Zeichen erkannt");
    return QStringLiteral("%1 Zeichen/min, Gleichmäßigkeit %2")
        .arg(QLocale(QLocale::German).toString(report.cpm, 'f', 0))
        .arg(report.regularity);
}
