#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks of the trainer before its window opens.
struct StartOutcome {
    // Set when the program ends at once: 0 after --help or --version, 2 for a bad command line
    // or a working folder that cannot be used.
    std::optional<int> exitCode;
    // The answer for standard output (exit code 0) or the German error for standard error.
    QString message;
};

// Reads the command line (program name first) and chooses the working folder, where MORSE.CST,
// the user's own lessons and printed PDF files live:
//   no option               the current directory, as started from a terminal;
//   --benutzerordner        the user's data folder of this program (created on first start),
//                           which the desktop entry passes;
//   --arbeitsordner ORDNER  any existing, writable folder.
// Makes the chosen folder the current directory; the shipped data files are still found in the
// installed data folder behind it. Needs no QCoreApplication, only the application name.
StartOutcome ApplyStartOptions(const QStringList& arguments);

// The answer to --help or --version, read from the command line as the program received it,
// before the window system is opened: so both work without a display. Options it does not know
// (the window system's own, such as -style) do not matter here.
std::optional<QString> InformationRequested(const QStringList& arguments);

// The command line without the window system's own options (-style fusion, -platform xcb,
// --display=:1, ...), as QApplication leaves it: so the trainer's options can be read before
// the window system starts, and a bad one is told in German even without a display.
QStringList WithoutWindowSystemOptions(const QStringList& arguments);

// Whether the environment names a display the window system can show windows on (an X11 or
// Wayland display, or another visible platform); false off screen.
bool DisplayNamed();

// The folder a file dialog opens in: the working folder, or the home folder when the trainer
// works in its own data folder (started from the desktop), which the user does not browse.
QString FileDialogFolder();
