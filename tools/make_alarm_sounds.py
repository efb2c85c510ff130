#!/usr/bin/env python3
"""Writes the two alarm sounds of the Blackbox wake-up cycle into
resources/data (16-bit mono wave files, standard library only):
  alarm2.wav  a fix was uploaded: two short rising beeps
  alarm3.wav  no fix, gave up until the next wake-up: three falling tones
"""
import math
import os
import struct
import sys
import wave

RATE = 16000
VOLUME = 0.5


def tone(frequency, seconds):
    count = int(RATE * seconds)
    fade = int(RATE * 0.01)  # 10 ms ramps: no clicks
    samples = []
    for i in range(count):
        envelope = min(1.0, i / fade, (count - 1 - i) / fade)
        samples.append(VOLUME * envelope * math.sin(2 * math.pi * frequency * i / RATE))
    return samples


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def write(path, samples):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(s * 32767)) for s in samples))


def main(folder):
    write(os.path.join(folder, "alarm2.wav"),
          tone(880, 0.12) + silence(0.06) + tone(1320, 0.18))
    write(os.path.join(folder, "alarm3.wav"),
          tone(660, 0.18) + silence(0.05) + tone(494, 0.18) + silence(0.05) + tone(330, 0.3))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "data"))
