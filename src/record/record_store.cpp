#include "record/record_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <map>

#include "record/course_record.h"

namespace {
std::atomic<int> connectionNumber{0};

// SQLite's result codes for a file that is not a database or is damaged.
bool isDamage(const QSqlError& e) {
    const QString code = e.nativeErrorCode();
    return code == QStringLiteral("11") || code == QStringLiteral("26");
}

qint64 msOf(const QDateTime& t) { return t.isValid() ? t.toMSecsSinceEpoch() : 0; }

// The schema of version 1.
const char* const kSchemaV1[] = {
    "CREATE TABLE answers (id INTEGER PRIMARY KEY, learner TEXT NOT NULL, at_ms INTEGER NOT NULL,"
    " asked TEXT NOT NULL, typed TEXT NOT NULL, right INTEGER NOT NULL, reaction_ms INTEGER,"
    " speed_cpm REAL, char_spacing REAL, word_spacing REAL, pitch_hz REAL, effects TEXT)",
    "CREATE INDEX answers_by_learner ON answers (learner, at_ms)",
    "CREATE TABLE runs (id INTEGER PRIMARY KEY, learner TEXT NOT NULL, at_ms INTEGER NOT NULL,"
    " kind TEXT, group_count INTEGER, characters_sent INTEGER, elapsed_s REAL, measured_cpm REAL,"
    " completed INTEGER, speed_cpm REAL, char_spacing REAL, word_spacing REAL, pitch_hz REAL,"
    " effects TEXT)",
    "CREATE INDEX runs_by_learner ON runs (learner, at_ms)",
    "CREATE TABLE copy_checks (id INTEGER PRIMARY KEY, learner TEXT NOT NULL,"
    " at_ms INTEGER NOT NULL, speed_cpm REAL, char_spacing REAL, word_spacing REAL,"
    " pitch_hz REAL, effects TEXT)",
    "CREATE INDEX copy_checks_by_learner ON copy_checks (learner, at_ms)",
    "CREATE TABLE copy_pairs (check_id INTEGER NOT NULL REFERENCES copy_checks(id),"
    " sent TEXT NOT NULL, copied TEXT NOT NULL)",
    "CREATE INDEX copy_pairs_by_check ON copy_pairs (check_id)",
};

QDateTime atOf(const QVariant& ms) { return QDateTime::fromMSecsSinceEpoch(ms.toLongLong()); }

// The settings columns as bindSettings writes them, read from `first` on.
RecordSettings settingsOf(const QSqlQuery& q, int first) {
    return {q.value(first).toDouble(), q.value(first + 1).toDouble(), q.value(first + 2).toDouble(),
            q.value(first + 3).toDouble(), q.value(first + 4).toString()};
}

void bindSettings(QSqlQuery& q, const RecordSettings& s) {
    q.addBindValue(s.speedCpm);
    q.addBindValue(s.charSpacing);
    q.addBindValue(s.wordSpacing);
    q.addBindValue(s.pitchHz);
    q.addBindValue(s.effects);
}

// Every answer and checked character of one learner since a moment, as (sent, copied, right,
// reaction) rows; the reaction is NULL for copies.
const QString kAttempts = QStringLiteral(
    "SELECT asked AS sent, typed AS copied, right, reaction_ms FROM answers"
    " WHERE learner = :learner AND at_ms >= :since"
    " UNION ALL SELECT p.sent, p.copied, p.sent = p.copied, NULL FROM copy_pairs p"
    " JOIN copy_checks c ON c.id = p.check_id"
    " WHERE c.learner = :learner AND c.at_ms >= :since AND p.sent <> ''");
}  // namespace

RecordStore::RecordStore(const QString& path)
    : connection_(QStringLiteral("record-%1").arg(connectionNumber.fetch_add(1))) {
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db_.isValid()) {
        error_ = QStringLiteral("Der SQLite-Treiber von Qt fehlt (Paket libqt6sql6-sqlite).");
        return;
    }
    db_.setDatabaseName(path);
    // A second trainer writing at the same moment is waited for briefly, never for long.
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db_.open()) {
        error_ = db_.lastError().text();
        damaged_ = isDamage(db_.lastError());
        return;
    }
    open_ = prepareSchema();
    if (!open_) db_.close();
}

