#pragma once

// The settings panel of the main window: five up-downs and the dash-length slider, the effect
// switches, the word-list language, "Standard", the three sound buttons and the volume button.

void UpDownGesch_Change();  // speed arrows, "Geschw."
void UpDownTon_Change();    // pitch arrows, "Tonhöhe"
void UpDownAnz_Change();    // group arrows, "Gruppen:"
void UpDownAbst_Change();   // spacing arrows, "Zei-Abst."
void UpDownWAbst_Change();  // spacing arrows, "Wortabst."
void LT_Change();           // slider "langer Ton": dash length

void anziehen1_Click();   // "5%": speed up by 4 % over the run
void anziehen2_Click();   // "10%": speed up by 8 % over the run
void tonschwank_Click();  // "Tonschwankung"
void unsauber_Click();    // "unsauber": sloppy keying
void O_Verkl_Click();     // "langsam verkleinern"
void deutsch_Click();     // "deutsch": German word list
void englisch_Click();    // "englisch": English word list

// "Standard": speed, pitch, groups, spacing and kind back to their defaults, the effect switches
// off. The up-downs of speed, pitch and groups keep their own positions.
void C_Default_Click();

void com_s1_Click();  // "S1"
void COM_S2_Click();  // "S2"
void com_s3_Click();  // "S3"

// Opens the desktop's volume control without waiting for it.
void Command1_Click();

// Connects the settings panel and the three settings-file buttons to their handlers.
void WireSettingsControls();
