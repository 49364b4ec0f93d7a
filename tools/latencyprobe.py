#!/usr/bin/env python3
"""Round-trip probe for tools/latency.sh (Python 3, standard library only).

  latencyprobe.py clicks OUT.wav SECONDS
      writes a click train: a steady 441 Hz tone at 1500 with a click every
      2 s (5 ms of 3 kHz at 24000), 16-bit stereo 44100 Hz.
  latencyprobe.py measure INSOURCE OUTSOURCE SECONDS
      records both sources on one time base, then prints the round trip of
      each click from INSOURCE to OUTSOURCE, the clicks lost and the silent
      gaps. Under PipeWire both sinks' monitors feed the two channels of one
      recording stream, so they are taken in the same graph cycles and there
      is no offset to estimate. Elsewhere two PulseAudio streams are opened
      one after the other, and the second is taken to start as much later as
      its opening was: right to a few ms on one source, but two sinks'
      monitors can differ by tens of ms.
  latencyprobe.py waitsound SOURCE SECONDS
      returns once SOURCE carries sound, or fails after SECONDS.
      With QUARN_LATENCY_KEEP=FOLDER both recordings are kept there
      (in.wav and out.wav, mono; out.wav starts as many ms later as printed),
      and gaps.txt: every silent gap's start and length, in seconds since
      1970 (to line up with another run's).

The 441 Hz tone (100 frames a period) passes the engine's averaging comb
whole, so any silent stretch in the output is a drop-out, not the chain.
"""
import ctypes
import os
import math
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import wave

RATE = 44100
CLICKEVERY = 2.0        # seconds between clicks
CLICKLEN = 0.005        # seconds
WINDOW = 0.005          # seconds per window of the gap search


def clicks(path, seconds):
    frames = int(seconds * RATE)
    data = bytearray()
    for f in range(frames):
        t = f / RATE
        v = 1500 * math.sin(2 * math.pi * 441 * t)
        into = t % CLICKEVERY
        if 0.5 <= into < 0.5 + CLICKLEN:
            v += 24000 * math.sin(2 * math.pi * 3000 * (into - 0.5))
        s = int(round(v))
        data += struct.pack('<hh', s, s)
    with wave.open(path, 'wb') as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(data))


class SampleSpec(ctypes.Structure):
    _fields_ = [('format', ctypes.c_int), ('rate', ctypes.c_uint32), ('channels', ctypes.c_uint8)]


class BufferAttr(ctypes.Structure):
    _fields_ = [(n, ctypes.c_uint32) for n in ('maxlength', 'tlength', 'prebuf', 'minreq', 'fragsize')]


CHUNK = 441  # frames per read: 10 ms


def pulse():
    """libpulse-simple with the calls used here declared."""
    lib = ctypes.CDLL('libpulse-simple.so.0')
    lib.pa_simple_new.restype = ctypes.c_void_p
    lib.pa_simple_new.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int, ctypes.c_char_p, ctypes.c_char_p,
                                  ctypes.POINTER(SampleSpec), ctypes.c_void_p, ctypes.POINTER(BufferAttr),
                                  ctypes.POINTER(ctypes.c_int)]
    lib.pa_simple_read.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_size_t, ctypes.POINTER(ctypes.c_int)]
    lib.pa_simple_free.argtypes = [ctypes.c_void_p]
    return lib


def openrecording(lib, source, name):
    """A mono 16-bit recording stream of source, handed over in reads of CHUNK frames."""
    attr = BufferAttr(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 2 * CHUNK)
    err = ctypes.c_int(0)
    s = lib.pa_simple_new(None, b'quarnlatency', 2, source.encode(), name, ctypes.byref(SampleSpec(3, RATE, 1)),
                          None, ctypes.byref(attr), ctypes.byref(err))  # 3: PA_SAMPLE_S16LE; 2: recording
    if not s:
        sys.exit('latencyprobe: cannot record from %s (error %d)' % (source, err.value))
    return s


