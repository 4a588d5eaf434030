#include "platform/working_folder.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString kProgram = QStringLiteral("morse-trainer");

StartOutcome Answer(const QString& text) { return {0, text}; }

StartOutcome Fail(const QString& text) {
    return {2, kProgram + QStringLiteral(": ") + text +
                   QStringLiteral("\n„morse-trainer --help“ zeigt die Optionen.\n")};
}

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// The help is written here rather than by QCommandLineParser, whose own texts are English.
QString HelpText(const QString& userFolder) {
    return QStringLiteral(
               "Aufruf: morse-trainer [OPTION]\n"
               "Morse-Übungsprogramm: Hörtrainer für Morsezeichen.\n"
               "\n"
               "Ohne Option arbeitet das Programm im aktuellen Ordner: Dort liegen die\n"
               "Einstellungen (MORSE.CST), die eigenen Lektionen (Lek.txt) und Ausdrucke als\n"
               "PDF-Datei. Datendateien, die dort fehlen, liest es aus dem installierten\n"
               "Datenordner.\n"
               "\n"
               "  --benutzerordner        im Datenordner des Benutzers arbeiten (so startet\n"
               "                          der Desktop-Eintrag): %1\n"
               "  --arbeitsordner ORDNER  im angegebenen Ordner arbeiten\n"
               "  -h, --help              diese Hilfe\n"
               "  -v, --version           die Version\n")
        .arg(Native(userFolder));
}

// An empty string when `folder` exists and takes new files, otherwise why not.
QString Unusable(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists()) return QStringLiteral("Den Ordner „%1“ gibt es nicht.").arg(Native(folder));
    if (!info.isDir()) return QStringLiteral("„%1“ ist kein Ordner.").arg(Native(folder));
    if (!info.isWritable() || !info.isExecutable()) {
        return QStringLiteral("In den Ordner „%1“ darf das Programm nicht schreiben.")
            .arg(Native(folder));
    }
    return {};
}
}  // namespace

StartOutcome ApplyStartOptions(const QStringList& arguments) {
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption user(QStringLiteral("benutzerordner"));
    const QCommandLineOption named(QStringLiteral("arbeitsordner"), QString(),
                                   QStringLiteral("ORDNER"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({user, named, help, version});
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            return Fail(QStringLiteral("Unbekannte Option „%1“.").arg(unknown.first()));
        }
        return Fail(QStringLiteral("Nach --arbeitsordner fehlt der Ordner."));
    }
    if (parser.isSet(help)) return Answer(HelpText(userFolder));
    if (parser.isSet(version)) {
        return Answer(QStringLiteral("morse-trainer %1\n").arg(QStringLiteral(TRAINER_VERSION)));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Fail(QStringLiteral("Unerwartetes Argument „%1“.")
                        .arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(user) && parser.isSet(named)) {
        return Fail(QStringLiteral("--benutzerordner und --arbeitsordner schließen einander aus."));
    }
    QString folder;
    if (parser.isSet(named)) {
        folder = parser.value(named);
        if (folder.isEmpty()) return Fail(QStringLiteral("Nach --arbeitsordner fehlt der Ordner."));
    } else if (parser.isSet(user)) {
        folder = userFolder;
        if (!QDir().mkpath(folder)) {
            return Fail(
                QStringLiteral("Der Ordner „%1“ lässt sich nicht anlegen.").arg(Native(folder)));
        }
    } else {
        return {};
    }
    if (const QString why = Unusable(folder); !why.isEmpty()) return Fail(why);
    if (!QDir::setCurrent(folder)) {
        return Fail(
            QStringLiteral("In den Ordner „%1“ lässt sich nicht wechseln.").arg(Native(folder)));
    }
    return {};
}
