#include <sndfile.h>

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "engine/send_character.h"
#include "engine/timing.h"
#include "support/audio_analysis.h"
#include "support/registry.h"
#include "support/rig.h"

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

std::vector<int16_t> ReadWave(const QString& path, int* rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) return {};
    std::vector<int16_t> samples(static_cast<size_t>(info.frames));
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    *rate = info.channels == 1 ? info.samplerate : -1;
    return samples;
}
}  // namespace

class Morse2WavTest : public QObject {
    Q_OBJECT
private slots:
    void soundsExactlyLikeTheTrainer();
    void readsStandardInput();
    void rejectsWhatItCannotDo();
    void bandConditionsRepeatWithTheirSeed();
};

void Morse2WavTest::soundsExactlyLikeTheTrainer() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cq.wav"));
    const QString text = QStringLiteral("CQ de DL1ABC");
    const Result result = Run({"--cpm", "85", "--pitch", "650", "--dash", "35", "--char-spacing",
                               "1,5", "--word-spacing=2", "-o", path, "CQ", "de", "DL1ABC"});
    QCOMPARE(result.exitCode, 0);
    int rate = 0;
    const auto exported = ReadWave(path, &rate);
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
    const auto e = ReadWave(path, &rate);
    QCOMPARE(rate, 22050);
    QCOMPARE(static_cast<int64_t>(e.size()), static_cast<int64_t>((77 + 231 + 77 + 77) * 22.05));
}

void Morse2WavTest::readsStandardInput() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.wav"));
    const Result result = Run({"--cpm", "150", "-o", path}, "paris\nqrz?\n");
    QCOMPARE(result.exitCode, 0);
    int rate = 0;
    const auto samples = ReadWave(path, &rate);
    QCOMPARE(audio::DecodeMorse(samples, rate), QStringLiteral("PARIS QRZ?"));
    // Characters without a sign are named on standard error and stay silent.
    const Result mixed = Run({"-o", path, "ÄB!"});
    QCOMPARE(mixed.exitCode, 0);
    QVERIFY(mixed.err.contains(QStringLiteral("Ä!")));
    const auto b = ReadWave(path, &rate);
    QCOMPARE(audio::DecodeMorse(b, rate), QStringLiteral("B"));
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
    };
    for (const auto& c : cases) {
        const Result result = Run(c.args);
        QCOMPARE(result.exitCode, c.exitCode);
        QVERIFY2(result.err.contains(QString::fromUtf8(c.message)), qPrintable(result.err));
        QVERIFY(!QFile::exists(path));
    }
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
        return result.exitCode == 0 ? ReadWave(path, &rate) : std::vector<int16_t>{};
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
    const auto plain = ReadWave(clean, &rate);
    QCOMPARE(first.size(), plain.size() + 8000 * 5 / 2);
}

REGISTER_TEST(Morse2WavTest);
#include "morse2wav_test.moc"
