#pragma once

#include <QString>

// The kind of a course round ("Heute üben"): random groups of its lesson's weighted pool.
inline const QString kCourseKind = QStringLiteral("K");

// The exercise kinds of the menu bar. Each handler plays the click sound, sets ExerciseKind,
// shows the kind's title in Panel2 and, for the group kinds, puts the kind's character pool
// into ExerciseText. None of them sends: the menu stays usable during a run and the new kind
// takes effect from the next start.
void MBuchstaben_Click();
void MZahlen_Click();
void MSonderzeichen_Click();
void MRufzeichen_Click();
void MBsteZgr_Click();
void MBstZahlen_Click();
void MBstSonder_Click();
void MBstZahlSond_Click();
void MAAbk_Click();
void MWortgen_Click();
void MPruefung_Click();

// Re-applies the current ExerciseKind by running its menu handler (sound and pool included);
// own characters, own text and the weak characters ("W") only get their title back, a course
// round ("K") keeps pool and title, and any other code, "A" included, becomes "Z".
void Artupdate();

// Connects the kind entries of the menu bar to their handlers.
void WireExerciseMenu();
