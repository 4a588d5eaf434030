#include <sndfile.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "engine/send_character.h"
#include "engine/timing.h"
#include "support/audio_analysis.h"
#include "support/registry.h"
#include "support/sound_file.h"
#include "support/rig.h"
#include "text_stream.h"

namespace {
struct Result {
    int exitCode = -1;
    QString out, err;
};

Result Run(const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    process.start(
        qEnvironmentVariable("TRAINER_BINARY_DIR") + QStringLiteral("/tools/morse2wav/morse2wav"),
        args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Frames and rate of any sound file libsndfile reads.
SF_INFO Probe(const QString& path) {
    SF_INFO info{};
    if (SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info)) {
        sf_close(file);
    }
    return info;
}

}  // namespace

class Morse2WavTest : public QObject {
    Q_OBJECT
private slots:
    void soundsExactlyLikeTheTrainer();
    void readsStandardInput();
    void rejectsWhatItCannotDo();
    void bandConditionsRepeatWithTheirSeed();
    void writesEveryFormat();
    void splitsAtWordGaps();
    void readsTextInPieces();
    void errorOutputIsPlainAndHarmless();
};

void Morse2WavTest::soundsExactlyLikeTheTrainer() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cq.wav"));
    const QString text = QStringLiteral("CQ de DL1ABC");
    const Result result = Run({"--cpm", "85", "--pitch", "650", "--dash", "35", "--char-spacing",
                               "1,5", "--word-spacing=2", "-o", path, "CQ", "de", "DL1ABC"});
    QCOMPARE(result.exitCode, 0);
    int rate = 0;
    const auto exported = ReadSoundFile(path, &rate);
    QCOMPARE(rate, 48000);

    // The trainer itself, sending the same text with the same settings.
    TestRig rig;
    rig.startUp();
    rig.f.Ohr.setValue(1);
    rig.f.Mund.setValue(0);
    rig.s.Speed = 85;
    rig.s.TonePitch = 650;
    rig.s.CharSpacing = 1.5f;
    rig.s.WordSpacing = 2.0f;
    rig.f.LT.setValue(35);
    ComputeTiming();
    // Start on a whole second, a sample boundary, as the export does at time zero.
    const double now = rig.clock.monotonicSeconds();
    rig.clock.advance(std::floor(now) + 1 - now);
    const size_t start = rig.output.samples().size();
    for (QChar c : text) {
        rig.s.CurrentChar = QString(c);
        SendCharacter();
    }
    const auto& sent = rig.output.samples();
    QCOMPARE(exported.size(), sent.size() - start);
    QVERIFY(std::equal(exported.begin(), exported.end(), sent.begin() + start));
    QCOMPARE(audio::DecodeMorse(exported, rate), text.toUpper());

    // Another rate keeps the timing.
    const Result slow = Run({"--rate", "22050", "-o", path, "E"});
    QCOMPARE(slow.exitCode, 0);
    const auto e = ReadSoundFile(path, &rate);
    QCOMPARE(rate, 22050);
    QCOMPARE(static_cast<int64_t>(e.size()), static_cast<int64_t>((77 + 231 + 77 + 77) * 22.05));
}

void Morse2WavTest::readsStandardInput() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.wav"));
    const Result result = Run({"--cpm", "150", "-o", path}, "paris\nqrz?\n");
    QCOMPARE(result.exitCode, 0);
    int rate = 0;
    const auto samples = ReadSoundFile(path, &rate);
    QCOMPARE(audio::DecodeMorse(samples, rate), QStringLiteral("PARIS QRZ?"));
    // Characters without a sign are named on standard error and stay silent.
    const Result mixed = Run({"-o", path, "ÄB!"});
    QCOMPARE(mixed.exitCode, 0);
    QVERIFY(mixed.err.contains(QStringLiteral("Ä!")));
    const auto b = ReadSoundFile(path, &rate);
    QCOMPARE(audio::DecodeMorse(b, rate), QStringLiteral("B"));
    // Blank lines and blanks before the first character: the sound starts with it all the same.
    QCOMPARE(Run({"-o", path, "B"}).exitCode, 0);
    const auto plain = ReadSoundFile(path, &rate);
    QCOMPARE(Run({"-o", path}, "\n \r\n\tB\n").exitCode, 0);
    QVERIFY(!plain.empty() && ReadSoundFile(path, &rate) == plain);
}

