#include "contest/call_list.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

namespace {
bool isCall(const QString& text) {
    static const QRegularExpression shape(QStringLiteral("^[A-Z0-9/]+$"));
    static const QRegularExpression letter(QStringLiteral("[A-Z]"));
    static const QRegularExpression digit(QStringLiteral("[0-9]"));
    return text.size() >= kCallListMinLength && text.size() <= kCallListMaxLength &&
           shape.match(text).hasMatch() && letter.match(text).hasMatch() &&
           digit.match(text).hasMatch() && !text.startsWith(u'/') && !text.endsWith(u'/');
}

QString decoded(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}
}  // namespace

CallList ParseCallList(const QByteArray& bytes) {
    CallList list;
    if (bytes.size() > kCallListMaxBytes) {
        list.error = QStringLiteral("Die Rufzeichenliste ist größer als %1 KB.")
                         .arg(kCallListMaxBytes / 1024);
        return list;
    }
    const QStringList lines = decoded(bytes).split(u'\n');
    QSet<QString> seen;
    QStringList bad;
    int badCount = 0;
    bool cut = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed().toUpper();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (!isCall(line)) {
            ++badCount;
            if (bad.size() < kCallListReportedLines) {
                bad << QStringLiteral("Zeile %1: „%2“").arg(i + 1).arg(line.left(20));
            }
            continue;
        }
        if (seen.contains(line)) continue;
        if (list.calls.size() >= kCallListMaxCalls) {
            cut = true;
            break;
        }
        seen.insert(line);
        list.calls << line;
    }
    QStringList report;
    if (badCount > 0) {
        report << (badCount == 1
                       ? QStringLiteral("%1 Zeile ist kein Rufzeichen und bleibt weg: %2%3")
                       : QStringLiteral("%1 Zeilen sind keine Rufzeichen und bleiben weg: %2%3"))
                      .arg(badCount)
                      .arg(bad.join(QStringLiteral(", ")))
                      .arg(badCount > bad.size() ? QStringLiteral(" und weitere") : QString());
    }
    if (cut) {
        report << QStringLiteral("Nur die ersten %1 Rufzeichen werden verwendet.")
                      .arg(kCallListMaxCalls);
    }
    list.report = report.join(u' ');
    if (list.calls.isEmpty()) list.error = QStringLiteral("Die Datei enthält keine Rufzeichen.");
    return list;
}

CallList ReadCallList(const QString& path) {
    CallList list;
    const QFileInfo info(path);
    if (info.exists() && info.size() > kCallListMaxBytes) {
        list.error = QStringLiteral("Die Rufzeichenliste ist größer als %1 KB.")
                         .arg(kCallListMaxBytes / 1024);
        return list;
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        list.error = QStringLiteral("Die Datei „%1“ lässt sich nicht lesen.").arg(path);
        return list;
    }
    // One byte more than allowed tells a file that grew since it was looked at.
    return ParseCallList(file.read(kCallListMaxBytes + 1));
}
