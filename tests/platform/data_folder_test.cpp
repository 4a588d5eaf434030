#include "platform/data_folder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "support/registry.h"

class DataFolderTest : public QObject {
    Q_OBJECT
private slots:
    void foundBesideTheProgramUnderAnyPrefix();
};

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

REGISTER_TEST(DataFolderTest);
#include "data_folder_test.moc"
