// libFuzzer target for the reader of "Aus Datei": any bytes read without a crash or a hang,
// within the character limit, never reading more than the bytes it needs, with a NUL refused
// and every line end turned into a blank.
#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "exercises/own_text.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    const TextFile file = ReadText(device, kTextFileLimit);
    // The limit in characters, plus the blank after each line and a line cut at the limit.
    Check(file.text.size() <= 2 * kTextFileLimit + 1);
    Check(device.pos() <= 12 * kTextFileLimit + 2);
    Check(!file.text.contains(u'\n') && !file.text.contains(u'\r'));
    if (file.status == TextFileStatus::NotText) Check(bytes.left(device.pos()).contains('\0'));
    if (file.status == TextFileStatus::Ok) {
        Check(!file.text.contains(QChar(0)));
        Check(file.text.isEmpty() || file.text.endsWith(u' '));
        if (file.complete && !bytes.contains('\0')) Check(device.atEnd());
    }
    return 0;
}
