#include "exercises/qrm_traffic.h"

#include <QHash>
#include <QRegularExpression>
#include <QTest>

#include "engine/morse_table.h"
#include "sound/band/qrm_station.h"
#include "state/shared_state.h"
#include "support/registry.h"

class QrmTrafficTest : public QObject {
    Q_OBJECT
private slots:
    void trafficIsPlausibleMorseAndRepeatsWithItsSeed();
};

void QrmTrafficTest::trafficIsPlausibleMorseAndRepeatsWithItsSeed() {
    BuildMorseTable();
    QHash<QString, QChar> decode;
    for (int i = 0; i < 51; ++i) {
        if (!S().MorseTable[i].isEmpty() && !decode.contains(S().MorseTable[i]))
            decode.insert(S().MorseTable[i], QChar(i + 40));
    }
    const auto traffic = BuildQrmTraffic(5);
    QVERIFY(traffic->messages.size() >= 10);
    QCOMPARE(BuildQrmTraffic(5)->messages, traffic->messages);
    QVERIFY(BuildQrmTraffic(6)->messages != traffic->messages);

    QString all;
    for (const std::string& message : traffic->messages) {
        const QString pattern = QString::fromStdString(message);
        QVERIFY(!pattern.isEmpty());
        QVERIFY(!pattern.contains(QStringLiteral("  ")) && !pattern.contains(QStringLiteral("//")));
        QVERIFY(!pattern.startsWith(u'/') && !pattern.endsWith(u'/') && !pattern.endsWith(u' '));
        for (const QString& word : pattern.split(u'/')) {
            for (const QString& sign : word.split(u' ')) {
                QVERIFY2(decode.contains(sign), qPrintable(sign));
                all += decode[sign];
            }
            all += u' ';
        }
        all += u'|';
    }
    // Calls, answers and reports of a band, with call signs of letters and digits.
    QVERIFY(all.contains(QStringLiteral("CQ ")));
    QVERIFY(all.contains(QStringLiteral(" DE ")));
    QVERIFY(all.contains(QRegularExpression(QStringLiteral("\\b[A-Z]{1,2}[0-9][A-Z]{2,3}\\b"))));
}

REGISTER_TEST(QrmTrafficTest);
#include "qrm_traffic_test.moc"
