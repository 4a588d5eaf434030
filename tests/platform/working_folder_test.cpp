#include "platform/working_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "platform/file_lookup.h"
#include "platform/services.h"
#include "support/registry.h"

namespace {
// Restores the working directory, the installed data folder and the application name (which
// names the user's data folder) after each case.
struct StartScope {
    StartScope()
        : previousDir(QDir::currentPath()),
          previousData(Platform().installedDataDir),
          previousName(QCoreApplication::applicationName()) {
        // A name of this run's own, so the user folder starts out missing and no other test
        // shares it.
        QCoreApplication::setApplicationName(
            QStringLiteral("working-folder-test-%1").arg(QCoreApplication::applicationPid()));
        QDir::setCurrent(terminal.path());
    }
    ~StartScope() {
        QDir(userFolder()).removeRecursively();
        QDir::setCurrent(previousDir);
        Platform().installedDataDir = previousData;
        QCoreApplication::setApplicationName(previousName);
    }
    static QString userFolder() {
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }
    static QString current() { return QDir::current().canonicalPath(); }
    static QString canonical(const QString& path) { return QDir(path).canonicalPath(); }

    QTemporaryDir terminal;
    QString previousDir;
    QString previousData;
    QString previousName;
};

StartOutcome Start(const QStringList& options) {
    return ApplyStartOptions(QStringList{QStringLiteral("morse-trainer")} + options);
}
}  // namespace

class WorkingFolderTest : public QObject {
    Q_OBJECT
private slots:
    void terminalStartKeepsTheCurrentFolder();
    void desktopStartWorksInTheUserFolderWithInstalledDataBehindIt();
    void namedFolderBecomesTheWorkingFolder();
    void unusableFolderOrBadCommandLineEndsWithGermanMessage();
    void helpAndVersionAnswerInGermanAndEnd();
};

void WorkingFolderTest::terminalStartKeepsTheCurrentFolder() {
    StartScope scope;
    const StartOutcome outcome = Start({});
    QVERIFY(!outcome.exitCode);
    QCOMPARE(StartScope::current(), StartScope::canonical(scope.terminal.path()));
    QCOMPARE(FileDialogFolder(), QDir::currentPath());
    QVERIFY(!QFileInfo::exists(StartScope::userFolder()));
}

void WorkingFolderTest::desktopStartWorksInTheUserFolderWithInstalledDataBehindIt() {
    StartScope scope;
    QTemporaryDir installed;
    QFile shipped(installed.filePath(QStringLiteral("Lek.txt")));
    QVERIFY(shipped.open(QIODevice::WriteOnly));
    shipped.write("abc\r\n");
    shipped.close();
    Platform().installedDataDir = installed.path();
    QVERIFY(!QFileInfo::exists(StartScope::userFolder()));

    const StartOutcome outcome = Start({QStringLiteral("--benutzerordner")});
    QVERIFY2(!outcome.exitCode, qPrintable(outcome.message));
    QVERIFY(QFileInfo(StartScope::userFolder()).isDir());
    QCOMPARE(StartScope::current(), StartScope::canonical(StartScope::userFolder()));
    // The shipped lessons come from the installed folder until the user keeps their own.
    QCOMPARE(FindDataFile(QStringLiteral("Lek.txt")), shipped.fileName());
    QFile own(QStringLiteral("Lek.txt"));
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.close();
    QCOMPARE(QFileInfo(FindDataFile(QStringLiteral("Lek.txt"))).canonicalFilePath(),
             QDir(StartScope::userFolder()).canonicalPath() + QStringLiteral("/Lek.txt"));

    // Files to open are looked for at home, not in the hidden folder.
    QCOMPARE(FileDialogFolder(), QDir::homePath());

    // A second start finds the folder with the user's files in it.
    QDir::setCurrent(scope.terminal.path());
    QVERIFY(!Start({QStringLiteral("--benutzerordner")}).exitCode);
    QVERIFY(QFileInfo::exists(QStringLiteral("Lek.txt")));
}

void WorkingFolderTest::namedFolderBecomesTheWorkingFolder() {
    StartScope scope;
    QTemporaryDir named;
    QVERIFY(!Start({QStringLiteral("--arbeitsordner"), named.path()}).exitCode);
    QCOMPARE(StartScope::current(), StartScope::canonical(named.path()));
    QCOMPARE(QDir(FileDialogFolder()).canonicalPath(), StartScope::canonical(named.path()));

    QDir::setCurrent(scope.terminal.path());
    QVERIFY(!Start({QStringLiteral("--arbeitsordner=") + named.path()}).exitCode);
    QCOMPARE(StartScope::current(), StartScope::canonical(named.path()));

    // A relative folder is taken from the current directory.
    QDir::setCurrent(scope.terminal.path());
    QVERIFY(QDir(scope.terminal.path()).mkdir(QStringLiteral("kurs")));
    QVERIFY(!Start({QStringLiteral("--arbeitsordner"), QStringLiteral("kurs")}).exitCode);
    QCOMPARE(StartScope::current(), StartScope::canonical(scope.terminal.filePath("kurs")));
}

