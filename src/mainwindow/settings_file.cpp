#include "mainwindow/settings_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "engine/morse_table.h"
#include "engine/spoken_characters.h"
#include "engine/timing.h"
#include "exercises/exercise_menu.h"
#include "platform/dialogs.h"
#include "platform/file_lookup.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "state/shared_state.h"

namespace {
const QString kSettingsFileName = QStringLiteral("MORSE.CST");

QByteArray ToCp1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        const int code = Cp1252Code(c);
        bytes.append(code > 255 ? '?' : static_cast<char>(code));
    }
    return bytes;
}

void ReportSaveFailure() {
    if (DialogSeam* dialogs = Platform().dialogs) {
        dialogs->message(QStringLiteral(
            "Die Einstellungen konnten nicht in MORSE.CST gespeichert werden. Die bisherige "
            "Datei bleibt unverändert."));
    }
}
}  // namespace

QString SettingsFilePath() {
    const QString existing = FindFileIn(QDir::currentPath(), kSettingsFileName);
    return existing.isEmpty() ? QDir(QDir::currentPath()).filePath(kSettingsFileName) : existing;
}

SettingsValues CurrentSettings() {
    const SharedState& s = S();
    SettingsValues values;
    values.speed = s.Speed;
    values.pitch = s.TonePitch;
    values.groups = s.GroupCount;
    values.charSpacing = s.CharSpacing;
    values.wordSpacing = s.WordSpacing;
    values.kind = s.ExerciseKind;
    values.optionFlags = s.OptionFlags;
    values.dash = static_cast<int16_t>(form1().LT.value());
    return values;
}

void PackOptionFlags() {
    const Form1& f = form1();
    int16_t flags = 0;
    if (f.anziehen1.ticked()) flags += 1;
    if (f.anziehen2.ticked()) flags += 2;
    if (f.tonschwank.ticked()) flags += 4;
    if (f.unsauber.ticked()) flags += 8;
    if (f.O_Verkl.ticked()) flags += 16;
    S().OptionFlags = flags;
}

void UnpackOptionFlags() {
    SharedState& s = S();
    Form1& f = form1();
    struct Bit {
        int16_t value;
        CheckBox& box;
    };
    const Bit bits[] = {
        {16, f.O_Verkl}, {8, f.unsauber}, {4, f.tonschwank}, {2, f.anziehen2}, {1, f.anziehen1}};
    for (const Bit& bit : bits) {
        if (s.OptionFlags >= bit.value) {
            bit.box.setValue(1);
            s.OptionFlags = static_cast<int16_t>(s.OptionFlags - bit.value);
        }
    }
}

void Comsave_cst_Click() {
    PlayWave(QStringLiteral("S12"));
    SharedState& s = S();
    // Own text, own characters and the weak characters of the record are not stored: the kind
    // falls back to letters and digits, on the window too.
    if (s.ExerciseKind == u"T" || s.ExerciseKind == u"E" || s.ExerciseKind == u"W")
        s.ExerciseKind = QStringLiteral("U");
    PackOptionFlags();

    const QByteArray line =
        ToCp1252(FormatSettingsLine(CurrentSettings()) + QStringLiteral("\r\n"));
    // Written beside the old file and renamed over it only when complete. Unbuffered, so that
    // a short write (a full disk) shows here: a buffered one would only fail in the flush inside
    // commit(), which does not stop the rename.
    QSaveFile file(SettingsFilePath());
    const bool saved = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                       file.write(line) == line.size() && file.commit();
    if (!saved) ReportSaveFailure();
}

void comload_cst_Click() {
    PlayWave(QStringLiteral(".\\alfa\\S12"));
    const QString path = FindFileIn(QDir::currentPath(), kSettingsFileName);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential()) return;
    const QString text = TextFromCp1252(file.read(kSettingsReadLimit));
    file.close();

    SharedState& s = S();
    Form1& f = form1();
    SettingsValues values = CurrentSettings();
    const int fieldsRead = ParseSettingsLine(text, values);
    // The variables take each field as it is read, so a line that breaks off keeps what came
    // before the fault; the fields not read hold the current values.
    s.Speed = values.speed;
    s.TonePitch = values.pitch;
    s.GroupCount = values.groups;
    s.CharSpacing = values.charSpacing;
    s.WordSpacing = values.wordSpacing;
    s.OptionFlags = values.optionFlags;
    if (fieldsRead < kSettingsFieldCount) return;

    s.ExerciseKind = values.kind;
    UnpackOptionFlags();
    if (values.dash < f.LT.min() || values.dash > f.LT.max()) return;
    f.LT.setValue(values.dash);
    f.L_LT.setCaption(QStringLiteral("langer Ton  ") +
                      ShortestText(static_cast<float>(f.LT.value()) / 10.0f));
    s.StartSpeed = s.Speed;
    f.L_Gesch.setCaption(ShortestText(s.Speed));
    s.SavedPitch = static_cast<int16_t>(RoundHalfEven(s.TonePitch));
    f.L_Ton.setCaption(ShortestText(s.TonePitch));
    f.L_Anz.setCaption(ShortestText(s.GroupCount));
    f.L_Abst.setCaption(FormatNumber(s.CharSpacing, QStringLiteral("#0.0")));
    f.L_WAbst.setCaption(FormatNumber(s.WordSpacing, QStringLiteral("#0.0")));
    Artupdate();
    ComputeTiming();
}
