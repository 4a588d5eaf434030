#include <QTest>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "keyinput/keyboard_keys.h"
#include "keyinput/midi_key.h"
#include "keyinput/serial_key.h"
#include "support/registry.h"

namespace {
// Collects what an input delivers, from whatever thread.
class Collector : public ContactSink {
public:
    void contact(const ContactEvent& event) override {
        std::lock_guard lock(mutex_);
        events_.push_back(event);
        changed_.notify_all();
    }
    // Waits (for a device thread) until `count` events have come; the limit only keeps a broken
    // build from hanging.
    std::vector<ContactEvent> waitFor(size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(10), [&] { return events_.size() >= count; });
        return events_;
    }
    std::vector<ContactEvent> events() {
        std::lock_guard lock(mutex_);
        return events_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<ContactEvent> events_;
};

// Status lines from an input's thread.
struct StatusLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<QString, bool>> lines;
    InputStatus sink() {
        return [this](const QString& text, bool problem) {
            std::lock_guard lock(mutex);
            lines.emplace_back(text, problem);
            changed.notify_all();
        };
    }
    std::vector<std::pair<QString, bool>> waitFor(size_t count) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return lines.size() >= count; });
        return lines;
    }
};

// A port whose lines the test sets; each change wakes the waiting thread, stamped with the
// moment the test gives.
class FakeLines : public ModemLines {
public:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::pair<int, int64_t>> changes;  // lines (or -errno), moment
        int lines = 0;
        int64_t now = 0;
        int openError = 0;
        bool interrupted = false;
        bool supplyRaised = false;
        bool open = false;
        void set(int l, int64_t at) {
            std::lock_guard lock(mutex);
            changes.emplace_back(l, at);
            changed.notify_all();
        }
    };
    explicit FakeLines(Shared& s) : s_(s) {}
    int open(const std::string&) override {
        std::lock_guard lock(s_.mutex);
        s_.open = s_.openError == 0;
        return s_.openError;
    }
    int raiseSupply() override {
        std::lock_guard lock(s_.mutex);
        s_.supplyRaised = true;
        return 0;
    }
    int waitForChange() override {
        std::unique_lock lock(s_.mutex);
        s_.changed.wait(lock, [&] { return s_.interrupted || !s_.changes.empty(); });
        if (s_.interrupted) {
            s_.interrupted = false;
            return EINTR;
        }
        const auto [lines, at] = s_.changes.front();
        s_.changes.pop_front();
        s_.now = at;
        if (lines < 0) return -lines;
        s_.lines = lines;
        return 0;
    }
    int read(int& lines) override {
        std::lock_guard lock(s_.mutex);
        lines = s_.lines;
        return 0;
    }
    void interrupt() override {
        std::lock_guard lock(s_.mutex);
        s_.interrupted = true;
        s_.changed.notify_all();
    }
    void close() override {
        std::lock_guard lock(s_.mutex);
        s_.open = false;
    }
    int64_t nowUs() override {
        std::lock_guard lock(s_.mutex);
        return s_.now;
    }

private:
    Shared& s_;
};

// A sequencer with ports and a stream of messages the test scripts.
class FakeSequencer : public MidiSequencer {
public:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<MidiPort> ports;
        std::vector<MidiPort> connected;
        std::deque<std::pair<MidiMessage, int64_t>> messages;
        int64_t now = 0;
        bool interrupted = false;
        void send(MidiMessage m, int64_t at) {
            std::lock_guard lock(mutex);
            messages.emplace_back(m, at);
            changed.notify_all();
        }
    };
    explicit FakeSequencer(Shared& s) : s_(s) {}
    int open() override { return 0; }
    std::vector<MidiPort> ports() override {
        std::lock_guard lock(s_.mutex);
        return s_.ports;
    }
    int connect(const MidiPort& port) override {
        std::lock_guard lock(s_.mutex);
        s_.connected.push_back(port);
        return 0;
    }
    int read(MidiMessage& message) override {
        std::unique_lock lock(s_.mutex);
        s_.changed.wait(lock, [&] { return s_.interrupted || !s_.messages.empty(); });
        if (s_.interrupted) {
            s_.interrupted = false;
            return EINTR;
        }
        message = s_.messages.front().first;
        s_.now = s_.messages.front().second;
        s_.messages.pop_front();
        return 0;
    }
    void interrupt() override {
        std::lock_guard lock(s_.mutex);
        s_.interrupted = true;
        s_.changed.notify_all();
    }
    void close() override {}
    int64_t nowUs() override {
        std::lock_guard lock(s_.mutex);
        return s_.now;
    }

