#!/usr/bin/python3
"""Builds the trainer's scrambled data files from the plain sources in data/sources.

    python3 data/make_data.py          rebuild MORSE.NAM, LEXIKON and Abk.txt
    python3 data/make_data.py --check  only compare the delivered files with the sources

The scrambling is the inverse of the trainer's DecodeText: a running shift over the printable
range 32..125 that starts at 7 and grows by one after every decoded blank or vowel (AEIOUaeiou).
Characters above 127 in Windows-1252 (umlauts, sharp s) pass unchanged and leave the shift alone.
Only the standard library is used.
"""

import random
import sys
from pathlib import Path

SHIFT_START = 7  # kDecodeShiftStart in src/exercises/character_sets.h
NAME_RECORD = 22
NAME_RECORDS = 1608  # the exam text draws its station from records 1..1608
WORD_RECORD = 38
MIN_WORDS = 1500
MAX_ABBREVIATIONS = 290
MAX_ABBREVIATION_LENGTH = 40
NAME_SEED = 1608

HERE = Path(__file__).resolve().parent
SOURCES = HERE / "sources"

# Signs the trainer can sound (its Morse table), besides letters and digits.
MORSE_SIGNS = set("()*+,-./:=?")


class SourceError(Exception):
    pass


def shifts_after(char, shift):
    return shift + 1 if char in " AEIOUaeiou" else shift


def encode(text):
    """Scrambles `text` so that DecodeText gives it back."""
    out = []
    shift = SHIFT_START
    for char in text:
        code = char.encode("cp1252")[0]
        if code > 127:
            out.append(char)
            continue
        if not 32 <= code <= 125:
            raise SourceError(f"character {char!r} cannot be scrambled in {text!r}")
        out.append(chr(32 + (code - 32 + shift) % 94))
        shift = shifts_after(char, shift)
    return "".join(out)


def decode(text):
    """The trainer's DecodeText, to prove every record round-trips."""
    out = []
    shift = SHIFT_START
    for char in text:
        code = char.encode("cp1252")[0]
        if code > 127:
            out.append(char)
            continue
        p = code - shift
        if p < 32:
            p += 94
        plain = chr(p)
        out.append(plain)
        shift = shifts_after(plain, shift)
    return "".join(out)


def scrambled(text):
    result = encode(text)
    if decode(result) != text:
        raise SourceError(f"{text!r} does not survive scrambling (too long for the shift)")
    return result


def source_lines(name):
    """Lines of a source file without comments (#) and blank lines, with their line numbers."""
    path = SOURCES / name
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.strip()
        if line and not line.startswith("#"):
            yield number, line


def is_word(text):
    """Letters A to Z only: umlauts and sharp s have no Morse sign and are written AE, OE, UE, SS."""
    return text.isascii() and text.isalpha()


def build_lexikon():
    records = []
    seen = set()
    for number, line in source_lines("woerter.txt"):
        if line.count("@") != 1:
            raise SourceError(f"woerter.txt:{number}: one '@' between the two words expected")
        english, german = (part.strip() for part in line.split("@"))
        if not is_word(english) or not is_word(german):
            raise SourceError(f"woerter.txt:{number}: letters A to Z only, please: {line!r}")
        pair = f"{english}@{german}"
        if len(pair) > WORD_RECORD:
            raise SourceError(f"woerter.txt:{number}: longer than {WORD_RECORD} characters")
        if pair.lower() in seen:
            raise SourceError(f"woerter.txt:{number}: {pair!r} stands twice")
        seen.add(pair.lower())
        records.append(scrambled(pair.ljust(WORD_RECORD)))
    if len(records) < MIN_WORDS:
        raise SourceError(f"woerter.txt: {len(records)} pairs, at least {MIN_WORDS} wanted")
    return "".join(records).encode("cp1252")


def read_stations():
    """Countries of stations.txt: (prefixes, digits, weight, towns)."""
    countries = []
    for number, line in source_lines("stationen.txt"):
        if line.startswith("["):
            try:
                head, prefixes, digits, weight = (part.strip() for part in line.split("|"))
            except ValueError:
                raise SourceError(f"stationen.txt:{number}: [Land] | Präfixe | Ziffern | Anteil")
            countries.append((prefixes.split(), digits, int(weight), []))
        elif not countries:
            raise SourceError(f"stationen.txt:{number}: town before the first country")
        elif not line.isascii() or not all(c.isalpha() or c in " -" for c in line):
            raise SourceError(f"stationen.txt:{number}: plain letters only: {line!r}")
        else:
            countries[-1][3].append(line)
    return countries


def build_name_file():
    names = [line for _, line in source_lines("vornamen.txt")]
    for name in names:
        if not name.isascii() or not name.isalpha():
            raise SourceError(f"vornamen.txt: plain letters only: {name!r}")
    countries = read_stations()
    generator = random.Random(NAME_SEED)
    weights = [weight for _, _, weight, _ in countries]
    calls = set()
    records = []
    while len(records) < NAME_RECORDS:
        prefixes, digits, _, towns = generator.choices(countries, weights)[0]
        prefix = generator.choice(prefixes)
        if not prefix[-1].isdigit():
            prefix += generator.choice(digits)
        # Suffixes of three letters are the common case; no Q, which the Q groups own.
        length = 3 if generator.random() < 0.7 else 2
        suffix = "".join(generator.choice("ABCDEFGHIJKLMNOPRSTUVWXYZ") for _ in range(length))
        call = prefix + suffix
        record = f"{call}*{generator.choice(names)}*{generator.choice(towns)}"
        if call in calls or len(record) > NAME_RECORD:
            continue
        calls.add(call)
        records.append(scrambled(record.ljust(NAME_RECORD)))
    return "".join(records).encode("cp1252")


def build_abbreviations():
    lines = []
    for number, line in source_lines("abkuerzungen.txt"):
        allowed = all(c.isalnum() and c.isascii() or c == " " or c in MORSE_SIGNS for c in line)
        if not allowed or len(line) > MAX_ABBREVIATION_LENGTH:
            raise SourceError(f"abkuerzungen.txt:{number}: not a sendable entry: {line!r}")
        lines.append(scrambled(line))
    if not lines or len(lines) > MAX_ABBREVIATIONS:
        raise SourceError(f"abkuerzungen.txt: 1 to {MAX_ABBREVIATIONS} entries, not {len(lines)}")
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


def main(argv):
    check = "--check" in argv[1:]
    try:
        outputs = {
            "MORSE.NAM": build_name_file(),
            "LEXIKON": build_lexikon(),
            "Abk.txt": build_abbreviations(),
        }
    except SourceError as error:
        print(f"make_data: {error}", file=sys.stderr)
        return 1
    stale = []
    for name, content in outputs.items():
        target = HERE / name
        if target.exists() and target.read_bytes() == content:
            continue
        if check:
            stale.append(name)
        else:
            target.write_bytes(content)
            print(f"wrote {name} ({len(content)} bytes)")
    if stale:
        print("make_data: out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
