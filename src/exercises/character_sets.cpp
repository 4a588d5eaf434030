#include "exercises/character_sets.h"

#include "engine/morse_table.h"
#include "platform/file_lookup.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "state/shared_state.h"

#include <QFile>

#include <memory>

namespace {
constexpr int kNameRecordLength = 22;

std::unique_ptr<QFile>& nameFile() {
    static std::unique_ptr<QFile> file;
    return file;
}

QString& nameFileProblem() {
    static QString problem;
    return problem;
}

bool isShiftCharacter(int p) {
    switch (p) {
        case ' ': case 'A': case 'E': case 'I': case 'O': case 'U':
        case 'a': case 'e': case 'i': case 'o': case 'u':
            return true;
        default:
            return false;
    }
}
}  // namespace

void InitCharacterSets() {
    SharedState& s = S();
    Form1& f = form1();
    s.Letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    s.Digits = QStringLiteral("1234567890");
    s.Punctuation = QStringLiteral("=.,?/");
    s.ExerciseText = s.Letters + s.Digits + s.Punctuation;
    s.Speed = 60;
    s.StartSpeed = 60.0f;
    s.TonePitch = 800;
    s.BasePitch = 800.0f;
    s.GroupCount = 12;
    s.GroupCountInt = 12;
    s.CharSpacing = 1.0f;
    s.ExerciseKind = QStringLiteral("Z");
    f.O_Verkl.setValue(0);
    f.unsauber.setValue(0);
    f.tonschwank.setValue(0);
    f.anziehen1.setValue(0);
    f.anziehen2.setValue(0);
    s.GroupCountInt = static_cast<int16_t>(RoundHalfEven(s.GroupCount));
    s.StartSpeed = s.Speed;
    s.BasePitch = s.TonePitch;
    f.L_Gesch.setCaption(ShortestText(s.Speed));
    f.L_Ton.setCaption(ShortestText(s.TonePitch));
    f.L_Anz.setCaption(ShortestText(s.GroupCount));
    f.L_Abst.setCaption(FormatNumber(s.CharSpacing, QStringLiteral("#0.0  ")));

    // The name file is only read: a missing one stays missing rather than being created empty.
    auto& file = nameFile();
    file.reset();
    nameFileProblem().clear();
    s.NameFile = 0;
    const QString path = FindDataFile(QStringLiteral("MORSE.NAM"));
    if (path.isEmpty()) return;
    auto opened = std::make_unique<QFile>(path);
    if (!opened->open(QIODevice::ReadOnly)) return;
    if (opened->size() > kMaxNameFileBytes) {
        nameFileProblem() = QStringLiteral("Namensdatei MORSE.NAM ist größer als %1 KB und wird "
                                           "nicht gelesen.")
                                .arg(kMaxNameFileBytes / 1024);
        return;
    }
    file = std::move(opened);
    s.NameFile = 1;
}

bool ReadNameRecord(int number, QString& record) {
    QFile* file = nameFile().get();
    if (!file || number < 1) return false;
    if (!file->seek(static_cast<qint64>(number - 1) * kNameRecordLength)) return false;
    const QByteArray bytes = file->read(kNameRecordLength);
    if (bytes.size() != kNameRecordLength) return false;
    record = TextFromCp1252(bytes);
    return true;
}

QString NameFileProblem() { return nameFileProblem(); }

bool ParseNameRecord(QString record, NameEntry& entry) {
    DecodeText(record);
    const qsizetype p1 = record.indexOf(u'*');
    const qsizetype p2 = p1 < 0 ? -1 : record.indexOf(u'*', p1 + 1);
    if (p2 < 0) return false;
    entry.call = record.left(p1);
    entry.name = record.mid(p1 + 1, p2 - p1 - 1);
    entry.qth = record.mid(p2 + 1);
    while (entry.qth.endsWith(u' ')) entry.qth.chop(1);
    return true;
}

void DecodeText(QString& text) {
    int shift = kDecodeShiftStart;
    for (QChar& ch : text) {
        const int c = Cp1252Code(ch);
        if (c > 127) continue;
        int p = c - shift;
        if (p < 32) p += 94;
        ch = QChar(static_cast<char16_t>(p));
        if (isShiftCharacter(p)) ++shift;
    }
}

void EncodeText(QString& text) {
    int shift = kDecodeShiftStart;
    for (QChar& ch : text) {
        const int p = Cp1252Code(ch);
        if (p > 127) continue;
        // Decoded characters lie in 32..125; the stored code wraps into the same range.
        int c = p + shift;
        if (c > 125) c -= 94;
        ch = QChar(static_cast<char16_t>(c));
        if (isShiftCharacter(p)) ++shift;
    }
}