def record(sources, seconds):
    """Mono recordings of each source, started together, and each start's offset in seconds."""
    lib = pulse()
    streams, starts = [], []
    for src in sources:
        streams.append(openrecording(lib, src, b'probe'))
        starts.append(time.monotonic())
    out = [bytearray() for _ in sources]
    buf = ctypes.create_string_buffer(2 * CHUNK)
    for _ in range(int(seconds * RATE / CHUNK)):
        for s, o in zip(streams, out):
            err = ctypes.c_int(0)
            if lib.pa_simple_read(s, buf, 2 * CHUNK, ctypes.byref(err)) < 0:
                sys.exit('latencyprobe: recording failed (error %d)' % err.value)
            o += buf.raw
    for s in streams:
        lib.pa_simple_free(s)
    samples = [struct.unpack('<%dh' % (len(o) // 2), bytes(o)) for o in out]
    return samples, [t - starts[0] for t in starts]


def onpipewire():
    """True when the server is PipeWire and its own recorder and linker are at hand."""
    if not (shutil.which('pw-record') and shutil.which('pw-link') and shutil.which('pactl')):
        return False
    info = subprocess.run(['pactl', 'info'], capture_output=True, text=True).stdout
    return 'PipeWire' in info


def links(direction):
    """The ports PipeWire lists: 'i' inputs, 'o' outputs."""
    return subprocess.run(['pw-link', '-' + direction], capture_output=True, text=True).stdout.split()


def recordlinked(sources, seconds):
    """The first channel of each sink monitor in sources (at most two), recorded
    by one PipeWire stream that no session manager links elsewhere: the
    monitors land in the same cycles, so the recordings start together."""
    name = 'quarnprobe%d' % os.getpid()
    inputs = [name + ':input_FL', name + ':input_FR']
    outputs = [src[:-len('.monitor')] + ':monitor_FL' for src in sources]
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'both.wav')
        recorder = subprocess.Popen(['pw-record', '--channels', '2', '--rate', str(RATE), '--format', 's16',
                                     '-P', '{ node.name=%s node.autoconnect=false }' % name, path],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            for _ in range(100):
                if all(p in links('i') for p in inputs[:len(sources)]) and all(p in links('o') for p in outputs):
                    break
                time.sleep(0.05)
            else:
                sys.exit('latencyprobe: PipeWire did not show the ports %s' % ' '.join(inputs + outputs))
            for out, into in zip(outputs, inputs):
                if subprocess.run(['pw-link', out, into], capture_output=True).returncode != 0:
                    sys.exit('latencyprobe: cannot link %s to %s' % (out, into))
            linked = time.time()
            time.sleep(seconds)
        finally:
            recorder.send_signal(signal.SIGINT)  # pw-record completes the file's header
            recorder.wait(10)
        with wave.open(path, 'rb') as w:
            both = struct.unpack('<%dh' % (2 * w.getnframes()), w.readframes(w.getnframes()))
    # Before the links are made both channels are silent: drop that stretch.
    first = next((k for k in range(0, len(both), 2) if both[k] or both[k + 1]), len(both)) // 2
    return [both[2 * first::2], both[2 * first + 1::2]][:len(sources)], linked


def waitsound(source, seconds):
    """Returns once the source carries sound (exit 0), or after seconds (exit 1)."""
    lib = pulse()
    s = openrecording(lib, source, b'wait')
    buf = ctypes.create_string_buffer(2 * CHUNK)
    err = ctypes.c_int(0)
    for _ in range(int(seconds * RATE / CHUNK)):
        if lib.pa_simple_read(s, buf, 2 * CHUNK, ctypes.byref(err)) < 0:
            break
        if any(struct.unpack('<%dh' % CHUNK, buf.raw)):
            lib.pa_simple_free(s)
            return
    lib.pa_simple_free(s)
    sys.exit('latencyprobe: no sound from %s in %d s' % (source, seconds))


def onsets(x, threshold, holdoff):
    """Positions where |x| first rises above threshold, at least holdoff samples apart."""
    found, last = [], -holdoff
    for i, v in enumerate(x):
        if (v > threshold or -v > threshold) and i - last >= holdoff:
            found.append(i)
            last = i
    return found


def clickband(x):
    """x through a band-pass at the click's 3 kHz (Q 5): the 441 Hz tone comes
    through 30 dB down, and the step where a drop-out starts or ends comes
    through at a fifth of its height or less."""
    w0 = 2 * math.pi * 3000 / RATE
    alpha = math.sin(w0) / (2 * 5.0)
    a0 = 1 + alpha
    b0, a1, a2 = alpha / a0, -2 * math.cos(w0) / a0, (1 - alpha) / a0
    out, x1, x2, y1, y2 = [0.0] * len(x), 0.0, 0.0, 0.0, 0.0
    for i, v in enumerate(x):
        o = b0 * (v - x2) - a1 * y1 - a2 * y2
        x2, x1, y2, y1 = x1, v, y1, o
        out[i] = o
    return out


def clickthreshold(x, band):
    """The level a click passes in band: eight times the tone that comes
    through (the median window peak of band), and the tone's own median window
    peak. A drop-out's edge comes through the band at a fifth of the tone's
    height or less, so it stays under that even where the automatic level has
    lifted the tone to three times its median. 50 at least, for a silent x."""
    n = int(WINDOW * RATE)
    leak = statistics.median(windowpeaks(band, n) or [0])
    tone = statistics.median(windowpeaks(x, n) or [0])
    return max(8 * leak, tone, 50)


def windowpeaks(x, n):
    return [max(abs(v) for v in x[i:i + n]) for i in range(0, len(x) - n + 1, n)]


def keep(path, samples):
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack('<%dh' % len(samples), *samples))


def findclicks(x, y, shift=0):
    """Each click of the input x looked for in the output y, where y[k] was
    heard at x's time k + shift: the round trips in ms, and where (s) the
    clicks that did not come out within 1 s went in."""
    # Clicks are found in their own band, on both sides alike: the output's
    # level follows the program's automatic level, and there a click may stand
    # only five times above the tone.
    xband, yband = clickband(x), clickband(y)
    inclicks = onsets(xband, clickthreshold(x, xband), int(RATE * CLICKEVERY / 2))
    threshold = clickthreshold(y, yband)
    trips, lostat = [], []
    for c in inclicks:
        start, stop = c - shift, c - shift + int(RATE * 1.0)
        if start < 0 or stop > len(y):
            continue
        hit = next((k for k in range(start, stop) if abs(yband[k]) > threshold), None)
        if hit is None:
            lostat.append(start / RATE)
        else:
            trips.append((hit - start) / RATE * 1000)
    return trips, lostat


def silentgaps(y):
    """The tone's level in y (its median window peak), and the silent stretches
    of y: windows under a tenth of the tone's level, from the first window with
    sound (before it the recording is starting). Each stretch's start in s and
    its length in windows."""
    peaks = windowpeaks(y, int(WINDOW * RATE))
    tone = statistics.median(peaks) if peaks else 0
    starts, lengths, run = [], [], 0
    first = next((k for k, p in enumerate(peaks) if p >= tone / 10), len(peaks))
    for k in range(first, len(peaks) + 1):
        if k < len(peaks) and peaks[k] < tone / 10:
            run += 1
        elif run:
            starts.append((k - run) * WINDOW)
            lengths.append(run)
            run = 0
    return tone, starts, lengths


def measure(insource, outsource, seconds):
    if onpipewire() and insource.endswith('.monitor') and outsource.endswith('.monitor'):
        ((x, y), began), offsets = recordlinked([insource, outsource], seconds), [0.0, 0.0]
        together = 'one stream for both'
    else:
        began = time.time()
        (x, y), offsets = record([insource, outsource], seconds)
        together = 'streams started %.1f ms apart' % (offsets[1] * 1000)
    folder = os.environ.get('QUARN_LATENCY_KEEP')
    if folder:  # both recordings, for a closer look
        keep(os.path.join(folder, 'in.wav'), x)
        keep(os.path.join(folder, 'out.wav'), y)
    trips, lostat = findclicks(x, y, int(round(offsets[1] * RATE)))
    tone, starts, lengths = silentgaps(y)
    print('clicks %d  lost %d' % (len(trips) + len(lostat), len(lostat)))
    if lostat:
        print('lost clicks at s:', ' '.join('%.2f' % t for t in lostat))
    if trips:
        trips.sort()
        print('round trip ms: median %.1f  min %.1f  max %.1f  spread %.1f' %
              (statistics.median(trips), trips[0], trips[-1], trips[-1] - trips[0]))
    print('output tone peak %d; silent gaps %d, longest %.0f ms; %s' %
          (tone, len(starts), max(lengths, default=0) * WINDOW * 1000, together))
    print('gaps start at s:', ' '.join('%.2f' % t for t in starts[:20]))
    print('recording began at %.2f s since 1970 (to line up runs side by side)' % began)
    if folder:
        with open(os.path.join(folder, 'gaps.txt'), 'w') as f:
            for t, n in zip(starts, lengths):
                f.write('%.3f %.3f\n' % (began + t, n * WINDOW))


if __name__ == '__main__':
    if len(sys.argv) == 4 and sys.argv[1] == 'clicks':
        clicks(sys.argv[2], float(sys.argv[3]))
    elif len(sys.argv) == 4 and sys.argv[1] == 'waitsound':
        waitsound(sys.argv[2], float(sys.argv[3]))
    elif len(sys.argv) == 5 and sys.argv[1] == 'measure':
        measure(sys.argv[2], sys.argv[3], float(sys.argv[4]))
    else:
        sys.exit(__doc__)
