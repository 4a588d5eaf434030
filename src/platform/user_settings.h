#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The program's name on the desktop: the folder of its user settings and of its data in the
// user's home (~/.config/morse-trainer, ~/.local/share/morse-trainer).
inline const QString kAppName = QStringLiteral("morse-trainer");

// Settings beyond MORSE.CST (whose format stays fixed): window zoom, band conditions, the
// learner's choices. They live in the user's configuration folder, never in the working
// directory. A file over 64 KB is neither read nor written: the settings start from their
// defaults and the file stays as it is.
std::unique_ptr<QSettings> OpenUserSettings();

// The file OpenUserSettings reads (~/.config/morse-trainer/morse-trainer.conf).
QString UserSettingsPath();

// Why the user settings are not read (a German message), or empty when they are.
QString UserSettingsProblem();