private:
    Shared& s_;
};

MidiMessage Note(bool on, int note, int velocity, MidiPort port) {
    return {on ? MidiMessage::Kind::NoteOn : MidiMessage::Kind::NoteOff, note, velocity, port};
}

constexpr int kCts = ModemLines::kCts;
constexpr int kDsr = ModemLines::kDsr;
}  // namespace

class KeyInputsTest : public QObject {
    Q_OBJECT
private slots:
    void serialLinesBecomeContactsWithTheirMoments();
    void serialPortVanishingMidElementOpensTheContacts();
    void serialOpenFailuresSayHowToMendThem();
    void midiNotesBecomeContacts();
    void midiAdapterUnpluggedAndFoundAgain();
    void midiUnknownPortIsRefused();
    void keyboardKeysTellCtrlKeysApartAndLearn();
    void inputDropsRepeatedStates();
};

void KeyInputsTest::serialLinesBecomeContactsWithTheirMoments() {
    Collector sink;
    FakeLines::Shared port;
    port.lines = kCts;  // the dit paddle is already held when the port opens
    port.now = 1000;
    SerialKey key(sink, std::make_unique<FakeLines>(port), {});
    QString error;
    QVERIFY(key.start(QStringLiteral("/dev/ttyUSB0"), &error));
    QVERIFY(port.supplyRaised);
    port.set(kCts | kDsr, 2000);
    port.set(kDsr, 3000);
    port.set(0, 4500);
    port.set(0, 4600);  // a wake-up without a change is no event
    port.set(kCts, 5000);
    const auto events = sink.waitFor(5);
    QCOMPARE(events, std::vector<ContactEvent>({{Contact::Dit, true, 1000},
                                                {Contact::Dah, true, 2000},
                                                {Contact::Dit, false, 3000},
                                                {Contact::Dah, false, 4500},
                                                {Contact::Dit, true, 5000}}));
    // Stopping ends the thread from its wait and opens the held contact.
    key.stop();
    QVERIFY(!port.open);
    QCOMPARE(sink.events().back(), (ContactEvent{Contact::Dit, false, 5000}));
}

void KeyInputsTest::serialPortVanishingMidElementOpensTheContacts() {
    Collector sink;
    StatusLog status;
    FakeLines::Shared port;
    SerialKey key(sink, std::make_unique<FakeLines>(port), status.sink());
    QVERIFY(key.start(QStringLiteral("/dev/ttyUSB1"), nullptr));
    port.set(kCts, 100);
    port.set(-EIO, 250);  // unplugged while the paddle is held
    const auto lines = status.waitFor(1);
    QCOMPARE(lines.size(), size_t(1));
    QVERIFY(lines[0].second);
    QVERIFY(lines[0].first.contains(QStringLiteral("/dev/ttyUSB1")));
    QVERIFY(lines[0].first.contains(QStringLiteral("nicht mehr erreichbar")));
    QCOMPARE(sink.events(),
             std::vector<ContactEvent>({{Contact::Dit, true, 100}, {Contact::Dit, false, 250}}));
    QVERIFY(!key.anyDown());
    // The input can be started again on another port afterwards.
    key.stop();
    QVERIFY(key.start(QStringLiteral("/dev/ttyUSB2"), nullptr));
    key.stop();
}

