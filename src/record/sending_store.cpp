// Sending practice's part of the learner's record (tables of schema version 6).
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <map>

#include "record/record_store.h"

namespace {
qint64 msOf(const QDateTime& t) { return t.isValid() ? t.toMSecsSinceEpoch() : 0; }

// The durations as text: shortest round-trip form, blanks between.
QString DurationsText(const std::vector<double>& durations) {
    QStringList parts;
    parts.reserve(static_cast<qsizetype>(durations.size()));
    for (double d : durations) parts << QString::number(d, 'g', 10);
    return parts.join(u' ');
}

// Durations of a stored attempt; a value that is no number ends the list.
std::vector<double> DurationsOf(const QString& text) {
    std::vector<double> out;
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const double d = part.toDouble(&ok);
        if (!ok || !(d >= 0)) break;
        out.push_back(d);
    }
    return out;
}
}  // namespace

bool RecordStore::writeSendings(
    const std::vector<std::pair<QString, SendingAttemptEntry>>& sendings) {
    if (sendings.empty()) return true;
    QSqlQuery attempt(db_);
    attempt.prepare(QStringLiteral(
        "INSERT INTO sending_attempts (learner, at_ms, exercise, intended, decoded, right, cpm,"
        " wpm, dash_ratio, dot_pct, dash_pct, element_gap_pct, char_gap_pct, word_gap_pct,"
        " dot_spread, dash_spread, element_gap_spread, char_gap_spread, word_gap_spread,"
        " regularity, worst, durations_ms, pitch_hz)"
        " VALUES (?,?,?,coalesce(?, ''),coalesce(?, ''),?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    QSqlQuery pair(db_);
    pair.prepare(QStringLiteral(
        "INSERT INTO sending_pairs (attempt_id, sent, keyed) VALUES (?, coalesce(?, ''),"
        " coalesce(?, ''))"));
    QSqlQuery timing(db_);
    timing.prepare(QStringLiteral(
        "INSERT INTO sending_timing (attempt_id, character, departure_pct) VALUES (?, ?, ?)"));
    const auto failed = [this](const QSqlQuery& q) {
        error_ = q.lastError().text();
        return false;
    };
    for (const auto& [learner, a] : sendings) {
        attempt.addBindValue(learner);
        attempt.addBindValue(msOf(a.at));
        attempt.addBindValue(a.exercise);
        attempt.addBindValue(a.intended);
        attempt.addBindValue(a.decoded);
        attempt.addBindValue(a.right ? 1 : 0);
        attempt.addBindValue(a.cpm);
        attempt.addBindValue(a.wpm);
        attempt.addBindValue(a.dashRatio);
        for (double v : a.meanPercent) attempt.addBindValue(v);
        for (double v : a.spreadPercent) attempt.addBindValue(v);
        attempt.addBindValue(a.regularity);
        attempt.addBindValue(a.worst);
        attempt.addBindValue(DurationsText(a.durationsMs));
        attempt.addBindValue(a.pitchHz);
        if (!attempt.exec()) return failed(attempt);
        const QVariant id = attempt.lastInsertId();
        for (const CopyPair& p : a.pairs) {
            pair.addBindValue(id);
            pair.addBindValue(p.sent);
            pair.addBindValue(p.copied);
            if (!pair.exec()) return failed(pair);
        }
        for (const SendingCharacterTiming& t : a.characters) {
            timing.addBindValue(id);
            timing.addBindValue(t.character);
            timing.addBindValue(t.departurePercent);
            if (!timing.exec()) return failed(timing);
        }
    }
    return true;
}

std::vector<SendingAttemptEntry> RecordStore::sendingAttempts(const QString& learner,
                                                              const QDateTime& since) {
    std::vector<SendingAttemptEntry> out;
    std::map<qint64, size_t> byId;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT id, at_ms, exercise, intended, decoded, right, cpm, wpm, dash_ratio, dot_pct,"
        " dash_pct, element_gap_pct, char_gap_pct, word_gap_pct, dot_spread, dash_spread,"
        " element_gap_spread, char_gap_spread, word_gap_spread, regularity, worst,"
        " durations_ms, pitch_hz FROM sending_attempts WHERE learner = ? AND at_ms >= ?"
        " ORDER BY at_ms, id"));
    q.addBindValue(learner);
    q.addBindValue(msOf(since));
    if (!q.exec()) return out;
    while (q.next()) {
        SendingAttemptEntry a;
        a.at = QDateTime::fromMSecsSinceEpoch(q.value(1).toLongLong());
        a.exercise = q.value(2).toString();
        a.intended = q.value(3).toString();
        a.decoded = q.value(4).toString();
        a.right = q.value(5).toInt() != 0;
        a.cpm = q.value(6).toDouble();
        a.wpm = q.value(7).toDouble();
        a.dashRatio = q.value(8).toDouble();
        for (int i = 0; i < 5; ++i) {
            a.meanPercent[i] = q.value(9 + i).toDouble();
            a.spreadPercent[i] = q.value(14 + i).toDouble();
        }
        a.regularity = q.value(19).toInt();
        a.worst = q.value(20).toString();
        a.durationsMs = DurationsOf(q.value(21).toString());
        a.pitchHz = q.value(22).toDouble();
        byId[q.value(0).toLongLong()] = out.size();
        out.push_back(std::move(a));
    }
    if (out.empty()) return out;
    QSqlQuery p(db_);
    p.setForwardOnly(true);
    p.prepare(QStringLiteral(
        "SELECT p.attempt_id, p.sent, p.keyed FROM sending_pairs p JOIN sending_attempts a"
        " ON a.id = p.attempt_id WHERE a.learner = ? AND a.at_ms >= ? ORDER BY p.rowid"));
    p.addBindValue(learner);
    p.addBindValue(msOf(since));
    if (p.exec()) {
        while (p.next()) {
            const auto it = byId.find(p.value(0).toLongLong());
            if (it != byId.end())
                out[it->second].pairs.push_back({p.value(1).toString(), p.value(2).toString()});
        }
    }
    QSqlQuery t(db_);
    t.setForwardOnly(true);
    t.prepare(QStringLiteral(
        "SELECT t.attempt_id, t.character, t.departure_pct FROM sending_timing t JOIN"
        " sending_attempts a ON a.id = t.attempt_id WHERE a.learner = ? AND a.at_ms >= ?"
        " ORDER BY t.rowid"));
    t.addBindValue(learner);
    t.addBindValue(msOf(since));
    if (t.exec()) {
        while (t.next()) {
            const auto it = byId.find(t.value(0).toLongLong());
            if (it != byId.end())
                out[it->second].characters.push_back(
                    {t.value(1).toString(), t.value(2).toDouble()});
        }
    }
    return out;
}

