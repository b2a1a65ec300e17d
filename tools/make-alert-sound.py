#!/usr/bin/env python3
# Makes packaging/alert.wav, the sound Vantorel plays when the tracked callsign is heard: two
# short rising tones, soft at both ends so that they do not click. Part of Vantorel, under the
# same licence (GPL-3.0-or-later); the sound it makes is under that licence too.
import math
import struct
import sys
import wave

RATE = 22050


def tone(frequency, seconds, volume=0.45):
    count = int(RATE * seconds)
    fade = int(RATE * 0.01)
    samples = []
    for i in range(count):
        envelope = min(1.0, i / fade, (count - 1 - i) / fade)
        value = math.sin(2 * math.pi * frequency * i / RATE)
        value += 0.25 * math.sin(4 * math.pi * frequency * i / RATE)
        samples.append(int(32767 * volume * envelope * value / 1.25))
    return samples


def main(path):
    samples = tone(880, 0.12) + [0] * int(RATE * 0.04) + tone(1320, 0.18)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", s) for s in samples))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "packaging/alert.wav")
