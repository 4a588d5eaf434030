#include "mainwindow/settings_format.h"

#include <QTest>

#include "support/registry.h"

class SettingsFormatTest : public QObject {
    Q_OBJECT
private slots:
    void defaultLine();
    void everyFieldRoundTrips();
    void plainDecimal_data();
    void plainDecimal();
    void readingRules_data();
    void readingRules();
    void failingField_data();
    void failingField();
};

void SettingsFormatTest::defaultLine() {
    QCOMPARE(FormatSettingsLine(DefaultSettings()), QStringLiteral("60,800,12,1,1,\"Z\",0,30,,"));
}

// A distinct value in every stored field, written and read back: a field written to or read from
// the wrong place shows up here.
void SettingsFormatTest::everyFieldRoundTrips() {
    const SettingsValues defaults = DefaultSettings();
    SettingsValues values = defaults;
    int offset = 1;
    for (const SettingsField& field : kSettingsFields) {
        switch (field.type) {
            case SettingsFieldType::IntegerPart:
            case SettingsFieldType::Decimal:
                values.*field.decimal = static_cast<float>(field.defaultNumber) + 1.5f * offset;
                if (field.type == SettingsFieldType::IntegerPart) values.*field.decimal += 0.5f;
                break;
            case SettingsFieldType::Whole:
                values.*field.whole = static_cast<int16_t>(field.defaultNumber + offset);
                break;
            case SettingsFieldType::Quoted:
                values.*field.text = QStringLiteral("X");
                break;
            case SettingsFieldType::Reserved:
                break;
        }
        ++offset;
    }
    SettingsValues read = defaults;
    QCOMPARE(ParseSettingsLine(FormatSettingsLine(values), read), kSettingsFieldCount);
    for (const SettingsField& field : kSettingsFields) {
        switch (field.type) {
            case SettingsFieldType::IntegerPart:
                QVERIFY2(read.*field.decimal == std::floor(values.*field.decimal), field.name);
                QVERIFY2(read.*field.decimal != defaults.*field.decimal, field.name);
                break;
            case SettingsFieldType::Decimal:
                QVERIFY2(read.*field.decimal == values.*field.decimal, field.name);
                QVERIFY2(read.*field.decimal != defaults.*field.decimal, field.name);
                break;
            case SettingsFieldType::Whole:
                QVERIFY2(read.*field.whole == values.*field.whole, field.name);
                QVERIFY2(read.*field.whole != defaults.*field.whole, field.name);
                break;
            case SettingsFieldType::Quoted:
                QVERIFY2(read.*field.text == QStringLiteral("X"), field.name);
                break;
            case SettingsFieldType::Reserved:
                break;
        }
    }
}

void SettingsFormatTest::plainDecimal_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 1.0 << "1";
    QTest::newRow("half") << 1.5 << "1.5";
    QTest::newRow("single 2.3") << static_cast<double>(2.3f) << "2.3";
    QTest::newRow("seven digits") << 1234567.8 << "1234568";
    QTest::newRow("seven after point") << static_cast<double>(1.2345678f) << "1.234568";
    QTest::newRow("small") << 0.0001 << "0.0001";
    QTest::newRow("tiny") << 1.25e-8 << "0.0000000125";
    QTest::newRow("large") << 1e20 << "100000000000000000000";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
}

void SettingsFormatTest::plainDecimal() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(PlainDecimal(value), text);
}

void SettingsFormatTest::readingRules_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<float>("speed");
    QTest::addColumn<float>("charSpacing");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("dash");
    QTest::newRow("defaults") << "60,800,12,1,1,\"Z\",0,30,,\r\n" << 60.f << 1.f << "Z" << 0 << 30;
    QTest::newRow("blanks before fields")
        << "  71 ,800, 12,\t1.5,1, \"B\" , 21 ,35,," << 71.f << 1.5f << "B" << 21 << 35;
    QTest::newRow("comma in quotes")
        << "60,800,12,1,1,\",\",0,30,," << 60.f << 1.f << "," << 0 << 30;
    QTest::newRow("text after quote dropped")
        << "60,800,12,1,1,\"UX\"junk,0,30,," << 60.f << 1.f << "U" << 0 << 30;
    QTest::newRow("empty text is a blank")
        << "60,800,12,1,1,\"\",0,30,," << 60.f << 1.f << " " << 0 << 30;
    QTest::newRow("unquoted text") << "60,800,12,1,1,R,0,30,," << 60.f << 1.f << "R" << 0 << 30;
    QTest::newRow("empty number is 0")
        << "60,800,12,1,1,\"Z\",,30,," << 60.f << 1.f << "Z" << 0 << 30;
    QTest::newRow("beyond ten ignored")
        << "60,800,12,1,1,\"Z\",0,30,x,y,z,\"\r\nrest" << 60.f << 1.f << "Z" << 0 << 30;
    QTest::newRow("fraction rounds half to even")
        << "60,800,12,1,1,\"Z\",20.5,34.5,," << 60.f << 1.f << "Z" << 20 << 34;
    QTest::newRow("odd half rounds up, not down")
        << "60,800,12,1,1,\"Z\",21.5,33.5,," << 60.f << 1.f << "Z" << 22 << 34;
    QTest::newRow("number forms") << "+5E1,800,12,.5,1,\"Z\",0,30,," << 50.f << 0.5f << "Z" << 0
                                  << 30;
    QTest::newRow("out of control range")
        << "500,800,12,1,1,\"Z\",-3,99,," << 500.f << 1.f << "Z" << -3 << 99;
}

