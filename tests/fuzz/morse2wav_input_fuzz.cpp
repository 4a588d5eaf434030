// libFuzzer target for morse2wav's input: the command line and the text on standard input.
// The first byte says how many of the following lines are arguments; the rest is the text.
// Whatever comes, the options are refused with a short message or come out in their ranges,
// and the text is read to its end in pieces without line ends, tabs or NULs, or refused as not
// being text when it holds a NUL or too many control characters. No message carries a control
// character to the terminal.
#include <QBuffer>
#include <QByteArray>
#include <QStringList>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "options.h"
#include "text_stream.h"
#include "fuzz_check.h"

namespace {
void CheckOptions(const QStringList& args) {
    Options options;
    const QString error = ParseArguments(args, options);
    // A message quotes at most an excerpt of what it was given, with escapes for controls.
    Check(error.size() < 300);
    for (QChar c : error) Check(c.category() != QChar::Other_Control);
    if (!error.isEmpty() || options.help) return;
    Check(!options.outputPath.isEmpty());
    Check(options.cpm >= 20 && options.cpm <= 200);
    Check(std::isfinite(options.pitchHz) && options.pitchHz >= 100 && options.pitchHz <= 4000);
    Check(options.pitchHz < options.rateHz / 2.0);
    Check(options.dashTenths >= 30 && options.dashTenths <= 40);
    Check(options.charSpacing >= 1.0 && options.charSpacing <= 5.0);
    Check(options.wordSpacing >= 1.0 && options.wordSpacing <= 5.0);
    Check(options.rateHz >= 8000 && options.rateHz <= 192000);
    Check(options.splitMinutes >= 0 && options.splitMinutes <= 1440);
    Check(Bounded(options.band) == options.band);
}

void CheckText(QByteArray bytes) {
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    TextStream stream(device);
    QString piece;
    qsizetype characters = 0;
    int pieces = 0;
    while (stream.next(piece)) {
        ++pieces;
        characters += piece.size();
        Check(!piece.contains(u'\n') && !piece.contains(u'\r') && !piece.contains(u'\t'));
        Check(!piece.contains(QChar(0)));
        const double progress = stream.progress();
        Check(progress >= 0 && progress <= 1);
    }
    // Each byte gives at most one character, and every read brings new bytes.
    Check(characters <= bytes.size());
    Check(pieces <= bytes.size());
    if (bytes.contains('\0')) {
        Check(!stream.error().isEmpty());
    } else if (stream.error().isEmpty()) {
        Check(device.atEnd());
    } else {
        Check(stream.error().contains(QStringLiteral("Steuerzeichen")));
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int argumentCount = data[0] % 16;
    QByteArray rest(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QStringList args;
    while (args.size() < argumentCount) {
        const qsizetype end = rest.indexOf('\n');
        args << QString::fromUtf8(rest.left(end < 0 ? rest.size() : end));
        rest = end < 0 ? QByteArray() : rest.mid(end + 1);
    }
    CheckOptions(args);
    CheckText(rest);
    return 0;
}
