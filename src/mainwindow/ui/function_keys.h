#pragma once

struct Form1;
class QWidget;

// The main window's function keys: F1 "Info", F2 "Vorlesen", F3 "Schreibmaschine" (keyboard
// mode), F4 "Hören", F5 "Start", F6 "Pause"/"Weiter", F7 "Stop", F8 "Vorspann vvv", F9
// "Frage & Antwort", F10 "Löschen", F11 "Ende". A key does what a click on its control does,
// and only when that control is enabled; none of them acts while keyboard mode or the
// question-and-answer drill takes the keys. Each button carries its key as its shortcut, so
// tooltips and assistive technology can name it. Call before the controls are bound.
void AddFunctionKeys(QWidget* window, Form1& form);

// False while keyboard mode or the question-and-answer drill takes the keys.
bool FunctionKeysFree(const Form1& form);
