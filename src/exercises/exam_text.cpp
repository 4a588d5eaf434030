#include "exercises/exam_text.h"

#include <algorithm>
#include <cmath>

#include "engine/run_frame.h"
#include "engine/send_character.h"
#include "exercises/call_signs.h"
#include "exercises/character_sets.h"
#include "exercises/data_message.h"
#include "exercises/own_text.h"
#include "exercises/random_groups.h"
#include "exercises/word_generator.h"
#include "platform/dialogs.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

namespace {
constexpr int kNameRecords = 1608;
// Records drawn before the exam text does without a station.
constexpr int kMaxRecordDraws = 20;
constexpr int kMaxAbbreviationsPerRun = 500;
constexpr int kExamLength = 180;
constexpr int kFirstPassageLength = 160;
constexpr int kWordPassagesEnd = 118;

const QString kNoAbbreviations = QStringLiteral("Abkürzungsliste Abk.txt fehlt oder ist leer");

constexpr Rgb kBlack = RGB(0, 0, 0);
constexpr Rgb kBlue = RGB(0, 0, 128);
constexpr Rgb kLightRed = RGB(255, 0, 0);
constexpr Rgb kMagenta = RGB(128, 0, 128);
constexpr Rgb kGreen = RGB(0, 128, 0);

bool isExam() { return S().ExerciseKind == QStringLiteral("C"); }

void setColor(Rgb color) { Platform().surface->foreColor = color; }

void send(const QString& c) {
    S().CurrentChar = c;
    SendCharacter();
}

// Hands a piece of text to SendOwnText in the given colour.
void sendPiece(const QString& text, Rgb color = kBlack) {
    setColor(color);
    S().ExerciseText = text;
    SendOwnText();
    setColor(kBlack);
}

// Number of records in the open name file, found with the record reads themselves.
int nameRecordCount() {
    QString record;
    if (!ReadNameRecord(1, record)) return 0;
    int low = 1;  // readable
    int high = kNameRecords + 1;
    if (ReadNameRecord(kNameRecords, record)) return kNameRecords;
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        if (ReadNameRecord(middle, record)) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return low;
}

void sendNamePhrase() {
    SharedState& s = S();
    sendPiece(QStringLiteral("name ") + s.EntryName + QStringLiteral(" "), kMagenta);
    s.EntryName.clear();
}

void sendQthPhrase() {
    SharedState& s = S();
    sendPiece(QStringLiteral("QTH ") + s.EntryQth, kGreen);
    s.EntryQth.clear();
}
}  // namespace

bool PickRandomEntry() {
    SharedState& s = S();
    s.EntryCall.clear();
    s.EntryName.clear();
    s.EntryQth.clear();
    Random& random = Platform().random;
    // Records 1 to 1608, or all there are when the file is shorter.
    int records = kNameRecords;
    QString record;
    for (int draw = 0; draw < kMaxRecordDraws && records > 0; ++draw) {
        const auto number = static_cast<int>(std::floor(random.Rnd() * records + 1));
        if (!ReadNameRecord(std::min(number, records), record)) {
            records = nameRecordCount();
            continue;
        }
        NameEntry entry;
        if (!ParseNameRecord(record, entry)) continue;
        s.EntryCall = entry.call;
        s.EntryName = entry.name;
        s.EntryQth = entry.qth + u' ';
        return true;
    }
    return false;
}

