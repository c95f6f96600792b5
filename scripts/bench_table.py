#!/usr/bin/env python3
"""Formats the benchmark results of scripts/bench as a Markdown table.

Arguments: the Google Benchmark JSON file, the hyperfine JSON file of the
command-line comparison, the file holding the command's peak resident
memory in KiB, the hyperfine JSON file of `ztxgrp bom` (collapse, expand) on
a 100,000-row parts list and the file holding its peak memory.
"""
import datetime
import json
import os
import sys


def medians(path):
    with open(path) as f:
        data = json.load(f)
    result = {}
    for run in data["benchmarks"]:
        if run.get("aggregate_name", "median") != "median":
            continue
        name = run["run_name"] if "run_name" in run else run["name"]
        name = name.replace("/iterations:1", "")
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[run["time_unit"]]
        result[name] = (run["real_time"] * scale, run.get("items_per_second"))
    return result


def show(seconds):
    if seconds >= 1:
        return f"{seconds:.2f} s"
    if seconds >= 1e-3:
        return f"{seconds * 1e3:.2f} ms"
    return f"{seconds * 1e6:.1f} µs"


# Each goal: what is measured, the row measured and the row it is set
# against, and the largest ratio allowed.
GOALS = [
    ("`ztxgrp::group`, a real board of 1,000 designators / reading each text once and its number",
     "Utf8Group/board/1000", "Utf8Floor/board/1000", 4),
    ("`ztxgrp::group`, 30,000 board designators / the same floor", "Utf8Group/board/30000",
     "Utf8Floor/board/30000", 2.5),
    ("`ztxgrp::group`, a sparse sample of 1,000 from a large board / reading the input once "
     "and building each result string", "Utf8Group/sparse/1000", "Utf8FloorOfOutput/sparse/1000", 3),
    ("`ztxgrp::group`, a sparse sample of 4,000 / the same floor", "Utf8Group/sparse/4000",
     "Utf8FloorOfOutput/sparse/4000", 3),
    ("`ztxgrp::group`, 32,766 items each with its own prefix / `std::sort` of the same texts",
     "Utf8Group/distinct-prefixes/32766", "Utf8SortTexts/distinct-prefixes/32766", 0.7),
    ("kept: colliding prefixes / `std::sort` of the same texts",
     "Utf8Group/colliding-prefixes/32766", "Utf8SortTexts/colliding-prefixes/32766", 0.7),
    ("kept: ungrouping ranges of long prefixes / building their result strings",
     "Utf8Ungroup/long-prefixes/32760", "Utf8FloorOfOutput/long-prefixes/32760", 1.3),
]


def main():
    times = medians(sys.argv[1])
    rows = []
    floors = {"Group": "Floor", "Ungroup": "FloorOfResults", "UngroupItem": "FloorOfResults",
              "Utf8Group": "Utf8Floor", "Utf8Ungroup": "Utf8Floor"}
    for name, (seconds, rate) in times.items():
        operation, shape, size = name.split("/")
        if "Floor" in operation or operation.startswith(("Reference", "SortTexts", "Utf8SortTexts")):
            continue
        floor = times.get(f"{floors.get(operation, '')}/{shape}/{size}", (None,))[0]
        reference = times.get(f"Reference-{operation}/{shape}/{size}", (None,))[0]
        rows.append((operation, f"{shape} {size}", show(seconds),
                     f"{seconds / floor:.2f}×" if floor else "–",
                     f"{reference / seconds:,.0f}×" if reference else "–",
                     f"{1e9 / rate:.0f} ns" if rate else "–"))
    print(f"Measured {datetime.date.today()} on {os.cpu_count()} cores, "
          f"{os.sysconf('SC_PAGE_SIZE') * os.sysconf('SC_PHYS_PAGES') / 2**30:.0f} GiB "
          "(medians of 9 repetitions, one run).\n")
    print("| operation | list | time | ratio to floor | transcription / ours | per item |")
    print("|---|---|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print()
    print("| every item its own prefix | texts | group | `std::sort` of the texts | group / sort |")
    print("|---|---|---|---|---|")
    for name, (seconds, _) in times.items():
        sort, _, rest = name.partition("SortTexts/")
        if _ == "" or sort not in ("", "Utf8"):
            continue
        shape, size = rest.split("/")
        group = times[f"{sort}Group/{shape}/{size}"][0]
        texts = "UTF-8 (`ztxgrp::group`)" if sort else "UTF-16 values (`IclsGroup::Group`)"
        print(f"| {shape} {size} | {texts} | {show(group)} | {show(seconds)} | "
              f"{group / seconds:.2f}× |")
    print()
    print("| shape (the floor it is measured against) | measured | goal | met |")
    print("|---|---|---|---|")
    for label, over, under, goal in GOALS:
        if over in times and under in times:
            ratio = times[over][0] / times[under][0]
            print(f"| {label} | {ratio:.2f}× | ≤ {goal}× | {'yes' if ratio <= goal else 'no'} |")
    with open(sys.argv[2]) as f:
        cli = json.load(f)["results"]
    with open(sys.argv[3]) as f:
        memory = int(f.read().split()[-1])
    ours, sort = cli[0]["mean"], cli[1]["mean"]
    print()
    print("| command on 30,000 board designators | wall time (mean of 30) | peak memory |")
    print("|---|---|---|")
    print(f"| `ztxgrp group < file` | {show(ours)} | {memory / 1024:.1f} MiB |")
    print(f"| `sort -V file` | {show(sort)} | – |")
    print(f"\nztxgrp / sort -V wall time: {ours / sort:.2f}")
    with open(sys.argv[4]) as f:
        bom = json.load(f)["results"]
    with open(sys.argv[5]) as f:
        bom_memory = int(f.read().split()[-1])
    print()
    print("| `ztxgrp bom` on a 100,000-row parts list | wall time (mean of 10) | peak memory |")
    print("|---|---|---|")
    print(f"| collapse to one row per part | {show(bom[0]['mean'])} | {bom_memory / 1024:.1f} MiB |")
    print(f"| `--expand` the collapsed list | {show(bom[1]['mean'])} | – |")
    if len(bom) > 2:
        script = bom[2]["mean"]
        print(f"| the same collapse in Python (`bench/bom_python.py`: `csv` and `ztxgrp.group`) "
              f"| {show(script)} | – |")
        ratio = bom[0]['mean'] / script
        print(f"\n`ztxgrp bom` / the Python script: {ratio:.2f} (goal ≤ 0.35: "
              f"{'met' if ratio <= 0.35 else 'not met'})")


if __name__ == "__main__":
    main()
