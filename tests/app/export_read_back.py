#!/usr/bin/env python3
"""Replays a race whose names hold a comma, quotes and a line break, exports it
with `palomind --replay J --export-csv F --export-html F`, and reads the CSV
back with Python's csv module, as a spreadsheet would."""
import csv
import subprocess
import sys
import tempfile
from pathlib import Path

JOURNAL = r"""palomind-journal 1
0 name 1 Sato, "Flash"\r\nJr.
0 name 2 Ito,Jiro
0 name 3 山田 "Q" 太郎
0 boot
10 racetime 60
10 startwait 1
20 start
3000 rx fe fe fe 01 10 20 31
3100 rx fe fe fe 02 10 20 32
3200 rx fe fe fe 03 10 20 33
10000 rx fe fe fe 01 10 20 31
10150 rx fe fe fe 02 10 20 32
17000 rx fe fe fe 01 10 20 31
"""

def main(program):
    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        (work / "race.journal").write_text(JOURNAL, encoding="utf-8")
        run = subprocess.run([program, "--replay", "race.journal", "--export-csv", "r.csv",
                              "--export-html", "r.html"], cwd=work, capture_output=True, text=True)
        assert run.returncode == 0, run.stderr
        raw = (work / "r.csv").read_bytes()
        assert raw.startswith(b"\xef\xbb\xbf"), raw[:10]
        assert raw.endswith(b"\r\n") and raw.count(b"\r\n\r\n") == 1  # before the race's rows
        with open(work / "r.csv", encoding="utf-8-sig", newline="") as f:
            rows = list(csv.reader(f, strict=True))
        assert rows[0] == ["レース時間", "60"], rows[0]
        assert rows[1] == ["順位", "ID", "名前", "周回", "合計タイム", "ベストラップ", "ラップ1",
                           "ラップ2"], rows[1]
        entrants = rows[2:rows.index([])]
        by_id = {row[1]: row for row in entrants}
        assert len(entrants) == 3 and set(by_id) == {"1", "2", "3"}, rows
        after = rows[rows.index([]) + 1:]
        assert [row[0] for row in after] == ["開始", "コメント", "バージョン"], after
        assert after[0][1].startswith("1970-01-01T00:00:"), after  # the journal's name has no date
        assert by_id["1"][2] == 'Sato, "Flash"\r\nJr.', by_id["1"]
        assert by_id["2"][2] == "Ito,Jiro"
        assert by_id["3"][2] == '山田 "Q" 太郎'
        assert by_id["1"][:2] == ["1", "1"] and by_id["1"][3] == "2", by_id["1"]
        for row in entrants:
            assert len(row) == len(rows[1]), row
            for seconds in filter(None, row[4:]):
                float(seconds)  # every time is a number a spreadsheet computes with
                assert len(seconds.split(".")[1]) == 3, seconds  # the engine's milliseconds
        html = (work / "r.html").read_text(encoding="utf-8")
        assert "Sato, &quot;Flash&quot;" in html and "<script" not in html
    print("1 passed, 0 failed")

if __name__ == "__main__":
    main(sys.argv[1])