void SendAbbreviations() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    Random& random = Platform().random;

    if (s.AbbrevCount <= 0 && !isExam()) {
        EndRunWithMessage(kNoAbbreviations);
        return;
    }
    if (!isExam()) {
        SetDisplayFontSize();
        SendPreamble();
    }

    for (int round = 0; round < kMaxAbbreviationsPerRun; ++round) {
        // Without abbreviations the exam's passages take words of the word list instead.
        QString entry;
        if (s.AbbrevCount > 0) {
            const int count =
                std::min<int>(s.AbbrevCount, static_cast<int>(s.AbbrevList.size()) - 1);
            const auto number = std::min(
                static_cast<int>(std::floor(random.Rnd() * static_cast<float>(count))) + 1, count);
            entry = s.AbbrevList[number];
        } else {
            entry = DrawWord();
        }
        // Placeholders for the exam's name and QTH phrases are never sent themselves.
        if (!entry.startsWith(QStringLiteral("name")) && !entry.startsWith(QStringLiteral("QTH"))) {
            for (QChar c : entry) send(QString(c));
        }
        send(QStringLiteral(" "));

        if (f.Auge.ticked() && display.CurrentX >= f.shape1.Left + f.shape1.Width - 1400) {
            display.EndLine();
            display.CurrentX = f.shape1.Left + 300;
        }
        if (isExam()) {
            const auto chance = static_cast<int>(std::floor(random.Rnd() * 100.0f + 1.0f));
            if (chance >= 31 && chance <= 49 && !s.EntryName.isEmpty()) {
                sendNamePhrase();
            } else if (chance >= 1 && chance <= 19 && !s.EntryQth.isEmpty()) {
                sendQthPhrase();
            }
        }
        if (s.StopRequested) return;
        if (!isExam()) {
            if (s.SentCount > s.GroupCount * 5) break;
        } else if ((s.SentCount >= kExamLength && s.GroupCount == 0) ||
                   (s.SentCount >= kFirstPassageLength && s.GroupCount > 0)) {
            return;
        }
    }
    if (!isExam()) ShowStatistics();
}

void SendExamText() {
    SharedState& s = S();
    const auto savedGroupCount = static_cast<float>(RoundHalfEven(s.GroupCount));
    // Every way out gives the user back the group count and the exam kind (the groups block
    // switches the kind to "Z" while it runs).
    auto stopped = [&] {
        if (!s.StopRequested) return false;
        s.GroupCount = savedGroupCount;
        s.ExerciseKind = QStringLiteral("C");
        setColor(kBlack);
        return true;
    };

    // Said once, before the text: its passages of abbreviations then take words.
    if (s.AbbrevCount <= 0) {
        if (DialogSeam* seam = Platform().dialogs) seam->message(kNoAbbreviations);
    }
    s.GroupCount = 38;
    SetDisplayFontSize();
    SendPreamble();
    if (stopped()) return;
    setColor(kBlue);
    s.NormalRun = true;

    s.GroupCount = 12;
    s.ExerciseText = s.Letters + s.Digits + s.Letters;
    SendGroups();
    if (stopped()) return;
    setColor(kBlack);
    send(QStringLiteral("="));
    send(QStringLiteral(" "));
    if (stopped()) return;

    s.GroupCount = 1;
    s.ExerciseKind = QStringLiteral("C");
    if (SendWords()) {
        if (stopped()) return;
        QString lastSign;
        do {
            QString sign;
            do {
                const auto position =
                    static_cast<int>(std::floor(Platform().random.Rnd() * 4.0f + 2.0f));
                sign = s.Punctuation.mid(std::min(position, 5) - 1, 1);
            } while (sign == lastSign);
            lastSign = sign;
            send(sign);
            send(QStringLiteral(" "));
            if (stopped()) return;
            s.GroupCount = 3;
            SendWords();
            if (stopped()) return;
        } while (s.SentCount < kWordPassagesEnd);
    }

    sendPiece(QStringLiteral(" = "));
    if (stopped()) return;
    s.GroupCount = 1;
    SendCallSigns();
    if (stopped()) return;

    if (PickRandomEntry()) {
        sendPiece(QStringLiteral("de ") + s.EntryCall + QStringLiteral(" "), kLightRed);
        if (stopped()) return;
    } else {
        const QString problem = NameFileProblem();
        ShowDataMessage(problem.isEmpty()
                            ? QStringLiteral("Namensdatei MORSE.NAM fehlt oder ist unbrauchbar")
                            : problem);
    }
    sendPiece(QStringLiteral("= "));
    if (stopped()) return;

    s.GroupCount = 2;
    SendAbbreviations();
    if (stopped()) return;
    sendPiece(QStringLiteral("= "));
    if (stopped()) return;
    s.GroupCount = 0;
    SendAbbreviations();
    if (stopped()) return;

    ShowStatistics();
    s.GroupCount = savedGroupCount;
}
