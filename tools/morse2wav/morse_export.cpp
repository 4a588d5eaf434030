#include "morse_export.h"

#include <QDir>
#include <QFileInfo>

#include "engine/morse_table.h"
#include "engine/timing.h"
#include "engine/tone_control.h"
#include "exercises/qrm_traffic.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "state/shared_state.h"

namespace {
// The most characters without a sign named in the message.
constexpr int kMaxSkipped = 40;

bool HasSign(QChar c) {
    const int index = MorseIndex(c);
    return index >= 0 && !S().MorseTable[index].isEmpty();
}
}  // namespace

MorseExport::MorseExport(const Options& options)
    : options_(options), output_(clock_, options.rateHz), tonwerk_(output_, clock_) {
    Services& platform = Platform();
    platform.clock = &clock_;
    platform.tonwerk = &tonwerk_;
    BuildMorseTable();
    if (options.band.enabled) {
        output_.setBandConditions(options.band, BuildQrmTraffic(options.band.seed));
    }
    SharedState& s = S();
    s.Speed = static_cast<float>(options.cpm);
    s.TonePitch = static_cast<float>(options.pitchHz);
    s.CharSpacing = static_cast<float>(options.charSpacing);
    s.WordSpacing = static_cast<float>(options.wordSpacing);
    form1().LT.setValue(options.dashTenths);
    ComputeTiming();
}

double MorseExport::seconds() const {
    return static_cast<double>(framesBefore_ + writer_.framesWritten()) / options_.rateHz;
}

QString MorseExport::fileName(int number) const {
    if (options_.splitMinutes <= 0) return options_.outputPath;
    const QFileInfo info(options_.outputPath);
    const QString name = QStringLiteral("%1-%2.%3")
                             .arg(info.completeBaseName())
                             .arg(number, 2, 10, QChar(u'0'))
                             .arg(info.suffix());
    return info.dir().filePath(name);
}

MorseExport::Status MorseExport::writeError() {
    error_ =
        QStringLiteral("kann „%1“ nicht schreiben: %2").arg(fileName(fileNumber_), writer_.error());
    return Status::WriteError;
}

MorseExport::Status MorseExport::openFile() {
    ++fileNumber_;
    if (!writer_.open(fileName(fileNumber_), options_.rateHz)) return writeError();
    return Status::Ok;
}

MorseExport::Status MorseExport::begin() { return openFile(); }

MorseExport::Status MorseExport::flush() {
    const std::vector<int16_t> samples = output_.takeSamples();
    if (!writer_.write(samples.data(), static_cast<int64_t>(samples.size()))) return writeError();
    return Status::Ok;
}

// One character as the trainer's sending loop sends it with sound on and no training effects:
// through PlayCharacter, with the extra pause when the character spacing is widened; the word
// gaps before it first, and a new file there once the current one is long enough.
MorseExport::Status MorseExport::sendCharacter(QChar c) {
    SharedState& s = S();
    if (pendingBlanks_ > 0) {
        for (; pendingBlanks_ > 0; --pendingBlanks_) tonwerk_.PlaySilence(s.WordGap * 1000.0);
        if (Status status = flush(); status != Status::Ok) return status;
        const int64_t limit = static_cast<int64_t>(options_.splitMinutes) * 60 * options_.rateHz;
        if (limit > 0 && sendable_ && writer_.framesWritten() >= limit) {
            framesBefore_ += writer_.framesWritten();
            if (!writer_.commit()) return writeError();
            if (Status status = openFile(); status != Status::Ok) return status;
        }
    }
    if (c == u'\\') c = u'/';
    c = c.toUpper();
    if (HasSign(c)) {
        sendable_ = true;
    } else if (!skipped_.contains(c) && skipped_.size() < kMaxSkipped) {
        skipped_ += c;
    }
    started_ = true;
    PlayCharacter(QString(c));
    // The gaps are silence on the timeline, placed as the trainer places them.
    if (s.CharSpacing > 1.0f) tonwerk_.PlaySilence(s.GapUnitMs * (s.CharSpacing - 1.0));
    return flush();
}

MorseExport::Status MorseExport::send(const QString& piece) {
    for (QChar c : piece) {
        if (c == u' ') {
            if (started_) ++pendingBlanks_;
            continue;
        }
        if (Status status = sendCharacter(c); status != Status::Ok) return status;
    }
    return Status::Ok;
}

MorseExport::Status MorseExport::finish() {
    if (!sendable_) {
        writer_.discard();
        error_ = QStringLiteral("der Text enthält kein Zeichen, das sich morsen lässt");
        return Status::NothingToSend;
    }
    clock_.advance(output_.bandTailSeconds());
    if (Status status = flush(); status != Status::Ok) return status;
    if (!writer_.commit()) return writeError();
    return Status::Ok;
}
