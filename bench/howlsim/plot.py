#!/usr/bin/env python3
"""Draws howlsim's results: plot.py OUTDIR PNG

Top: the added stable gain per room and material (the run command's set-up).
Bottom: the loudspeaker's level through the path-change run of the first room with
speech, without and with howlcut; the microphone moves at 10 s.
"""
import csv
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402


def main():
    folder, png = sys.argv[1], sys.argv[2]
    rows = [r for r in csv.DictReader(open(folder + "/rooms.csv")) if r["setup"] == "0"]
    rooms = sorted({int(r["room"]) for r in rows})
    materials = [m for m in ("speech", "music", "noise") if any(r["material"] == m for r in rows)]
    fig, (top, bottom) = plt.subplots(2, 1, figsize=(10, 7.5))
    width = 0.8 / len(materials)
    for i, m in enumerate(materials):
        asg = {int(r["room"]): float(r["asg"]) for r in rows if r["material"] == m}
        x = np.arange(len(rooms)) + (i - (len(materials) - 1) / 2) * width
        top.bar(x, [asg.get(k, np.nan) for k in rooms], width, label=f"{m} (mean {np.mean(list(asg.values())):.1f} dB)")
    top.axhline(6, color="grey", linestyle="--", linewidth=0.8)
    top.set_xticks(np.arange(len(rooms)), [str(k) for k in rooms])
    top.set_xlabel("room")
    top.set_ylabel("added stable gain (dB)")
    top.set_title("howlcut: added stable gain per room (882-frame blocks, 46.8 ms round trip)")
    top.legend(fontsize=8)

    t, without, with_ = [], [], []
    lines = open(folder + "/pathchange.csv")
    room = lines.readline().split()[1]
    for r in csv.DictReader(lines):
        t.append(float(r["seconds"]))
        without.append(float(r["level_without"]))
        with_.append(float(r["level_with"]))
    bottom.plot(t, without, label="without howlcut", linewidth=0.8)
    bottom.plot(t, with_, label="with howlcut", linewidth=0.8)
    bottom.axvline(10, color="grey", linestyle="--", linewidth=0.8)
    bottom.set_xlabel("s (the microphone moves at 10 s; gain 6 dB above the MSG without howlcut)")
    bottom.set_ylim(-60, 6)
    bottom.set_ylabel("loudspeaker level (dB re full-scale sine)")
    bottom.set_title(f"room {room}, speech: path change")
    bottom.legend(fontsize=8)
    fig.tight_layout()
    fig.savefig(png, dpi=90)


if __name__ == "__main__":
    main()