void KeyInputsTest::serialOpenFailuresSayHowToMendThem() {
    Collector sink;
    FakeLines::Shared port;
    port.openError = EACCES;
    SerialKey key(sink, std::make_unique<FakeLines>(port), {});
    QString error;
    QVERIFY(!key.start(QStringLiteral("/dev/ttyUSB0"), &error));
    QVERIFY(!key.running());
    QVERIFY(error.contains(QStringLiteral("dialout")));
    QVERIFY(error.contains(QStringLiteral("usermod")));
    QVERIFY(SerialKey::OpenErrorMessage(QStringLiteral("/dev/x"), ENOENT)
                .contains(QStringLiteral("eingesteckt")));
    QVERIFY(SerialKey::OpenErrorMessage(QStringLiteral("/dev/x"), EBUSY)
                .contains(QStringLiteral("anderen Programm")));
    QVERIFY(SerialKey::OpenErrorMessage(QStringLiteral("/dev/x"), ENOTTY)
                .contains(QStringLiteral("Steuerleitungen")));
}

void KeyInputsTest::midiNotesBecomeContacts() {
    QCOMPARE(MidiKey::ContactOfNote(0), Contact::Straight);
    QCOMPARE(MidiKey::ContactOfNote(1), Contact::Dit);
    QCOMPARE(MidiKey::ContactOfNote(20), Contact::Dit);
    QCOMPARE(MidiKey::ContactOfNote(2), Contact::Dah);
    QCOMPARE(MidiKey::ContactOfNote(21), Contact::Dah);
    QVERIFY(!MidiKey::ContactOfNote(3));
    QVERIFY(!MidiKey::ContactOfNote(60));

    Collector sink;
    FakeSequencer::Shared seq;
    const MidiPort adapter{24, 0, "CW-Key:MIDI 1"};
    seq.ports = {{14, 0, "Midi Through:Port-0"}, adapter};
    MidiKey key(sink, std::make_unique<FakeSequencer>(seq), {});
    QString error;
    QCOMPARE(key.ports(&error)->size(), size_t(2));
    QVERIFY(key.start("CW-Key:MIDI 1", &error));
    QCOMPARE(seq.connected, std::vector<MidiPort>({adapter}));
    seq.send(Note(true, 20, 100, adapter), 10);
    seq.send({MidiMessage::Kind::Other, 0, 0, adapter}, 11);  // a controller, a clock tick ...
    seq.send(Note(true, 60, 100, adapter), 12);               // a note that is no contact
    seq.send(Note(true, 21, 1, adapter), 20);
    seq.send(Note(true, 20, 0, adapter), 30);  // velocity 0: released
    seq.send(Note(false, 21, 64, adapter), 40);
    seq.send(Note(true, 0, 90, adapter), 50);
    seq.send(Note(false, 0, 0, adapter), 60);
    const auto events = sink.waitFor(6);
    QCOMPARE(events, std::vector<ContactEvent>({{Contact::Dit, true, 10},
                                                {Contact::Dah, true, 20},
                                                {Contact::Dit, false, 30},
                                                {Contact::Dah, false, 40},
                                                {Contact::Straight, true, 50},
                                                {Contact::Straight, false, 60}}));
    key.stop();
    QCOMPARE(key.ignored(), uint64_t(2));
}

