#!/usr/bin/env python3
"""Makes the trainer's sound files: the spoken characters with espeak-ng's German voice, and
the effect sounds by synthesis. All are 16-bit mono WAV at 22050 Hz.

    python3 data/Alfa/make_sounds.py

Needs espeak-ng and sox only when it runs; the generated files are kept in the repository.
"""

import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050
HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.dirname(HERE)

# File name (without .wav) -> what the voice says. Letters are spoken by their German letter
# names, which espeak-ng gives for a single letter; the signs by their German names.
SPOKEN = {c: c for c in "ABCDEFGHIJKLMNOPQRSTUVWXYZ"}
SPOKEN.update({
    "0": "null", "1": "eins", "2": "zwo", "3": "drei", "4": "vier",
    "5": "fünf", "6": "sechs", "7": "sieben", "8": "acht", "9": "neun",
    "ka": "Klammer auf", "kz": "Klammer zu", "ct": "Spruchanfang", "ar": "Spruchende",
    "co": "Komma", "bs": "Bindestrich", "pt": "Punkt", "ss": "Schrägstrich",
    ":": "Doppelpunkt", "tr": "Trennung", "fz": "Fragezeichen",
})


def speak(name, text):
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "raw.wav")
        subprocess.run(["espeak-ng", "-v", "de", "-s", "150", "-w", raw, text], check=True)
        # Trim the voice's leading and trailing silence, normalise to -3 dBFS, and leave
        # 20 ms of quiet at both ends.
        subprocess.run(["sox", "-D", raw, "-r", str(RATE), "-c", "1", "-b", "16",
                        os.path.join(HERE, name + ".wav"),
                        "silence", "1", "0.01", "-45d", "reverse",
                        "silence", "1", "0.01", "-45d", "reverse",
                        "gain", "-n", "-3", "pad", "0.02", "0.02"], check=True)


def write(path, samples):
    peak = max(1e-9, max(abs(s) for s in samples))
    scale = min(1.0, 0.7 / peak) * 32767
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(round(s * scale))) for s in samples))


def envelope(t, duration, attack, release):
    if t < attack:
        return 0.5 - 0.5 * math.cos(math.pi * t / attack)
    if t > duration - release:
        return max(0.0, 0.5 - 0.5 * math.cos(math.pi * (duration - t) / release))
    return 1.0


def tone(freqs, duration, attack=0.005, release=0.02, decay=None):
    """A sum of sine partials (frequency, weight) with soft edges and an optional decay (s)."""
    out = []
    for i in range(int(duration * RATE)):
        t = i / RATE
        v = sum(w * math.sin(2 * math.pi * f * t) for f, w in freqs)
        if decay:
            v *= math.exp(-t / decay)
        out.append(v * envelope(t, duration, attack, release))
    return out


def sequence(*parts, gap=0.03):
    out = []
    for part in parts:
        out.extend(part)
        out.extend([0.0] * int(gap * RATE))
    return out


def bell(f, duration):
    return tone([(f, 1.0), (2.76 * f, 0.35), (5.4 * f, 0.12)], duration, 0.002, 0.05,
                decay=duration / 4)


def click():
    # A short burst of filtered noise with a fast decay: a dry click.
    rng = random.Random(12)
    out, prev = [], 0.0
    for i in range(int(0.012 * RATE)):
        prev = 0.55 * prev + 0.45 * rng.uniform(-1, 1)
        out.append(prev * math.exp(-i / (0.0018 * RATE)))
    return out


def buzz():
    # A low, rough tone: odd harmonics of 110 Hz, for a wrong answer.
    partials = [(110 * k, 1.0 / k) for k in (1, 3, 5, 7, 9)]
    return tone(partials, 0.35, 0.01, 0.06)


EFFECTS = {
    "S1": lambda: sequence(tone([(660, 1)], 0.07), tone([(880, 1)], 0.09)),
    "S2": lambda: sequence(bell(784, 0.9), bell(1047, 1.4), gap=0.0),
    "S3": lambda: sequence(tone([(880, 1)], 0.07), tone([(660, 1)], 0.09)),
    "S4": buzz,
    "s7": lambda: sequence(*(tone([(f, 1), (2 * f, 0.2)], 0.08) for f in (523, 659, 784))),
    "S8": lambda: bell(988, 0.6),
    "S12": click,
    "S13": lambda: sequence(bell(1175, 0.25), bell(1175, 0.45), gap=0.02),
}


def main():
    for name, text in SPOKEN.items():
        speak(name, text)
    for name, make in EFFECTS.items():
        write(os.path.join(HERE, name + ".wav"), make())
    # The click that some handlers look for in the working directory itself.
    write(os.path.join(DATA, "S12.wav"), click())
    return 0


if __name__ == "__main__":
    sys.exit(main())
