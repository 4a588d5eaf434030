// morse2wav: writes a text as Morse code into a WAV file, sounding exactly as the trainer does:
// the same element codes, timing, tone control and synthesis, run on a virtual clock into
// memory instead of the sound card.

#include <sndfile.h>
#include <unistd.h>

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

#include "band_options.h"
#include "engine/morse_table.h"
#include "engine/timing.h"
#include "engine/tone_control.h"
#include "exercises/own_text.h"
#include "exercises/qrm_traffic.h"
#include "platform/band/band_mixer.h"
#include "platform/form1.h"
#include "platform/offline_output.h"
#include "platform/services.h"
#include "platform/tonwerk.h"
#include "platform/virtual_clock.h"
#include "state/shared_state.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kWriteError = 1;
// The longest text taken [characters]; the whole sound is held in memory before it is written.
constexpr int kMaxTextChars = 20000;
// The most of an input that a message quotes [characters].
constexpr int kExcerptChars = 40;

struct Options {
    int cpm = 60;
    double pitchHz = 800;
    int dashTenths = 30;
    double charSpacing = 1.0;
    double wordSpacing = 1.0;
    int rateHz = 48000;
    QString outputPath;
    QStringList words;
    bool help = false;
    BandSettings band = CleanBand();
};

const char* const kHelp =
    "Aufruf: morse2wav [OPTIONEN] -o DATEI [TEXT ...]\n"
    "Schreibt einen Text als Morsezeichen in eine WAV-Datei, genau so, wie ihn der\n"
    "Hörtrainer gibt. Ohne TEXT liest morse2wav den Text von der Standardeingabe.\n"
    "\n"
    "  --cpm N             Geschwindigkeit in Zeichen pro Minute (20 bis 200, Vorgabe 60)\n"
    "  --pitch HZ          Tonhöhe in Hertz (100 bis 4000, Vorgabe 800)\n"
    "  --dash N            Strichlänge in Zehnteln eines Punktes (30 bis 40, Vorgabe 30)\n"
    "  --char-spacing F    Zeichenabstand als Faktor (1,0 bis 5,0, Vorgabe 1,0)\n"
    "  --word-spacing F    Wortabstand als Faktor (1,0 bis 5,0, Vorgabe 1,0)\n"
    "  --rate HZ           Abtastrate der WAV-Datei (8000 bis 192000, Vorgabe 48000)\n"
    "  -o DATEI            die WAV-Datei, die geschrieben wird\n"
    "  -h, --help          diese Hilfe\n";

int Fail(int code, const QString& message) {
    std::cerr << "morse2wav: " << message.toStdString() << "\n";
    if (code == kUsageError) std::cerr << "Hilfe: morse2wav --help\n";
    return code;
}

// At most kExcerptChars characters of `text`, so that a message stays short whatever it quotes.
QString Excerpt(const QString& text) {
    return text.size() <= kExcerptChars ? text : text.left(kExcerptChars) + QStringLiteral("…");
}