void KeyInputsTest::midiAdapterUnpluggedAndFoundAgain() {
    Collector sink;
    StatusLog status;
    FakeSequencer::Shared seq;
    const MidiPort adapter{24, 0, "CW-Key:MIDI 1"};
    seq.ports = {adapter};
    MidiKey key(sink, std::make_unique<FakeSequencer>(seq), status.sink());
    QVERIFY(key.start("CW-Key:MIDI 1", nullptr));
    seq.send(Note(true, 1, 100, adapter), 10);
    // Another client going changes nothing; the adapter going opens the held contact.
    seq.send({MidiMessage::Kind::PortGone, 0, 0, {30, 0, {}}}, 15);
    seq.send({MidiMessage::Kind::PortGone, 0, 0, {24, -1, {}}}, 20);
    auto lines = status.waitFor(1);
    QVERIFY(lines[0].second);
    QVERIFY(lines[0].first.contains(QStringLiteral("getrennt")));
    QCOMPARE(sink.waitFor(2),
             std::vector<ContactEvent>({{Contact::Dit, true, 10}, {Contact::Dit, false, 20}}));
    // Back under a new client number: connected again, and its notes count.
    const MidiPort back{28, 0, "CW-Key:MIDI 1"};
    seq.send({MidiMessage::Kind::PortAppeared, 0, 0, {31, 0, "Other:Port"}}, 25);
    seq.send({MidiMessage::Kind::PortAppeared, 0, 0, back}, 30);
    seq.send(Note(true, 2, 100, back), 40);
    lines = status.waitFor(2);
    QVERIFY(!lines[1].second);
    QVERIFY(lines[1].first.contains(QStringLiteral("wieder verbunden")));
    QCOMPARE(sink.waitFor(3).back(), (ContactEvent{Contact::Dah, true, 40}));
    {
        std::lock_guard lock(seq.mutex);
        QCOMPARE(seq.connected, std::vector<MidiPort>({adapter, back}));
    }
    key.stop();
    QCOMPARE(sink.events().back(), (ContactEvent{Contact::Dah, false, 40}));
}

void KeyInputsTest::midiUnknownPortIsRefused() {
    Collector sink;
    FakeSequencer::Shared seq;
    MidiKey key(sink, std::make_unique<FakeSequencer>(seq), {});
    QString error;
    QVERIFY(!key.start("CW-Key:MIDI 1", &error));
    QVERIFY(error.contains(QStringLiteral("CW-Key:MIDI 1")));
}

void KeyInputsTest::keyboardKeysTellCtrlKeysApartAndLearn() {
    KeyboardKeys keys;
    QCOMPARE(keys.contactOf(KeyboardKeys::kLeftCtrl), Contact::Dit);
    QCOMPARE(keys.contactOf(KeyboardKeys::kRightCtrl), Contact::Dah);
    QVERIFY(!keys.contactOf(65));  // space
    QVERIFY(!keys.contactOf(0));

    // The straight key: one key taught.
    keys.beginLearning(false);
    QCOMPARE(keys.learning(), Contact::Straight);
    QVERIFY(!keys.learn(65));
    QCOMPARE(keys.contactOf(65), Contact::Straight);

    // Paddles: dit, then dah; pressing the dit key again does not make it the dah paddle.
    keys.beginLearning(true);
    QCOMPARE(keys.learn(50), Contact::Dah);
    QCOMPARE(keys.learn(50), Contact::Dah);
    QVERIFY(!keys.learn(62));
    QCOMPARE(keys.contactOf(50), Contact::Dit);
    QCOMPARE(keys.contactOf(62), Contact::Dah);
    QVERIFY(!keys.contactOf(KeyboardKeys::kLeftCtrl));
    // A key taught for another contact leaves its old one.
    keys.beginLearning(false);
    keys.learn(50);
    QCOMPARE(keys.contactOf(50), Contact::Straight);
    QCOMPARE(keys.scanCode(Contact::Dit), 0u);
}

void KeyInputsTest::inputDropsRepeatedStates() {
    Collector sink;
    KeyInput input(sink);
    input.deliver(Contact::Dit, true, 1);
    input.deliver(Contact::Dit, true, 2);  // auto-repeat
    input.deliver(Contact::Dit, true, 3);
    input.deliver(Contact::Straight, false, 4);  // never down
    input.deliver(Contact::Dah, true, 5);
    input.releaseAll(9);
    QCOMPARE(sink.events(), std::vector<ContactEvent>({{Contact::Dit, true, 1},
                                                       {Contact::Dah, true, 5},
                                                       {Contact::Dit, false, 9},
                                                       {Contact::Dah, false, 9}}));
}

REGISTER_TEST(KeyInputsTest);
#include "key_inputs_test.moc"
