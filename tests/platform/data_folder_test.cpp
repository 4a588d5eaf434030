#include "platform/data_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/registry.h"

class DataFolderTest : public QObject {
    Q_OBJECT
private slots:
    void foundBesideTheProgramUnderAnyPrefix();
    void installedTreeFindsItsDataWhereverItIsCopied();
    void packageTreeFallsBackToUsrShare();
};

namespace {
// Runs cmake with `arguments`; its output on failure.
QString RunCmake(const QStringList& arguments) {
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(QStringLiteral("cmake"), arguments);
    if (!cmake.waitForFinished(600000)) return QStringLiteral("cmake did not finish");
    if (cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0) return {};
    return QString::fromLocal8Bit(cmake.readAll());
}
}  // namespace

void DataFolderTest::foundBesideTheProgramUnderAnyPrefix() {
    QTemporaryDir root;
    const QString relative = QStringLiteral("../share/morse-trainer");
    const QString configured = QStringLiteral("/usr/local/share/morse-trainer");
    QDir top(root.path());
    QVERIFY(top.mkpath(QStringLiteral("opt/x/bin")));
    QVERIFY(top.mkpath(QStringLiteral("opt/x/share/morse-trainer")));

    QCOMPARE(FindInstalledDataDir(root.filePath(QStringLiteral("opt/x/bin")), relative, configured),
             root.filePath(QStringLiteral("opt/x/share/morse-trainer")));

    // The whole installation moved to another prefix.
    QVERIFY(top.rename(QStringLiteral("opt/x"), QStringLiteral("home")));
    QCOMPARE(FindInstalledDataDir(root.filePath(QStringLiteral("home/bin")), relative, configured),
             root.filePath(QStringLiteral("home/share/morse-trainer")));

    // A program without its data beside it (the build tree) uses the configured folder; so does
    // a file where the folder should be.
    QVERIFY(QDir(root.filePath(QStringLiteral("home/share/morse-trainer"))).removeRecursively());
    QCOMPARE(FindInstalledDataDir(root.filePath(QStringLiteral("home/bin")), relative, configured),
             configured);
    QFile imposter(root.filePath(QStringLiteral("home/share/morse-trainer")));
    QVERIFY(imposter.open(QIODevice::WriteOnly));
    imposter.close();
    QCOMPARE(FindInstalledDataDir(root.filePath(QStringLiteral("home/bin")), relative, configured),
             configured);
}

void DataFolderTest::installedTreeFindsItsDataWhereverItIsCopied() {
    QTemporaryDir root;
    const QString prefix = root.filePath(QStringLiteral("usr"));
    const QString failed =
        RunCmake({QStringLiteral("--install"), qEnvironmentVariable("TRAINER_BINARY_DIR"),
                  QStringLiteral("--prefix"), prefix});
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    // The whole tree copied somewhere else, as an unpacked package or a moved prefix.
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("elsewhere")));
    const QString moved = root.filePath(QStringLiteral("elsewhere/opt"));
    QVERIFY(QDir().rename(prefix, moved));
    const QString bin = moved + QStringLiteral("/bin");
    QVERIFY(QFileInfo(bin + QStringLiteral("/morse-trainer")).isExecutable());

    const QString data = InstalledDataDirFor(bin);
    QCOMPARE(data, moved + QStringLiteral("/share/morse-trainer"));
    for (const char* name : {"MORSE.NAM", "LEXIKON", "Abk.txt", "Lek.txt", "Alfa/0.wav"}) {
        QVERIFY2(QFileInfo(data + u'/' + QString::fromLatin1(name)).isFile(), name);
    }
    // The scripts that make the data stay in the sources.
    QVERIFY(!QFileInfo::exists(data + QStringLiteral("/make_data.py")));
    QVERIFY(!QFileInfo::exists(data + QStringLiteral("/sources")));
}

void DataFolderTest::packageTreeFallsBackToUsrShare() {
    // The tree the Debian package is built from, configured as the package target does.
    QTemporaryDir tree;
    const QString source = qEnvironmentVariable("TRAINER_SOURCE_DIR");
    const QString failed =
        RunCmake({QStringLiteral("-DSOURCE_DIR=") + source, QStringLiteral("-DTREE=") + tree.path(),
                  QStringLiteral("-DGENERATOR=Ninja"), QStringLiteral("-P"),
                  source + QStringLiteral("/packaging/package_tree.cmake")});
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QFile rules(tree.filePath(QStringLiteral("build.ninja")));
    QVERIFY(rules.open(QIODevice::ReadOnly));
    const QByteArray text = rules.readAll();
    // The fallback compiled into the programs, and where the package puts the data.
    QVERIFY(text.contains("-DTRAINER_DATA_DIR=\\\"/usr/share/morse-trainer\\\""));
    QVERIFY(!text.contains("/usr/local/share/morse-trainer"));
    QVERIFY(text.contains("TRAINER_DATA_DIR_FROM_BIN=\\\"../share/morse-trainer\\\""));
}

REGISTER_TEST(DataFolderTest);
#include "data_folder_test.moc"
