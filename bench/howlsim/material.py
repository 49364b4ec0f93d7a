#!/usr/bin/env python3
"""Makes the bench's sound material in a scratch folder (never committed).

  material.py OUTDIR [--quick]

Writes mono 32-bit float raw files at 44.1 kHz, in no particular level (the
simulator sets each excerpt's level):
  speech.f32  sentences spoken by espeak-ng in four voices (about 6 min)
  music.f32   violin, flute, organ and held string chords from fluidsynth
              and the General MIDI sound font, 80 s each, in that order
  noise.f32   bursts of pink noise with gaps (120 s)
The MIDI files are written here, by a small standard-MIDI-file writer.
"""
import os
import struct
import subprocess
import sys

import numpy as np

RATE = 44100
SOUNDFONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"
SENTENCES = [
    "The quick brown fox jumps over the lazy dog near the river bank.",
    "Please turn the microphone toward the stage before the talk begins.",
    "We will meet again on Thursday morning in the large hall.",
    "A good sound system lets every listener hear each word clearly.",
    "Rain fell all night, and the streets were quiet by dawn.",
    "Our speaker today has travelled a long way to be with us.",
    "Could everyone at the back of the room raise a hand, please?",
    "The choir sings at seven, and the doors open half an hour before.",
    "Thank you all for coming, and enjoy the rest of the evening.",
    "Seventeen boats sailed out of the harbour before the storm.",
    "The library closes at nine on weekdays and at five on Sundays.",
    "She measured the room twice, and then she moved the loudspeakers.",
    "Questions may be asked at the end, using the microphone in the aisle.",
    "The old clock in the tower has not been wound for many years.",
    "Fresh bread and warm soup are served in the hall after the meeting.",
    "He spoke softly at first, then louder as the crowd grew still.",
    "Each group will present its findings in no more than ten minutes.",
    "Lights down, please, and let the music begin.",
    "The bridge was built in eighteen ninety and repaired last spring.",
    "Nobody noticed the cat asleep on the piano until the last song.",
    "Our next event is a concert of winter songs in the chapel.",
    "Turn left at the fountain, and the entrance is on your right.",
    "The results surprised everyone, even the people who ran the test.",
    "Quiet voices carry far in a room with hard walls and a high ceiling.",
]
VOICES = [("en-us", 150), ("en-gb", 165), ("en-us+f3", 155), ("en-gb-scotland+f2", 145)]


def run(cmd):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def tofloat(wav, raw):
    run(["sox", wav, "-r", str(RATE), "-c", "1", "-t", "f32", raw])
    return np.fromfile(raw, dtype=np.float32)


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def writemidi(path, program, notes, tempo=500000, division=480):
    """notes: (start beat, length in beats, key, velocity). One track, channel 0."""
    events = []
    for start, length, key, velocity in notes:
        events.append((round(start * division), 1, key, velocity))
        events.append((round((start + length) * division), 0, key, 0))
    events.sort(key=lambda e: (e[0], e[1]))
    body = b"\x00\xff\x51\x03" + tempo.to_bytes(3, "big")
    body += b"\x00" + bytes([0xC0, program])
    now = 0
    for tick, on, key, velocity in events:
        body += vlq(tick - now) + bytes([0x90 if on else 0x80, key, velocity if on else 64])
        now = tick
    body += vlq(division * 2) + b"\xff\x2f\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, division)
    with open(path, "wb") as f:
        f.write(header + b"MTrk" + struct.pack(">I", len(body)) + body)


def melody(rng, seconds, low, high, lengths):
    """A slow line of sustained notes in C major (beats of 0.5 s)."""
    scale = [k for k in range(low, high + 1) if k % 12 in (0, 2, 4, 5, 7, 9, 11)]
    notes, beat, i = [], 0.0, len(scale) // 2
    while beat * 0.5 < seconds:
        length = float(rng.choice(lengths))
        i = int(np.clip(i + rng.integers(-2, 3), 0, len(scale) - 1))
        notes.append((beat, length * 0.95, scale[i], int(rng.integers(70, 100))))
        beat += length
    return notes


def chords(rng, seconds):
    roots = [48, 53, 55, 57, 50, 52]
    notes, beat = [], 0.0
    while beat * 0.5 < seconds:
        root = int(rng.choice(roots))
        third = 3 if root in (50, 52, 57) else 4
        for k in (root, root + third, root + 7, root + 12):
            notes.append((beat, 7.6, k, 80))
        beat += 8
    return notes


def main():
    out = sys.argv[1]
    quick = "--quick" in sys.argv
    os.makedirs(out, exist_ok=True)
    tmp = os.path.join(out, "tmp")
    os.makedirs(tmp, exist_ok=True)

    pieces = []
    sentences = SENTENCES[:6] if quick else SENTENCES
    gap = np.zeros(int(0.4 * RATE), dtype=np.float32)
    for s, text in enumerate(sentences):
        for v, (voice, speed) in enumerate(VOICES):
            if (s + v) % 2 and quick:
                continue
            wav = os.path.join(tmp, f"s{s}_{v}.wav")
            run(["espeak-ng", "-v", voice, "-s", str(speed), "-w", wav, text])
            pieces += [tofloat(wav, wav + ".f32"), gap]
    np.concatenate(pieces).astype(np.float32).tofile(os.path.join(out, "speech.f32"))

    rng = np.random.default_rng(21)
    seconds = 80
    music = []
    for name, program, notes in [
        ("violin", 40, melody(rng, seconds, 67, 88, [2, 3, 4, 6])),
        ("flute", 73, melody(rng, seconds, 72, 93, [2, 3, 4, 6])),
        ("organ", 19, melody(rng, seconds, 55, 76, [3, 4, 6, 8])),
        ("chords", 48, chords(rng, seconds)),
    ]:
        mid, wav = os.path.join(tmp, name + ".mid"), os.path.join(tmp, name + ".wav")
        writemidi(mid, program, notes)
        run(["fluidsynth", "-ni", "-g", "0.6", "-r", str(RATE), "-F", wav, SOUNDFONT, mid])
        x = tofloat(wav, wav + ".f32")[: seconds * RATE]
        music.append(np.pad(x, (0, seconds * RATE - len(x))))
    np.concatenate(music).astype(np.float32).tofile(os.path.join(out, "music.f32"))

    # Pink noise (white through a -3 dB/octave spectral tilt), in bursts of
    # 0.2 to 1 s with gaps of 0.2 to 1 s.
    total = 120 * RATE
    white = rng.standard_normal(total)
    spectrum = np.fft.rfft(white)
    spectrum[1:] /= np.sqrt(np.arange(1, len(spectrum)))
    pink = np.fft.irfft(spectrum, total)
    gate = np.zeros(total)
    t = 0
    while t < total:
        on, off = (int(rng.uniform(0.2, 1.0) * RATE) for _ in range(2))
        ramp = min(int(0.005 * RATE), on // 2)
        g = np.ones(on)
        g[:ramp] = np.linspace(0, 1, ramp)
        g[on - ramp:] = np.linspace(1, 0, ramp)
        gate[t:t + on] = g[: max(0, min(on, total - t))]
        t += on + off
    (pink * gate).astype(np.float32).tofile(os.path.join(out, "noise.f32"))


if __name__ == "__main__":
    main()
