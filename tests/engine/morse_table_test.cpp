#include "engine/morse_table.h"
#include "support/registry.h"
#include "support/rig.h"

#include <QTest>

#include <vector>

namespace {
std::vector<int32_t> encode(QChar c) {
    const int index = MorseIndex(c);
    if (index < 0) return {};
    EncodeCharacter(index);
    return S().ElementBuffer;
}
}  // namespace

class MorseTableTest : public QObject {
    Q_OBJECT
private slots:
    void encodings();
    void bufferBounds();
    void charactersWithoutIndex();
    void everySignEncodesItsPattern();
};

void MorseTableTest::encodings() {
    TestRig rig;
    rig.startUp();
    QCOMPARE(encode(u'A'), (std::vector<int32_t>{3, 1, 4, 1, 2, 1}));
    QCOMPARE(encode(u'a'), (std::vector<int32_t>{3, 1, 4, 1, 2, 1}));
    QCOMPARE(encode(u'E'), (std::vector<int32_t>{3, 1, 2, 1}));
    QCOMPARE(encode(u'0'), (std::vector<int32_t>{4, 1, 4, 1, 4, 1, 4, 1, 4, 1, 2, 1}));
    QCOMPARE(encode(u'('), encode(u')'));
    QCOMPARE(encode(u'('), (std::vector<int32_t>{4, 1, 3, 1, 4, 1, 4, 1, 3, 1, 4, 1, 2, 1}));
    QCOMPARE(encode(u'@'), (std::vector<int32_t>{2, 1}));
    QCOMPARE(encode(u';'), (std::vector<int32_t>{2, 1}));
}

void MorseTableTest::bufferBounds() {
    TestRig rig;
    rig.startUp();
    QCOMPARE(rig.s.ElementBuffer.size(), size_t(100));
    encode(u'0');
    QCOMPARE(rig.s.ElementBuffer.size(), size_t(12));
    QCOMPARE(rig.s.ElementCount, 12);
    encode(u'E');
    QCOMPARE(rig.s.ElementBuffer.size(), size_t(4));
    QCOMPARE(rig.s.ElementCount, 4);
}

void MorseTableTest::charactersWithoutIndex() {
    QCOMPARE(MorseIndex(u' '), -1);
    QCOMPARE(MorseIndex(u'!'), -1);
    QCOMPARE(MorseIndex(QChar(0xC4)), -1);  // Ä
    QCOMPARE(MorseIndex(QChar(0xDF)), -1);  // ß
    QCOMPARE(MorseIndex(u'('), 0);
    QCOMPARE(MorseIndex(u'Z'), 50);
    QCOMPARE(MorseIndex(u'z'), 50);
}

void MorseTableTest::everySignEncodesItsPattern() {
    TestRig rig;
    rig.startUp();
    const QString signs = QStringLiteral("()*+,-./0123456789:=?ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QCOMPARE(signs.size(), 47);
    int filled = 0;
    for (const QString& entry : rig.s.MorseTable) filled += entry.isEmpty() ? 0 : 1;
    QCOMPARE(filled, signs.size());
    for (QChar c : signs) {
        const std::vector<int32_t> codes = encode(c);
        QString pattern;
        for (size_t i = 0; i + 2 < codes.size(); i += 2) {
            QCOMPARE(codes[i + 1], 1);
            pattern += codes[i] == 4 ? u'-' : u'.';
        }
        QCOMPARE(pattern, rig.s.MorseTable[MorseIndex(c)]);
        QVERIFY(!pattern.isEmpty());
    }
    QCOMPARE(rig.s.MorseTable[MorseIndex(u'S')], QStringLiteral("..."));
    QCOMPARE(rig.s.MorseTable[MorseIndex(u'=')], QStringLiteral("-...-"));
    QCOMPARE(rig.s.MorseTable[MorseIndex(u'?')], QStringLiteral("..--.."));
}

REGISTER_TEST(MorseTableTest);
#include "morse_table_test.moc"
