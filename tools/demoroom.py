#!/usr/bin/env python3
"""The demo's recording and its reading (tools/demo.sh).

  demoroom.py record MIC SPEAKER TALKER.wav OUTDIR
      Records the microphone (MIC's monitor) and the loudspeakers (SPEAKER's
      monitor) in one process, so on one time base, while TALKER.wav plays into
      MIC; writes OUTDIR/room.wav (the loudspeakers, what the room hears),
      OUTDIR/microphone.wav, OUTDIR/shift.txt (how much later room.wav starts,
      in samples) and OUTDIR/levels.png, and prints the round trip, the
      correlation of the loudspeakers' spectrogram with the microphone's delayed
      by it, and the output's silent gaps while the talker spoke (what was lost).
  demoroom.py check OUTDIR MINCORRELATION
      Exit 1 unless room.wav carries the microphone's sound: the correlation at
      the round trip is at least MINCORRELATION.
"""
import os
import subprocess
import sys
import time
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import latencyprobe  # noqa: E402  (the recording of two sources on one time base)

RATE = latencyprobe.RATE


def writewav(path, x):
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(np.asarray(x, dtype='<i2').tobytes())


def readwav(path):
    with wave.open(path, 'rb') as w:
        return np.frombuffer(w.readframes(w.getnframes()), dtype='<i2').astype(np.float64)


def spectrogram(x, hop=441, size=1024):
    """Log magnitudes of 170 Hz to 8.6 kHz every 10 ms: the talker's pattern in
    time and pitch, which survives the chain's filters, echo and level control
    where the waveform itself does not."""
    frames = (len(x) - size) // hop
    if frames <= 0:
        return np.zeros((0, 196))
    w = np.hanning(size)
    idx = np.arange(size)[None, :] + hop * np.arange(frames)[:, None]
    return np.log(np.abs(np.fft.rfft(x[idx] * w, axis=1))[:, 4:200] + 1.0)


def similarity(mic, room, delay):
    """Correlation of the spectrograms of the microphone (mic: its samples, or
    their spectrogram) and of the loudspeakers delay samples later (room[k] is
    at mic time k + delay, so delay may be negative), over the frames where
    the microphone has sound."""
    room = room[delay:] if delay >= 0 else np.concatenate([np.zeros(-delay), room])
    a, b = mic if mic.ndim == 2 else spectrogram(mic), spectrogram(room)
    n = min(len(a), len(b))
    a, b = a[:n], b[:n]
    loud = a.mean(axis=1) > np.log(4000.0)
    a, b = a[loud] - a[loud].mean(axis=0), b[loud] - b[loud].mean(axis=0)
    d = np.sqrt((a * a).sum() * (b * b).sum())
    return float((a * b).sum() / d) if d > 0 else 0.0


