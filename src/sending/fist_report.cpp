#include "sending/fist_report.h"

#include <algorithm>
#include <cmath>

namespace {
// Characters on either side whose dots set a character's tracked dot: wide enough that one
// sloppy dot does not move it, narrow enough to follow a drifting speed.
constexpr int kUnitWindow = 5;

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    double m = values[middle];
    if (values.size() % 2 == 0)
        m = (m + *std::max_element(values.begin(), values.begin() + middle)) / 2.0;
    return m;
}

// Lengths in shares of their ideal (1.0 = ideal).
TimingClass Measure(const std::vector<double>& shares) {
    TimingClass c;
    c.count = static_cast<int>(shares.size());
    if (shares.empty()) return c;
    double sum = 0;
    for (double s : shares) sum += s;
    const double mean = sum / shares.size();
    double squares = 0;
    for (double s : shares) squares += (s - mean) * (s - mean);
    c.meanPercent = 100.0 * mean;
    c.spreadPercent = 100.0 * std::sqrt(squares / shares.size());
    return c;
}

QString Ordinal(int n, bool dative) {
    static const char* const kNominative[] = {"erster",  "zweiter", "dritter",
                                              "vierter", "fünfter", "sechster",
                                              "siebter", "achter",  "neunter"};
    static const char* const kDative[] = {"ersten",   "zweiten", "dritten", "vierten", "fünften",
                                          "sechsten", "siebten", "achten",  "neunten"};
    if (n < 1 || n > 9) return QString::number(n) + u'.';
    return QString::fromUtf8(dative ? kDative[n - 1] : kNominative[n - 1]);
}

// "dritter Punkt" or, when the character has one dot only, "Punkt"; dative after "nach dem".
QString MarkName(const QString& pattern, int mark, bool dative) {
    const QChar kind = pattern.at(mark);
    const QString noun = kind == u'-' ? QStringLiteral("Strich") : QStringLiteral("Punkt");
    const int ofKind = static_cast<int>(pattern.count(kind));
    if (ofKind == 1) return noun;
    const int nth = static_cast<int>(QStringView(pattern).left(mark + 1).count(kind));
    return Ordinal(nth, dative) + u' ' + noun;
}

enum class Part { Mark, ElementGap, CharacterGap, WordGap };
}  // namespace

