#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "platform/working_folder.h"
#include "support/registry.h"

namespace {
// The options a help text names: "-o", "--cpm", "--arbeitsordner".
QSet<QString> OptionsIn(const QString& text) {
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*"));
    QSet<QString> found;
    for (const auto& match : option.globalMatch(text)) found.insert(match.captured());
    return found;
}

// The manual page as text, with groff's escaped hyphens plain.
QString ManualPage(const QString& relativePath) {
    QFile file(qEnvironmentVariable("TRAINER_SOURCE_DIR") + u'/' + relativePath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

void CompareOptions(const QString& help, const QString& page) {
    QVERIFY(!page.isEmpty());
    const QSet<QString> inHelp = OptionsIn(help);
    QVERIFY(inHelp.size() >= 4);
    const QSet<QString> inPage = OptionsIn(page);
    for (const QString& option : inHelp) {
        QVERIFY2(inPage.contains(option),
                 qPrintable(option + QStringLiteral(" fehlt im Handbuch")));
    }
}
}  // namespace

// Each program's manual page describes every option its --help lists.
class ManualPagesTest : public QObject {
    Q_OBJECT
private slots:
    void trainerPageKnowsEveryOption();
    void morse2wavPageKnowsEveryOption();
};

void ManualPagesTest::trainerPageKnowsEveryOption() {
    const StartOutcome help =
        ApplyStartOptions({QStringLiteral("morse-trainer"), QStringLiteral("--help")});
    CompareOptions(help.message, ManualPage(QStringLiteral("app/morse-trainer.1")));
}

void ManualPagesTest::morse2wavPageKnowsEveryOption() {
    QProcess process;
    process.start(
        qEnvironmentVariable("TRAINER_BINARY_DIR") + QStringLiteral("/tools/morse2wav/morse2wav"),
        {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    CompareOptions(QString::fromUtf8(process.readAllStandardOutput()),
                   ManualPage(QStringLiteral("tools/morse2wav/morse2wav.1")));
}

REGISTER_TEST(ManualPagesTest);
#include "manual_pages_test.moc"
