#include "exercises/abbreviations.h"

#include <QFile>

#include "engine/morse_table.h"
#include "exercises/character_sets.h"
#include "platform/dialogs.h"
#include "platform/file_lookup.h"
#include "platform/services.h"
#include "state/shared_state.h"

namespace {
// A longer line is no abbreviation; it is cut.
constexpr qsizetype kMaxLineBytes = 1000;

}  // namespace

AbbreviationFile ReadAbbreviationsFrom(QIODevice& device) {
    AbbreviationFile result;
    const QByteArray bytes = device.read(kMaxAbbreviationFileBytes + 1);
    const bool tooLong = bytes.size() > kMaxAbbreviationFileBytes;
    // Of a file over the byte limit only the lines that end before it count.
    const qsizetype end =
        tooLong ? bytes.lastIndexOf('\n', kMaxAbbreviationFileBytes - 1) + 1 : bytes.size();
    bool tooMany = false;
    qsizetype start = 0;
    while (start < end) {
        if (result.entries.size() == kMaxAbbreviations) {
            tooMany = true;
            break;
        }
        qsizetype stop = bytes.indexOf('\n', start);
        if (stop < 0 || stop > end) stop = end;
        QByteArrayView line(bytes.constData() + start, stop - start);
        start = stop + 1;
        while (line.endsWith('\r')) line.chop(1);
        QString entry = TextFromCp1252(line.first(std::min(line.size(), kMaxLineBytes)));
        DecodeText(entry);
        result.entries << entry;
    }
    if (tooLong || tooMany) {
        result.problem = QStringLiteral(
                             "Die Abkürzungsliste Abk.txt ist zu groß (mehr als %1 Zeilen oder "
                             "%2 KB). Gelesen wurden nur die ersten %3 Zeilen.")
                             .arg(kMaxAbbreviations)
                             .arg(kMaxAbbreviationFileBytes / 1024)
                             .arg(result.entries.size());
    }
    return result;
}

void ReadAbbreviations() {
    SharedState& s = S();
    for (QString& entry : s.AbbrevList) entry.clear();
    s.AbbrevCount = 0;
    const QString path = FindDataFile(QStringLiteral("Abk.txt"));
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const AbbreviationFile read = ReadAbbreviationsFrom(file);
    for (qsizetype i = 0; i < read.entries.size(); ++i) s.AbbrevList[i + 1] = read.entries[i];
    s.AbbrevCount = static_cast<int16_t>(read.entries.size());
    if (!read.problem.isEmpty()) {
        if (DialogSeam* dialogs = Platform().dialogs) dialogs->message(read.problem);
    }
}
