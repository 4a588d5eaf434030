#!/bin/sh
# Figures of the export program (none of them is a test):
#  - key clicks: energy more than 500 Hz from the tone, relative to the tone's band, at 20, 60,
#    100, 150 and 200 cpm, 800 Hz, 48 kHz, measured by an outside instrument (cw-audio-metrics);
#  - export speed in multiples of real time for WAV, FLAC and MP3;
#  - peak memory (maximum resident set) for a text of about 10 hours of audio.
# Usage: bench/morse2wav_export.sh BUILD_DIR [METRICS_TOOL]   (run it with nice -n 19)
set -eu
build=${1:?build folder}
metrics=${2:-../shared/tools/cw-audio-metrics}
morse2wav="$build/tools/morse2wav/morse2wav"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

text="CQ CQ DE DL1ABC DL1ABC PSE K = THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 1234567890 ?/.,"
if [ -x "$metrics" ] && [ "${SKIP_CLICKS:-}" = "" ]; then
    echo "key clicks outside +-500 Hz (dB relative to the tone band), 800 Hz, 48 kHz:"
    for cpm in 20 60 100 150 200; do
        "$morse2wav" --cpm "$cpm" -o "$work/s.wav" "$text $text"
        far=$("$metrics" --json-only "$work/s.wav" | python3 -c 'import json,sys; print(json.load(sys.stdin)["splatter_500_db"])')
        echo "  $cpm cpm: $far dB"
    done
fi

# About an hour at 60 cpm (some 3700 characters), and ten of them.
i=0
: >"$work/book.txt"
while [ $i -lt 60 ]; do
    echo "PARIS MORSE CODE QRZ CQ DE DL1ABC RST 599 TU VY 73 ES GL = BK" >>"$work/book.txt"
    i=$((i + 1))
done
for n in 1 2 3 4 5 6 7 8 9 10; do cat "$work/book.txt"; done >"$work/long.txt"

speed() {
    start=$(date +%s.%N)
    "$morse2wav" -o "$work/x.$1" <"$work/$2"
    end=$(date +%s.%N)
    frames=$(sox --i -s "$work/x.$1" 2>/dev/null || echo 0)
    python3 -c "d=$frames/48000; t=$end-$start; print('  $1: %.0f s of audio in %.1f s = %.0fx real time' % (d, t, d/t))"
}
echo "export speed (60 cpm, book.txt):"
for format in wav flac mp3; do speed "$format" book.txt; done

echo "peak memory for about 10 hours of audio:"
/usr/bin/time -v "$morse2wav" -o "$work/long.flac" <"$work/long.txt" 2>"$work/time.txt"
grep -E "Maximum resident|Elapsed" "$work/time.txt" | sed 's/^\s*/  /'
echo "  audio: $(sox --i -d "$work/long.flac")"
