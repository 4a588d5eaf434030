#include "record/record_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <limits>
#include <map>
#include <set>

#include "record/course_record.h"

namespace {
std::atomic<int> connectionNumber{0};

// SQLite's result codes for a file that is damaged (SQLITE_CORRUPT) or not a database
// (SQLITE_NOTADB); extended codes carry the primary one in their low byte. Busy, locked,
// read-only and I/O errors say nothing about the file's content.
bool isDamage(const QSqlError& e) {
    bool number = false;
    const int code = e.nativeErrorCode().toInt(&number) & 0xff;
    return number && (code == 11 || code == 26);
}

// SQLITE_BUSY and SQLITE_LOCKED: another connection holds the file for now.
bool isBusy(const QSqlError& e) {
    bool number = false;
    const int code = e.nativeErrorCode().toInt(&number) & 0xff;
    return number && (code == 5 || code == 6);
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

// Version 2: a checked copy knows the run it checked, so that a second check of the same run
// replaces the first.
const char* const kSchemaV2[] = {
    "ALTER TABLE copy_checks ADD COLUMN run_at_ms INTEGER",
    "CREATE INDEX copy_checks_by_run ON copy_checks (learner, run_at_ms)",
    // The figures of "Lernstand" come from this index alone, without reading the table; it
    // also serves everything the index by learner and time did.
    "CREATE INDEX answers_figures ON answers (learner, at_ms, asked, typed, right, reaction_ms)",
    "DROP INDEX IF EXISTS answers_by_learner",
};

// The local date of the column `msColumn` (ms since the epoch) as a Julian day number, for
// times between `firstMs` and `lastMs`. The offsets of the system's time zone over that span
// become a CASE of plain arithmetic: SQLite's 'localtime' asks the C library for every row,
// which costs most of the time on a large record.
QString LocalDayNumber(const QString& msColumn, qint64 firstMs, qint64 lastMs) {
    constexpr qint64 kDayMs = 86400000;
    constexpr qint64 kJulianDayOfEpoch = 2440588;  // 1970-01-01
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(firstMs, Qt::UTC);
    const QDateTime last = QDateTime::fromMSecsSinceEpoch(lastMs, Qt::UTC);
    QString offset = QString::number(qint64{zone.offsetFromUtc(first)} * 1000);
    const QTimeZone::OffsetDataList changes = zone.transitions(first, last);
    if (!changes.isEmpty()) {
        offset = QStringLiteral("CASE WHEN %1 < %2 THEN %3")
                     .arg(msColumn)
                     .arg(changes.front().atUtc.toMSecsSinceEpoch())
                     .arg(offset);
        for (qsizetype i = 0; i < changes.size(); ++i) {
            const qint64 ms = qint64{changes[i].offsetFromUtc} * 1000;
            if (i + 1 < changes.size()) {
                offset += QStringLiteral(" WHEN %1 < %2 THEN %3")
                              .arg(msColumn)
                              .arg(changes[i + 1].atUtc.toMSecsSinceEpoch())
                              .arg(ms);
            } else {
                offset += QStringLiteral(" ELSE %1 END").arg(ms);
            }
        }
    }
    // The entries are all after 1970, so the division rounds down.
    return QStringLiteral("((%1 + %2) / %3 + %4)")
        .arg(msColumn, offset)
        .arg(kDayMs)
        .arg(kJulianDayOfEpoch);
}

// The call-sign contest (version 4): attempts, their calls and each call's aligned characters.
const char* const kSchemaV4[] = {
    "CREATE TABLE contest_attempts (id INTEGER PRIMARY KEY, learner TEXT NOT NULL,"
    " at_ms INTEGER NOT NULL, score INTEGER NOT NULL, start_bpm INTEGER, final_bpm INTEGER,"
    " highest_bpm INTEGER, completed INTEGER NOT NULL, best_list INTEGER NOT NULL, source TEXT,"
    " options TEXT, pitch_hz REAL)",
    "CREATE INDEX contest_attempts_by_learner ON contest_attempts (learner, at_ms)",
    "CREATE TABLE contest_calls (id INTEGER PRIMARY KEY,"
    " attempt_id INTEGER NOT NULL REFERENCES contest_attempts(id), position INTEGER NOT NULL,"
    " sent TEXT NOT NULL, typed TEXT NOT NULL, speed_bpm INTEGER, points INTEGER, wrong INTEGER,"
    " repeated INTEGER, reaction_ms INTEGER, typing_ms INTEGER)",
    "CREATE INDEX contest_calls_by_attempt ON contest_calls (attempt_id)",
    "CREATE TABLE contest_pairs (call_id INTEGER NOT NULL REFERENCES contest_calls(id),"
    " sent TEXT NOT NULL, copied TEXT NOT NULL)",
    "CREATE INDEX contest_pairs_by_call ON contest_pairs (call_id)",
};

// Version 5: running totals of the answers and checked characters, kept by triggers in the
// same transaction as every write, so that "Lernstand" over the whole record reads a few
// hundred rows instead of every entry. Per learner and pair of sent and copied character, and
// per learner and quarter of an hour (every time zone's offset is a whole number of quarters,
// so the local days are exact).
const char* const kSchemaV5[] = {
    "CREATE TABLE attempt_totals (learner TEXT NOT NULL, sent TEXT NOT NULL,"
    " copied TEXT NOT NULL, attempts INTEGER NOT NULL, right INTEGER NOT NULL,"
    " reaction_sum INTEGER NOT NULL, reaction_count INTEGER NOT NULL,"
    " PRIMARY KEY (learner, sent, copied)) WITHOUT ROWID",
    "CREATE TABLE attempt_quarters (learner TEXT NOT NULL, quarter INTEGER NOT NULL,"
    " attempts INTEGER NOT NULL, right INTEGER NOT NULL, PRIMARY KEY (learner, quarter))"
    " WITHOUT ROWID",
    "CREATE TRIGGER answers_add AFTER INSERT ON answers BEGIN"
    " INSERT INTO attempt_totals VALUES (NEW.learner, NEW.asked, NEW.typed, 1, NEW.right <> 0,"
    " CASE WHEN NEW.right THEN coalesce(NEW.reaction_ms, 0) ELSE 0 END,"
    " NEW.right AND NEW.reaction_ms IS NOT NULL)"
    " ON CONFLICT DO UPDATE SET attempts = attempts + 1, right = right + excluded.right,"
    " reaction_sum = reaction_sum + excluded.reaction_sum,"
    " reaction_count = reaction_count + excluded.reaction_count;"
    " INSERT INTO attempt_quarters VALUES (NEW.learner, NEW.at_ms / 900000, 1, NEW.right <> 0)"
    " ON CONFLICT DO UPDATE SET attempts = attempts + 1, right = right + excluded.right; END",
    "CREATE TRIGGER answers_remove AFTER DELETE ON answers BEGIN"
    " UPDATE attempt_totals SET attempts = attempts - 1, right = right - (OLD.right <> 0),"
    " reaction_sum = reaction_sum - CASE WHEN OLD.right THEN coalesce(OLD.reaction_ms, 0)"
    " ELSE 0 END, reaction_count = reaction_count - (OLD.right AND OLD.reaction_ms IS NOT NULL)"
    " WHERE learner = OLD.learner AND sent = OLD.asked AND copied = OLD.typed;"
    " UPDATE attempt_quarters SET attempts = attempts - 1, right = right - (OLD.right <> 0)"
    " WHERE learner = OLD.learner AND quarter = OLD.at_ms / 900000; END",
    "CREATE TRIGGER copy_pairs_add AFTER INSERT ON copy_pairs WHEN NEW.sent <> '' BEGIN"
    " INSERT INTO attempt_totals SELECT learner, NEW.sent, NEW.copied, 1,"
    " NEW.sent = NEW.copied, 0, 0 FROM copy_checks WHERE id = NEW.check_id"
    " ON CONFLICT DO UPDATE SET attempts = attempts + 1, right = right + excluded.right;"
    " INSERT INTO attempt_quarters SELECT learner, at_ms / 900000, 1, NEW.sent = NEW.copied"
    " FROM copy_checks WHERE id = NEW.check_id"
    " ON CONFLICT DO UPDATE SET attempts = attempts + 1, right = right + excluded.right; END",
    "CREATE TRIGGER copy_pairs_remove AFTER DELETE ON copy_pairs WHEN OLD.sent <> '' BEGIN"
    " UPDATE attempt_totals SET attempts = attempts - 1, right = right - (OLD.sent = OLD.copied)"
    " WHERE (learner, sent, copied) = (SELECT learner, OLD.sent, OLD.copied FROM copy_checks"
    " WHERE id = OLD.check_id);"
    " UPDATE attempt_quarters SET attempts = attempts - 1, right = right - (OLD.sent = OLD.copied)"
    " WHERE (learner, quarter) = (SELECT learner, at_ms / 900000 FROM copy_checks"
    " WHERE id = OLD.check_id); END",
    // What was recorded before.
    "INSERT INTO attempt_totals SELECT learner, sent, copied, count(*), sum(right),"
    " sum(CASE WHEN right THEN coalesce(reaction, 0) ELSE 0 END),"
    " count(CASE WHEN right THEN reaction END) FROM (SELECT learner, asked AS sent,"
    " typed AS copied, right <> 0 AS right, reaction_ms AS reaction FROM answers UNION ALL"
    " SELECT c.learner, p.sent, p.copied, p.sent = p.copied, NULL FROM copy_pairs p"
    " JOIN copy_checks c ON c.id = p.check_id WHERE p.sent <> '')"
    " GROUP BY learner, sent, copied",
    "INSERT INTO attempt_quarters SELECT learner, quarter, count(*), sum(right) FROM"
    " (SELECT learner, at_ms / 900000 AS quarter, right <> 0 AS right FROM answers UNION ALL"
    " SELECT c.learner, c.at_ms / 900000, p.sent = p.copied FROM copy_pairs p"
    " JOIN copy_checks c ON c.id = p.check_id WHERE p.sent <> '') GROUP BY learner, quarter",
};

// Version 6: sending practice. Each attempt with its figures and its marks and spaces as
// keyed [ms, "80 78.5 240 ..."], the pairs of intended and read characters, and how far each
// read character's timing departed from the ideal.
const char* const kSchemaV6[] = {
    "CREATE TABLE sending_attempts (id INTEGER PRIMARY KEY, learner TEXT NOT NULL,"
    " at_ms INTEGER NOT NULL, exercise TEXT, intended TEXT NOT NULL, decoded TEXT NOT NULL,"
    " right INTEGER NOT NULL, cpm REAL, wpm REAL, dash_ratio REAL, dot_pct REAL, dash_pct REAL,"
    " element_gap_pct REAL, char_gap_pct REAL, word_gap_pct REAL, dot_spread REAL,"
    " dash_spread REAL, element_gap_spread REAL, char_gap_spread REAL, word_gap_spread REAL,"
    " regularity INTEGER, worst TEXT, durations_ms TEXT NOT NULL, pitch_hz REAL)",
    "CREATE INDEX sending_attempts_by_learner ON sending_attempts (learner, at_ms)",
    "CREATE TABLE sending_pairs (attempt_id INTEGER NOT NULL REFERENCES sending_attempts(id),"
    " sent TEXT NOT NULL, keyed TEXT NOT NULL)",
    "CREATE INDEX sending_pairs_by_attempt ON sending_pairs (attempt_id)",
    "CREATE TABLE sending_timing (attempt_id INTEGER NOT NULL"
    " REFERENCES sending_attempts(id), character TEXT NOT NULL, departure_pct REAL NOT NULL)",
    "CREATE INDEX sending_timing_by_attempt ON sending_timing (attempt_id)",
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

RecordStore::RecordStore(const QString& path, int busyTimeoutMs)
    : connection_(QStringLiteral("record-%1").arg(connectionNumber.fetch_add(1))) {
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db_.isValid()) {
        error_ = QStringLiteral("Der SQLite-Treiber von Qt fehlt (Paket libqt6sql6-sqlite).");
        return;
    }
    db_.setDatabaseName(path);
    // A second trainer writing at the same moment is waited for briefly, never for long.
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
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
    busy_ = busy_ || isBusy(q.lastError());
    return false;
}

bool RecordStore::prepareSchema() {
    if (readySchema()) return true;
    // The integrity check reads the whole file, which takes as long as the record is large:
    // only an opening that failed pays for it, and not one that found the file locked, which
    // the check would wait for once more.
    if (!damaged_ && !busy_) checkIntegrity();
    return false;
}

void RecordStore::checkIntegrity() {
    QSqlQuery check(db_);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next()) {
        // The check could not run: damaged only when SQLite says so, not when the file is
        // merely locked or unreadable for now.
        error_ = check.lastError().text();
        damaged_ = isDamage(check.lastError());
        return;
    }
    if (check.value(0).toString() != QStringLiteral("ok")) {
        error_ = QStringLiteral("Integritätsprüfung fehlgeschlagen: ") + check.value(0).toString();
        damaged_ = true;
    }
}

bool RecordStore::readySchema() {
    if (db_.databaseName() != QStringLiteral(":memory:")) {
        // Readers (the progress window, a second trainer) do not block the writer. A file
        // locked by another program is left at once: each further statement would wait again.
        if (!exec(QStringLiteral("PRAGMA journal_mode=WAL")) && busy_) return false;
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
    if (ok && found < 2) {
        for (const char* sql : kSchemaV2) ok = ok && exec(QString::fromLatin1(sql));
    }
    if (ok && found < 3) {
        for (const char* sql : CourseSchema()) ok = ok && exec(QString::fromLatin1(sql));
    }
    if (ok && found < 4) {
        for (const char* sql : kSchemaV4) ok = ok && exec(QString::fromLatin1(sql));
    }
    if (ok && found < 5) {
        for (const char* sql : kSchemaV5) ok = ok && exec(QString::fromLatin1(sql));
    }
    if (ok && found < 6) {
        for (const char* sql : kSchemaV6) ok = ok && exec(QString::fromLatin1(sql));
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
        busy_ = busy_ || isBusy(q.lastError());
        return false;
    }
    version = q.value(0).toInt();
    return true;
}

bool RecordStore::write(const RecordBatch& batch) {
    if (!open_ || batch.empty()) return open_;
    // The write lock is taken at the start, so that a batch waits for another program's lock
    // once, not at every statement.
    if (!exec(QStringLiteral("BEGIN IMMEDIATE"))) return false;
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
    QSqlQuery earlierPairs(db_);
    earlierPairs.prepare(
        QStringLiteral("DELETE FROM copy_pairs WHERE check_id IN (SELECT id FROM copy_checks"
                       " WHERE learner = ? AND run_at_ms = ?)"));
    QSqlQuery earlierCheck(db_);
    earlierCheck.prepare(
        QStringLiteral("DELETE FROM copy_checks WHERE learner = ? AND run_at_ms = ?"));
    QSqlQuery check(db_);
    check.prepare(QStringLiteral(
        "INSERT INTO copy_checks (learner, at_ms, run_at_ms, speed_cpm, char_spacing,"
        " word_spacing, pitch_hz, effects) VALUES (?,?,?,?,?,?,?,?)"));
    QSqlQuery pair(db_);
    pair.prepare(
        QStringLiteral("INSERT INTO copy_pairs (check_id, sent, copied) VALUES (?, coalesce(?, "
                       "''), coalesce(?, ''))"));
    for (const auto& [learner, c] : batch.copies) {
        if (!ok) break;
        if (c.runStart.isValid()) {
            // The learner checked the same run again (a typo mended): the new check replaces
            // the old one instead of counting its characters twice.
            for (QSqlQuery* earlier : {&earlierPairs, &earlierCheck}) {
                earlier->addBindValue(learner);
                earlier->addBindValue(msOf(c.runStart));
                ok = ok && earlier->exec();
                if (!ok) error_ = earlier->lastError().text();
            }
            if (!ok) break;
        }
        check.addBindValue(learner);
        check.addBindValue(msOf(c.at));
        check.addBindValue(c.runStart.isValid() ? QVariant(msOf(c.runStart))
                                                : QVariant(QMetaType::fromType<qint64>()));
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
    // A commit that fails (the lock not granted in time) leaves the transaction open: it is
    // rolled back, so that the batch can be tried again from the start.
    ok = ok && writeContests(batch.contests);
    ok = ok && writeSendings(batch.sendings);
    if (ok && exec(QStringLiteral("COMMIT"))) return true;
    exec(QStringLiteral("ROLLBACK"));
    return false;
}

QStringList RecordStore::learners() {
    // A skip through each table's index by learner: a few lookups per learner instead of a
    // pass over every entry.
    std::set<QString> names;
    for (const char* table :
         {"answers", "runs", "copy_checks", "contest_attempts", "sending_attempts"}) {
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("WITH RECURSIVE next(name) AS (SELECT (SELECT min(learner)"
                                   " FROM %1) UNION ALL SELECT (SELECT min(learner) FROM %1"
                                   " WHERE learner > name) FROM next WHERE name IS NOT NULL)"
                                   " SELECT name FROM next WHERE name IS NOT NULL")
                        .arg(QLatin1String(table))))
            return {};
        while (q.next()) names.insert(q.value(0).toString());
    }
    return QStringList(names.begin(), names.end());
}

int RecordStore::entryCount(const QString& learner, const QDateTime& since) {
    QSqlQuery q(db_);
    if (since.isValid()) {
        q.prepare(QStringLiteral("SELECT count(*) FROM (") + kAttempts + QStringLiteral(")"));
        q.bindValue(QStringLiteral(":since"), msOf(since));
    } else {
        q.prepare(QStringLiteral(
            "SELECT coalesce(sum(attempts), 0) FROM attempt_totals WHERE learner = :learner"));
    }
    q.bindValue(QStringLiteral(":learner"), learner);
    if (!q.exec() || !q.next()) return 0;
    return q.value(0).toInt();
}

std::vector<CharacterFigures> RecordStore::characterFigures(const QString& learner,
                                                            const QDateTime& since) {
    std::map<QString, CharacterFigures> byCharacter;
    if (!since.isValid()) {
        QSqlQuery t(db_);
        t.setForwardOnly(true);
        t.prepare(QStringLiteral(
            "SELECT sent, sum(attempts), sum(right), sum(reaction_sum), sum(reaction_count)"
            " FROM attempt_totals WHERE learner = :learner AND attempts > 0 GROUP BY sent"));
        t.bindValue(QStringLiteral(":learner"), learner);
        if (!t.exec()) return {};
        std::vector<CharacterFigures> out;
        while (t.next()) {
            CharacterFigures c;
            c.character = t.value(0).toString();
            c.attempts = t.value(1).toInt();
            c.right = t.value(2).toInt();
            c.reactionCount = t.value(4).toInt();
            if (c.reactionCount > 0) c.meanReactionMs = t.value(3).toDouble() / c.reactionCount;
            out.push_back(c);
        }
        // In the order of the figures of a period (see below), which SQLite's byte order of
        // UTF-8 need not be.
        std::sort(out.begin(), out.end(), [](const CharacterFigures& a, const CharacterFigures& b) {
            return a.character < b.character;
        });
        return out;
    }
    // The answers and the checked characters are counted each on their own and added here:
    // grouping their union would sort every entry once more.
    QSqlQuery a(db_);
    a.setForwardOnly(true);
    a.prepare(QStringLiteral(
        "SELECT asked, count(*), sum(right), avg(CASE WHEN right THEN reaction_ms END),"
        " count(CASE WHEN right THEN reaction_ms END) FROM answers"
        " WHERE learner = :learner AND at_ms >= :since GROUP BY asked"));
    a.bindValue(QStringLiteral(":learner"), learner);
    a.bindValue(QStringLiteral(":since"), msOf(since));
    if (!a.exec()) return {};
    while (a.next()) {
        CharacterFigures& c = byCharacter[a.value(0).toString()];
        c.attempts += a.value(1).toInt();
        c.right += a.value(2).toInt();
        c.meanReactionMs = a.value(3).toDouble();
        c.reactionCount = a.value(4).toInt();
    }
    QSqlQuery p(db_);
    p.setForwardOnly(true);
    p.prepare(
        QStringLiteral("SELECT p.sent, count(*), sum(p.sent = p.copied) FROM copy_pairs p"
                       " JOIN copy_checks c ON c.id = p.check_id WHERE c.learner ="
                       " :learner AND c.at_ms >= :since AND p.sent <> '' GROUP BY p.sent"));
    p.bindValue(QStringLiteral(":learner"), learner);
    p.bindValue(QStringLiteral(":since"), msOf(since));
    if (!p.exec()) return {};
    while (p.next()) {
        CharacterFigures& c = byCharacter[p.value(0).toString()];
        c.attempts += p.value(1).toInt();
        c.right += p.value(2).toInt();
    }
    std::vector<CharacterFigures> out;
    out.reserve(byCharacter.size());
    for (auto& [character, figures] : byCharacter) {
        figures.character = character;
        out.push_back(figures);
    }
    return out;
}

std::vector<DayFigures> RecordStore::dayFigures(const QString& learner, const QDateTime& since) {
    std::map<QDate, DayFigures> days;
    const qint64 from = msOf(since);
    // The span of the entries, for the offsets of the local time in force over it.
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    QSqlQuery span(db_);
    span.setForwardOnly(true);
    span.prepare(QStringLiteral(
        "SELECT min(at_ms), max(at_ms) FROM answers WHERE learner = :learner AND at_ms >= :since"
        " UNION ALL SELECT min(at_ms), max(at_ms) FROM copy_checks WHERE learner = :learner AND"
        " at_ms >= :since UNION ALL SELECT min(at_ms), max(at_ms) FROM runs WHERE learner ="
        " :learner AND at_ms >= :since"));
    span.bindValue(QStringLiteral(":learner"), learner);
    span.bindValue(QStringLiteral(":since"), from);
    if (!span.exec()) return {};
    while (span.next()) {
        if (span.isNull(0)) continue;
        first = std::min(first, span.value(0).toLongLong());
        last = std::max(last, span.value(1).toLongLong());
    }
    if (first > last) return {};
    const QString day = LocalDayNumber(QStringLiteral("at_ms"), first, last);

    // Answers and checked characters each on their own, added here (see characterFigures);
    // over the whole record from the totals by quarter hour.
    const QStringList attempts =
        since.isValid()
            ? QStringList{QStringLiteral("SELECT %1 AS day, count(*), sum(right) FROM answers"
                                         " WHERE learner = :learner AND at_ms >= :since"
                                         " GROUP BY day")
                              .arg(day),
                          QStringLiteral("SELECT %1 AS day, count(*), sum(p.sent = p.copied)"
                                         " FROM copy_pairs p JOIN copy_checks c ON c.id ="
                                         " p.check_id WHERE c.learner = :learner AND c.at_ms >="
                                         " :since AND p.sent <> '' GROUP BY day")
                              .arg(day)}
            : QStringList{QStringLiteral("SELECT %1 AS day, sum(attempts), sum(right) FROM"
                                         " attempt_quarters WHERE learner = :learner AND"
                                         " attempts > 0 GROUP BY day")
                              .arg(LocalDayNumber(QStringLiteral("(quarter * 900000)"),
                                                  first - first % 900000, last))};
    for (const QString& sql : attempts) {
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        q.prepare(sql);
        q.bindValue(QStringLiteral(":learner"), learner);
        if (since.isValid()) q.bindValue(QStringLiteral(":since"), from);
        if (!q.exec()) continue;
        while (q.next()) {
            DayFigures& d = days[QDate::fromJulianDay(q.value(0).toLongLong())];
            d.attempts += q.value(1).toInt();
            d.right += q.value(2).toInt();
        }
    }
    QSqlQuery r(db_);
    r.setForwardOnly(true);
    r.prepare(QStringLiteral("SELECT %1 AS day, avg(measured_cpm), count(*) FROM runs"
                             " WHERE learner = :learner AND at_ms >= :since AND elapsed_s > 0"
                             " GROUP BY day")
                  .arg(day));
    r.bindValue(QStringLiteral(":learner"), learner);
    r.bindValue(QStringLiteral(":since"), from);
    if (r.exec()) {
        while (r.next()) {
            DayFigures& d = days[QDate::fromJulianDay(r.value(0).toLongLong())];
            d.meanMeasuredCpm = r.value(1).toDouble();
            d.runs = r.value(2).toInt();
        }
    }
    std::vector<DayFigures> out;
    for (auto& [date, figures] : days) {
        figures.day = date;
        out.push_back(figures);
    }
    return out;
}

std::vector<Confusion> RecordStore::confusions(const QString& learner, const QDateTime& since,
                                               int limit) {
    std::map<std::pair<QString, QString>, int> counts;
    if (!since.isValid()) {
        // A right checked character has as many right as attempts, so only wrong ones are left.
        QSqlQuery t(db_);
        t.setForwardOnly(true);
        t.prepare(QStringLiteral(
            "SELECT sent, copied, attempts - right FROM attempt_totals WHERE learner = :learner"
            " AND attempts > right AND copied <> '' AND copied <> ' '"));
        t.bindValue(QStringLiteral(":learner"), learner);
        if (!t.exec()) return {};
        while (t.next())
            counts[{t.value(0).toString(), t.value(1).toString()}] += t.value(2).toInt();
    }
    // Only the wrong entries are grouped, answers and checked characters each on their own.
    QStringList wrong;
    if (since.isValid()) {
        wrong = {QStringLiteral("SELECT asked, typed, count(*) FROM answers WHERE learner ="
                                " :learner AND at_ms >= :since AND NOT right AND typed <> ''"
                                " AND typed <> ' ' GROUP BY asked, typed"),
                 QStringLiteral("SELECT p.sent, p.copied, count(*) FROM copy_pairs p JOIN"
                                " copy_checks c ON c.id = p.check_id WHERE c.learner = :learner"
                                " AND c.at_ms >= :since AND p.sent <> '' AND p.sent <> p.copied"
                                " AND p.copied <> '' AND p.copied <> ' '"
                                " GROUP BY p.sent, p.copied")};
    }
    for (const QString& sql : wrong) {
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        q.prepare(sql);
        q.bindValue(QStringLiteral(":learner"), learner);
        q.bindValue(QStringLiteral(":since"), msOf(since));
        if (!q.exec()) return {};
        while (q.next())
            counts[{q.value(0).toString(), q.value(1).toString()}] += q.value(2).toInt();
    }
    std::vector<Confusion> out;
    out.reserve(counts.size());
    for (const auto& [pair, n] : counts) out.push_back({pair.first, pair.second, n});
    // Most frequent first; ties by sent and copied character (the map's order).
    std::stable_sort(out.begin(), out.end(),
                     [](const Confusion& a, const Confusion& b) { return a.count > b.count; });
    if (limit >= 0 && out.size() > static_cast<size_t>(limit)) out.resize(limit);
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
        " c.word_spacing, c.pitch_hz, c.effects, c.run_at_ms FROM copy_pairs p JOIN"
        " copy_checks c ON c.id = p.check_id WHERE c.learner = ?"
        " ORDER BY c.at_ms, c.id, p.rowid");
    if (!selectOfLearner(q, sql, learner)) return out;
    qint64 checkId = -1;
    while (q.next()) {
        if (out.empty() || q.value(0).toLongLong() != checkId) {
            checkId = q.value(0).toLongLong();
            const QDateTime runStart = q.isNull(9) ? QDateTime() : atOf(q.value(9));
            out.push_back({atOf(q.value(1)), runStart, {}, settingsOf(q, 4)});
        }
        out.back().pairs.push_back({q.value(2).toString(), q.value(3).toString()});
    }
    return out;
}
