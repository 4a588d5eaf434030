#include "record/csv_export.h"

#include <QDateTime>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

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

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

QString when(const QDateTime& at) {
    return at.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
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

    const auto settings = [](const RecordSettings& s) {
        return QStringList{number(s.speedCpm, 1), number(s.charSpacing, 2),
                           number(s.wordSpacing, 2), number(s.pitchHz, 1), cell(s.effects)}
            .join(u';');
    };
    const QString name = cell(learner);

    for (const DrillAnswer& a : store.answers(learner)) {
        out << "Antwort;" << when(a.at) << ';' << name << ';' << cell(a.asked) << ';'
            << cell(a.typed) << ';' << (a.right ? "ja" : "nein") << ';' << a.reactionMs << ";;;;;;;"
            << settings(a.settings) << "\r\n";
    }
    for (const RunSummary& r : store.runs(learner)) {
        out << "Durchgang;" << when(r.at) << ';' << name << ";;;;;" << cell(r.kind) << ';'
            << r.groups << ';' << r.charactersSent << ';' << number(r.elapsedSeconds, 1) << ';'
            << number(r.measuredCpm, 1) << ';' << (r.completed ? "ja" : "nein") << ';'
            << settings(r.settings) << "\r\n";
    }
    for (const CheckedCopy& c : store.checkedCopies(learner)) {
        for (const CopyPair& p : c.pairs) {
            out << "Mitschrift;" << when(c.at) << ';' << name << ';' << cell(p.sent) << ';'
                << cell(p.copied) << ';' << (p.sent == p.copied ? "ja" : "nein") << ";;;;;;;;"
                << settings(c.settings) << "\r\n";
        }
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit())
        return QStringLiteral("„%1“ lässt sich nicht schreiben: %2").arg(path, file.errorString());
    return {};
}
