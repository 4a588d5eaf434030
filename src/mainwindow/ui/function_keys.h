#pragma once

struct Form1;
class QAction;
class QWidget;

// The main window's function keys: F1 "Info", F2 "Vorlesen", F3 "Schreibmaschine" (keyboard
// mode), F4 "Hören", F5 "Start", F6 "Pause"/"Weiter", F7 "Stop", F8 "Vorspann vvv", F9
// "Frage & Antwort", F10 "Löschen", F11 "Ende". A key does what a click on its control does,
// and only when that control is enabled. While keyboard mode or the question-and-answer drill
// takes the keys, only F4 and F7 act: they type no character, and they are the way out of
// both. Each button carries its key as its shortcut, so tooltips and assistive technology can
// name it. Call before the controls are bound.
void AddFunctionKeys(QWidget* window, Form1& form);

// Lets the shortcut of `action` (F12 "Mitschrift") act only while the function keys are free;
// the entry itself stays usable from the menu.
void GateShortcut(QAction* action, const Form1& form);

// False while keyboard mode or the question-and-answer drill takes the keys.
bool FunctionKeysFree(const Form1& form);