std::optional<double> ParseNumber(QString text) {
    text.replace(u',', u'.');  // a German user may well write 1,5
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Parses the command line; an error message, or an empty string.
QString ParseArguments(const QStringList& args, Options& options) {
    bool textOnly = false;
    for (int i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        if (textOnly || !arg.startsWith(u'-') || arg == QStringLiteral("-")) {
            options.words << arg;
            continue;
        }
        if (arg == QStringLiteral("--")) {
            textOnly = true;
            continue;
        }
        if (arg == QStringLiteral("-h") || arg == QStringLiteral("--help")) {
            options.help = true;
            continue;
        }
        QString value;
        const int equals = arg.indexOf(u'=');
        if (arg.startsWith(QStringLiteral("--")) && equals > 0) {
            value = arg.mid(equals + 1);
            arg.truncate(equals);
        } else {
            static const QStringList withValue = {QStringLiteral("--cpm"),
                                                  QStringLiteral("--pitch"),
                                                  QStringLiteral("--dash"),
                                                  QStringLiteral("--char-spacing"),
                                                  QStringLiteral("--word-spacing"),
                                                  QStringLiteral("--rate"),
                                                  QStringLiteral("-o")};
            if (!withValue.contains(arg) && !IsBandOption(arg)) {
                return QStringLiteral("unbekannte Option „%1“").arg(Excerpt(arg));
            }
            if (i + 1 >= args.size()) {
                return QStringLiteral("Option „%1“ verlangt einen Wert").arg(arg);
            }
            value = args[++i];
        }
        if (arg == QStringLiteral("-o")) {
            options.outputPath = value;
            continue;
        }
        if (IsBandOption(arg)) {
            if (const QString error = ParseBandOption(arg, value, options.band); !error.isEmpty()) {
                return error;
            }
            continue;
        }
        const std::optional<double> number = ParseNumber(value);
        auto badValue = [&](const char* range) {
            return QStringLiteral("ungültiger Wert „%1“ für %2: erlaubt ist %3")
                .arg(Excerpt(value), arg, QString::fromUtf8(range));
        };
        auto wholeIn = [&](int low, int high) {
            return number && *number == static_cast<int>(*number) && *number >= low &&
                   *number <= high;
        };
        if (arg == QStringLiteral("--cpm")) {
            if (!wholeIn(20, 200)) return badValue("eine ganze Zahl von 20 bis 200");
            options.cpm = static_cast<int>(*number);
        } else if (arg == QStringLiteral("--pitch")) {
            if (!number || *number < 100 || *number > 4000) return badValue("100 bis 4000 Hz");
            options.pitchHz = *number;
        } else if (arg == QStringLiteral("--dash")) {
            if (!wholeIn(30, 40)) return badValue("eine ganze Zahl von 30 bis 40");
            options.dashTenths = static_cast<int>(*number);
        } else if (arg == QStringLiteral("--char-spacing")) {
            if (!number || *number < 1.0 || *number > 5.0) return badValue("1,0 bis 5,0");
            options.charSpacing = *number;
        } else if (arg == QStringLiteral("--word-spacing")) {
            if (!number || *number < 1.0 || *number > 5.0) return badValue("1,0 bis 5,0");
            options.wordSpacing = *number;
        } else if (arg == QStringLiteral("--rate")) {
            if (!wholeIn(8000, 192000)) return badValue("eine ganze Zahl von 8000 bis 192000");
            options.rateHz = static_cast<int>(*number);
        } else {
            return QStringLiteral("unbekannte Option „%1“").arg(Excerpt(arg));
        }
    }
    return {};
}

// Line ends and tabs become blanks, which the trainer sends as word gaps.
QString NormaliseText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar& c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t') c = u' ';
    }
    return text.trimmed();
}

bool HasSign(QChar c) {
    const int index = MorseIndex(c == u'\\' ? QChar(u'/') : c);
    return index >= 0 && !S().MorseTable[index].isEmpty();
}

// Sends the text as the trainer's sending loop does with sound on and no training effects:
// each character through PlayCharacter, the extra pause when the character spacing is
// widened, and the word gap for a blank.
void Send(const QString& text) {
    SharedState& s = S();
    for (QChar c : text) {
        if (c == u' ') {
            WaitSeconds(s.WordGap);
            continue;
        }
        if (c == u'\\') c = u'/';
        PlayCharacter(QString(c.toUpper()));
        if (s.CharSpacing > 1.0f) WaitSeconds(s.GapUnitMs / 1000.0f * (s.CharSpacing - 1.0f));
    }
}

