#!/usr/bin/env python3
"""Watches a soak run: reads what the program plays (raw s16le stereo 44100 Hz
on stdin, from parec) and, every minute of audio, prints the blocks dropped
since the last line, the process's memory and its CPU share.

  parec ... | soakwatch.py PID BUFFERSIZE MINUTES [COUNTERCMD]

Dropped blocks are estimated from gaps in the recording: with noise going in,
the chain's output is never exactly zero for long, so a run of at least 64
all-zero frames is a gap where no block was played, and its length divided by
the block length is the blocks it lost. Start-up (everything before the end of
the fade-in, 10 s after the first sound) is not counted. COUNTERCMD, when
given, is a shell command printing the program's own count of dropped blocks
(a counter in the engine); its figure is shown beside the estimate.
"""
import array
import os
import subprocess
import sys
import time

RATE = 44100
MINGAP = 64  # frames of silence that count as a gap


def memory_mb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return float("nan")


def cputicks(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])  # utime + stime
    except (OSError, IndexError):
        return None


def main():
    pid, buffersize, minutes = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
    countercmd = sys.argv[4] if len(sys.argv) > 4 else ""
    hz = os.sysconf("SC_CLK_TCK")
    chunk = 4 * 4410  # 0.1 s
    started = False   # start-up over: 10 s after the first sound
    sounding = -1     # frames since the first sound; -1 before it
    zerorun = 0       # current run of all-zero frames
    frames = 0        # frames read in this minute
    gaps = gapframes = 0
    total_blocks = 0
    minute = 0
    memories = []
    lastticks, lasttime = cputicks(pid), time.monotonic()
    stdin = sys.stdin.buffer
    rest = b""
    while minute < minutes:
        data = stdin.read(chunk)
        if not data:
            break
        data = rest + data
        whole = len(data) - len(data) % 4
        rest = data[whole:]
        block = array.array("i")  # one 32-bit word per stereo frame
        block.frombytes(data[:whole])
        for word in block:
            silent = word == 0
            if not started:
                if sounding >= 0 or not silent:
                    sounding += 1
                started = sounding >= 10 * RATE
                continue
            if silent:
                zerorun += 1
            else:
                if zerorun >= MINGAP:
                    gaps += 1
                    gapframes += zerorun
                zerorun = 0
        frames += len(block)
        if frames < 60 * RATE:
            continue
        minute += 1
        frames -= 60 * RATE
        blocks = round(gapframes / buffersize)
        total_blocks += blocks
        ticks, now = cputicks(pid), time.monotonic()
        cpu = (ticks - lastticks) / hz / (now - lasttime) * 100 if ticks is not None and lastticks is not None else float("nan")
        lastticks, lasttime = ticks, now
        mem = memory_mb(pid)
        memories.append(mem)
        counter = ""
        if countercmd:
            out = subprocess.run(countercmd, shell=True, capture_output=True, text=True).stdout.strip()
            counter = f", engine counter {out}"
        state = "" if started else " (still starting)"
        print(f"soak: minute {minute}: dropped blocks ~{blocks} ({gaps} gaps, {gapframes / RATE * 1000:.0f} ms)"
              f"{counter}, memory {mem:.1f} MB, cpu {cpu:.0f}%{state}", flush=True)
        gaps = gapframes = 0
    if memories:
        print(f"soak: {minute} minutes: dropped blocks ~{total_blocks} after start-up; memory first {memories[0]:.1f} MB,"
              f" last {memories[-1]:.1f} MB, highest {max(memories):.1f} MB", flush=True)


if __name__ == "__main__":
    main()
