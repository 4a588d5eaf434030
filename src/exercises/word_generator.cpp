#include "exercises/word_generator.h"

#include <QFile>
#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/morse_table.h"
#include "exercises/character_sets.h"
#include "exercises/data_message.h"
#include "exercises/own_text.h"
#include "platform/dialogs.h"
#include "platform/file_lookup.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

namespace {
constexpr int kRecordLength = 38;
// Draws for one word before giving up on a word of the wanted length (exam passage) or on
// finding a readable record at all.
constexpr int kMaxDraws = 1000;
// The exam's word passage ends between these counted characters.
constexpr int kPassageSteer = 111;
constexpr int kPassageLow = 118;
constexpr int kPassageHigh = 122;
constexpr int kPassageEnd = 119;

// The word list, read one record at a time.
class WordList {
public:
    QString problem() const {
        if (!file_.isOpen()) return QStringLiteral("Wörterliste LEXIKON fehlt");
        if (records_ == 0) return QStringLiteral("Wörterliste LEXIKON ist leer");
        if (tooLarge_) {
            return QStringLiteral(
                       "Wörterliste LEXIKON hat mehr als %1 Einträge; "
                       "benutzt werden nur die ersten %1.")
                .arg(kMaxWordRecords);
        }
        return {};
    }

    bool open() {
        const QString path = FindDataFile(QStringLiteral("LEXIKON"));
        if (path.isEmpty()) return false;
        file_.setFileName(path);
        if (!file_.open(QIODevice::ReadOnly)) return false;
        const qint64 records = file_.size() / kRecordLength;
        tooLarge_ = records > kMaxWordRecords;
        records_ = static_cast<int>(std::min<qint64>(records, kMaxWordRecords));
        return records_ > 0;
    }

    // The English or German word of a record drawn at random; empty for a record without "@"
    // or without that word.
    QString drawWord(bool english) {
        const float r = Platform().random.Rnd();
        const int index =
            std::min(static_cast<int>(std::floor(r * static_cast<float>(records_))), records_ - 1);
        if (!file_.seek(static_cast<qint64>(index) * kRecordLength)) return {};
        return WordFromRecord(file_.read(kRecordLength), english);
    }

private:
    QFile file_;
    int records_ = 0;
    bool tooLarge_ = false;
};

void setPointer(MousePointer pointer) {
    TextSurface& display = *Platform().surface;
    display.mousePointer = pointer;
    display.pointerChanged();
}

// How far a passage ending at `end` counted characters misses the wanted range.
int missedBy(int end) {
    if (end < kPassageLow) return kPassageLow - end;
    if (end > kPassageHigh) return end - kPassageHigh;
    return 0;
}
}  // namespace

QString WordFromRecord(const QByteArray& bytes, bool english) {
    QString record = TextFromCp1252(bytes);
    DecodeText(record);
    while (record.endsWith(u' ')) record.chop(1);
    const qsizetype at = record.indexOf(u'@');
    if (at < 0) return {};
    return english ? record.left(at) : record.mid(at + 1);
}

QString DrawWord() {
    WordList list;
    if (!list.open()) return {};
    const bool english = form1().englisch.value();
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        const QString word = list.drawWord(english);
        if (!word.isEmpty()) return word;
    }
    return {};
}

bool SendWords() {
    SharedState& s = S();
    const Form1& f = form1();
    const bool exam = s.ExerciseKind == QStringLiteral("C");
    const bool english = f.englisch.value();

    setPointer(MousePointer::Hourglass);
    WordList list;
    const bool opened = list.open();
    QString problem = list.problem();
    s.ExerciseText.clear();

    const auto words = static_cast<int>(RoundHalfEven(s.GroupCount));
    for (int word = 1; opened && word <= words; ++word) {
        QString chosen;
        QString closest;
        int closestMiss = INT_MAX;
        for (int draw = 0; draw < kMaxDraws && chosen.isEmpty(); ++draw) {
            const QString candidate = list.drawWord(english);
            if (candidate.isEmpty()) continue;
            const int total = static_cast<int>(s.ExerciseText.size()) + s.SentCount;
            const int miss = missedBy(total + static_cast<int>(candidate.size()));
            if (exam && total >= kPassageSteer && miss > 0) {
                if (miss < closestMiss) {
                    closest = candidate;
                    closestMiss = miss;
                }
                continue;
            }
            chosen = candidate;
        }
        // No word of the wanted length in the list: the nearest one closes the passage.
        if (chosen.isEmpty()) chosen = closest;
        if (chosen.isEmpty()) {
            problem = QStringLiteral("Wörterliste LEXIKON ist beschädigt");
            break;
        }
        s.ExerciseText += chosen + u' ';
        if (!exam && s.ExerciseText.size() > s.GroupCount * 7) break;
        if (exam && s.ExerciseText.size() + s.SentCount >= kPassageEnd) break;
    }
    setPointer(MousePointer::Default);

    if (s.ExerciseText.isEmpty() && !problem.isEmpty()) {
        if (exam) {
            ShowDataMessage(problem);
        } else {
            EndRunWithMessage(problem);
        }
        return false;
    }
    // A list over its limit still serves from its beginning; the user hears of it.
    if (!problem.isEmpty()) {
        if (DialogSeam* dialogs = Platform().dialogs) dialogs->message(problem);
    }
    if (exam && !s.ExerciseText.isEmpty()) s.ExerciseText.chop(1);
    if (s.NormalRun) SendOwnText();
    return true;
}
