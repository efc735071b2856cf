#!/usr/bin/env python3
"""Writes data/multi_race_noise.journal: two races in one run, receiver bytes
with noise (stray bytes, broken sync runs, wrong checksums, frames split over
several receive blocks), test passes and parameter changes. Seeded, so the
file is the same on every run."""
import random

rng = random.Random(7)
lines = ["palomind-journal 1", "# two races with noise in the byte stream"]


def frame(tid):
    d1, d2 = rng.randrange(0, 0xFE), rng.randrange(0, 0xFE)
    s = (tid + d1 + d2) % 256
    if s == 0xFE:  # such a frame can never be accepted; keep the race simple
        d2 = (d2 + 1) % 0xFE
        s = (tid + d1 + d2) % 256
    return [0xFE, 0xFE, 0xFE, tid, d1, d2, s]


def noise():
    kind = rng.randrange(4)
    if kind == 0:
        return [rng.randrange(0, 0xFE) for _ in range(rng.randrange(1, 4))]
    if kind == 1:
        return [0xFE] * rng.randrange(1, 3) + [0x42]
    if kind == 2:
        f = frame(rng.randrange(1, 30))
        f[6] = (f[6] + 1) % 256
        return f
    return []


def rx(tick, data):
    lines.append(f"{tick} rx " + " ".join(f"{b:02x}" for b in data))


def race(start_tick, ids, race_time, wait):
    lines.append(f"{start_tick} racetime {race_time}")
    lines.append(f"{start_tick} startwait {wait}")
    lines.append(f"{start_tick + 500} start")
    timing = round((start_tick + 500) / 1000 + wait) * 1000
    events = []
    for tid in ids:
        t = timing + rng.randrange(300, 2000)
        end = timing + race_time * 1000 + 15000
        while t < end:
            events.append((t, tid))
            t += rng.randrange(7000, 12000)
    events.sort()
    for t, tid in events:
        data = noise() + frame(tid) + noise()
        if rng.random() < 0.3:
            cut = rng.randrange(1, len(data))
            rx(t, data[:cut])
            rx(t + 1, data[cut:])
        else:
            rx(t, data)
    return events[-1][0] + 2


lines.append("100000 boot")
t = race(101000, [3, 5, 9, 12, 21], 60, 5)
lines.append(f"{t} id1")
lines.append(f"{t + 100} id1")
lines.append(f"{t + 5000} stop")
t = race(t + 10000, [5, 7, 9, 33, 64], 30, 8)
lines.append(f"{t + 20000} id2")

with open("data/multi_race_noise.journal", "w") as out:
    out.write("\n".join(lines) + "\n")
