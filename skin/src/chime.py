#!/usr/bin/env python3
"""Writes skin/sound/Notification.wav: the soft two-tone chime played when a task runs.

Two bell-like notes a fifth apart (A5, then E6), each a sine with a little of its octave, a
short attack and an exponential decay; 16-bit mono at 44.1 kHz, peak at about -8 dBFS. The
output is deterministic, so re-running the script gives the committed file byte for byte.
"""
import math
import os
import struct
import wave

RATE = 44100
LENGTH = 0.9  # seconds
NOTES = ((0.0, 880.0), (0.16, 1318.5))  # (start in seconds, frequency in Hz)
PEAK = 0.4
ATTACK = 0.006
DECAY = 0.22  # time constant of the decay


def note(t, start, freq):
    u = t - start
    if u < 0:
        return 0.0
    envelope = min(1.0, u / ATTACK) * math.exp(-u / DECAY)
    return envelope * (math.sin(2 * math.pi * freq * u) + 0.18 * math.sin(4 * math.pi * freq * u))


def main():
    n = int(RATE * LENGTH)
    samples = []
    for i in range(n):
        t = i / RATE
        v = sum(note(t, start, freq) for start, freq in NOTES)
        # A 20 ms fade-out so the file ends in silence without a click.
        fade = min(1.0, (n - i) / (0.02 * RATE))
        samples.append(v * fade)
    scale = PEAK / max(abs(v) for v in samples)
    data = b"".join(struct.pack("<h", int(round(v * scale * 32767))) for v in samples)
    out = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                       "sound", "Notification.wav")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)
    print(out)


if __name__ == "__main__":
    main()
