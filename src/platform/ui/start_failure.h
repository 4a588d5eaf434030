#pragma once

#include <QString>

// Shows why the program cannot start (German text, as written to standard error) in a message
// box and waits until it is closed: started from the desktop menu, nobody sees standard error.
// Needs a QApplication.
void ShowStartFailure(const QString& message);
