#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora under fuzz/corpus/: small, well-formed
inputs that reach every part of each reader, for the fuzzer to mutate.
Re-running it rewrites the same files."""
import os
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus")


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def frame(ident, d1=0x10, d2=0x20):
    return bytes([0xFE, 0xFE, 0xFE, ident, d1, d2, (ident + d1 + d2) & 0xFF])


# --- receiver_stream: a program of events (see receiver_stream_fuzzer.cpp) ---
RECEIVE, RECEIVE_FRAME, TIMER_STEPS, TIMER_LATE, CLOCK_JUMP, START, STOP, TEST_PASS, \
    PASS_OF_ANY_ID, RESET, SET_RACE_TIME, SET_START_WAIT, SET_TTS_MODE = range(13)


def program(tick, race_time, start_wait, ops):
    return struct.pack("<ihh", tick, race_time, start_wait) + bytes(ops)


def steps(seconds):
    ops = []
    for _ in range(seconds):
        ops += [TIMER_STEPS, 100]
    return ops


def receive(data):
    return [RECEIVE, len(data)] + list(data)


race = [START] + steps(4)
for lap in range(3):
    for ident in (5, 7, 12, 64):
        race += [RECEIVE_FRAME, ident, 0x10 + lap, 0x20]
    race += steps(3)
race += receive(frame(5) + frame(7)[:3]) + receive(frame(7)[3:])
race += steps(12)
for ident in (5, 7, 12):
    race += [RECEIVE_FRAME, ident, 1, 2]
write("receiver_stream", "race", program(100000, 10, 3, race))

noise = [START] + steps(4)
noise += receive(bytes([0xFE] * 4) + frame(3)[3:])          # four sync bytes: no frame
noise += receive(bytes([0xFE] * 7) + frame(3)[3:])          # seven: one frame
noise += receive(bytes([0xFE, 0xFE, 0xFE, 5, 0x10, 0x20, 0x36]))  # bad checksum
noise += receive(bytes([0xFE, 0xFE, 0xFE, 0xF0, 0x20, 0x10, 0x20]))  # sum wraps
noise += receive(bytes([0xFE, 0xFE, 0xFE, 200, 1, 2, 203]))  # ID above 64
noise += receive(bytes([0xFE, 0xFE, 0xFE, 0, 1, 2, 3]))  # ID 0
noise += receive(bytes(range(255)))
write("receiver_stream", "noise", program(5000, 60, 3, noise))

commands = [TEST_PASS, 0, TEST_PASS, 1, TEST_PASS, 2, START] + steps(2) + [TEST_PASS, 0]
commands += steps(2) + [PASS_OF_ANY_ID, 63, PASS_OF_ANY_ID, 64, PASS_OF_ANY_ID, 65, PASS_OF_ANY_ID, 0]
commands += [STOP, TEST_PASS, 0, SET_RACE_TIME] + list(struct.pack("<i", 5))
commands += [SET_START_WAIT] + list(struct.pack("<i", 0)) + [SET_TTS_MODE, 1, 0, START] + steps(7)
commands += [TIMER_LATE] + list(struct.pack("<H", 500)) + [RESET]
write("receiver_stream", "commands", program(-20000, 480, 10, commands))

extremes = [SET_RACE_TIME] + list(struct.pack("<i", 2**31 - 1)) + [SET_START_WAIT] + list(struct.pack("<i", -(2**31)))
extremes += [START, TIMER_STEPS, 5, CLOCK_JUMP] + list(struct.pack("<i", 2**31 - 5000)) + [TIMER_STEPS, 3, TEST_PASS, 0]
write("receiver_stream", "extremes", program(2**31 - 3000, 0, 0, extremes))

long_race = [START] + steps(2)
for lap in range(40):
    long_race += [RECEIVE_FRAME, 9, lap, 0, TIMER_STEPS, 50]
write("receiver_stream", "long_race", program(0, 600, 1, long_race))

# --- journal ---------------------------------------------------------------
HEADER = "palomind-journal 1\n"
live = HEADER + "1000 racetime 20\n1000 startwait 3\n1000 ttsmode 0\n1000 boot\n2000 start\n"
t = 2000
for second in range(1, 26):
    t = 2000 + second * 1000
    live += f"{t} clock\n"
    if second > 3 and second % 2 == 0:
        live += f"{t + 300} rx fe fe fe 05 10 20 35 fe fe fe 07\n{t + 301} rx 10 20 37\n"
    if second == 6:
        live += f"{t + 500} id1\n{t + 600} id2\n{t + 700} id3\n"
live += f"{t + 10} stop\n"
write("journal", "live", live)

write("journal", "no_clock_lines",
      HEADER + "# a race written by hand\n\n0 racetime 5\n0 startwait 1\n0 start\n1500 rx FE FE FE 0A 00 00 0A\r\n"
      "3000 rx fe fe fe 0a 00 00 0a\n7000 rx fe fe fe 0a 00 00 0a\n")
write("journal", "crlf", HEADER.replace("\n", "\r\n") + "10 boot\r\n20 start\r\n30 stop\r\n")
write("journal", "extremes",
      HEADER + "-2147483648 racetime 2147483647\n-2147483648 startwait -2147483648\n-2147483648 ttsmode -32768\n"
      "-2147483648 start\n-2147483000 clock\n2147483647 id1\n")
write("journal", "bad_line", HEADER + "10 boot\n20 rx fe fe zz\n")
RECORD = "palomind-race 1\n2000 race 20261209-114551-1 2026-12-09T11:45:51+09:00\n"
write("journal", "race_record",
      RECORD + "2000 racetime 20\n2000 startwait 3\n2000 ttsmode 0\n2000 name 5 Taro\n2000 comment \n"
      "2000 boot 3f0c-9a\n2000 carry 7 1 22 6 3 2 40 05 10 0 0\n2000 start\n2010 rx 20 35\n"
      "3000 clock\n5000 clock\n5300 rx fe fe fe 05 10 20 35\n5400 id1\n6000 clock\n")
write("journal", "short_laps",
      HEADER + "1000 racetime 20\n1000 startwait 0\n1000 minlap 5000\n1000 ttsmode 1\n1000 boot\n"
      "2000 start\n3000 clock\n3100 id2\n9000 id2\n9300 id2\n9400 minlap 600000\n15000 id2\n"
      "16000 start\n17000 clock\n17100 id3\n17200 id3\n")
write("journal", "race_record_minlap",
      RECORD + "2000 racetime 20\n2000 startwait 3\n2000 ttsmode 2\n2000 minlap 600000\n"
      "2000 comment \n2000 start\n5300 rx fe fe fe 05 10 20 35\n5400 rx fe fe fe 05 10 20 35\n"
      "6000 minlap 0\n")
write("journal", "race_record_carry_cut_short", RECORD + "2000 carry 7 - 22 6 3 2\n2000 start\n")

# --- quoted_records: one plan byte, then a file --------------------------------
def cp932(text):
    return text.encode("cp932")


SETTINGS = cp932('1\r\n480\r\n10\r\n0\r\n"レースコメント記入欄"\r\n')
ROSTER = b"".join(cp932(f'"選手{i}"\r\n') for i in range(1, 65))
write("quoted_records", "settings", bytes([0b00001111]) + SETTINGS)
write("quoted_records", "roster", bytes([0]) + ROSTER)
write("quoted_records", "mixed",
      bytes([0b10100110]) + cp932('"a, b", 12 ,-7,"二行の\r\nコメント"\n+5\r"" ,x"y",  ①㈱～\r\n99999999999\r\n'))

# --- result_file -------------------------------------------------------------
def result_file(comment, max_lap, entry_count, standings=None, laps=None):
    out = cp932(f'"{comment}"\r\n{max_lap}\r\n{entry_count}\r\n')
    if max_lap > 0:
        for cell in standings:
            out += cp932(f'"{cell}"\r\n')
        for cell in laps:
            out += cp932(f'"{cell}"\r\n')
    return out


def standings_cells(entrants):
    cells = []
    for place in range(1, 21):
        if place <= entrants:
            cells += [str(place), f"{place:02d}", f"選手{place}", "003", "00h01m30s25", "00m29s10", "00m28s50"]
        else:
            cells += [str(place), "--", "", "---", "", "", ""]
    return cells


def lap_cells(max_lap, entrants):
    cells = []
    for row in range(max_lap + 2):
        for col in range(21):
            if row == 0:
                cells.append("Lap" if col == 0 else (f"ID{col:02d}" if col <= entrants else ""))
            elif row == 1:
                cells.append("" if col == 0 or col > entrants else f"選手{col}")
            else:
                cells.append(str(row - 1) if col == 0 else ("00m30s00" if col <= entrants else ""))
    return cells


write("result_file", "empty_race", result_file("レースコメント記入欄", 0, 0))
write("result_file", "three_laps", result_file("決勝\r\n晴れ", 3, 2, standings_cells(2), lap_cells(3, 2)))
write("result_file", "long_race", result_file("", 17, 20, standings_cells(20), lap_cells(17, 20)))
print("seeds written to", os.path.normpath(ROOT), file=sys.stderr)
