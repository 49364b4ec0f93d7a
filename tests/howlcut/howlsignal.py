#!/usr/bin/env python3
"""howlsignal.py: test signals and measures for howlcut's tests under Wine.

  howlsignal.py make OUT.wav SECONDS HZ   white noise (the room, -30 dBFS) with a
                                          sine at HZ that starts at -60 dBFS and
                                          grows 12 dB a second up to -12 dBFS (a
                                          howl building up)
  howlsignal.py tone IN.wav HZ [SECONDS]  how far (dB) the last SECONDS (default
                                          3) stand out within 1/6 octave of HZ:
                                          its power per bin over that of the two
                                          octaves above (the noise around it)
  howlsignal.py howl IN.wav [SECONDS]     the strongest 1/6-octave band of the
                                          last SECONDS above 100 Hz: "HZ SHARE_DB
                                          PEAK HOWLING" (PEAK 0..32768; HOWLING:
                                          how many of those seconds, each on its
                                          own, had one band holding more than an
                                          eighth of their output)
"""
import sys
import wave

import numpy as np


def readwav(path):
    with wave.open(path, "rb") as w:
        frames = w.readframes(w.getnframes())
        channels = w.getnchannels()
    data = np.frombuffer(frames, dtype="<i2").astype(np.float64)
    return data.reshape(-1, channels).mean(axis=1)


def lastseconds(x, seconds):
    return x[-int(seconds * 44100):]


def bandshare(x, low, high):
    spectrum = np.abs(np.fft.rfft(x * np.hanning(len(x)))) ** 2
    freqs = np.fft.rfftfreq(len(x), 1 / 44100)
    total = spectrum[freqs > 50].sum() + 1e-30
    band = spectrum[(freqs >= low) & (freqs <= high)].sum() + 1e-30
    return 10 * np.log10(band / total), spectrum, freqs


def strongest(x):
    """The strongest bin above 100 Hz, and the share (dB) of its 1/6 octave."""
    _, spectrum, freqs = bandshare(x, 0, 1)
    keep = freqs > 100
    hz = freqs[keep][np.argmax(spectrum[keep])]
    share, _, _ = bandshare(x, hz / 2 ** (1 / 12), hz * 2 ** (1 / 12))
    return hz, share


def make(path, seconds, hz):
    n = int(seconds * 44100)
    noise = np.random.default_rng(21).standard_normal(n) * 1000  # white, about -30 dBFS
    t = np.arange(n) / 44100
    level = np.minimum(-60 + 12 * t, -12)
    sine = 32767 * 10 ** (level / 20) * np.sin(2 * np.pi * hz * t)
    x = np.clip(np.round(noise + sine), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(44100)
        w.writeframes(np.repeat(x, 2).tobytes())


def main():
    what = sys.argv[1]
    if what == "make":
        make(sys.argv[2], float(sys.argv[3]), float(sys.argv[4]))
    elif what == "tone":
        seconds = float(sys.argv[4]) if len(sys.argv) > 4 else 3.0
        hz = float(sys.argv[3])
        x = lastseconds(readwav(sys.argv[2]), seconds)
        _, spectrum, freqs = bandshare(x, 0, 1)
        near = spectrum[(freqs >= hz / 2 ** (1 / 12)) & (freqs <= hz * 2 ** (1 / 12))].mean()
        around = spectrum[(freqs >= 2 * hz) & (freqs <= 4 * hz)].mean()
        print("%.1f" % (10 * np.log10((near + 1e-30) / (around + 1e-30))))
    elif what == "howl":
        seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 3.0
        x = lastseconds(readwav(sys.argv[2]), seconds)
        hz, share = strongest(x)
        howling = sum(strongest(x[i:i + 44100])[1] > -9 for i in range(0, len(x) - 44099, 44100))
        print("%.0f %.1f %d %d" % (hz, share, np.abs(x).max(), howling))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