def roundtrip(mic, room, shift, longest=0.25):
    """The round trip (samples) from the microphone to the loudspeakers, and the
    similarity there. room[k] was heard at mic time k + shift (the two
    recordings start apart). The best 5 ms step first, then the best 1 ms."""
    step = RATE // 200
    mic = spectrogram(mic)
    coarse = {t: similarity(mic, room, t - shift) for t in range(0, int(longest * RATE), step)}
    best = max(coarse, key=coarse.get)
    fine = {t: similarity(mic, room, t - shift) for t in range(max(0, best - step), best + step, RATE // 1000)}
    best = max(fine, key=fine.get)
    return best, fine[best]


def gaps(room, mic, trip, shift, shortest=0.005):
    """Stretches of exact silence in the output, shortest or longer, while the
    microphone (delayed by the round trip) had sound: sound that was lost."""
    short = int(shortest * RATE)
    delay = trip - shift  # room[k] carries mic[k - delay]
    m = np.abs(np.concatenate([np.zeros(max(delay, 0)), mic]))[: len(room)] if delay >= 0 else np.abs(mic[-delay:])
    found, run = [], 0
    for i, v in enumerate(np.append(room, 1.0)):
        if v == 0:
            run += 1
            continue
        if run >= short and i <= len(m) and np.mean(m[i - run:i]) > 300:
            found.append((i - run, run))
        run = 0
    return found


def levels(path, mic, room):
    import matplotlib
    matplotlib.use('Agg')
    import matplotlib.pyplot as plt
    win = RATE // 20

    def db(x):
        n = len(x) // win
        r = np.sqrt(np.mean(x[: n * win].reshape(n, win) ** 2, axis=1))
        return 20 * np.log10(np.maximum(r, 1) / 32768)

    t = np.arange(len(mic) // win) * win / RATE
    fig, ax = plt.subplots(figsize=(10, 4))
    ax.plot(t, db(mic), label='input: the microphone (talker and the room)')
    ax.plot(t[: len(room) // win], db(room), label='output: roomcaster_quarn to the loudspeakers')
    ax.set_xlabel('time (s)')
    ax.set_ylabel('level (dB below full scale, 50 ms RMS)')
    ax.set_ylim(-90, 0)
    ax.grid(True, alpha=0.3)
    ax.legend(loc='lower right')
    ax.set_title('roomcaster_quarn in a simulated room')
    fig.tight_layout()
    fig.savefig(path, dpi=90)


def record(mic, speaker, talker, outdir):
    with wave.open(talker, 'rb') as w:
        seconds = w.getnframes() / w.getframerate()
    player = []

    # The player starts once both recordings are open (latencyprobe.record opens
    # them first): a thread would race the reads, so the start goes in here.
    opener = latencyprobe.openrecording

    def openandplay(lib, source, name):
        s = opener(lib, source, name)
        if source == speaker + '.monitor':
            player.append(subprocess.Popen(['paplay', '-d', mic, talker]))
        return s

    latencyprobe.openrecording = openandplay
    try:
        (m, r), offsets = latencyprobe.record([mic + '.monitor', speaker + '.monitor'], seconds + 1.0)
    finally:
        latencyprobe.openrecording = opener
        for p in player:
            p.wait()
    m, r = np.array(m, dtype=np.float64), np.array(r, dtype=np.float64)
    writewav(os.path.join(outdir, 'microphone.wav'), m)
    writewav(os.path.join(outdir, 'room.wav'), r)
    levels(os.path.join(outdir, 'levels.png'), m, r)
    shift = int(round(offsets[1] * RATE))
    with open(os.path.join(outdir, 'shift.txt'), 'w') as f:
        f.write('%d\n' % shift)  # room.wav starts this many samples after microphone.wav
    trip, corr = roundtrip(m, r, shift)
    lost = gaps(r, m, trip, shift)
    print('seconds %.1f' % (len(r) / RATE))
    print('roundtrip_ms %.1f' % (1000.0 * trip / RATE))
    print('correlation %.3f' % corr)
    print('gaps %d' % len(lost))
    print('gap_ms %.1f' % (1000.0 * sum(n for _, n in lost) / RATE))


def check(outdir, least):
    m = readwav(os.path.join(outdir, 'microphone.wav'))
    r = readwav(os.path.join(outdir, 'room.wav'))
    with open(os.path.join(outdir, 'shift.txt')) as f:
        shift = int(f.read())
    trip, corr = roundtrip(m, r, shift)
    print('room.wav against the microphone: round trip %.1f ms, correlation %.3f' % (1000.0 * trip / RATE, corr))
    if corr < least:
        sys.exit('demoroom: room.wav does not carry the talker (correlation %.3f, below %.2f)' % (corr, least))


if __name__ == '__main__':
    if len(sys.argv) == 6 and sys.argv[1] == 'record':
        record(*sys.argv[2:6])
    elif len(sys.argv) == 4 and sys.argv[1] == 'check':
        check(sys.argv[2], float(sys.argv[3]))
    else:
        sys.exit(__doc__)
