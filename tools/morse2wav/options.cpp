#include "options.h"

#include <QFileInfo>

#include "option_value.h"
#include "sound/files/audio_file_writer.h"

namespace {
// The most of an input that a message quotes [characters].
constexpr int kExcerptChars = 40;

// Checks the options against one another once all are read.
QString CheckTogether(const Options& options) {
    if (options.help) return {};
    if (options.outputPath.isEmpty()) {
        return QStringLiteral("keine Ausgabedatei angegeben (-o DATEI)");
    }
    if (const QString format = AudioFileWriter::CheckName(options.outputPath); !format.isEmpty()) {
        return Visible(format);  // it quotes the file name
    }
    if (options.pitchHz >= options.rateHz / 2.0) {
        return QStringLiteral("die Tonhöhe muss unter der halben Abtastrate liegen");
    }
    if (options.band.enabled) {
        // A filter reaching the Nyquist limit would pass the noise unfiltered and at full scale.
        const BandSettings band = Bounded(options.band);
        if (QString fit = FilterFitProblem(options.pitchHz, band.filterHz, options.rateHz);
            !fit.isEmpty())
            return fit;
    }
    return {};
}
}  // namespace

const char* HelpText() {
    return "Aufruf: morse2wav [OPTIONEN] -o DATEI [TEXT ...]\n"
           "Schreibt einen Text als Morsezeichen in eine Audiodatei, genau so, wie ihn der\n"
           "Hörtrainer gibt. Ohne TEXT liest morse2wav den Text von der Standardeingabe.\n"
           "Das Format folgt dem Dateinamen: .wav, .flac, .ogg (Vorbis), .opus oder .mp3.\n"
           "\n"
           "  --cpm N             Geschwindigkeit in Zeichen pro Minute (20 bis 200, Vorgabe 60)\n"
           "  --pitch HZ          Tonhöhe in Hertz (100 bis 4000, Vorgabe 800)\n"
           "  --dash N            Strichlänge in Zehnteln eines Punktes (30 bis 40, Vorgabe 30)\n"
           "  --char-spacing F    Zeichenabstand als Faktor (1,0 bis 5,0, Vorgabe 1,0)\n"
           "  --word-spacing F    Wortabstand als Faktor (1,0 bis 5,0, Vorgabe 1,0)\n"
           "  --rate HZ           Abtastrate (8000 bis 192000, Vorgabe 48000)\n"
           "  --split-minutes N   nummerierte Dateien von je etwa N Minuten (1 bis 1440),\n"
           "                      geteilt in einer Wortpause: DATEI-01.mp3, DATEI-02.mp3 ...\n"
           "  -o DATEI            die Audiodatei, die geschrieben wird\n"
           "  -h, --help          diese Hilfe\n";
}

QString Visible(const QString& text) {
    QString shown;
    for (QChar c : text) {
        // A control character in the user's terminal could move the cursor or change colours.
        if (c.category() == QChar::Other_Control) {
            shown += QStringLiteral("\\x") +
                     QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        } else {
            shown += c;
        }
    }
    return shown;
}

QString Excerpt(const QString& text) {
    const QString shown = Visible(text.left(kExcerptChars));
    return text.size() > kExcerptChars ? shown + QStringLiteral("…") : shown;
}

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
            static const QStringList withValue = {
                QStringLiteral("--cpm"),           QStringLiteral("--pitch"),
                QStringLiteral("--dash"),          QStringLiteral("--char-spacing"),
                QStringLiteral("--word-spacing"),  QStringLiteral("--rate"),
                QStringLiteral("--split-minutes"), QStringLiteral("-o")};
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
        const OptionValue v(arg, value);
        const auto wholeText = [](int low, int high) {
            return QStringLiteral("eine ganze Zahl von %1 bis %2").arg(low).arg(high);
        };
        if (arg == QStringLiteral("--cpm")) {
            if (!v.wholeIn(20, 200)) return v.refuse(wholeText(20, 200));
            options.cpm = static_cast<int>(*v.number());
        } else if (arg == QStringLiteral("--pitch")) {
            if (!v.in(100, 4000)) return v.refuse(QStringLiteral("100 bis 4000 Hz"));
            options.pitchHz = *v.number();
        } else if (arg == QStringLiteral("--dash")) {
            if (!v.wholeIn(30, 40)) return v.refuse(wholeText(30, 40));
            options.dashTenths = static_cast<int>(*v.number());
        } else if (arg == QStringLiteral("--char-spacing")) {
            if (!v.in(1.0, 5.0)) return v.refuse(QStringLiteral("1,0 bis 5,0"));
            options.charSpacing = *v.number();
        } else if (arg == QStringLiteral("--word-spacing")) {
            if (!v.in(1.0, 5.0)) return v.refuse(QStringLiteral("1,0 bis 5,0"));
            options.wordSpacing = *v.number();
        } else if (arg == QStringLiteral("--rate")) {
            if (!v.wholeIn(8000, 192000)) return v.refuse(wholeText(8000, 192000));
            options.rateHz = static_cast<int>(*v.number());
        } else if (arg == QStringLiteral("--split-minutes")) {
            if (!v.wholeIn(1, 1440)) return v.refuse(wholeText(1, 1440));
            options.splitMinutes = static_cast<int>(*v.number());
        } else {
            return QStringLiteral("unbekannte Option „%1“").arg(Excerpt(arg));
        }
    }
    return CheckTogether(options);
}
