#pragma once

class QComboBox;

// Makes a screen reader say a closed combo box's current item when the box takes the focus.
// Orca names a Qt combo box after its label and looks for the value in a text or a selection
// that a closed Qt box does not offer, so it said "Zeitraum: Kombinationsfeld" and nothing
// more; the current item is therefore also the box's description, which Orca speaks after the
// role and again whenever it changes.
void SpeakCurrentItem(QComboBox* box);
