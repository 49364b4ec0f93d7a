#!/usr/bin/env python3
"""The round-trip probe's analysis (tools/latencyprobe.py) on recordings made
up here: an output that carries the click train 40 ms late, its level wandering
as the automatic level moves it, with drop-outs punched in.

    latencyprobe_test.py TOP
"""
import math
import os
import sys
import tempfile
import unittest
import wave
import struct

sys.path.insert(0, os.path.join(sys.argv.pop(1) if len(sys.argv) > 1 else '.', 'tools'))
import latencyprobe as probe  # noqa: E402

RATE = probe.RATE
DELAY = int(0.040 * RATE)
SECONDS = 20


def clicktrain():
    """The probe's own click train, first channel."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'clicks.wav')
        probe.clicks(path, SECONDS)
        with wave.open(path, 'rb') as w:
            both = struct.unpack('<%dh' % (2 * w.getnframes()), w.readframes(w.getnframes()))
    return list(both[::2])


def program(x):
    """What the chain makes of x, roughly: 40 ms late, the click pressed to five
    times the tone, the whole at a level that wanders over a factor of three
    (a tone peak of 90 to 270)."""
    tone = [1500 * math.sin(2 * math.pi * 441 * k / RATE) for k in range(len(x))]
    y = [0] * len(x)
    for k in range(DELAY, len(x)):
        level = 0.12 + 0.06 * math.sin(2 * math.pi * k / RATE / 7)
        click = x[k - DELAY] - tone[k - DELAY]
        y[k] = int(level * (tone[k - DELAY] + click / 3.2))
    return y


def clickat(s):
    """Where the output carries the click that went in at s."""
    return int(s * RATE) + DELAY


class FindClicks(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.x = clicktrain()
        cls.y = program(cls.x)

    def test_every_click_comes_out_with_its_delay(self):
        trips, lostat = probe.findclicks(self.x, self.y)
        self.assertEqual(lostat, [])
        self.assertEqual(len(trips), 10)
        for t in trips:
            self.assertAlmostEqual(t, 40.0, delta=1.0)

    def test_a_drop_outs_edges_are_no_click(self):
        # 20 ms of silence every 1.3 s, and one just before a click comes out,
        # where the tone stands highest: its edges must not read as the click.
        y = list(self.y)
        starts = list(range(int(0.2 * RATE), len(y) - RATE, int(1.3 * RATE)))
        starts.append(clickat(10.5) - int(0.030 * RATE))
        for g in starts:
            y[g:g + 882] = [0] * 882
        trips, lostat = probe.findclicks(self.x, y)
        self.assertEqual(lostat, [])
        self.assertEqual(len(trips), 10)
        for t in trips:
            self.assertAlmostEqual(t, 40.0, delta=1.0)
        tone, gapstarts, lengths = probe.silentgaps(y)
        self.assertEqual(len(gapstarts), len(starts))
        self.assertTrue(all(n in (3, 4) for n in lengths), lengths)  # 20 ms: 3 or 4 whole windows

    def test_a_click_lost_with_its_block_is_counted_where_it_went_in(self):
        # The block that held the click at 6.5 s is replaced by tone (a dropped
        # capture block), and the one at 14.5 s is silent.
        y = list(self.y)
        at = clickat(6.5)
        y[at - 441:at + 441] = y[at - 441 + 4410:at + 441 + 4410]
        at = clickat(14.5)
        y[at - 441:at + 441] = [0] * 882
        trips, lostat = probe.findclicks(self.x, y)
        self.assertEqual(len(trips), 8)
        self.assertEqual(['%.1f' % t for t in lostat], ['6.5', '14.5'])

    def test_a_silent_output_loses_every_click(self):
        trips, lostat = probe.findclicks(self.x, [0] * len(self.x))
        self.assertEqual((trips, len(lostat)), ([], 10))

    def test_a_late_start_of_the_output_recording_is_taken_off(self):
        # y started 25 ms after x: y[k] was heard at x's time k + shift.
        shift = int(0.025 * RATE)
        trips, lostat = probe.findclicks(self.x, self.y[shift:], shift)
        self.assertEqual(lostat, [])
        for t in trips:
            self.assertAlmostEqual(t, 40.0, delta=1.0)


if __name__ == '__main__':
    unittest.main()