void WorkingFolderTest::unusableFolderOrBadCommandLineEndsWithGermanMessage() {
    StartScope scope;
    QFile plainFile(scope.terminal.filePath(QStringLiteral("datei.txt")));
    QVERIFY(plainFile.open(QIODevice::WriteOnly));
    plainFile.close();
    const struct {
        QStringList options;
        const char* says;
    } cases[] = {
        {{QStringLiteral("--arbeitsordner"), scope.terminal.filePath(QStringLiteral("fehlt"))},
         "gibt es nicht"},
        {{QStringLiteral("--arbeitsordner"), plainFile.fileName()}, "ist kein Ordner"},
        {{QStringLiteral("--arbeitsordner")}, "fehlt der Ordner"},
        {{QStringLiteral("--arbeitsordner=")}, "fehlt der Ordner"},
        {{QStringLiteral("--ordner")}, "Unbekannte Option „ordner“"},
        {{QStringLiteral("uebung.txt")}, "Unerwartetes Argument „uebung.txt“"},
        {{QStringLiteral("--benutzerordner"), QStringLiteral("--arbeitsordner"),
          scope.terminal.path()},
         "schließen einander aus"},
    };
    for (const auto& c : cases) {
        const StartOutcome outcome = Start(c.options);
        QVERIFY2(outcome.exitCode == 2, qPrintable(c.options.join(u' ')));
        QVERIFY2(outcome.message.startsWith(QStringLiteral("morse-trainer: ")),
                 qPrintable(outcome.message));
        QVERIFY2(outcome.message.contains(QString::fromUtf8(c.says)), qPrintable(outcome.message));
        QVERIFY(outcome.message.contains(QStringLiteral("--help")));
        QCOMPARE(StartScope::current(), StartScope::canonical(scope.terminal.path()));
    }
    QVERIFY(!QFileInfo::exists(StartScope::userFolder()));
}

void WorkingFolderTest::helpAndVersionAnswerInGermanAndEnd() {
    StartScope scope;
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const StartOutcome help = Start({option, QStringLiteral("--benutzerordner")});
        QCOMPARE(help.exitCode, std::optional<int>(0));
        QVERIFY(help.message.startsWith(QStringLiteral("Aufruf: morse-trainer")));
        for (const char* mentioned : {"--benutzerordner", "--arbeitsordner ORDNER", "--version"}) {
            QVERIFY2(help.message.contains(QLatin1String(mentioned)), mentioned);
        }
        QVERIFY(help.message.contains(QDir::toNativeSeparators(StartScope::userFolder())));
    }
    for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const StartOutcome version = Start({option});
        QCOMPARE(version.exitCode, std::optional<int>(0));
        QVERIFY2(QRegularExpression(QStringLiteral("^morse-trainer \\d+\\.\\d+(\\.\\d+)*\n$"))
                     .match(version.message)
                     .hasMatch(),
                 qPrintable(version.message));
    }
    // Before the window system has taken its own options off the command line.
    const QString version = Start({QStringLiteral("-v")}).message;
    QCOMPARE(InformationRequested({QStringLiteral("morse-trainer"), QStringLiteral("-style"),
                                   QStringLiteral("fusion"), QStringLiteral("--version")}),
             std::optional<QString>(version));
    QCOMPARE(InformationRequested({QStringLiteral("morse-trainer"), QStringLiteral("-platform"),
                                   QStringLiteral("offscreen"), QStringLiteral("--help")})
                 .value_or(QString())
                 .left(21),
             QStringLiteral("Aufruf: morse-trainer"));
    QCOMPARE(InformationRequested({QStringLiteral("morse-trainer"), QStringLiteral("-style"),
                                   QStringLiteral("fusion"), QStringLiteral("--benutzerordner")}),
             std::nullopt);
    // Answering creates nothing and changes no folder.
    QVERIFY(!QFileInfo::exists(StartScope::userFolder()));
    QCOMPARE(StartScope::current(), StartScope::canonical(scope.terminal.path()));
}

REGISTER_TEST(WorkingFolderTest);
#include "working_folder_test.moc"
