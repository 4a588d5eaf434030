#pragma once

#include <memory>

class QTranslator;

// Qt's own texts in German: the buttons and labels of the file, printer and message dialogs
// ("Abbrechen", "Dateiname:"), whatever language the desktop is set to, as the rest of the
// program speaks German. Null when Qt's translations are not installed (Debian package
// qt6-translations-l10n); the dialogs then keep Qt's English texts.
std::unique_ptr<QTranslator> LoadGermanQtTexts();