FistReport AnalyseFist(const std::vector<KeyedElement>& elements,
                       const std::vector<DecodedSign>& signs, double idealDashRatio) {
    FistReport report;
    report.idealDashRatio = idealDashRatio;
    const int n = static_cast<int>(signs.size());
    report.characters = n;
    if (n == 0 || elements.empty()) return report;

    // The marks of each sign with their kinds, read from its pattern.
    auto markKinds = [&](int s, auto&& visit) {
        int k = 0;
        for (int e = signs[s].firstElement; e <= signs[s].lastElement; ++e) {
            if (!elements[e].mark) continue;
            if (k < signs[s].pattern.size()) visit(e, k, signs[s].pattern.at(k) == u'-');
            ++k;
        }
    };

    // Each character's dot: the median of the dots around it, else what the decoder tracked.
    std::vector<double> unit(n);
    for (int s = 0; s < n; ++s) {
        std::vector<double> around;
        for (int t = std::max(0, s - kUnitWindow); t <= std::min(n - 1, s + kUnitWindow); ++t)
            markKinds(t, [&](int e, int, bool dash) {
                if (!dash) around.push_back(elements[e].durationMs);
            });
        const double median = around.empty() ? 0.0 : Median(std::move(around));
        unit[s] = median > 0 ? median : signs[s].dotMs;
    }

    std::vector<double> dashDots;
    for (int s = 0; s < n; ++s)
        markKinds(s, [&](int e, int, bool dash) {
            if (dash) dashDots.push_back(elements[e].durationMs / unit[s]);
        });
    report.dashRatio = dashDots.empty() ? idealDashRatio : Median(dashDots);

    std::vector<double> dots, dashes, elementGaps, characterGaps, wordGaps;
    std::vector<TimingFault> faults;
    const int64_t originUs = elements[signs[0].firstElement].atUs;
    for (int s = 0; s < n; ++s) {
        const DecodedSign& sign = signs[s];
        const double u = unit[s];
        TimingFault fault;
        fault.sign = s;
        Part part = Part::Mark;
        int partMark = 0;
        auto consider = [&](double share, Part p, int mark) {
            if (std::abs(share - 1.0) > std::abs(fault.departure)) {
                fault.departure = share - 1.0;
                part = p;
                partMark = mark;
            }
        };

        TimingRow row;
        row.text = sign.text;
        const int64_t startUs = elements[sign.firstElement].atUs;
        row.atMs = (startUs - originUs) / 1000.0;
        int lastMark = -1;
        markKinds(s, [&](int e, int k, bool dash) {
            const double ms = elements[e].durationMs;
            const double share = ms / (u * (dash ? idealDashRatio : 1.0));
            (dash ? dashes : dots).push_back(share);
            consider(share, Part::Mark, k);
            row.keyed.push_back({(elements[e].atUs - startUs) / 1000.0, ms});
            // The element gap before this mark belongs to the mark before it.
            if (lastMark >= 0 && e - 1 > lastMark && !elements[e - 1].mark) {
                const double gap = elements[e - 1].durationMs / u;
                elementGaps.push_back(gap);
                consider(gap, Part::ElementGap, k - 1);
            }
            lastMark = e;
        });
        double idealAt = 0;
        for (QChar kind : sign.pattern) {
            const double length = u * (kind == u'-' ? idealDashRatio : 1.0);
            row.ideal.push_back({idealAt, length});
            idealAt += length + u;
        }
        report.picture.push_back(std::move(row));

        // The gap after the character, when another one follows.
        const int after = sign.lastElement + 1;
        if (s + 1 < n && after < static_cast<int>(elements.size()) && !elements[after].mark) {
            const bool word = signs[s + 1].wordBefore;
            const double share = elements[after].durationMs / (u * (word ? 7.0 : 3.0));
            (word ? wordGaps : characterGaps).push_back(share);
            consider(share, word ? Part::WordGap : Part::CharacterGap, 0);
        }

        if (std::abs(fault.departure) < kFaultShare) continue;
        const QString how =
            fault.departure > 0 ? QStringLiteral("zu lang") : QStringLiteral("zu kurz");
        switch (part) {
            case Part::Mark:
                fault.words = sign.text + QStringLiteral(": ") +
                              MarkName(sign.pattern, partMark, false) + u' ' + how;
                break;
            case Part::ElementGap:
                fault.words = sign.text + QStringLiteral(": Pause nach dem ") +
                              MarkName(sign.pattern, partMark, true) + u' ' + how;
                break;
            case Part::CharacterGap:
                fault.words = QStringLiteral("Zeichenabstand nach ") + sign.text + u' ' + how;
                break;
            case Part::WordGap:
                fault.words = QStringLiteral("Wortabstand nach ") + sign.text + u' ' + how;
                break;
        }
        faults.push_back(std::move(fault));
    }
    std::stable_sort(faults.begin(), faults.end(), [](const TimingFault& a, const TimingFault& b) {
        return std::abs(a.departure) > std::abs(b.departure);
    });
    if (faults.size() > 3) faults.resize(3);
    report.worst = std::move(faults);

    report.dots = Measure(dots);
    report.dashes = Measure(dashes);
    report.elementGaps = Measure(elementGaps);
    report.characterGaps = Measure(characterGaps);
    report.wordGaps = Measure(wordGaps);

    double cpmSum = 0;
    double unitSum = 0;
    report.lowestCpm = report.highestCpm = CpmForDotMs(unit[0]);
    for (double u : unit) {
        const double cpm = CpmForDotMs(u);
        cpmSum += cpm;
        unitSum += u;
        report.lowestCpm = std::min(report.lowestCpm, cpm);
        report.highestCpm = std::max(report.highestCpm, cpm);
    }
    report.cpm = cpmSum / n;
    report.wpm = 1200.0 / (unitSum / n);
    report.startCpm = CpmForDotMs(unit.front());
    report.endCpm = CpmForDotMs(unit.back());

    // Regularity: the spread of each class against its own mean, averaged over the classes
    // that have at least two members; a spread of half the mean scores 0.
    double spreadSum = 0;
    int classes = 0;
    for (const TimingClass* c : {&report.dots, &report.dashes, &report.elementGaps,
                                 &report.characterGaps, &report.wordGaps}) {
        if (c->count < 2 || c->meanPercent <= 0) continue;
        spreadSum += c->spreadPercent / c->meanPercent;
        ++classes;
    }
    const double spread = classes ? spreadSum / classes : 0.0;
    report.regularity =
        static_cast<int>(std::lround(std::clamp(100.0 * (1.0 - 2.0 * spread), 0.0, 100.0)));
    return report;
}
