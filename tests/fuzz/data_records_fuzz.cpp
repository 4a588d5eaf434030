// libFuzzer target for the scrambled data files: a word-list record, a name-file record and an
// abbreviations file decode from any bytes without a crash or a hang, keep their lengths and
// limits, and what the tools scramble unscrambles to itself.
#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "engine/morse_table.h"
#include "exercises/abbreviations.h"
#include "exercises/character_sets.h"
#include "exercises/word_generator.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // One record of each fixed-length file, from the start of the input.
    const QByteArray word = bytes.left(38);
    const QString english = WordFromRecord(word, true);
    const QString german = WordFromRecord(word, false);
    Check(english.size() + german.size() < word.size() || (english.isEmpty() && german.isEmpty()));
    Check(!english.contains(u'@'));

    NameEntry entry;
    if (ParseNameRecord(TextFromCp1252(bytes.left(22)), entry)) {
        Check(entry.call.size() + entry.name.size() + entry.qth.size() <= 20);
        Check(!entry.call.contains(u'*') && !entry.name.contains(u'*'));
        Check(!entry.qth.endsWith(u' '));
    }

    // Unscrambling keeps the length and inverts the scrambling of printable text as long as a
    // record or line of the data files (the running shift wraps only once).
    QString text = TextFromCp1252(bytes.left(80));
    QString decoded = text;
    DecodeText(decoded);
    Check(decoded.size() == text.size());
    QString plain;
    for (QChar c : text) {
        const int code = Cp1252Code(c);
        if (code > 127 || (code >= 32 && code <= 125)) plain += c;
    }
    QString scrambled = plain;
    EncodeText(scrambled);
    DecodeText(scrambled);
    Check(scrambled == plain);

    // The whole input as an abbreviations file.
    QByteArray file = bytes;
    QBuffer device(&file);
    device.open(QIODevice::ReadOnly);
    const AbbreviationFile list = ReadAbbreviationsFrom(device);
    Check(list.entries.size() <= kMaxAbbreviations);
    Check(device.pos() <= kMaxAbbreviationFileBytes + 1);
    for (const QString& line : list.entries) Check(line.size() <= 1000);
    if (file.size() <= kMaxAbbreviationFileBytes && list.entries.size() < kMaxAbbreviations)
        Check(list.problem.isEmpty());
    return 0;
}