std::vector<SendingCharacterFigures> RecordStore::sendingCharacterFigures(const QString& learner,
                                                                          const QDateTime& since) {
    std::map<QString, SendingCharacterFigures> byCharacter;
    QSqlQuery p(db_);
    p.setForwardOnly(true);
    p.prepare(QStringLiteral(
        "SELECT p.sent, count(*), sum(p.sent = p.keyed) FROM sending_pairs p JOIN"
        " sending_attempts a ON a.id = p.attempt_id WHERE a.learner = ? AND a.at_ms >= ?"
        " AND p.sent <> '' GROUP BY p.sent"));
    p.addBindValue(learner);
    p.addBindValue(msOf(since));
    if (!p.exec()) return {};
    while (p.next()) {
        SendingCharacterFigures& c = byCharacter[p.value(0).toString()];
        c.attempts = p.value(1).toInt();
        c.right = p.value(2).toInt();
    }
    QSqlQuery t(db_);
    t.setForwardOnly(true);
    t.prepare(QStringLiteral(
        "SELECT t.character, avg(t.departure_pct), count(*) FROM sending_timing t JOIN"
        " sending_attempts a ON a.id = t.attempt_id WHERE a.learner = ? AND a.at_ms >= ?"
        " GROUP BY t.character"));
    t.addBindValue(learner);
    t.addBindValue(msOf(since));
    if (!t.exec()) return {};
    while (t.next()) {
        SendingCharacterFigures& c = byCharacter[t.value(0).toString()];
        c.meanDeparturePercent = t.value(1).toDouble();
        c.timed = t.value(2).toInt();
    }
    std::vector<SendingCharacterFigures> out;
    out.reserve(byCharacter.size());
    for (auto& [character, figures] : byCharacter) {
        figures.character = character;
        out.push_back(figures);
    }
    return out;
}

std::vector<SendingDayFigures> RecordStore::sendingDayFigures(const QString& learner,
                                                              const QDateTime& since) {
    // Attempts are few (one every few seconds of keying at most): the local day of each is
    // taken here rather than in SQL.
    std::map<QDate, SendingDayFigures> days;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT at_ms, regularity, cpm FROM sending_attempts WHERE learner = ? AND at_ms >= ?"
        " AND decoded <> ''"));
    q.addBindValue(learner);
    q.addBindValue(msOf(since));
    if (!q.exec()) return {};
    while (q.next()) {
        SendingDayFigures& d = days[QDateTime::fromMSecsSinceEpoch(q.value(0).toLongLong()).date()];
        ++d.attempts;
        d.meanRegularity += q.value(1).toDouble();
        d.meanCpm += q.value(2).toDouble();
    }
    std::vector<SendingDayFigures> out;
    for (auto& [date, d] : days) {
        d.day = date;
        d.meanRegularity /= d.attempts;
        d.meanCpm /= d.attempts;
        out.push_back(d);
    }
    return out;
}
