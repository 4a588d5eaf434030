#include "text_stream.h"

#include <QFileDevice>
#include <QStringDecoder>

#include "engine/morse_table.h"

namespace {
// Bytes read at a time; small enough to keep memory flat, large enough to be quick.
constexpr qint64 kChunkBytes = 64 * 1024;

// Bytes at the end of `bytes` that start a UTF-8 character not yet complete.
int IncompleteTail(const QByteArray& bytes) {
    const int n = static_cast<int>(bytes.size());
    for (int back = 1; back <= 3 && back <= n; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[n - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}
}  // namespace

TextStream::TextStream(QIODevice& device) : device_(&device) {
    if (!device.isSequential()) total_ = device.size();
}

TextStream::TextStream(const QString& text) : text_(text) {}

double TextStream::progress() const {
    if (!device_) return text_.isEmpty() ? 1.0 : 0.0;
    if (total_ <= 0) return -1;
    return std::min(1.0, static_cast<double>(read_) / static_cast<double>(total_));
}

bool TextStream::mostlyText(const QString& text) {
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\n' && c != u'\r') {
            ++controls_;
        }
    }
    characters_ += text.size();
    // Text has a stray control character at most; binary data has them everywhere.
    if (controls_ * 100 <= characters_) return true;
    error_ = QStringLiteral("die Eingabe ist kein Text (mehr als 1 % Steuerzeichen)");
    return false;
}

QString TextStream::normalise(QString text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const bool cr = c == u'\r';
        if (c == u'\n' && afterCr_) {
            afterCr_ = false;  // CR LF is one line end
            continue;
        }
        afterCr_ = cr;
        out += (cr || c == u'\n' || c == u'\t') ? QChar(u' ') : c;
    }
    return out;
}

bool TextStream::next(QString& piece) {
    piece.clear();
    if (!error_.isEmpty()) return false;
    if (!device_) {
        if (text_.isEmpty() || !mostlyText(text_)) return false;
        piece = normalise(text_);
        text_.clear();
        return true;
    }
    QByteArray bytes = device_->read(kChunkBytes);
    read_ += bytes.size();
    if (bytes.isEmpty()) {
        const auto* file = qobject_cast<QFileDevice*>(device_);
        if (file && file->error() != QFileDevice::NoError) {
            error_ = QStringLiteral("die Eingabe lässt sich nicht lesen");
        }
        // Otherwise the end: a character cut off there is dropped.
        return false;
    }
    if (bytes.contains('\0')) {
        error_ = QStringLiteral("die Eingabe ist kein Text");
        return false;
    }
    bytes.prepend(pending_);
    pending_.clear();
    if (utf8_) {
        const int tail = IncompleteTail(bytes);
        pending_ = bytes.right(tail);
        bytes.chop(tail);
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString text = decoder.decode(bytes);
        if (!decoder.hasError()) {
            if (!mostlyText(text)) return false;
            piece = normalise(text);
            return true;
        }
        utf8_ = false;
        bytes += pending_;
        pending_.clear();
    }
    const QString text = TextFromCp1252(bytes);
    if (!mostlyText(text)) return false;
    piece = normalise(text);
    return true;
}
