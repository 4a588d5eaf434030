#include "exercises/own_text.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cmath>

#include "engine/display_reset.h"
#include "engine/morse_table.h"
#include "engine/run_frame.h"
#include "engine/send_character.h"
#include "exercises/data_message.h"
#include "platform/dialogs.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

namespace {
void setPointer(MousePointer pointer) {
    TextSurface& display = *Platform().surface;
    display.mousePointer = pointer;
    display.pointerChanged();
}

}  // namespace

TextFile ReadText(QIODevice& device, int limit) {
    // UTF-8 needs at most four bytes a character: this many bytes always hold `limit`
    // characters, whatever the encoding turns out to be.
    const qint64 maxBytes = 4 * static_cast<qint64>(limit);

    // Whole lines, joined by LF, until there are enough bytes for the limit in any encoding.
    QByteArray raw;
    int lines = 0;
    bool complete = true;
    // An empty read is the end of the input: a line read holds at least its line end. Pipes
    // are read the same way as files, without asking how much is waiting.
    for (;;) {
        if (raw.size() >= maxBytes) {
            complete = device.read(1).isEmpty();
            break;
        }
        QByteArray line = device.readLine(maxBytes + 1);
        if (line.isEmpty()) break;
        if (line.contains('\0')) return {TextFileStatus::NotText, {}};
        const bool whole = line.endsWith('\n') || line.size() <= maxBytes;
        if (line.endsWith('\n')) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        line.replace('\r', '\n');  // a lone CR ends a line too
        if (lines++ > 0) raw += '\n';
        raw += line;
        if (!whole) {  // a line longer than the limit: the rest is never needed
            complete = false;
            break;
        }
    }

    QStringDecoder utf8(QStringDecoder::Utf8);
    // A character cut off at the end of what was read stays in the decoder and is dropped.
    QString decoded = utf8.decode(raw);
    if (utf8.hasError()) decoded = TextFromCp1252(raw);

    TextFile result;
    result.complete = complete;
    if (lines == 0) return result;
    for (const QString& line : decoded.split(u'\n')) {
        if (result.text.size() >= limit) {
            result.complete = false;
            break;
        }
        if (line.size() > limit) result.complete = false;
        result.text += line.left(limit);
        result.text += u' ';
    }
    return result;
}

TextFile ReadTextFile(const QString& path) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return {TextFileStatus::CannotOpen, {}};
    TextFile result = ReadText(file, kTextFileLimit);
    if (result.status == TextFileStatus::Ok && file.error() != QFileDevice::NoError)
        return {TextFileStatus::CannotOpen, {}};
    return result;
}

void FitTextFont() {
    SharedState& s = S();
    const Form1& f = form1();
    TextSurface& display = *Platform().surface;
    display.font.sizePt = 16;
    display.font.bold = false;
    // Below 8 pt the size is raised to 8 anyway, so shrinking stops there.
    while (display.font.sizePt >= 8) {
        const double width = display.textWidth(s.ExerciseText);
        const double height = display.textHeight(s.ExerciseText);
        if (height <= 0) break;
        const double needed = std::floor(width / (f.Width - 800) + 1.5);
        const double available = std::floor((f.shape1.Height - 200) / height);
        if (available > needed) break;
        display.font.sizePt *= 0.95f;
    }
    if (display.font.sizePt < 8) display.font.sizePt = 8;
}

void SendOwnText() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    const bool exam = s.ExerciseKind == QStringLiteral("C");

    FitTextFont();
    if (!exam) SendPreamble();
    if (f.Ohr.ticked()) f.Timer2.setTimerEnabled(true);

    // The text may change under the loop (a menu choice during the run): take it once.
    const QString text = s.ExerciseText;
    const QString work = text + u' ';
    for (qsizetype i = 0; i < work.size(); ++i) {
        if (s.CurrentChar == QStringLiteral(" ")) {
            qsizetype blank = work.indexOf(u' ', i + 1);
            if (blank < 0) blank = work.size();
            const QString word = work.mid(i, blank - i);
            if (f.Width - display.textWidth(word) - 650 < display.CurrentX) {
                display.EndLine();
                display.CurrentX = f.shape1.Left + 300;
            }
        }
        s.CurrentChar = i < text.size() ? QString(text[i]) : QString();
        if (i < text.size()) SendCharacter();
        if (s.StopRequested) return;
    }
    if (!exam) ShowStatistics();
}

void MausDatei_Click() {
    SharedState& s = S();
    Form1& f = form1();
    const bool startWasEnabled = f.Comstart.enabled();
    const QString previousText = s.ExerciseText;
    f.Comstart.setEnabled(false);

    // A cancelled dialog or an unreadable file leaves the exercise as it was.
    auto giveUp = [&](const QString& message) {
        s.ExerciseText = previousText;
        f.Comstart.setEnabled(startWasEnabled);
        setPointer(MousePointer::Default);
        if (!message.isEmpty()) ShowDataMessage(message);
    };

    DialogSeam* dialogs = Platform().dialogs;
    const QString path = dialogs
                             ? dialogs->openFileName(QStringLiteral("DATEI ERÖFFNEN"),
                                                     QStringLiteral("Txt (*.txt);;Alles (*.*);;"
                                                                    "Blank Ext (*.);;Doc (*.doc)"))
                             : QString();
    if (path.isEmpty()) {
        giveUp(QString());
        return;
    }

    setPointer(MousePointer::Hourglass);
    const TextFile file = ReadTextFile(path);
    const QString name = QFileInfo(path).fileName();
    if (file.status == TextFileStatus::CannotOpen) {
        giveUp(QStringLiteral("Die Datei %1 lässt sich nicht lesen.").arg(name));
        return;
    }
    if (file.status == TextFileStatus::NotText) {
        giveUp(QStringLiteral("Die Datei %1 ist keine Textdatei.").arg(name));
        return;
    }

    f.Panel2.setCaption(QStringLiteral("Text aus Datei"));
    s.ExerciseText = file.text;
    s.SentText = s.ExerciseText;
    setPointer(MousePointer::Arrow);
    s.ExerciseKind = QStringLiteral("T");
    f.Comstart.setEnabled(true);
    RestoreNormalDisplay();
    if (!file.complete) {
        ShowDataMessage(
            QStringLiteral("Die Datei %1 ist länger als %2 Zeichen; gesendet wird ihr Anfang.")
                .arg(name)
                .arg(kTextFileLimit));
    }
    setPointer(MousePointer::Default);
}
