#include "exercises/qrm_traffic.h"

#include <QStringList>
#include <random>

#include "engine/morse_table.h"
#include "exercises/character_sets.h"
#include "sound/band/qrm_station.h"
#include "state/shared_state.h"

namespace {
constexpr int kNameRecords = 1608;
constexpr int kMessages = 24;

struct Station {
    QString call, name, qth;
};

class Draw {
public:
    explicit Draw(uint32_t seed) : engine_(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
    QString from(const QStringList& list) { return list[below(static_cast<int>(list.size()))]; }

private:
    std::mt19937 engine_;
};

QString DrawnCall(Draw& draw) {
    static const QStringList prefixes = {
        QStringLiteral("DL"), QStringLiteral("DK"), QStringLiteral("DJ"),  QStringLiteral("DO"),
        QStringLiteral("DF"), QStringLiteral("OE"), QStringLiteral("HB9"), QStringLiteral("PA"),
        QStringLiteral("G"),  QStringLiteral("F"),  QStringLiteral("SP"),  QStringLiteral("OK"),
        QStringLiteral("I"),  QStringLiteral("EA"), QStringLiteral("ON"),  QStringLiteral("SM")};
    QString call = draw.from(prefixes);
    if (!call.back().isDigit()) call += QChar(u'0' + draw.below(10));
    const int letters = 2 + draw.below(2);
    for (int i = 0; i < letters; ++i) call += QChar(u'A' + draw.below(26));
    return call;
}

// A station of the name file, or a drawn one when the file is not open or the record unusable.
Station DrawStation(Draw& draw) {
    static const QStringList names = {QStringLiteral("PETER"), QStringLiteral("KLAUS"),
                                      QStringLiteral("ANNA"),  QStringLiteral("UWE"),
                                      QStringLiteral("JAN"),   QStringLiteral("EVA"),
                                      QStringLiteral("HANS"),  QStringLiteral("TOM")};
    static const QStringList places = {QStringLiteral("BERLIN"), QStringLiteral("WIEN"),
                                       QStringLiteral("BERN"),   QStringLiteral("KOELN"),
                                       QStringLiteral("KIEL"),   QStringLiteral("LINZ")};
    QString record;
    if (ReadNameRecord(1 + draw.below(kNameRecords), record)) {
        DecodeText(record);
        const QStringList parts = record.split(u'*');
        if (parts.size() >= 3 && !parts[0].trimmed().isEmpty()) {
            return {parts[0].trimmed().toUpper(), parts[1].trimmed().toUpper(),
                    parts[2].trimmed().toUpper()};
        }
    }
    return {DrawnCall(draw), draw.from(names), draw.from(places)};
}

QString Message(Draw& draw) {
    const Station me = DrawStation(draw);
    const QString other = DrawStation(draw).call;
    const QString rst = QStringLiteral("5%1%2").arg(3 + draw.below(7)).arg(7 + draw.below(3));
    const QString& a = me.call;
    switch (draw.below(6)) {
        case 0:
            return QStringLiteral("CQ CQ CQ DE %1 %1 %1 K").arg(a);
        case 1:
            return QStringLiteral("CQ TEST %1 %1 TEST").arg(a);
        case 2:
            return QStringLiteral("%1 DE %2 %2 K").arg(other, a);
        case 3:
            return QStringLiteral(
                       "%1 DE %2 GM TNX FER CALL UR RST %3 %3 NAME %4 %4 QTH %5 %5 "
                       "HW? %1 DE %2 K")
                .arg(other, a, rst, me.name, me.qth);
        case 4:
            return QStringLiteral("%1 5NN %2 TU")
                .arg(other)
                .arg(1 + draw.below(999), 3, 10, QChar(u'0'));
        default:
            return QStringLiteral("%1 DE %2 R TNX QSO 73 ES GL %1 DE %2 SK").arg(other, a);
    }
}

// Characters without a sign in the table are left out.
std::string Pattern(const QString& text) {
    const auto& table = S().MorseTable;
    std::string pattern;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        std::string signs;
        for (QChar c : word) {
            const int index = MorseIndex(c);
            if (index < 0 || table[index].isEmpty()) continue;
            if (!signs.empty()) signs += ' ';
            signs += table[index].toStdString();
        }
        if (signs.empty()) continue;
        if (!pattern.empty()) pattern += '/';
        pattern += signs;
    }
    return pattern;
}
}  // namespace

std::shared_ptr<const QrmTraffic> BuildQrmTraffic(uint32_t seed) {
    if (S().MorseTable[MorseIndex(u'A')].isEmpty()) BuildMorseTable();
    Draw draw(seed);
    auto traffic = std::make_shared<QrmTraffic>();
    for (int i = 0; i < kMessages; ++i) {
        std::string pattern = Pattern(Message(draw));
        if (!pattern.empty()) traffic->messages.push_back(std::move(pattern));
    }
    return traffic;
}
