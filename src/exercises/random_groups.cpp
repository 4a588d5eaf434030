#include "exercises/random_groups.h"

#include "engine/morse_table.h"
#include "engine/run_frame.h"
#include "engine/send_character.h"
#include "exercises/empty_pool.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

#include <algorithm>
#include <cmath>
#include <vector>

QString DrawGroupCharacter(const QString& pool, const QString& previous, bool kindZ,
                           bool digitGroup) {
    if (pool.isEmpty()) return {};
    auto differs = [&](QChar c) { return QString(c.toUpper()) != previous; };
    auto fitsGroup = [&](QChar c) {
        if (!kindZ) return true;
        const int code = Cp1252Code(c);
        return digitGroup ? code <= '9' : code >= 'A';
    };
    // Draw uniformly among the positions that pass the rules; when none does, give up the
    // no-repeat rule first (a one-character pool), then the group rule (a pool without digits
    // or letters).
    const std::vector<std::pair<bool, bool>> ladder{{true, true}, {false, true}, {true, false},
                                                    {false, false}};
    for (auto [repeatRule, groupRule] : ladder) {
        std::vector<int> positions;
        for (int i = 0; i < pool.size(); ++i) {
            if ((!repeatRule || differs(pool[i])) && (!groupRule || fitsGroup(pool[i])))
                positions.push_back(i);
        }
        if (positions.empty()) continue;
        const float r = Platform().random.Rnd();
        const int pick = static_cast<int>(r * static_cast<float>(positions.size()));
        return QString(pool[positions[std::min<size_t>(pick, positions.size() - 1)]]);
    }
    return {};
}

void SendGroups() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    Random& random = Platform().random;

    const auto digitGroup =
        static_cast<int16_t>(RoundHalfEven(random.Rnd() * (s.GroupCount - 1.0f) + 2.0f));
    s.BaseDotMs = s.DotMs;
    s.BasePitch = s.TonePitch;
    const QString entryKind = s.ExerciseKind;
    if (entryKind != QStringLiteral("C")) {
        if (s.ExerciseText.isEmpty()) {
            ReportEmptyPool();
            return;
        }
        SetDisplayFontSize();
        SendPreamble();
    } else {
        s.ExerciseKind = QStringLiteral("Z");
    }
    if (f.Ohr.ticked()) f.Timer2.setTimerEnabled(true);

    int16_t groupLength = 5;
    QString previous(QChar(u'\0'));
    const auto groups = static_cast<int16_t>(RoundHalfEven(s.GroupCount));
    for (int group = 1; group <= groups; ++group) {
        if (f.vari.ticked()) groupLength = static_cast<int16_t>(std::floor(random.Rnd() * 3.0f) + 4);
        for (int i = 0; i < groupLength; ++i) {
            s.CurrentChar = DrawGroupCharacter(s.ExerciseText, previous,
                                               s.ExerciseKind == QStringLiteral("Z"),
                                               group == digitGroup);
            SendCharacter();
            if (s.StopRequested) break;
            previous = s.CurrentChar;
        }
        if (f.Auge.ticked() && display.CurrentX >= f.shape1.Left + f.shape1.Width - 1600) {
            display.EndLine();
            display.CurrentX = f.shape1.Left + 300;
        }
        if (s.StopRequested) return;
        s.CurrentChar = QStringLiteral(" ");
        SendCharacter();
    }
    if (entryKind != QStringLiteral("C")) ShowStatistics();
}