void Morse2WavTest::rejectsWhatItCannotDo() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.wav"));
    const struct {
        QStringList args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"--speed", "60", "-o", path, "A"}, 2, "unbekannte Option"},
        {{"--cpm", "10", "-o", path, "A"}, 2, "20 bis 200"},
        {{"--cpm", "sechzig", "-o", path, "A"}, 2, "ungültiger Wert"},
        {{"--dash", "45", "-o", path, "A"}, 2, "30 bis 40"},
        {{"--char-spacing", "0.5", "-o", path, "A"}, 2, "1,0 bis 5,0"},
        {{"--char-spacing", "NaN", "-o", path, "A"}, 2, "1,0 bis 5,0"},
        {{"--word-spacing=inf", "-o", path, "A"}, 2, "1,0 bis 5,0"},
        {{"--pitch", "4000", "--rate", "8000", "-o", path, "A"}, 2, "halben Abtastrate"},
        {{"--rate", "8000", "--pitch", "3900", "--snr", "20", "-o", path, "A"}, 2, "0,45-Fache"},
        {{"--rate", "8000", "--pitch", "3000", "--filter", "2400", "--qrn", "5", "-o", path, "A"},
         2,
         "schmaleres Filter"},
        {{"-o"}, 2, "verlangt einen Wert"},
        {{"A"}, 2, "keine Ausgabedatei"},
        {{"-o", path, "äöü !"}, 2, "kein Zeichen"},
        {{"-o", dir.filePath(QStringLiteral("fehlt/x.wav")), "A"}, 1, "nicht schreiben"},
        {{"--snr", "31", "-o", path, "A"}, 2, "-10 bis 30"},
        {{"--filter", "300", "-o", path, "A"}, 2, "250, 500, 1000 oder 2400"},
        {{"--qsb-depth", "-1", "-o", path, "A"}, 2, "0 bis 30"},
        {{"--qsb-period=1", "-o", path, "A"}, 2, "2 bis 30"},
        {{"--qrm-offset", "900", "-o", path, "A"}, 2, "50 bis 800"},
        {{"--qrm-level", "7", "-o", path, "A"}, 2, "-20 bis 6"},
        {{"--qrn", "2.5", "-o", path, "A"}, 2, "0 bis 60"},
        {{"--seed", "nan", "-o", path, "A"}, 2, "0 bis 4294967295"},
        {{"-o", dir.filePath(QStringLiteral("x.aiff")), "A"}, 2, "unbekanntes Dateiformat"},
        {{"--split-minutes", "0", "-o", path, "A"}, 2, "1 bis 1440"},
    };
    for (const auto& c : cases) {
        const Result result = Run(c.args);
        QCOMPARE(result.exitCode, c.exitCode);
        QVERIFY2(result.err.contains(QString::fromUtf8(c.message)), qPrintable(result.err));
        QVERIFY(!QFile::exists(path));
    }
    // The highest pitch whose filter still fits gives noise at its set level, not at full scale.
    const Result high =
        Run({"--rate", "8000", "--pitch", "3350", "--snr", "20", "-o", path, "EEEEE"});
    QVERIFY2(high.exitCode == 0, qPrintable(high.err));
    int rate = 0;
    const std::vector<int16_t> samples = ReadSoundFile(path, &rate);
    QVERIFY(!samples.empty());
    int clipped = 0;
    for (int16_t v : samples) clipped += std::abs(v) >= 32000;
    QCOMPARE(clipped, 0);
    QVERIFY(QFile::remove(path));

    // Input that is not text is refused in a line or two, never echoed.
    QByteArray random(1 << 20, '\0');
    for (char& byte : random) byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
    for (const QByteArray& input : {random, QByteArray(4096, '\0')}) {
        const Result result = Run({"-o", path}, input);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains(QStringLiteral("kein Text")), qPrintable(result.err));
        QVERIFY(result.err.toUtf8().size() < 300);
        QVERIFY(!QFile::exists(path));
    }
    // A rate the format cannot take is refused before anything is written.
    const QString mp3 = dir.filePath(QStringLiteral("x.mp3"));
    const Result fast = Run({"--rate", "96000", "-o", mp3, "A"});
    QCOMPARE(fast.exitCode, 1);
    QVERIFY2(fast.err.contains(QStringLiteral("96000 Hz")), qPrintable(fast.err));
    QVERIFY(!QFile::exists(mp3));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    const Result help = Run({"--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith(QStringLiteral("Aufruf: morse2wav")));
    QVERIFY(help.out.endsWith(u'\n'));
}

void Morse2WavTest::bandConditionsRepeatWithTheirSeed() {
    QTemporaryDir dir;
    const QStringList band = {"--rate",      "8000", "--snr",        "5", "--filter",     "1000",
                              "--qsb-depth", "12",   "--qsb-period", "3", "--qrm-offset", "250",
                              "--qrm-level", "-3",   "--qrn",        "20"};
    const auto render = [&](const QStringList& extra, const QString& name) {
        const QString path = dir.filePath(name);
        const Result result = Run(band + extra + QStringList{"-o", path, "CQ", "DE", "DL1ABC"});
        int rate = 0;
        return result.exitCode == 0 ? ReadSoundFile(path, &rate) : std::vector<int16_t>{};
    };
    const auto first = render({"--seed", "42"}, "a.wav");
    QVERIFY(!first.empty());
    QCOMPARE(render({"--seed=42"}, "b.wav"), first);
    QVERIFY(render({"--seed", "43"}, "c.wav") != first);

    // The clean file is as long as the text; the band adds its fade-out after the last sign.
    const QString clean = dir.filePath(QStringLiteral("clean.wav"));
    QCOMPARE(Run({"--rate", "8000", "--seed", "42", "-o", clean, "CQ", "DE", "DL1ABC"}).exitCode,
             0);
    int rate = 0;
    const auto plain = ReadSoundFile(clean, &rate);
    QCOMPARE(first.size(), plain.size() + 8000 * 5 / 2);
}

void Morse2WavTest::writesEveryFormat() {
    QTemporaryDir dir;
    // Each S: three dots with their gaps, the character gap of a dash and one more dot.
    const double seconds = 3 * (3 * 2 + 3 + 1) * 46.2 / 1000;
    for (const char* suffix : {"wav", "flac", "ogg", "opus", "mp3"}) {
        const QString path = dir.filePath(QStringLiteral("s.") + QLatin1String(suffix));
        const Result result = Run({"--cpm", "100", "-o", path, "SSS"});
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        const SF_INFO info = Probe(path);
        QCOMPARE(info.channels, 1);
        QCOMPARE(info.samplerate, 48000);
        const double read = static_cast<double>(info.frames) / info.samplerate;
        // Lossless formats hold every sample; the lossy encoders may pad their last frame.
        const bool lossless = QLatin1String(suffix) == QLatin1String("wav") ||
                              QLatin1String(suffix) == QLatin1String("flac");
        QVERIFY2(std::abs(read - seconds) < (lossless ? 1e-4 : 0.08),
                 qPrintable(QStringLiteral("%1: %2 s").arg(QLatin1String(suffix)).arg(read)));
    }
    // Only the finished files are left, nothing half written beside them.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);
}

void Morse2WavTest::splitsAtWordGaps() {
    QTemporaryDir dir;
    QByteArray text;
    for (int i = 0; i < 60; ++i) text += "PARIS MORSE CODE\n";
    const Result whole = Run({"--cpm", "200", "-o", dir.filePath(QStringLiteral("all.wav"))}, text);
    QCOMPARE(whole.exitCode, 0);
    const Result split =
        Run({"--cpm", "200", "--split-minutes", "1", "-o", dir.filePath(QStringLiteral("t.wav"))},
            text);
    QCOMPARE(split.exitCode, 0);
    int rate = 0;
    const auto all = ReadSoundFile(dir.filePath(QStringLiteral("all.wav")), &rate);
    std::vector<int16_t> joined;
    int files = 0;
    for (;
         QFile::exists(dir.filePath(QStringLiteral("t-%1.wav").arg(files + 1, 2, 10, QChar(u'0'))));
         ++files) {
        const auto part = ReadSoundFile(
            dir.filePath(QStringLiteral("t-%1.wav").arg(files + 1, 2, 10, QChar(u'0'))), &rate);
        // Every cut lies in a gap, and every file but the last has its minute.
        QVERIFY(!part.empty() && part.front() == 0 && part.back() == 0);
        joined.insert(joined.end(), part.begin(), part.end());
        if (joined.size() < all.size()) QVERIFY(part.size() >= size_t(60 * 48000));
    }
    QVERIFY(all.size() > size_t(2 * 60 * 48000));
    QCOMPARE(files, static_cast<int>(all.size() / (60 * 48000)) + 1);
    QVERIFY(joined == all);
}

void Morse2WavTest::readsTextInPieces() {
    // A UTF-8 character and a CR LF cut by the edge of a read, and a line end in every form.
    QByteArray bytes(64 * 1024 - 1, 'E');
    bytes += "\xc3\x84";
    bytes += QByteArray(64 * 1024 - 2, 'E');
    bytes += "\r\nT\tA\rB\n";
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TextStream stream(buffer);
    QString all, piece;
    int pieces = 0;
    while (stream.next(piece)) {
        all += piece;
        ++pieces;
    }
    QVERIFY(stream.error().isEmpty());
    QVERIFY(pieces > 1);
    QCOMPARE(all, QString(64 * 1024 - 1, u'E') + QStringLiteral("Ä") +
                      QString(64 * 1024 - 2, u'E') + QStringLiteral(" T A B "));
    QCOMPARE(stream.progress(), 1.0);

    // A four-byte character cut after its third byte, and UTF-8 after it.
    QByteArray wide(64 * 1024 - 3, 'E');
    wide += "\xf0\x9f\x93\xbb \xc3\x84";
    QBuffer fourth(&wide);
    fourth.open(QIODevice::ReadOnly);
    TextStream split(fourth);
    all.clear();
    while (split.next(piece)) all += piece;
    QCOMPARE(all, QString(64 * 1024 - 3, u'E') + QStringLiteral("\U0001F4FB Ä"));

    // Not UTF-8: the rest is read as Windows-1252.
    QByteArray latin("Gr\xfc\xdf \x80");
    QBuffer second(&latin);
    second.open(QIODevice::ReadOnly);
    TextStream old(second);
    QVERIFY(old.next(piece));
    QCOMPARE(piece, QStringLiteral("Grüß €"));
    QVERIFY(!old.next(piece) && old.error().isEmpty());

    // NUL bytes are refused, also after a good start.
    QByteArray binary = QByteArray(70000, 'A') + QByteArray(3, '\0');
    QBuffer third(&binary);
    third.open(QIODevice::ReadOnly);
    TextStream bad(third);
    while (bad.next(piece)) {
    }
    QVERIFY(bad.error().contains(QStringLiteral("kein Text")));
}

void Morse2WavTest::errorOutputIsPlainAndHarmless() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.wav"));
    const QChar escape(0x1B);
    // Into a pipe a message is plain text: no code to clear a progress line.
    const Result bad = Run({"--speed", "60", "-o", path, "A"});
    QCOMPARE(bad.exitCode, 2);
    QVERIFY2(bad.err.startsWith(QStringLiteral("morse2wav: ")), qPrintable(bad.err));
    QVERIFY(!bad.err.contains(escape) && !bad.err.contains(u'\r'));

    // Quoted input shows its control characters as escapes.
    const Result option = Run({"--\x1b[2J", "-o", path, "A"});
    QCOMPARE(option.exitCode, 2);
    QVERIFY2(option.err.contains(QStringLiteral("„--\\x1B[2J“")), qPrintable(option.err));
    QVERIFY(!option.err.contains(escape));
    // So does a file name that the format check quotes.
    const Result name = Run({"-o", dir.filePath(QStringLiteral("a\x1b[2Jb.xyz")), "A"});
    QCOMPARE(name.exitCode, 2);
    QVERIFY2(name.err.contains(QStringLiteral("a\\x1B[2Jb.xyz")), qPrintable(name.err));
    QVERIFY(!name.err.contains(escape));
    const QByteArray text = QByteArray("paris ").repeated(40) + "\x1b[31m paris\n";
    const Result quoted = Run({"-o", path}, text);
    QCOMPARE(quoted.exitCode, 0);
    QVERIFY2(quoted.err.contains(QStringLiteral("\\x1B")), qPrintable(quoted.err));
    QVERIFY(!quoted.err.contains(escape));
    QVERIFY(QFile::remove(path));

    // Bytes that are mostly not text are refused even without a NUL; one stray control
    // character in a hundred is still text, two are not.
    QRandomGenerator random(24);
    QByteArray noise(300, 'x');
    for (char& byte : noise) byte = static_cast<char>(random.bounded(1, 256));
    const struct {
        QByteArray input;
        int exitCode;
    } cases[] = {
        {noise, 2},
        {QByteArray(99, 'e') + '\x07', 0},
        {QByteArray(98, 'e') + "\x07\x07", 2},
        {QByteArray(90, 'e') + QByteArray("\t\r\n").repeated(3) + '\x07', 0},
    };
    for (const auto& c : cases) {
        const Result result = Run({"-o", path}, c.input);
        QCOMPARE(result.exitCode, c.exitCode);
        if (c.exitCode == 2) {
            QVERIFY2(result.err.contains(QStringLiteral("kein Text")), qPrintable(result.err));
            QVERIFY(!QFile::exists(path));
        }
        QFile::remove(path);
    }
}

REGISTER_TEST(Morse2WavTest);
#include "morse2wav_test.moc"
