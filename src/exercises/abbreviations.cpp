#include "exercises/abbreviations.h"

#include <QFile>

#include "engine/morse_table.h"
#include "exercises/character_sets.h"
#include "platform/file_lookup.h"
#include "state/shared_state.h"

namespace {
// A longer line is no abbreviation; it is cut rather than read without limit.
constexpr qint64 kMaxLineBytes = 1000;

QString fromCp1252(const QByteArray& bytes) {
    QString text(bytes.size(), QChar());
    for (int i = 0; i < bytes.size(); ++i)
        text[i] = FromCp1252(static_cast<unsigned char>(bytes[i]));
    return text;
}

// One line without its end (CR LF or LF); false at the end of the file.
bool readLine(QFile& file, QByteArray& line) {
    if (file.atEnd()) return false;
    line = file.readLine(kMaxLineBytes + 1);
    if (line.size() > kMaxLineBytes && !line.endsWith('\n')) {
        // Skip the rest of an overlong line.
        while (!file.atEnd() && !file.readLine(kMaxLineBytes + 1).endsWith('\n')) {
        }
    }
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    return true;
}
}  // namespace

void ReadAbbreviations() {
    SharedState& s = S();
    for (QString& entry : s.AbbrevList) entry.clear();
    s.AbbrevCount = 0;
    const QString path = FindDataFile(QStringLiteral("Abk.txt"));
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    QByteArray line;
    int count = 0;
    while (count < kMaxAbbreviations && readLine(file, line)) {
        QString entry = fromCp1252(line);
        DecodeText(entry);
        s.AbbrevList[++count] = entry;
    }
    s.AbbrevCount = static_cast<int16_t>(count);
}
