#include "engine/morse_table.h"

#include "state/shared_state.h"

namespace {
// International Morse code for letters and digits; "(" and ")" deliberately share -.--.-.
constexpr MorseSign kSigns[] = {
    {'(', "-.--.-"}, {')', "-.--.-"}, {'*', "-.-.-"},  {'+', ".-.-."},  {',', "--..--"},
    {'-', "-....-"}, {'.', ".-.-.-"}, {'/', "-..-."},  {'0', "-----"},  {'1', ".----"},
    {'2', "..---"},  {'3', "...--"},  {'4', "....-"},  {'5', "....."},  {'6', "-...."},
    {'7', "--..."},  {'8', "---.."},  {'9', "----."},  {':', "---..."}, {'=', "-...-"},
    {'?', "..--.."}, {'A', ".-"},     {'B', "-..."},   {'C', "-.-."},   {'D', "-.."},
    {'E', "."},      {'F', "..-."},   {'G', "--."},    {'H', "...."},   {'I', ".."},
    {'J', ".---"},   {'K', "-.-"},    {'L', ".-.."},   {'M', "--"},     {'N', "-."},
    {'O', "---"},    {'P', ".--."},   {'Q', "--.-"},   {'R', ".-."},    {'S', "..."},
    {'T', "-"},      {'U', "..-"},    {'V', "...-"},   {'W', ".--"},    {'X', "-..-"},
    {'Y', "-.--"},   {'Z', "--.."},
};

// Windows-1252 codes 0x80..0x9F that map to other Unicode characters.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}  // namespace

int Cp1252Code(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == u) return 0x80 + i;
    }
    return 256;
}

QChar FromCp1252(int code) {
    if (code >= 0x80 && code < 0xA0) return QChar(kHigh[code - 0x80]);
    return QChar(static_cast<char16_t>(code & 0xFF));
}

QString TextFromCp1252(QByteArrayView bytes) {
    QString text(bytes.size(), QChar());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = FromCp1252(static_cast<unsigned char>(bytes[i]));
    return text;
}

bool HasMorseSign(QChar c) {
    const char16_t u = c.toUpper().unicode();
    for (const MorseSign& sign : kSigns) {
        if (sign.character == u) return true;
    }
    return false;
}

void BuildMorseTable() {
    auto& table = S().MorseTable;
    for (auto& entry : table) entry.clear();
    for (const MorseSign& sign : kSigns)
        table[sign.character - 40] = QString::fromLatin1(sign.pattern);
}

std::span<const MorseSign> MorseSigns() { return kSigns; }

int MorseIndex(QChar c) {
    // Only plain ASCII letters change in upper case inside the table's range; ß or ÿ must not
    // turn into something that has a sign.
    const int code = Cp1252Code(c);
    const int upper = (code >= 'a' && code <= 'z') ? code - 32 : code;
    const int index = upper - 40;
    return (index < 0 || index > 50) ? -1 : index;
}

void EncodeCharacter(int index) {
    SharedState& s = S();
    const QString& pattern = s.MorseTable[index];
    s.ElementCount = 0;
    auto append = [&s](int32_t code) {
        s.ElementBuffer[s.ElementCount] = code;  // index ElementCount + 1, one-based
        ++s.ElementCount;
    };
    auto ensureRoom = [&s] {
        if (s.ElementCount >= static_cast<int32_t>(s.ElementBuffer.size()) - 5)
            s.ElementBuffer.resize(s.ElementCount + 100);
    };
    for (QChar symbol : pattern) {
        const int32_t code = symbol == u'-' ? 4 : 3;
        ensureRoom();
        append(code);
        append(1);
    }
    // The gap codes need room too when a short buffer was left by the previous character.
    if (s.ElementCount + 2 > static_cast<int32_t>(s.ElementBuffer.size()))
        s.ElementBuffer.resize(s.ElementCount + 2);
    append(2);
    append(1);
    s.ElementBuffer.resize(s.ElementCount);
}
