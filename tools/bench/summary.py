#!/usr/bin/env python3
"""Prints the benchmark figures of one or more runs against their targets.

Each folder holds the Google Benchmark JSON files of one run of every benchmark program (or of
some of them: a repeat). A ratio is taken between figures of the same run, so that a floor and
its subject always meet the same machine load. With repeats, the figure shown is the median of
the runs (the lower middle one), and a target counts as missed only when every run missed it: a miss in one run and a
pass in another lies within the machine's noise.

  summary.py FOLDER...            the table; exit status 1 when a target is missed in every run
  summary.py --missed FOLDER...   instead, one line per benchmark program to repeat:
                                  the program's name and a filter of the benchmarks concerned
"""
import json
import pathlib
import re
import statistics
import sys


def load(folder):
    """Benchmark name -> (program name, figures) for one run."""
    runs = {}
    for path in sorted(pathlib.Path(folder).glob("*.json")):
        try:
            data = json.loads(path.read_text())
        except ValueError:
            continue
        for b in data.get("benchmarks", []):
            if b.get("run_type", "iteration") != "iteration":
                continue
            unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
            runs[b["name"]] = (path.stem,
                               {"ms": b["real_time"] * unit, "cpu_ms": b["cpu_time"] * unit, **b})
    return runs


def find(run, prefix):
    for name, (program, figures) in run.items():
        if name.startswith(prefix):
            return program, figures
    return None


class Table:
    def __init__(self, runs):
        self.runs = runs
        self.rows = []  # label, figure, floor, target, result, programs, prefixes

    def _add(self, label, prefixes, floor, target, measure, passes, show):
        """measure(run) gives a value or None; passes(value) and show(value) judge and print it."""
        values, programs = [], set()
        for run in self.runs:
            found = [find(run, p) for p in prefixes]
            if all(found):
                value = measure([f[1] for f in found])
                if value is not None:
                    values.append(value)
                    programs.update(f[0] for f in found)
        if not values:
            return
        median = statistics.median_low(values)
        if all(passes(v) for v in values) or passes(median):
            result = "ok"
        elif any(passes(v) for v in values):
            result = "ok (noise)"
        else:
            result = "MISSED"
        figure = show(median) + (f" [{len(values)} runs]" if len(values) > 1 else "")
        self.rows.append((label, figure, floor, target, result, programs, prefixes))

    def time(self, label, prefix, target_ms):
        self._add(label, [prefix], "-", f"< {target_ms:g} ms", lambda f: f[0]["ms"],
                  lambda v: v < target_ms, lambda v: f"{v:.2f} ms")

    def ratio(self, label, prefix, baselines, limit, cpu=False, scale=1, floor=None):
        """The subject's time over the sum of its floors' times in the same run; scale: how
        many floor runs the subject stands for; without a limit the ratio is only reported."""
        key = "cpu_ms" if cpu else "ms"
        values = {}

        def measure(found):
            ratio = found[0][key] / (scale * sum(b[key] for b in found[1:]))
            values[ratio] = found[0][key]
            return ratio

        self._add(label, [prefix] + list(baselines), floor or " + ".join(baselines),
                  "report" if limit is None else f"<= {limit:g}x", measure,
                  lambda v: limit is None or v <= limit,
                  lambda v: f"{v:.2f}x ({values.get(v, 0):.0f} ms)" if v in values
                  else f"{v:.2f}x")

    def peak(self, label, prefix, target_mb):
        self._add(label, [prefix], "-", f"< {target_mb:g} MB",
                  lambda f: f[0].get("peak_MB"), lambda v: v < target_mb,
                  lambda v: f"{v:.0f} MB peak")

    def report(self, label, prefix, counter, unit, scale=1.0):
        self._add(label, [prefix], "-", "report", lambda f: f[0].get(counter),
                  lambda v: True, lambda v: f"{v * scale:.1f} {unit}")

    def missed(self):
        return [r for r in self.rows if r[4] == "MISSED"]


