// The call-sign contest's part of the learner's record (tables of schema version 4).
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "record/record_store.h"

namespace {
qint64 msOf(const QDateTime& t) { return t.isValid() ? t.toMSecsSinceEpoch() : 0; }
}  // namespace

bool RecordStore::writeContests(
    const std::vector<std::pair<QString, ContestAttemptEntry>>& contests) {
    if (contests.empty()) return true;
    QSqlQuery attempt(db_);
    attempt.prepare(QStringLiteral(
        "INSERT INTO contest_attempts (learner, at_ms, score, start_bpm, final_bpm, highest_bpm,"
        " completed, best_list, source, options, pitch_hz) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
    QSqlQuery call(db_);
    call.prepare(QStringLiteral(
        "INSERT INTO contest_calls (attempt_id, position, sent, typed, speed_bpm, points, wrong,"
        " repeated, reaction_ms, typing_ms) VALUES (?,?,coalesce(?, ''),coalesce(?, "
        "''),?,?,?,?,?,?)"));
    QSqlQuery pair(db_);
    pair.prepare(QStringLiteral(
        "INSERT INTO contest_pairs (call_id, sent, copied) VALUES (?, coalesce(?, ''),"
        " coalesce(?, ''))"));
    const auto failed = [this](const QSqlQuery& q) {
        error_ = q.lastError().text();
        return false;
    };
    for (const auto& [learner, a] : contests) {
        attempt.addBindValue(learner);
        attempt.addBindValue(msOf(a.at));
        attempt.addBindValue(a.score);
        attempt.addBindValue(a.startBpm);
        attempt.addBindValue(a.finalBpm);
        attempt.addBindValue(a.highestBpm);
        attempt.addBindValue(a.completed ? 1 : 0);
        attempt.addBindValue(a.forBestList ? 1 : 0);
        attempt.addBindValue(a.source);
        attempt.addBindValue(a.options);
        attempt.addBindValue(a.pitchHz);
        if (!attempt.exec()) return failed(attempt);
        const QVariant attemptId = attempt.lastInsertId();
        int position = 0;
        for (const ContestCallEntry& c : a.calls) {
            call.addBindValue(attemptId);
            call.addBindValue(++position);
            call.addBindValue(c.sent);
            call.addBindValue(c.typed);
            call.addBindValue(c.speedBpm);
            call.addBindValue(c.points);
            call.addBindValue(c.wrong);
            call.addBindValue(c.repeated ? 1 : 0);
            call.addBindValue(c.reactionMs);
            call.addBindValue(c.typingMs);
            if (!call.exec()) return failed(call);
            const QVariant callId = call.lastInsertId();
            for (const CopyPair& p : c.pairs) {
                pair.addBindValue(callId);
                pair.addBindValue(p.sent);
                pair.addBindValue(p.copied);
                if (!pair.exec()) return failed(pair);
            }
        }
    }
    return true;
}

std::vector<ContestBest> RecordStore::contestBestList(const QString& learner, int limit) {
    std::vector<ContestBest> out;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral(
        "SELECT at_ms, score, highest_bpm FROM contest_attempts WHERE learner = ? AND completed"
        " AND best_list ORDER BY score DESC, at_ms, id LIMIT ?"));
    q.addBindValue(learner);
    q.addBindValue(limit);
    if (!q.exec()) return out;
    while (q.next()) {
        out.push_back({QDateTime::fromMSecsSinceEpoch(q.value(0).toLongLong()), q.value(1).toInt(),
                       q.value(2).toInt()});
    }
    return out;
}

std::vector<ContestAttemptEntry> RecordStore::contestAttempts(const QString& learner,
                                                              const QDateTime& since,
                                                              bool withCalls) {
    std::vector<ContestAttemptEntry> out;
    std::vector<qint64> ids;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT id, at_ms, score, start_bpm, final_bpm, highest_bpm, completed, best_list,"
        " source, options, pitch_hz FROM contest_attempts WHERE learner = ? AND at_ms >= ?"
        " ORDER BY at_ms, id"));
    q.addBindValue(learner);
    q.addBindValue(msOf(since));
    if (!q.exec()) return out;
    while (q.next()) {
        ids.push_back(q.value(0).toLongLong());
        ContestAttemptEntry a;
        a.at = QDateTime::fromMSecsSinceEpoch(q.value(1).toLongLong());
        a.score = q.value(2).toInt();
        a.startBpm = q.value(3).toInt();
        a.finalBpm = q.value(4).toInt();
        a.highestBpm = q.value(5).toInt();
        a.completed = q.value(6).toInt() != 0;
        a.forBestList = q.value(7).toInt() != 0;
        a.source = q.value(8).toString();
        a.options = q.value(9).toString();
        a.pitchHz = q.value(10).toDouble();
        out.push_back(a);
    }
    if (!withCalls) return out;
    QSqlQuery calls(db_);
    calls.prepare(QStringLiteral(
        "SELECT id, sent, typed, speed_bpm, points, wrong, repeated, reaction_ms, typing_ms"
        " FROM contest_calls WHERE attempt_id = ? ORDER BY position"));
    QSqlQuery pairs(db_);
    pairs.prepare(
        QStringLiteral("SELECT sent, copied FROM contest_pairs WHERE call_id = ? ORDER BY rowid"));
    for (size_t i = 0; i < ids.size(); ++i) {
        calls.addBindValue(ids[i]);
        if (!calls.exec()) break;
        while (calls.next()) {
            ContestCallEntry c;
            c.sent = calls.value(1).toString();
            c.typed = calls.value(2).toString();
            c.speedBpm = calls.value(3).toInt();
            c.points = calls.value(4).toInt();
            c.wrong = calls.value(5).toInt();
            c.repeated = calls.value(6).toInt() != 0;
            c.reactionMs = calls.value(7).toInt();
            c.typingMs = calls.value(8).toInt();
            pairs.addBindValue(calls.value(0));
            if (pairs.exec()) {
                while (pairs.next())
                    c.pairs.push_back({pairs.value(0).toString(), pairs.value(1).toString()});
            }
            out[i].calls.push_back(c);
        }
    }
    return out;
}

std::vector<ContestMisses> RecordStore::contestMisses(const QString& learner,
                                                      const QDateTime& since, int limit) {
    std::vector<ContestMisses> out;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral(
        "SELECT p.sent, count(*), sum(p.sent <> p.copied) AS missed FROM contest_pairs p"
        " JOIN contest_calls c ON c.id = p.call_id JOIN contest_attempts a ON a.id = c.attempt_id"
        " WHERE a.learner = ? AND a.at_ms >= ? AND p.sent <> '' GROUP BY p.sent"
        " HAVING missed > 0 ORDER BY missed DESC, p.sent LIMIT ?"));
    q.addBindValue(learner);
    q.addBindValue(msOf(since));
    q.addBindValue(limit);
    if (!q.exec()) return out;
    while (q.next()) out.push_back({q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt()});
    return out;
}
