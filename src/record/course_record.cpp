#include "record/course_record.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "record/record_store.h"

namespace {
qint64 msOf(const QDateTime& t) { return t.isValid() ? t.toMSecsSinceEpoch() : 0; }
QDateTime atOf(const QVariant& ms) { return QDateTime::fromMSecsSinceEpoch(ms.toLongLong()); }
}  // namespace

const std::vector<const char*>& CourseSchema() {
    static const std::vector<const char*> schema = {
        "CREATE TABLE course_places (learner TEXT PRIMARY KEY, course TEXT NOT NULL,"
        " lesson INTEGER NOT NULL, spacing_tenths INTEGER NOT NULL, changed_ms INTEGER NOT NULL)",
        "CREATE TABLE course_rounds (id INTEGER PRIMARY KEY, learner TEXT NOT NULL,"
        " run_key INTEGER NOT NULL, at_ms INTEGER NOT NULL, course TEXT NOT NULL,"
        " lesson INTEGER NOT NULL, attempts INTEGER NOT NULL, right INTEGER NOT NULL,"
        " spacing_tenths INTEGER, speed_cpm REAL, UNIQUE (learner, run_key))",
        "CREATE INDEX course_rounds_by_lesson ON course_rounds (learner, course, lesson, at_ms)",
        "CREATE TABLE course_round_characters (round_id INTEGER NOT NULL"
        " REFERENCES course_rounds(id), character TEXT NOT NULL, attempts INTEGER NOT NULL,"
        " right INTEGER NOT NULL)",
        "CREATE INDEX course_round_characters_by_round ON course_round_characters (round_id)",
        "CREATE TABLE course_advances (id INTEGER PRIMARY KEY, learner TEXT NOT NULL,"
        " at_ms INTEGER NOT NULL, course TEXT NOT NULL, from_lesson INTEGER NOT NULL,"
        " to_lesson INTEGER NOT NULL, new_characters TEXT NOT NULL, attempts INTEGER NOT NULL,"
        " right INTEGER NOT NULL, rounds INTEGER NOT NULL, spacing_tenths INTEGER NOT NULL)",
        "CREATE INDEX course_advances_by_learner ON course_advances (learner, course, at_ms)",
    };
    return schema;
}

std::optional<CoursePlace> CourseRecord::place(const QString& learner) {
    if (!store_.isOpen()) return std::nullopt;
    QSqlQuery q(store_.database());
    q.prepare(QStringLiteral(
        "SELECT course, lesson, spacing_tenths FROM course_places WHERE learner = ?"));
    q.addBindValue(learner);
    if (!q.exec() || !q.next()) return std::nullopt;
    return CoursePlace{q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt()};
}

bool CourseRecord::setPlace(const QString& learner, const CoursePlace& place, const QDateTime& at) {
    if (!store_.isOpen()) return false;
    QSqlQuery q(store_.database());
    q.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO course_places (learner, course, lesson, spacing_tenths,"
        " changed_ms) VALUES (?, ?, ?, ?, ?)"));
    q.addBindValue(learner);
    q.addBindValue(place.course);
    q.addBindValue(place.lesson);
    q.addBindValue(place.spacingTenths);
    q.addBindValue(msOf(at));
    if (q.exec()) return true;
    error_ = q.lastError().text();
    return false;
}

bool CourseRecord::saveRound(const QString& learner, const CourseRound& round) {
    if (!store_.isOpen()) return false;
    QSqlDatabase& db = store_.database();
    if (!db.transaction()) {
        error_ = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    bool ok = true;
    const auto run = [&](const QString& sql, const QVariantList& values) {
        if (!ok) return;
        q.prepare(sql);
        for (const QVariant& v : values) q.addBindValue(v);
        ok = q.exec();
        if (!ok) error_ = q.lastError().text();
    };
    // A second check of the same run takes the place of the first.
    run(QStringLiteral("DELETE FROM course_round_characters WHERE round_id IN (SELECT id FROM"
                       " course_rounds WHERE learner = ? AND run_key = ?)"),
        {learner, round.runKey});
    run(QStringLiteral("DELETE FROM course_rounds WHERE learner = ? AND run_key = ?"),
        {learner, round.runKey});
    run(QStringLiteral("INSERT INTO course_rounds (learner, run_key, at_ms, course, lesson,"
                       " attempts, right, spacing_tenths, speed_cpm)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {learner, round.runKey, msOf(round.at), round.course, round.lesson, round.attempts,
         round.right, round.spacingTenths, round.speedCpm});
    const QVariant id = ok ? q.lastInsertId() : QVariant();
    for (const auto& [character, tally] : round.characters) {
        run(QStringLiteral("INSERT INTO course_round_characters (round_id, character, attempts,"
                           " right) VALUES (?, ?, ?, ?)"),
            {id, character, tally.attempts, tally.right});
    }
    if (!ok) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        error_ = db.lastError().text();
        return false;
    }
    return true;
}

