#include "record/csv_export.h"

#include <QDateTime>
#include <QSaveFile>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>
#include <QVariant>

#include "record/record_store.h"

namespace {
// A cell as text: quoted when it holds a separator, a quote or a line break, and never read
// as a formula by the spreadsheet.
QString cell(const QString& text) {
    QString out = text;
    if (!out.isEmpty() && QStringLiteral("=+-@").contains(out.front())) out.prepend(u'\'');
    if (out.contains(u';') || out.contains(u'"') || out.contains(u'\n') || out.contains(u'\r')) {
        out.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        out = u'"' + out + u'"';
    }
    return out;
}

QString number(const QVariant& v, int decimals) {
    if (v.isNull()) return {};
    return QString::number(v.toDouble(), 'f', decimals).replace(u'.', u',');
}

QString when(const QVariant& ms) {
    return QDateTime::fromMSecsSinceEpoch(ms.toLongLong())
        .toLocalTime()
        .toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

const QString kHeader = QStringLiteral(
    "Art;Zeitpunkt;Lernende(r);Gesendet;Aufgenommen;Richtig;Reaktionszeit (ms);Übung;Gruppen;"
    "Zeichen;Dauer (s);Gemessen (Zeichen/min);Vollständig;Tempo (Zeichen/min);Zeichenabstand;"
    "Wortabstand;Tonhöhe (Hz);Effekte");
}  // namespace

QString ExportRecordCsv(RecordStore& store, const QString& learner, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("„%1“ lässt sich nicht schreiben: %2").arg(path, file.errorString());
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out.setGenerateByteOrderMark(true);
    out << kHeader << "\r\n";

    const auto settings = [](const QSqlQuery& q, int first) {
        return QStringList{number(q.value(first), 1), number(q.value(first + 1), 2),
                           number(q.value(first + 2), 2), number(q.value(first + 3), 1),
                           cell(q.value(first + 4).toString())}
            .join(u';');
    };
    const QString name = cell(learner);

    QSqlQuery a(store.database());
    a.setForwardOnly(true);
    a.prepare(
        QStringLiteral("SELECT at_ms, asked, typed, right, reaction_ms, speed_cpm,"
                       " char_spacing, word_spacing, pitch_hz, effects FROM answers"
                       " WHERE learner = ? ORDER BY at_ms, id"));
    a.addBindValue(learner);
    if (a.exec()) {
        while (a.next()) {
            out << "Antwort;" << when(a.value(0)) << ';' << name << ';'
                << cell(a.value(1).toString()) << ';' << cell(a.value(2).toString()) << ';'
                << (a.value(3).toInt() ? "ja" : "nein") << ';' << a.value(4).toLongLong()
                << ";;;;;;;" << settings(a, 5) << "\r\n";
        }
    }
    QSqlQuery r(store.database());
    r.setForwardOnly(true);
    r.prepare(
        QStringLiteral("SELECT at_ms, kind, group_count, characters_sent, elapsed_s, measured_cpm,"
                       " completed, speed_cpm, char_spacing, word_spacing, pitch_hz, effects"
                       " FROM runs WHERE learner = ? ORDER BY at_ms, id"));
    r.addBindValue(learner);
    if (r.exec()) {
        while (r.next()) {
            out << "Durchgang;" << when(r.value(0)) << ';' << name << ";;;;;"
                << cell(r.value(1).toString()) << ';' << r.value(2).toInt() << ';'
                << r.value(3).toInt() << ';' << number(r.value(4), 1) << ';'
                << number(r.value(5), 1) << ';' << (r.value(6).toInt() ? "ja" : "nein") << ';'
                << settings(r, 7) << "\r\n";
        }
    }
    QSqlQuery c(store.database());
    c.setForwardOnly(true);
    c.prepare(
        QStringLiteral("SELECT c.at_ms, p.sent, p.copied, c.speed_cpm, c.char_spacing,"
                       " c.word_spacing, c.pitch_hz, c.effects FROM copy_pairs p JOIN"
                       " copy_checks c ON c.id = p.check_id WHERE c.learner = ?"
                       " ORDER BY c.at_ms, c.id, p.rowid"));
    c.addBindValue(learner);
    if (c.exec()) {
        while (c.next()) {
            const QString sent = c.value(1).toString();
            const QString copied = c.value(2).toString();
            out << "Mitschrift;" << when(c.value(0)) << ';' << name << ';' << cell(sent) << ';'
                << cell(copied) << ';' << (sent == copied ? "ja" : "nein") << ";;;;;;;;"
                << settings(c, 3) << "\r\n";
        }
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit())
        return QStringLiteral("„%1“ lässt sich nicht schreiben: %2").arg(path, file.errorString());
    return {};
}