RecordStore::~RecordStore() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

bool RecordStore::exec(const QString& sql) {
    QSqlQuery q(db_);
    if (q.exec(sql)) return true;
    error_ = q.lastError().text();
    damaged_ = damaged_ || isDamage(q.lastError());
    return false;
}

bool RecordStore::prepareSchema() {
    QSqlQuery check(db_);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next() ||
        check.value(0).toString() != QStringLiteral("ok")) {
        error_ = check.lastError().isValid() ? check.lastError().text()
                                             : QStringLiteral("Integritätsprüfung fehlgeschlagen");
        damaged_ = true;
        return false;
    }
    check.finish();
    if (db_.databaseName() != QStringLiteral(":memory:")) {
        // Readers (the progress window, a second trainer) do not block the writer.
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }
    int found = 0;
    if (!readVersion(found)) return false;
    if (found > kSchemaVersion) {
        error_ = QStringLiteral("Der Lernstand stammt von einer neueren Programmversion.");
        return false;
    }
    if (found == kSchemaVersion) return true;
    // Each step takes the schema one version forward, all under the write lock, so that a
    // second trainer starting at the same moment finds either the old or the new schema.
    if (!exec(QStringLiteral("BEGIN IMMEDIATE"))) return false;
    bool ok = readVersion(found);
    if (ok && found < 1) {
        for (const char* sql : kSchemaV1) ok = ok && exec(QString::fromLatin1(sql));
    }
    if (ok && found < 3) {
        for (const char* sql : CourseSchema()) ok = ok && exec(QString::fromLatin1(sql));
    }
    ok = ok && exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
    if (!ok) {
        exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return exec(QStringLiteral("COMMIT"));
}

bool RecordStore::readVersion(int& version) {
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        error_ = q.lastError().text();
        damaged_ = damaged_ || isDamage(q.lastError());
        return false;
    }
    version = q.value(0).toInt();
    return true;
}

bool RecordStore::write(const RecordBatch& batch) {
    if (!open_ || batch.empty()) return open_;
    if (!db_.transaction()) {
        error_ = db_.lastError().text();
        return false;
    }
    bool ok = true;
    QSqlQuery answer(db_);
    answer.prepare(QStringLiteral(
        "INSERT INTO answers (learner, at_ms, asked, typed, right, reaction_ms, speed_cpm,"
        " char_spacing, word_spacing, pitch_hz, effects)"
        " VALUES (?, ?, coalesce(?, ''), coalesce(?, ''), ?, ?, ?, ?, ?, ?, ?)"));
    for (const auto& [learner, a] : batch.answers) {
        if (!ok) break;
        answer.addBindValue(learner);
        answer.addBindValue(msOf(a.at));
        answer.addBindValue(a.asked);
        answer.addBindValue(a.typed);
        answer.addBindValue(a.right ? 1 : 0);
        answer.addBindValue(a.reactionMs);
        bindSettings(answer, a.settings);
        ok = answer.exec();
        if (!ok) error_ = answer.lastError().text();
    }
    QSqlQuery run(db_);
    run.prepare(QStringLiteral(
        "INSERT INTO runs (learner, at_ms, kind, group_count, characters_sent, elapsed_s,"
        " measured_cpm, completed, speed_cpm, char_spacing, word_spacing, pitch_hz, effects)"
        " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    for (const auto& [learner, r] : batch.runs) {
        if (!ok) break;
        run.addBindValue(learner);
        run.addBindValue(msOf(r.at));
        run.addBindValue(r.kind);
        run.addBindValue(r.groups);
        run.addBindValue(r.charactersSent);
        run.addBindValue(r.elapsedSeconds);
        run.addBindValue(r.measuredCpm);
        run.addBindValue(r.completed ? 1 : 0);
        bindSettings(run, r.settings);
        ok = run.exec();
        if (!ok) error_ = run.lastError().text();
    }
    QSqlQuery check(db_);
    check.prepare(QStringLiteral(
        "INSERT INTO copy_checks (learner, at_ms, speed_cpm, char_spacing, word_spacing,"
        " pitch_hz, effects) VALUES (?,?,?,?,?,?,?)"));
    QSqlQuery pair(db_);
    pair.prepare(
        QStringLiteral("INSERT INTO copy_pairs (check_id, sent, copied) VALUES (?, coalesce(?, "
                       "''), coalesce(?, ''))"));
    for (const auto& [learner, c] : batch.copies) {
        if (!ok) break;
        check.addBindValue(learner);
        check.addBindValue(msOf(c.at));
        bindSettings(check, c.settings);
        ok = check.exec();
        if (!ok) {
            error_ = check.lastError().text();
            break;
        }
        const QVariant id = check.lastInsertId();
        for (const CopyPair& p : c.pairs) {
            pair.addBindValue(id);
            pair.addBindValue(p.sent);
            pair.addBindValue(p.copied);
            ok = pair.exec();
            if (!ok) {
                error_ = pair.lastError().text();
                break;
            }
        }
    }
    if (!ok) {
        db_.rollback();
        return false;
    }
    if (!db_.commit()) {
        error_ = db_.lastError().text();
        return false;
    }
    return true;
}

QStringList RecordStore::learners() {
    QStringList names;
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("SELECT learner FROM answers UNION SELECT learner FROM runs"
                               " UNION SELECT learner FROM copy_checks ORDER BY 1")))
        return names;
    while (q.next()) names << q.value(0).toString();
    return names;
}

