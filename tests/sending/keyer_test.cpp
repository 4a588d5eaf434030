#include "sending/keyer.h"

#include <QTest>

#include "platform/virtual_clock.h"
#include "support/registry.h"

namespace {
constexpr int64_t kDotMs = 60;
constexpr int64_t kDashMs = 180;

struct Action {
    Contact contact;
    bool down;
    int64_t atMs;
};

// A mark of the keyed tone [ms].
struct Mark {
    int64_t fromMs, toMs;
    bool operator==(const Mark&) const = default;
};

// Runs `script` on the virtual clock: each contact change at its moment, the keyer woken only at
// the deadlines it names, as the keying thread does.
std::vector<Mark> Run(KeyerMode mode, const std::vector<Action>& script, int weight = 50) {
    VirtualClock clock;
    Keyer keyer(mode, KeyerTiming::FromMs(kDotMs, kDashMs, weight));
    const auto us = [&] { return std::llround(clock.monotonicSeconds() * 1e6); };
    for (const Action& a : script) {
        clock.at(a.atMs / 1000.0, [&keyer, &us, a] { keyer.contact({a.contact, a.down, us()}); });
    }
    const double endSeconds = 5.0;
    while (clock.monotonicSeconds() < endSeconds) {
        const auto deadline = keyer.nextDeadlineUs();
        const double target = deadline ? std::min(*deadline / 1e6, endSeconds) : endSeconds;
        clock.advance(std::max(0.0, target - clock.monotonicSeconds()));
        keyer.advanceTo(us());
    }
    std::vector<Mark> marks;
    int64_t downAt = -1;
    for (const KeyTransition& t : keyer.takeTransitions()) {
        if (t.down) {
            downAt = t.atUs;
        } else {
            marks.push_back({downAt / 1000, t.atUs / 1000});
        }
    }
    return marks;
}

// The marks of `pattern` (dots and dashes) sent back to back from `startMs`, each element
// followed by one dot of space; `shiftMs` is the weight's lengthening of every mark.
std::vector<Mark> Ideal(const QString& pattern, int64_t startMs = 0, int64_t shiftMs = 0) {
    std::vector<Mark> marks;
    int64_t at = startMs;
    for (const QChar c : pattern) {
        const int64_t length = c == u'.' ? kDotMs : kDashMs;
        marks.push_back({at, at + length + shiftMs});
        at += length + kDotMs;
    }
    return marks;
}

QString Describe(const std::vector<Mark>& marks) {
    QStringList parts;
    for (const Mark& m : marks) parts << QStringLiteral("%1-%2").arg(m.fromMs).arg(m.toMs);
    return parts.join(u' ');
}

constexpr Contact Dit = Contact::Dit;
constexpr Contact Dah = Contact::Dah;
constexpr Contact Straight = Contact::Straight;
}  // namespace

Q_DECLARE_METATYPE(KeyerMode)
Q_DECLARE_METATYPE(std::vector<Action>)
Q_DECLARE_METATYPE(std::vector<Mark>)

class KeyerTest : public QObject {
    Q_OBJECT
private slots:
    void paddleTimings_data();
    void paddleTimings();
    void weightMovesTimeFromTheSpaceIntoTheMark();
    void straightContactKeysInEveryMode();
    void repeatedContactStatesChangeNothing();
};

