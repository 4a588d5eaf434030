#!/usr/bin/env python3
"""Finds the device's underflow flags in a capture of what was played.

  underflow_places.py CAPTURE.wav LOG

LOG is what bench_device_long_run wrote: "start|underflow|onset FRAME" in stream frames. The
stream and the capture are aligned on the first sound; each flag is then placed in the capture,
and the sound after it is checked for a shift (a gap the listener would hear as a stretched
pause or a cut tone). Marks whose length differs from every usual length are listed too."""
import sys
import wave
from array import array
from bisect import bisect_left


def read_capture(path):
    with wave.open(path) as w:
        assert w.getsampwidth() == 2 and w.getnchannels() == 1
        data = array("h", w.readframes(w.getnframes()))
        return data, w.getframerate()


def marks(samples, min_silence):
    out, start, zeros = [], None, 0
    for i, v in enumerate(samples):
        if v == 0:
            zeros += 1
            if start is not None and zeros >= min_silence:
                out.append((start, i - zeros))
                start = None
            continue
        if start is None:
            start = i
        zeros = 0
    if start is not None:
        out.append((start, len(samples) - 1 - zeros))
    return out


def main():
    samples, rate = read_capture(sys.argv[1])
    events = [line.split() for line in open(sys.argv[2])]
    onsets = [int(f) for k, f in events if k == "onset"]
    flags = [int(f) for k, f in events if k == "underflow"]
    starts = [int(f) for k, f in events if k == "start"]
    found = marks(samples, rate // 100)
    heard = [m[0] for m in found]
    if not onsets or not heard:
        print("nothing to align")
        return
    offset = heard[0] - onsets[0]
    print(f"{len(flags)} underflow flags, {len(onsets)} sounds, {len(starts)} stream starts; "
          f"capture {len(samples) / rate:.1f} s, first sound at {heard[0] / rate:.3f} s")

    def shift_after(frame):
        i = bisect_left(onsets, frame)
        if i == len(onsets):
            return None, None
        want = onsets[i] + offset
        j = bisect_left(heard, want - rate // 50)
        if j == len(heard):
            return onsets[i], None
        return onsets[i], heard[j] - want

    inside, shifted = 0, []
    for f in flags:
        at = f + offset
        k = bisect_left(heard, at + 1) - 1
        in_tone = k >= 0 and found[k][0] <= at <= found[k][1]
        inside += in_tone
        onset, delta = shift_after(f)
        if delta is None or abs(delta) > 2:
            shifted.append((f, at, delta))
    lengths = sorted(round((b - a + 1) * 1000 / rate) for a, b in found)
    usual = {v for v in lengths if lengths.count(v) * 50 >= len(lengths)}
    odd = [(a / rate, (b - a + 1) * 1000 / rate) for a, b in found
           if all(abs((b - a + 1) * 1000 / rate - u) > 1.5 for u in usual)]
    print(f"flags inside a tone of the capture: {inside}; in silence: {len(flags) - inside}")
    print(f"flags after which the next sound is shifted by more than 2 samples: {len(shifted)}")
    for f, at, delta in shifted[:20]:
        print(f"  flag at stream frame {f} (capture {at / rate:.3f} s): shift {delta}")
    print(f"usual mark lengths (ms): {sorted(usual)}; other marks: {len(odd)}")
    for t, ms in odd[:20]:
        print(f"  mark at {t:.3f} s lasts {ms:.1f} ms")
    spread = sorted((f - onsets[max(0, bisect_left(onsets, f) - 1)]) * 1000 / rate
                    for f in flags)
    if spread:
        print(f"flag distance after the last sound start (ms): min {spread[0]:.0f}, "
              f"median {spread[len(spread) // 2]:.0f}, max {spread[-1]:.0f}")


main()