std::vector<CourseRound> CourseRecord::rounds(const QString& learner, const QString& course,
                                              int lesson, int limit) {
    std::vector<CourseRound> out;
    if (!store_.isOpen()) return out;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT id, run_key, at_ms, lesson, attempts, right, spacing_tenths, speed_cpm"
        " FROM course_rounds WHERE learner = :learner AND course = :course"
        " AND (:lesson = 0 OR lesson = :lesson)"
        " ORDER BY CASE WHEN :lesson = 0 THEN at_ms ELSE -at_ms END,"
        " CASE WHEN :lesson = 0 THEN id ELSE -id END LIMIT :limit"));
    q.bindValue(QStringLiteral(":learner"), learner);
    q.bindValue(QStringLiteral(":course"), course);
    q.bindValue(QStringLiteral(":lesson"), lesson);
    q.bindValue(QStringLiteral(":limit"), limit > 0 ? limit : -1);
    if (!q.exec()) return out;
    std::vector<qint64> ids;
    while (q.next()) {
        ids.push_back(q.value(0).toLongLong());
        CourseRound r;
        r.runKey = q.value(1).toLongLong();
        r.at = atOf(q.value(2));
        r.course = course;
        r.lesson = q.value(3).toInt();
        r.attempts = q.value(4).toInt();
        r.right = q.value(5).toInt();
        r.spacingTenths = q.value(6).toInt();
        r.speedCpm = q.value(7).toDouble();
        out.push_back(r);
    }
    QSqlQuery c(store_.database());
    c.prepare(QStringLiteral(
        "SELECT character, attempts, right FROM course_round_characters WHERE round_id = ?"));
    for (size_t i = 0; i < ids.size(); ++i) {
        c.addBindValue(ids[i]);
        if (!c.exec()) continue;
        while (c.next())
            out[i].characters[c.value(0).toString()] = {c.value(1).toInt(), c.value(2).toInt()};
    }
    return out;
}

bool CourseRecord::advance(const QString& learner, const CourseAdvance& a,
                           const CoursePlace& place) {
    if (!store_.isOpen()) return false;
    QSqlDatabase& db = store_.database();
    if (!db.transaction()) {
        error_ = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "INSERT INTO course_advances (learner, at_ms, course, from_lesson, to_lesson,"
        " new_characters, attempts, right, rounds, spacing_tenths)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& v :
         QVariantList{learner, msOf(a.at), a.course, a.fromLesson, a.toLesson, a.newCharacters,
                      a.attempts, a.right, a.rounds, a.spacingTenths})
        q.addBindValue(v);
    bool ok = q.exec();
    if (!ok) error_ = q.lastError().text();
    ok = ok && setPlace(learner, place, a.at);
    if (!ok) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        error_ = db.lastError().text();
        return false;
    }
    return true;
}

std::vector<CourseAdvance> CourseRecord::advances(const QString& learner, const QString& course) {
    std::vector<CourseAdvance> out;
    if (!store_.isOpen()) return out;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT at_ms, from_lesson, to_lesson, new_characters, attempts, right, rounds,"
        " spacing_tenths FROM course_advances WHERE learner = ? AND course = ?"
        " ORDER BY at_ms, id"));
    q.addBindValue(learner);
    q.addBindValue(course);
    if (!q.exec()) return out;
    while (q.next()) {
        out.push_back({atOf(q.value(0)), course, q.value(1).toInt(), q.value(2).toInt(),
                       q.value(3).toString(), q.value(4).toInt(), q.value(5).toInt(),
                       q.value(6).toInt(), q.value(7).toInt()});
    }
    return out;
}
