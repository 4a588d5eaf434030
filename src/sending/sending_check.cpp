#include "sending/sending_check.h"

QString CheckedText(const std::vector<DecodedSign>& signs) {
    QString out;
    out.reserve(static_cast<qsizetype>(signs.size()));
    for (const DecodedSign& sign : signs) out += sign.known ? sign.text.at(0) : QChar(0xFFFD);
    return out;
}

CopyCheckResult CheckSending(const QString& intended, const std::vector<DecodedSign>& signs) {
    QString expected;
    expected.reserve(intended.size());
    for (QChar c : intended) {
        if (c == u'\\') c = u'/';
        const QString read = CharacterForPattern(PatternForCharacter(c));
        expected += read.isEmpty() ? c : read.at(0);
    }
    return AlignCopy(expected, CheckedText(signs));
}