bool WriteWave(const QString& path, const std::vector<int16_t>& samples, int rateHz,
               QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("der Ordner fehlt oder ist nicht beschreibbar");
        return false;
    }
    SF_INFO info{};
    info.samplerate = rateHz;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* wav = sf_open_fd(file.handle(), SFM_WRITE, &info, 0);
    const auto count = static_cast<sf_count_t>(samples.size());
    const bool written = wav && sf_writef_short(wav, samples.data(), count) == count;
    if (wav) sf_close(wav);
    if (!written || !file.commit()) {
        error = QStringLiteral("Schreibfehler (Datenträger voll?)");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    Options options;
    if (const QString error = ParseArguments(args, options); !error.isEmpty()) {
        return Fail(kUsageError, error);
    }
    if (options.help) {
        std::cout << kHelp << "\n" << BandHelpText();
        return 0;
    }
    if (options.outputPath.isEmpty()) {
        return Fail(kUsageError, QStringLiteral("keine Ausgabedatei angegeben (-o DATEI)"));
    }
    if (options.pitchHz >= options.rateHz / 2.0) {
        return Fail(kUsageError,
                    QStringLiteral("die Tonhöhe muss unter der halben Abtastrate liegen"));
    }

    QString text;
    if (options.words.isEmpty()) {
        QFile input;
        if (!input.open(STDIN_FILENO, QIODevice::ReadOnly)) {
            return Fail(kUsageError, QStringLiteral("die Standardeingabe lässt sich nicht lesen"));
        }
        const TextFile read = ReadText(input, kMaxTextChars);
        if (read.status == TextFileStatus::NotText) {
            return Fail(kUsageError, QStringLiteral("die Eingabe ist kein Text"));
        }
        if (input.error() != QFileDevice::NoError) {
            return Fail(kUsageError, QStringLiteral("die Standardeingabe lässt sich nicht lesen"));
        }
        if (!read.complete) {
            return Fail(kUsageError,
                        QStringLiteral("die Eingabe ist zu lang (höchstens %1 Zeichen)")
                            .arg(kMaxTextChars));
        }
        text = read.text;
    } else {
        text = options.words.join(u' ');
        if (text.size() > kMaxTextChars) {
            return Fail(
                kUsageError,
                QStringLiteral("der Text ist zu lang (höchstens %1 Zeichen)").arg(kMaxTextChars));
        }
    }
    text = NormaliseText(text);

    VirtualClock clock;
    OfflineOutput output(clock, options.rateHz);
    Tonwerk tonwerk(output, clock);
    Services& platform = Platform();
    platform.clock = &clock;
    platform.tonwerk = &tonwerk;
    BuildMorseTable();
    if (options.band.enabled) {
        output.setBandConditions(options.band, BuildQrmTraffic(options.band.seed));
    }

    QString skipped;
    bool sendable = false;
    for (QChar c : text) {
        if (c == u' ') continue;
        if (HasSign(c)) {
            sendable = true;
        } else if (!skipped.contains(c)) {
            skipped += c;
        }
    }
    if (!sendable) {
        return Fail(kUsageError, QStringLiteral("der Text enthält kein Zeichen, das sich morsen "
                                                "lässt"));
    }
    if (!skipped.isEmpty()) {
        std::cerr << "morse2wav: ohne Morsezeichen und daher stumm: "
                  << Excerpt(skipped).toStdString() << "\n";
    }

    SharedState& s = S();
    s.Speed = static_cast<float>(options.cpm);
    s.TonePitch = static_cast<float>(options.pitchHz);
    s.CharSpacing = static_cast<float>(options.charSpacing);
    s.WordSpacing = static_cast<float>(options.wordSpacing);
    form1().LT.setValue(options.dashTenths);
    ComputeTiming();
    Send(text);
    // The band fades out after the last sign, as it does in the trainer.
    if (options.band.enabled) clock.advance(BandMixer::TailSeconds());

    QString error;
    if (!WriteWave(options.outputPath, output.samples(), options.rateHz, error)) {
        return Fail(kWriteError,
                    QStringLiteral("kann „%1“ nicht schreiben: %2").arg(options.outputPath, error));
    }
    return 0;
}