void KeyerTest::paddleTimings_data() {
    QTest::addColumn<KeyerMode>("mode");
    QTest::addColumn<std::vector<Action>>("script");
    QTest::addColumn<std::vector<Mark>>("expected");
    const auto A = KeyerMode::IambicA;
    const auto B = KeyerMode::IambicB;
    const auto U = KeyerMode::Ultimatic;

    // Elements: a dit takes 120 ms with its space, a dah 240 ms.
    for (const auto mode : {A, B}) {
        const char* m = mode == A ? "A" : "B";
        const auto row = [&](const char* name) {
            return &QTest::newRow(
                qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(m), QLatin1String(name))));
        };
        *row("single dit") << mode << std::vector<Action>{{Dit, true, 0}, {Dit, false, 30}}
                           << Ideal(".");
        *row("single dah") << mode << std::vector<Action>{{Dah, true, 0}, {Dah, false, 30}}
                           << Ideal("-");
        *row("held dit repeats") << mode << std::vector<Action>{{Dit, true, 0}, {Dit, false, 250}}
                                 << Ideal("...");
        *row("dot memory") << mode
                           << std::vector<Action>{{Dah, true, 0},
                                                  {Dah, false, 100},
                                                  {Dit, true, 150},
                                                  {Dit, false, 170}}
                           << Ideal("-.");
        *row("dah memory from the space") << mode
                                          << std::vector<Action>{{Dit, true, 0},
                                                                 {Dit, false, 20},
                                                                 {Dah, true, 90},
                                                                 {Dah, false, 100}}
                                          << Ideal(".-");
        // Squeezes that both modes send alike.
        *row("K") << mode
                  << std::vector<Action>{{Dah, true, 0},
                                         {Dit, true, 100},
                                         {Dit, false, 300},
                                         {Dah, false, 500}}
                  << Ideal("-.-");
        *row("Q") << mode
                  << std::vector<Action>{{Dah, true, 0},
                                         {Dit, true, 300},
                                         {Dit, false, 500},
                                         {Dah, false, 650}}
                  << Ideal("--.-");
        *row("Y") << mode
                  << std::vector<Action>{{Dah, true, 0},
                                         {Dit, true, 100},
                                         {Dit, false, 150},
                                         {Dah, false, 700}}
                  << Ideal("-.--");
        *row("R") << mode
                  << std::vector<Action>{{Dit, true, 0},
                                         {Dah, true, 50},
                                         {Dah, false, 200},
                                         {Dit, false, 400}}
                  << Ideal(".-.");
        *row("F") << mode
                  << std::vector<Action>{{Dit, true, 0},
                                         {Dah, true, 150},
                                         {Dah, false, 400},
                                         {Dit, false, 500}}
                  << Ideal("..-.");
        *row("L") << mode
                  << std::vector<Action>{{Dit, true, 0},
                                         {Dah, true, 50},
                                         {Dah, false, 100},
                                         {Dit, false, 550}}
                  << Ideal(".-..");
    }
    // C squeezed (dah first) and both paddles let go in the second dah (early) or in the last
    // dit (late): mode A stops after the element it is sending, mode B adds the alternate one.
    const std::vector<Action> cEarly{
        {Dah, true, 0}, {Dit, true, 10}, {Dah, false, 500}, {Dit, false, 500}};
    const std::vector<Action> cLate{
        {Dah, true, 0}, {Dit, true, 10}, {Dah, false, 650}, {Dit, false, 650}};
    QTest::newRow("A C released early") << A << cEarly << Ideal("-.-");
    QTest::newRow("B C released early") << B << cEarly << Ideal("-.-.");
    QTest::newRow("A C released late") << A << cLate << Ideal("-.-.");
    QTest::newRow("B C released late") << B << cLate << Ideal("-.-.-");
    // K with the dit paddle held into the last dah: B takes it as a fourth element.
    const std::vector<Action> kLate{
        {Dah, true, 0}, {Dit, true, 100}, {Dit, false, 400}, {Dah, false, 500}};
    QTest::newRow("A K dit held late") << A << kLate << Ideal("-.-");
    QTest::newRow("B K dit held late") << B << kLate << Ideal("-.-.");
    // R squeezed dit first, let go during the dah: A ends there, B closes with the dit.
    const std::vector<Action> rSqueeze{
        {Dit, true, 0}, {Dah, true, 10}, {Dit, false, 200}, {Dah, false, 200}};
    QTest::newRow("A R squeeze released in the dah") << A << rSqueeze << Ideal(".-");
    QTest::newRow("B R squeeze released in the dah") << B << rSqueeze << Ideal(".-.");

    // Ultimatic: the paddle pressed last repeats while both are held, then the one still held.
    QTest::newRow("U last pressed wins") << U
                                         << std::vector<Action>{{Dah, true, 0},
                                                                {Dit, true, 300},
                                                                {Dit, false, 700},
                                                                {Dah, false, 1000}}
                                         << Ideal("--..--");
    QTest::newRow("U squeeze dit first") << U
                                         << std::vector<Action>{{Dit, true, 0},
                                                                {Dah, true, 50},
                                                                {Dah, false, 400},
                                                                {Dit, false, 400}}
                                         << Ideal(".--");
    QTest::newRow("U tap of the other paddle sent once")
        << U
        << std::vector<Action>{{Dit, true, 0}, {Dah, true, 30}, {Dah, false, 60}, {Dit, false, 400}}
        << Ideal(".-.");
    QTest::newRow("U single dah") << U << std::vector<Action>{{Dah, true, 0}, {Dah, false, 30}}
                                  << Ideal("-");

    // Bug: automatic dits, the dah paddle keys the tone as long as it is held.
    QTest::newRow("Bug dits then a hand-made dah")
        << KeyerMode::Bug
        << std::vector<Action>{{Dit, true, 0},
                               {Dit, false, 300},
                               {Dah, true, 400},
                               {Dah, false, 700}}
        << std::vector<Mark>{{0, 60}, {120, 180}, {240, 300}, {400, 700}};
    QTest::newRow("Bug squeeze is no alternation")
        << KeyerMode::Bug
        << std::vector<Action>{{Dit, true, 0}, {Dah, true, 10}, {Dah, false, 20}, {Dit, false, 100}}
        << std::vector<Mark>{{0, 60}};
    QTest::newRow("straight key") << KeyerMode::Straight
                                  << std::vector<Action>{{Dit, true, 10},  {Dit, false, 157},
                                                         {Dah, true, 200}, {Dah, false, 260},
                                                         {Dit, true, 300}, {Dit, false, 333}}
                                  << std::vector<Mark>{{10, 157}, {300, 333}};
}

