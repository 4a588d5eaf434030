#include "sending/keyed_elements.h"

#include <QStringList>
#include <algorithm>

#include "sound/sound_output.h"

namespace {
// A pause between two attempts is heard no longer than this on playback [ms].
constexpr double kLongestPlayedSpaceMs = 2000;
}  // namespace

void KeyedElementLog::add(const KeyTransition& transition) {
    if (transition.down == down_) return;
    if (started_) {
        done_.push_back({down_, sinceUs_, (transition.atUs - sinceUs_) / 1000.0});
    }
    started_ = true;
    down_ = transition.down;
    sinceUs_ = transition.atUs;
}

void KeyedElementLog::add(const std::vector<KeyTransition>& transitions) {
    for (const KeyTransition& t : transitions) add(t);
}

std::vector<KeyedElement> KeyedElementLog::takeElements() {
    std::vector<KeyedElement> out;
    out.swap(done_);
    return out;
}

std::optional<int64_t> KeyedElementLog::openMarkUs() const {
    if (!down_) return std::nullopt;
    return sinceUs_;
}

QString ElementsToText(const std::vector<KeyedElement>& elements) {
    QString text;
    for (const KeyedElement& e : elements) {
        text += QStringLiteral("%1 %2 %3\n")
                    .arg(QChar(e.mark ? u'M' : u'S'))
                    .arg(e.atUs)
                    .arg(e.durationMs, 0, 'f', 3);
    }
    return text;
}

std::optional<std::vector<KeyedElement>> ElementsFromText(const QString& text, QString* error) {
    std::vector<KeyedElement> elements;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        bool atOk = false, durationOk = false;
        KeyedElement e;
        if (fields.size() == 3) {
            e.mark = fields[0] == QStringLiteral("M");
            e.atUs = fields[1].toLongLong(&atOk);
            e.durationMs = fields[2].toDouble(&durationOk);
        }
        const bool kindOk = fields.size() == 3 && (e.mark || fields[0] == QStringLiteral("S"));
        if (!kindOk || !atOk || !durationOk || !(e.durationMs >= 0)) {
            if (error) {
                *error = QStringLiteral(
                             "Zeile %1 ist kein Element (erwartet: M oder S, Zeitpunkt "
                             "in µs, Dauer in ms).")
                             .arg(i + 1);
            }
            return std::nullopt;
        }
        elements.push_back(e);
    }
    return elements;
}

std::vector<ToneSegment> ElementsToTones(const std::vector<KeyedElement>& elements, double pitchHz,
                                         int amplitude) {
    std::vector<ToneSegment> tones;
    tones.reserve(elements.size() + 1);
    for (const KeyedElement& e : elements) {
        if (e.mark) {
            tones.push_back({pitchHz, e.durationMs, amplitude});
        } else {
            tones.push_back({0, std::min(e.durationMs, kLongestPlayedSpaceMs), 0});
        }
    }
    // A list that ends with a mark still ends in silence, so that its fall is heard whole.
    if (!tones.empty() && tones.back().amplitude > 0) tones.push_back({0, 50, 0});
    return tones;
}
