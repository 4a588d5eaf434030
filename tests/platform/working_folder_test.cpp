#include "platform/working_folder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/file_lookup.h"
#include "platform/private_folder.h"
#include "platform/services.h"
#include "platform/ui/start_failure.h"
#include "platform/user_settings.h"
#include "record/record_database.h"
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
    void createdFoldersAreTheOwnersOnly();
    void badOptionIsToldWithoutADisplayAndInABoxWithOne();
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

namespace {
constexpr auto kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner | QFileDevice::ReadUser | QFileDevice::WriteUser |
                            QFileDevice::ExeUser;

bool OwnerOnly(const QString& folder) { return QFileInfo(folder).permissions() == kOwnerOnly; }
}  // namespace

void WorkingFolderTest::createdFoldersAreTheOwnersOnly() {
    StartScope scope;
    // The desktop start's folder, with a parent that is missing too.
    qputenv("XDG_DATA_HOME", QFile::encodeName(scope.terminal.filePath(QStringLiteral("data"))));
    QStandardPaths::setTestModeEnabled(false);
    const auto restore = qScopeGuard([] {
        QStandardPaths::setTestModeEnabled(true);
        qunsetenv("XDG_DATA_HOME");
    });
    QCOMPARE(StartScope::userFolder(), scope.terminal.filePath(QStringLiteral("data/")) +
                                           QCoreApplication::applicationName());
    QVERIFY(!Start({QStringLiteral("--benutzerordner")}).exitCode);
    QVERIFY(OwnerOnly(StartScope::userFolder()));
    QVERIFY(OwnerOnly(scope.terminal.filePath(QStringLiteral("data"))));
    // The record's folder, when the record is opened first.
    QVERIFY(QDir(scope.terminal.path())
                .rmdir(QStringLiteral("data/") + QCoreApplication::applicationName()));
    DefaultRecordPath();
    QVERIFY(OwnerOnly(StartScope::userFolder()));
    // The settings' folder (in the tests' own configuration folder).
    const QString settingsFolder = QFileInfo(UserSettingsPath()).path();
    QVERIFY(QDir(settingsFolder).removeRecursively());
    OpenUserSettings()->setValue(QStringLiteral("x"), 1);
    QVERIFY(OwnerOnly(settingsFolder));
    OpenUserSettings()->remove(QStringLiteral("x"));

    // A folder that exists keeps its permissions; a file in the way is no folder.
    const QString open = scope.terminal.filePath(QStringLiteral("offen"));
    QVERIFY(QDir().mkdir(open, kOwnerOnly | QFileDevice::ReadOther | QFileDevice::ExeOther));
    QVERIFY(MakePrivateFolder(open + QStringLiteral("/a/b")));
    QVERIFY(QFileInfo(open).permissions() & QFileDevice::ReadOther);
    QVERIFY(OwnerOnly(open + QStringLiteral("/a")) && OwnerOnly(open + QStringLiteral("/a/b")));
    QFile blocker(open + QStringLiteral("/datei"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!MakePrivateFolder(blocker.fileName() + QStringLiteral("/x")));
}

void WorkingFolderTest::badOptionIsToldWithoutADisplayAndInABoxWithOne() {
    StartScope scope;
    // Without any display the window system never starts: the German message and exit 2.
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        bare.remove(QString::fromLatin1(name));
    }
    const QString program =
        qEnvironmentVariable("TRAINER_BINARY_DIR") + QStringLiteral("/app/morse-trainer");
    const struct {
        QStringList options;
        const char* says;
    } cases[] = {
        {{QStringLiteral("--ordner")}, "Unbekannte Option „ordner“"},
        // The window system's own options are left to it, not refused.
        {{QStringLiteral("-style"), QStringLiteral("fusion"), QStringLiteral("--platform=xcb"),
          QStringLiteral("-reverse"), QStringLiteral("--arbeitsordner"),
          scope.terminal.filePath(QStringLiteral("fehlt"))},
         "gibt es nicht"},
    };
    for (const auto& c : cases) {
        QProcess trainer;
        trainer.setProcessEnvironment(bare);
        trainer.start(program, c.options);
        QVERIFY(trainer.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(trainer.readAllStandardError());
        QCOMPARE(trainer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(trainer.exitCode(), 2);
        QVERIFY2(err.startsWith(QStringLiteral("morse-trainer: ")) &&
                     err.contains(QString::fromUtf8(c.says)),
                 qPrintable(err));
    }

    // With a display the same message also comes in a box, for a start from the desktop menu.
    QString title, text, reason;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        title = box->windowTitle();
        text = box->text();
        reason = box->informativeText();
        box->accept();
    });
    ShowStartFailure(
        QStringLiteral("morse-trainer: Unbekannte Option „ordner“.\n"
                       "„morse-trainer --help“ zeigt die Optionen.\n"));
    QCOMPARE(title, QStringLiteral("Morse-Übungsprogramm"));
    QVERIFY(text.contains(QStringLiteral("kann nicht starten")));
    QCOMPARE(reason, QStringLiteral("Unbekannte Option „ordner“.\n"
                                    "„morse-trainer --help“ zeigt die Optionen."));
}

REGISTER_TEST(WorkingFolderTest);
#include "working_folder_test.moc"
