#include "exercises/call_signs.h"

#include <algorithm>
#include <cmath>

#include "engine/run_frame.h"
#include "engine/send_character.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

namespace {
// Int(Rnd * n): a position 0..n-1.
int drawIndex(int n) {
    const float r = Platform().random.Rnd();
    return std::min(static_cast<int>(std::floor(r * static_cast<float>(n))), n - 1);
}

QString drawFrom(const QString& pool) { return QString(pool[drawIndex(pool.size())]); }

bool isDigitCode(const QString& c) { return c[0] <= u'9'; }

// The second character may not repeat the first, make two digits, or spell DE or CQ.
bool secondRejected(const QString& first, const QString& second) {
    return second == first || (isDigitCode(first) && isDigitCode(second)) ||
           (first == QStringLiteral("D") && second == QStringLiteral("E")) ||
           (first == QStringLiteral("C") && second == QStringLiteral("Q"));
}

// Int(2 * Rnd) + 2: a suffix of two or three letters.
int drawSuffixLength() {
    return static_cast<int>(std::floor(2.0f * Platform().random.Rnd())) + 2;
}

void send(const QString& c) {
    S().CurrentChar = c;
    SendCharacter();
}
}  // namespace

void SendCallSigns() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    const bool exam = s.ExerciseKind == QStringLiteral("C");

    // Letters twice: a prefix character is a letter with probability 52/62. The pool is kept
    // here as well, so that a menu choice during the run cannot change it under the draws.
    const QString pool = s.Letters + s.Digits + s.Letters;
    s.ExerciseText = pool;
    s.GroupCountInt = static_cast<int16_t>(RoundHalfEven(s.GroupCount));
    s.GroupCount = s.GroupCount * 1.2f;
    if (!exam) {
        SetDisplayFontSize();
        SendPreamble();
    }
    s.GroupCount = s.GroupCountInt;

    const auto calls = static_cast<int>(RoundHalfEven(s.GroupCount));
    for (int call = 1; call <= calls; ++call) {
        s.PreviousChar = drawFrom(pool);
        send(s.PreviousChar);
        if (s.StopRequested) return;

        QString second;
        do {
            second = drawFrom(pool);
        } while (secondRejected(s.PreviousChar, second));
        send(second);
        if (s.StopRequested) return;
        s.PreviousChar = second;

        int suffixLength = 3;
        if (!isDigitCode(second)) {
            send(drawFrom(s.Digits));
            if (s.StopRequested) return;
            suffixLength = drawSuffixLength();
        }
        for (int i = 0; i < suffixLength; ++i) {
            QString letter;
            do {
                letter = drawFrom(s.Letters);
            } while (suffixLength == 3 && letter == QStringLiteral("Q"));
            send(letter);
            if (s.StopRequested) return;
        }
        send(QStringLiteral(" "));
        if (s.StopRequested) return;

        if (f.Auge.ticked() && display.CurrentX >= f.shape1.Left + f.shape1.Width - 1400) {
            display.EndLine();
            display.CurrentX = f.shape1.Left + 300;
        }
        if (s.SentCount > s.GroupCount * 6) break;
    }
    if (!exam) ShowStatistics();
}

QString DrawCallSign(const QString& letters, const QString& digits) {
    if (letters.isEmpty() || digits.isEmpty()) return {};
    // The same draws, in the same order, as the exercise makes them.
    const QString pool = letters + digits + letters;
    const QString first = drawFrom(pool);
    QString second;
    do {
        second = drawFrom(pool);
    } while (secondRejected(first, second));
    QString call = first + second;
    int suffixLength = 3;
    if (!isDigitCode(second)) {
        call += drawFrom(digits);
        suffixLength = drawSuffixLength();
    }
    for (int i = 0; i < suffixLength; ++i) {
        QString letter;
        do {
            letter = drawFrom(letters);
        } while (suffixLength == 3 && letter == QStringLiteral("Q") && letters.size() > 1);
        call += letter;
    }
    return call;
}