void KeyerTest::paddleTimings() {
    QFETCH(KeyerMode, mode);
    QFETCH(std::vector<Action>, script);
    QFETCH(std::vector<Mark>, expected);
    const auto marks = Run(mode, script);
    QCOMPARE(Describe(marks), Describe(expected));
}

void KeyerTest::weightMovesTimeFromTheSpaceIntoTheMark() {
    const std::vector<Action> held{{Dah, true, 0}, {Dah, false, 300}};
    QCOMPARE(Describe(Run(KeyerMode::IambicB, held, 75)), Describe(Ideal("--", 0, 30)));
    QCOMPARE(Describe(Run(KeyerMode::IambicA, held, 25)), Describe(Ideal("--", 0, -30)));
    // The element's rhythm stays: the next dit starts one dot after the dah's nominal end.
    const auto marks =
        Run(KeyerMode::IambicB,
            {{Dah, true, 0}, {Dit, true, 10}, {Dah, false, 100}, {Dit, false, 100}}, 75);
    QCOMPARE(Describe(marks), Describe({{0, 210}, {240, 330}}));
}

void KeyerTest::straightContactKeysInEveryMode() {
    for (const auto mode : {KeyerMode::Straight, KeyerMode::IambicA, KeyerMode::IambicB,
                            KeyerMode::Ultimatic, KeyerMode::Bug}) {
        const auto marks = Run(mode, {{Straight, true, 5}, {Straight, false, 95}});
        QCOMPARE(Describe(marks), QStringLiteral("5-95"));
    }
    // A straight contact held across a paddle element makes one long mark, not two.
    const auto marks =
        Run(KeyerMode::IambicA,
            {{Dit, true, 0}, {Dit, false, 10}, {Straight, true, 30}, {Straight, false, 200}});
    QCOMPARE(Describe(marks), QStringLiteral("0-200"));
}

void KeyerTest::repeatedContactStatesChangeNothing() {
    // A second "down" of a held paddle is no new press: no memory, no extra element.
    const auto marks = Run(
        KeyerMode::IambicA,
        {{Dah, true, 0}, {Dit, true, 10}, {Dit, true, 300}, {Dah, false, 500}, {Dit, false, 500}});
    QCOMPARE(Describe(marks), Describe(Ideal("-.-")));
}

REGISTER_TEST(KeyerTest);
#include "keyer_test.moc"
