#pragma once

// The settings panel of the main window: five up-downs and the dash-length slider, the effect
// switches, the word-list language, "Standard", the three sound buttons and the volume button.

void UpDownGesch_Change();
void UpDownTon_Change();
void UpDownAnz_Change();
void UpDownAbst_Change();
void UpDownWAbst_Change();
void LT_Change();

void anziehen1_Click();
void anziehen2_Click();
void tonschwank_Click();
void unsauber_Click();
void O_Verkl_Click();
void deutsch_Click();
void englisch_Click();

// "Standard": speed, pitch, groups, spacing and kind back to their defaults, the effect switches
// off. The up-downs of speed, pitch and groups keep their own positions.
void C_Default_Click();

void com_s1_Click();
void COM_S2_Click();
void com_s3_Click();

// Opens the desktop's volume control without waiting for it.
void Command1_Click();

// Connects the settings panel and the three settings-file buttons to their handlers.
void WireSettingsControls();
