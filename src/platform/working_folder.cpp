#include "platform/working_folder.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/private_folder.h"

namespace {
const QString kProgram = QStringLiteral("morse-trainer");

StartOutcome Fail(const QString& text) {
    return {2, kProgram + QStringLiteral(": ") + text +
                   QStringLiteral("\n„morse-trainer --help“ zeigt die Optionen.\n")};
}

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

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

// The trainer's options; help and version are answered here rather than by QCommandLineParser,
// whose own texts are English.
struct Options {
    Options() {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({user, named, help, version});
    }
    // The answer to --help or --version, if one of them is given.
    std::optional<QString> answer() const {
        if (parser.isSet(help)) {
            return HelpText(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        }
        if (parser.isSet(version)) {
            return QStringLiteral("morse-trainer %1\n").arg(QStringLiteral(TRAINER_VERSION));
        }
        return std::nullopt;
    }

    QCommandLineParser parser;
    const QCommandLineOption user{QStringLiteral("benutzerordner")};
    const QCommandLineOption named{QStringLiteral("arbeitsordner"), QString(),
                                   QStringLiteral("ORDNER")};
    const QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};
    const QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")}};
};
}  // namespace

std::optional<QString> InformationRequested(const QStringList& arguments) {
    Options options;
    options.parser.parse(arguments);  // options it does not know do not matter here
    return options.answer();
}

StartOutcome ApplyStartOptions(const QStringList& arguments) {
    Options options;
    const QCommandLineParser& parser = options.parser;
    const bool parsed = options.parser.parse(arguments);
    if (const auto answer = options.answer()) return {0, *answer};
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            return Fail(QStringLiteral("Unbekannte Option „%1“.").arg(unknown.first()));
        }
        return Fail(QStringLiteral("Nach --arbeitsordner fehlt der Ordner."));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Fail(QStringLiteral("Unerwartetes Argument „%1“.")
                        .arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(options.user) && parser.isSet(options.named)) {
        return Fail(QStringLiteral("--benutzerordner und --arbeitsordner schließen einander aus."));
    }
    QString folder;
    if (parser.isSet(options.named)) {
        folder = parser.value(options.named);
        if (folder.isEmpty()) return Fail(QStringLiteral("Nach --arbeitsordner fehlt der Ordner."));
    } else if (parser.isSet(options.user)) {
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (!MakePrivateFolder(folder)) {
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

QStringList WithoutWindowSystemOptions(const QStringList& arguments) {
    // The options QGuiApplication and QApplication take off the command line, with and
    // without a value; Qt accepts them with one dash or two, and a value also after "=".
    static const QStringList withValue = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("geometry"),
        QStringLiteral("qwindowicon"),     QStringLiteral("icon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("title"),
        QStringLiteral("display"),         QStringLiteral("name"),
        QStringLiteral("session"),         QStringLiteral("style"),
        QStringLiteral("stylesheet"),      QStringLiteral("qmljsdebugger")};
    static const QStringList alone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"),  QStringLiteral("dograb"),
                                      QStringLiteral("sync"),    QStringLiteral("testability")};
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (i == 0 || !argument.startsWith(u'-')) {
            kept << argument;
            continue;
        }
        QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
        const bool hasValue = name.contains(u'=');
        name = name.section(u'=', 0, 0);
        if (withValue.contains(name)) {
            if (!hasValue) ++i;  // the value is the next argument
        } else if (!alone.contains(name) || hasValue) {
            kept << argument;
        }
    }
    return kept;
}

bool DisplayNamed() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(u':', 0, 0);
    const bool x11 = !qEnvironmentVariable("DISPLAY").isEmpty();
    const bool wayland = !qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty();
    if (platform.isEmpty()) return x11 || wayland;
    // Nobody sees a window drawn off screen.
    if (platform == QStringLiteral("offscreen") || platform == QStringLiteral("minimal")) {
        return false;
    }
    if (platform.startsWith(QStringLiteral("xcb"))) return x11;
    if (platform.startsWith(QStringLiteral("wayland"))) return wayland;
    return true;
}

QString FileDialogFolder() {
    const QString current = QDir::current().canonicalPath();
    const QString user =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).canonicalPath();
    return !user.isEmpty() && current == user ? QDir::homePath() : QDir::currentPath();
}
