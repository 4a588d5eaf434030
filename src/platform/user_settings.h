#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The program's name on the desktop: the folder of its user settings and of its data in the
// user's home (~/.config/morse-trainer, ~/.local/share/morse-trainer).
inline const QString kAppName = QStringLiteral("morse-trainer");

// Settings beyond MORSE.CST (whose format stays fixed): window zoom, band conditions, the
// learner's choices. They live in the user's configuration folder, never in the working
// directory.
std::unique_ptr<QSettings> OpenUserSettings();