void SettingsFormatTest::readingRules() {
    QFETCH(QString, line);
    QFETCH(float, speed);
    QFETCH(float, charSpacing);
    QFETCH(QString, kind);
    QFETCH(int, flags);
    QFETCH(int, dash);
    SettingsValues values = DefaultSettings();
    QCOMPARE(ParseSettingsLine(line, values), kSettingsFieldCount);
    QCOMPARE(values.speed, speed);
    QCOMPARE(values.charSpacing, charSpacing);
    QCOMPARE(values.kind, kind);
    QCOMPARE(values.optionFlags, int16_t(flags));
    QCOMPARE(values.dash, int16_t(dash));
}

void SettingsFormatTest::failingField_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("fieldsRead");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("speed 0") << "0,800,12,1,1,\"Z\",0,30,," << 0;
    QTest::newRow("speed empty") << ",800,12,1,1,\"Z\",0,30,," << 0;
    QTest::newRow("speed negative") << "-5,800,12,1,1,\"Z\",0,30,," << 0;
    QTest::newRow("speed huge") << "1e30,800,12,1,1,\"Z\",0,30,," << 0;
    QTest::newRow("speed overflow") << "1e400,800,12,1,1,\"Z\",0,30,," << 0;
    QTest::newRow("speed nan") << "nan,800,12,1,1,\"Z\",0,30,," << 0;
    QTest::newRow("speed inf") << "inf,800,12,1,1,\"Z\",0,30,," << 0;
    QTest::newRow("garbage") << "schnell,800,12,1,1,\"Z\",0,30,," << 0;
    QTest::newRow("number and text") << "60x,800,12,1,1,\"Z\",0,30,," << 0;
    QTest::newRow("decimal comma shifts the fields") << "60,800,12,1,5,1,\"Z\",0,30,," << 6;
    QTest::newRow("pitch 0") << "60,0,12,1,1,\"Z\",0,30,," << 1;
    QTest::newRow("pitch huge") << "60,20001,12,1,1,\"Z\",0,30,," << 1;
    QTest::newRow("groups 0") << "60,800,0,1,1,\"Z\",0,30,," << 2;
    QTest::newRow("groups huge") << "60,800,10001,1,1,\"Z\",0,30,," << 2;
    QTest::newRow("spacing 0") << "60,800,12,0,1,\"Z\",0,30,," << 3;
    QTest::newRow("word spacing huge") << "60,800,12,1,101,\"Z\",0,30,," << 4;
    QTest::newRow("flags overflow") << "60,800,12,1,1,\"Z\",40000,30,," << 6;
    QTest::newRow("dash overflow") << "60,800,12,1,1,\"Z\",0,1e9,," << 7;
    QTest::newRow("eight fields") << "60,800,12,1,1,\"Z\",0,30" << 8;
    QTest::newRow("nine fields") << "60,800,12,1,1,\"Z\",0,30," << 9;
    QTest::newRow("open quote") << "60,800,12,1,1,\"Z,0,30,," << 6;
    QTest::newRow("fields on the next line") << "60,800,12\r\n1,1,\"Z\",0,30,," << 3;
    QTest::newRow("nul bytes") << QString(QChar(0)) + "60,800" << 0;
}

void SettingsFormatTest::failingField() {
    QFETCH(QString, line);
    QFETCH(int, fieldsRead);
    const SettingsValues defaults = DefaultSettings();
    SettingsValues values = defaults;
    QCOMPARE(ParseSettingsLine(line, values), fieldsRead);
    // The fields from the failing one on keep what they held.
    if (fieldsRead == 0) QCOMPARE(values.speed, defaults.speed);
    if (fieldsRead <= 1) QCOMPARE(values.pitch, defaults.pitch);
    if (fieldsRead <= 3) QCOMPARE(values.charSpacing, defaults.charSpacing);
    if (fieldsRead <= 6) QCOMPARE(values.optionFlags, defaults.optionFlags);
}

REGISTER_TEST(SettingsFormatTest);
#include "settings_format_test.moc"
