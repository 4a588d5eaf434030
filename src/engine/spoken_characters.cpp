#include "engine/spoken_characters.h"

#include "engine/timing.h"
#include "platform/dialogs.h"
#include "platform/services.h"
#include "sound/wave_player.h"
#include "state/shared_state.h"

void PlayWave(const QString& name) {
    WavePlayer* player = Platform().wave;
    if (!player) return;
    player->play(name + QStringLiteral(".wav"));
    const QString problem = player->takeProblem();
    if (problem.isEmpty()) return;
    if (DialogSeam* dialogs = Platform().dialogs) dialogs->message(problem);
}

QString SpokenName(QChar c) {
    switch (c.unicode()) {
        case u'+': return QStringLiteral("ar");
        case u'*': return QStringLiteral("ct");
        case u'=': return QStringLiteral("tr");
        case u'?': return QStringLiteral("fz");
        case u'-': return QStringLiteral("bs");
        case u',': return QStringLiteral("co");
        case u'.': return QStringLiteral("pt");
        case u'/': return QStringLiteral("ss");
        case u'(': return QStringLiteral("ka");
        case u')': return QStringLiteral("kz");
        default: return QString(c);
    }
}

void SpeakCharacter() {
    SharedState& s = S();
    const QString name = s.CurrentChar.isEmpty() ? QString() : SpokenName(s.CurrentChar.front());
    if (name == QStringLiteral(" ")) {
        WaitSeconds(s.CharSpacing * 0.2f);
        return;
    }
    if (!s.ReadingAloud) WaitSeconds(s.CharSpacing * 0.2f);
    PlayWave(QStringLiteral(".\\Alfa\\") + name);
}