int RecordStore::entryCount(const QString& learner, const QDateTime& since) {
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT count(*) FROM (") + kAttempts + QStringLiteral(")"));
    q.bindValue(QStringLiteral(":learner"), learner);
    q.bindValue(QStringLiteral(":since"), msOf(since));
    if (!q.exec() || !q.next()) return 0;
    return q.value(0).toInt();
}

std::vector<CharacterFigures> RecordStore::characterFigures(const QString& learner,
                                                            const QDateTime& since) {
    std::vector<CharacterFigures> out;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT sent, count(*), sum(right),"
                             " avg(CASE WHEN right THEN reaction_ms END),"
                             " count(CASE WHEN right THEN reaction_ms END) FROM (") +
              kAttempts + QStringLiteral(") GROUP BY sent"));
    q.bindValue(QStringLiteral(":learner"), learner);
    q.bindValue(QStringLiteral(":since"), msOf(since));
    if (!q.exec()) return out;
    while (q.next()) {
        CharacterFigures c;
        c.character = q.value(0).toString();
        c.attempts = q.value(1).toInt();
        c.right = q.value(2).toInt();
        c.meanReactionMs = q.value(3).toDouble();
        c.reactionCount = q.value(4).toInt();
        out.push_back(c);
    }
    return out;
}

std::vector<DayFigures> RecordStore::dayFigures(const QString& learner, const QDateTime& since) {
    std::map<QDate, DayFigures> days;
    const auto dayOf = [](qint64 dayNumber) { return QDate::fromJulianDay(dayNumber); };
    // Local days as Julian day numbers.
    QSqlQuery q(db_);
    q.prepare(
        QStringLiteral("SELECT CAST(julianday(at_ms / 1000, 'unixepoch', 'localtime') + 0.5"
                       " AS INTEGER) AS day, count(*), sum(right) FROM (SELECT a.at_ms,"
                       " a.right FROM answers a WHERE a.learner = :learner AND a.at_ms >="
                       " :since UNION ALL SELECT c.at_ms, p.sent = p.copied FROM copy_pairs"
                       " p JOIN copy_checks c ON c.id = p.check_id WHERE c.learner ="
                       " :learner AND c.at_ms >= :since AND p.sent <> '') GROUP BY day"));
    q.bindValue(QStringLiteral(":learner"), learner);
    q.bindValue(QStringLiteral(":since"), msOf(since));
    if (q.exec()) {
        while (q.next()) {
            DayFigures& d = days[dayOf(q.value(0).toLongLong())];
            d.attempts = q.value(1).toInt();
            d.right = q.value(2).toInt();
        }
    }
    QSqlQuery r(db_);
    r.prepare(
        QStringLiteral("SELECT CAST(julianday(at_ms / 1000, 'unixepoch', 'localtime') + 0.5"
                       " AS INTEGER) AS day, avg(measured_cpm), count(*) FROM runs"
                       " WHERE learner = :learner AND at_ms >= :since AND elapsed_s > 0"
                       " GROUP BY day"));
    r.bindValue(QStringLiteral(":learner"), learner);
    r.bindValue(QStringLiteral(":since"), msOf(since));
    if (r.exec()) {
        while (r.next()) {
            DayFigures& d = days[dayOf(r.value(0).toLongLong())];
            d.meanMeasuredCpm = r.value(1).toDouble();
            d.runs = r.value(2).toInt();
        }
    }
    std::vector<DayFigures> out;
    for (auto& [day, figures] : days) {
        figures.day = day;
        out.push_back(figures);
    }
    return out;
}