def fill(table):
    time_row, ratio_row, peak_row, report_row = table.time, table.ratio, table.peak, table.report
    time_row("resample 3000x4000 to 480x640", "resample/3000/4000", 2)
    time_row("rotate 480x640 (pixels only)", "rotate", 1)
    ratio_row("decode 480x640 vs bare libjpeg", "decode", ["decodeBareLibjpeg"], 1.1)
    ratio_row("encode 480x640 vs bare libjpeg", "encode", ["encodeBareLibjpeg"], 1.1)
    time_row("switch group, 10,000 members", "BM_SwitchGroup", 50)
    time_row("title click, 10,000 members", "BM_TitleClick", 50)
    time_row("status bar update", "BM_UpdateStatusBar", 50)
    time_row("search keystroke, 10,000 members", "BM_Keystroke/first_letter", 50)
    time_row("first search keystroke, 10,000 members", "BM_FirstKeystroke", 50)
    time_row("search keystroke, Chinese, 10,000 members", "BM_Keystroke/chinese", 50)
    # Whole processes on 480x640 photos; the floors read the same photos from one file.
    # The target's floor is img2pdf writing the photo files into a PDF unchanged; a minimal
    # cairo program doing the same (no process of a program with a database and text) is
    # reported beside it.
    for n, count in (("1,000", 1000), ("10,000", 10000)):
        ratio_row(f"cards command, {n} members", f"CardsCommand/{count}/",
                  [f"Img2pdfFloor/{count}/"], 1.5,
                  floor="JPEG bytes into a PDF unchanged (img2pdf)")
        ratio_row(f"cards command, {n} members, vs bare cairo", f"CardsCommand/{count}/",
                  [f"PassThroughFloor/{count}/"], None,
                  floor="JPEG bytes into a PDF unchanged (bare cairo)")
        ratio_row(f"cards command, {n} members, vs decoding", f"CardsCommand/{count}/",
                  [f"DecodeFloor/{count}/"], 1.5, floor="decoding the photos alone (libjpeg)")
    table._add("cards command peak memory, 10,000 vs 1,000 members",
               ["CardsCommand/10000/", "CardsCommand/1000/"], "the 1,000 members' peak",
               "<= 1.25x", lambda f: f[0]["peak_MB"] / f[1]["peak_MB"], lambda v: v <= 1.25,
               lambda v: f"{v:.2f}x")
    ratio_row("check list of 1,000 members", "CheckListCommand/1000/", ["DecodeFloor/1000/"],
              1.5, floor="decoding the photos alone (libjpeg)")
    peak_row("cards command, 16 photos of 7000x7000", "Cards7000x7000/16/", 300)
    peak_row("cards command, 1,000 photos of 7000x7000", "Cards7000x7000/1000/", 300)
    # A third of the 5.37 s that decoding every photo at full size took on this machine.
    time_row("cards command, 20 photos of 12 MP", "Cards12Megapixel/20/", 1790)
    ratio_row("import 10,000 rows into 10,000 vs libfreexl reading every cell",
              "importWorkbook/10000", ["readCellsWithFreexl/10000"], 2)
    ratio_row("import 20,000 into 20,000 vs 10,000 into 10,000", "importWorkbook/20000",
              ["importWorkbook/10000"], 2.1)
    # Floor: the same decode, resample and encode of the photos held in memory, libjpeg
    # decoding into one buffer for the whole batch. Reported only: the pass also reads each
    # photo from the encrypted file and writes the result back, which this floor leaves out.
    ratio_row("resize-all 100 photos of 3000x4000 vs its stages, one buffer",
              "resizeAll3000x4000", ["resizeFloor3000x4000"], None, cpu=True)
    # The target: the same stages with the file's own share (reading each photo, writing the
    # result) added to the floor, so that the ratio is what the pass spends beyond both.
    ratio_row("resize-all 3000x4000 vs its stages + file reads and writes",
              "resizeAll3000x4000", ["resizeFloor3000x4000", "resizeFileShare3000x4000"], 1.1,
              cpu=True)
    # Floor: a QMainWindow with a table view over the same 10,000 rows read once.
    ratio_row("start-up, 10,000 members, vs Qt window + one read", "BM_StartupWindow/0",
              ["BM_StartupFloor"], 1.3)
    ratio_row("start-up, 10,000 stamped members, vs Qt window + one read",
              "BM_StartupWindowStamped", ["BM_StartupFloor"], 1.3)
    # The same work on the file and on a PostgreSQL server on this machine, side by side.
    time_row("switch group, 10,000 members, file", "BackendSwitchGroup/file", 50)
    time_row("switch group, 10,000 members, server", "BackendSwitchGroup/server", 50)
    time_row("import 10,000 rows into 10,000, file", "BackendImport/file/10000", 2000)
    time_row("import 10,000 rows into 10,000, server", "BackendImport/server/10000", 2000)
    time_row("import 10,000 rows into a new database, file", "BackendImportNew/file/10000", 2000)
    time_row("import 10,000 rows into a new database, server", "BackendImportNew/server/10000",
             2000)
    report_row("backup, 10,000 members with photos, file", "BackendBackup/file",
               "bytes_per_second", "MB/s", 1e-6)
    report_row("backup, 10,000 members with photos, server", "BackendBackup/server",
               "bytes_per_second", "MB/s", 1e-6)
    report_row("backup of 500 MB", "backup", "bytes_per_second", "MB/s", 1e-6)
    report_row("plain copy of the same file", "plainFileCopy", "bytes_per_second", "MB/s", 1e-6)
    report_row("import rows per second", "importWorkbook/10000", "items_per_second", "rows/s")
    report_row("resize photos per second", "resizeAll", "items_per_second", "photos/s")


def main(argv):
    repeat = argv[:1] == ["--missed"]
    folders = argv[1:] if repeat else argv
    table = Table([load(f) for f in (folders or ["build/bench-results"])])
    fill(table)
    if repeat:
        programs = {}
        for row in table.missed():
            for program in row[5]:
                programs.setdefault(program, set()).update(row[6])
        for program, prefixes in sorted(programs.items()):
            names = sorted({p.split("/")[0] for p in prefixes})
            print(program, "^(" + "|".join(re.escape(n) for n in names) + ")")
        return 0
    rows = table.rows
    width = max((len(r[0]) for r in rows), default=10)
    floor_width = max((len(r[2]) for r in rows), default=5)
    print(f"{'benchmark':<{width}}  {'figure':>30}  {'floor':<{floor_width}}  {'target':>10}  result")
    for label, figure, floor, target, result, _, _ in rows:
        print(f"{label:<{width}}  {figure:>30}  {floor:<{floor_width}}  {target:>10}  {result}")
    return 1 if table.missed() else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
