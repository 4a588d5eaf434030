#include "exercises/exercise_menu.h"

#include "engine/spoken_characters.h"
#include "platform/form1.h"
#include "state/shared_state.h"

namespace {
// Half of the entries name the click sound in the sound folder, the other half without a
// folder (a file of the working directory); both names stay as the trainer has always used them.
const QString kClickInFolder = QStringLiteral(".\\alfa\\S12");
const QString kClickPlain = QStringLiteral("S12");

enum class Pool {
    Unchanged,
    Letters,
    Digits,
    Punctuation,
    LettersDigits,
    LettersDigitsWeighted,
    LettersPunctuation,
    LettersDigitsPunctuation
};

QString PoolText(Pool pool) {
    const SharedState& s = S();
    switch (pool) {
        case Pool::Letters:
            return s.Letters;
        case Pool::Digits:
            return s.Digits;
        case Pool::Punctuation:
            return s.Punctuation;
        case Pool::LettersDigits:
            return s.Letters + s.Digits;
        // Letters three or two times over, so that they still dominate the mixed groups.
        case Pool::LettersDigitsWeighted:
            return s.Letters + s.Letters + s.Letters + s.Digits;
        case Pool::LettersPunctuation:
            return s.Letters + s.Letters + s.Punctuation;
        case Pool::LettersDigitsPunctuation:
            return s.Letters + s.Letters + s.Letters + s.Digits + s.Punctuation;
        case Pool::Unchanged:
            break;
    }
    return s.ExerciseText;
}

void ChooseKind(const QString& sound, const QString& code, const QString& title, Pool pool) {
    PlayWave(sound);
    SharedState& s = S();
    s.ExerciseKind = code;
    form1().Panel2.setCaption(title);
    if (pool != Pool::Unchanged) s.ExerciseText = PoolText(pool);
}
}  // namespace

void MBuchstaben_Click() {
    ChooseKind(kClickPlain, QStringLiteral("B"), QStringLiteral("Buchstaben"), Pool::Letters);
}

void MZahlen_Click() {
    ChooseKind(kClickInFolder, QStringLiteral("9"), QStringLiteral("Ziffern"), Pool::Digits);
}

void MSonderzeichen_Click() {
    ChooseKind(kClickInFolder, QStringLiteral("S"), QStringLiteral("Sonderzeichen"),
               Pool::Punctuation);
}

void MRufzeichen_Click() {
    ChooseKind(kClickInFolder, QStringLiteral("R"), QStringLiteral("Rufzeichen"), Pool::Unchanged);
}

void MBsteZgr_Click() {
    ChooseKind(kClickPlain, QStringLiteral("Z"), QStringLiteral("Buchst. + 1 Zahlengruppe"),
               Pool::LettersDigits);
}

void MBstZahlen_Click() {
    ChooseKind(kClickPlain, QStringLiteral("U"), QStringLiteral("Buchstaben + Ziffern"),
               Pool::LettersDigitsWeighted);
}

void MBstSonder_Click() {
    ChooseKind(kClickPlain, QStringLiteral("X"), QStringLiteral("Buchst. + Sonderzeichen"),
               Pool::LettersPunctuation);
}

void MBstZahlSond_Click() {
    ChooseKind(kClickPlain, QStringLiteral("Y"), QStringLiteral("Buchst + Zahlen + Sonder"),
               Pool::LettersDigitsPunctuation);
}

void MAAbk_Click() {
    ChooseKind(kClickPlain, QStringLiteral("A"), QStringLiteral("Amateurfunkabkürzungen"),
               Pool::Unchanged);
}

void MWortgen_Click() {
    ChooseKind(kClickInFolder, QStringLiteral("F"), QStringLiteral("Wordgenerator"),
               Pool::Unchanged);
}

void MPruefung_Click() {
    ChooseKind(kClickInFolder, QStringLiteral("C"), QStringLiteral("Prüfungstext"),
               Pool::Unchanged);
}

void Artupdate() {
    const QString kind = S().ExerciseKind;
    if (kind == u"B") {
        MBuchstaben_Click();
    } else if (kind == u"9") {
        MZahlen_Click();
    } else if (kind == u"S") {
        MSonderzeichen_Click();
    } else if (kind == u"R") {
        MRufzeichen_Click();
    } else if (kind == u"Z") {
        MBsteZgr_Click();
    } else if (kind == u"U") {
        MBstZahlen_Click();
    } else if (kind == u"X") {
        MBstSonder_Click();
    } else if (kind == u"Y") {
        MBstZahlSond_Click();
    } else if (kind == u"F") {
        MWortgen_Click();
    } else if (kind == u"C") {
        MPruefung_Click();
    } else if (kind == u"E") {
        form1().Panel2.setCaption(QStringLiteral("Eigene Zeichen"));
    } else if (kind == u"T") {
        form1().Panel2.setCaption(QStringLiteral("Eigener Text"));
    } else if (kind == u"W") {
        // The weighted pool was drawn from the record when the entry was chosen; it stays.
        form1().Panel2.setCaption(QStringLiteral("Schwächen üben"));
    } else if (kind == kCourseKind) {
        // The course round's pool was weighted for its lesson; a return to the window keeps it.
    } else {
        // The abbreviations are not kept across an activation: the kind falls back to "Z".
        MBsteZgr_Click();
    }
}

void WireExerciseMenu() {
    Form1& f = form1();
    f.MBuchstaben.onClick = MBuchstaben_Click;
    f.MZahlen.onClick = MZahlen_Click;
    f.MSonderzeichen.onClick = MSonderzeichen_Click;
    f.MRufzeichen.onClick = MRufzeichen_Click;
    f.MBsteZgr.onClick = MBsteZgr_Click;
    f.MBstZahlen.onClick = MBstZahlen_Click;
    f.MBstSonder.onClick = MBstSonder_Click;
    f.MBstZahlSond.onClick = MBstZahlSond_Click;
    f.MAAbk.onClick = MAAbk_Click;
    f.MWortgen.onClick = MWortgen_Click;
    f.MPruefung.onClick = MPruefung_Click;
}