std::vector<Confusion> RecordStore::confusions(const QString& learner, const QDateTime& since,
                                               int limit) {
    std::vector<Confusion> out;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT sent, copied, count(*) AS n FROM (") + kAttempts +
              QStringLiteral(") WHERE NOT right AND copied <> '' AND copied <> ' '"
                             " GROUP BY sent, copied ORDER BY n DESC, sent, copied LIMIT :limit"));
    q.bindValue(QStringLiteral(":learner"), learner);
    q.bindValue(QStringLiteral(":since"), msOf(since));
    q.bindValue(QStringLiteral(":limit"), limit);
    if (!q.exec()) return out;
    while (q.next())
        out.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toInt()});
    return out;
}

namespace {
// A forward-only query of `sql` with the learner bound to its one parameter; false when it
// failed.
bool selectOfLearner(QSqlQuery& q, const QString& sql, const QString& learner) {
    q.setForwardOnly(true);
    q.prepare(sql);
    q.addBindValue(learner);
    return q.exec();
}
}  // namespace

std::vector<DrillAnswer> RecordStore::answers(const QString& learner) {
    std::vector<DrillAnswer> out;
    QSqlQuery q(db_);
    const QString sql = QStringLiteral(
        "SELECT at_ms, asked, typed, right, reaction_ms, speed_cpm, char_spacing,"
        " word_spacing, pitch_hz, effects FROM answers WHERE learner = ?"
        " ORDER BY at_ms, id");
    if (!selectOfLearner(q, sql, learner)) return out;
    while (q.next()) {
        out.push_back({atOf(q.value(0)), q.value(1).toString(), q.value(2).toString(),
                       q.value(3).toInt() != 0, q.value(4).toInt(), settingsOf(q, 5)});
    }
    return out;
}

std::vector<RunSummary> RecordStore::runs(const QString& learner) {
    std::vector<RunSummary> out;
    QSqlQuery q(db_);
    const QString sql = QStringLiteral(
        "SELECT at_ms, kind, group_count, characters_sent, elapsed_s, measured_cpm,"
        " completed, speed_cpm, char_spacing, word_spacing, pitch_hz, effects"
        " FROM runs WHERE learner = ? ORDER BY at_ms, id");
    if (!selectOfLearner(q, sql, learner)) return out;
    while (q.next()) {
        out.push_back({atOf(q.value(0)), q.value(1).toString(), q.value(2).toInt(),
                       q.value(3).toInt(), q.value(4).toDouble(), q.value(5).toDouble(),
                       q.value(6).toInt() != 0, settingsOf(q, 7)});
    }
    return out;
}

std::vector<CheckedCopy> RecordStore::checkedCopies(const QString& learner) {
    std::vector<CheckedCopy> out;
    QSqlQuery q(db_);
    const QString sql = QStringLiteral(
        "SELECT c.id, c.at_ms, p.sent, p.copied, c.speed_cpm, c.char_spacing,"
        " c.word_spacing, c.pitch_hz, c.effects FROM copy_pairs p JOIN"
        " copy_checks c ON c.id = p.check_id WHERE c.learner = ?"
        " ORDER BY c.at_ms, c.id, p.rowid");
    if (!selectOfLearner(q, sql, learner)) return out;
    qint64 checkId = -1;
    while (q.next()) {
        if (out.empty() || q.value(0).toLongLong() != checkId) {
            checkId = q.value(0).toLongLong();
            out.push_back({atOf(q.value(1)), {}, settingsOf(q, 4)});
        }
        out.back().pairs.push_back({q.value(2).toString(), q.value(3).toString()});
    }
    return out;
}
