#!/usr/bin/env python3
"""Python against C++ in one run: ztxgrp.group and ztxgrp.ungroup of the
30,000 board designators, beside the same calls through the C++ UTF-8 API
(the benchmark binary) and beside a plain-Python joiner of the kind that
parts-list scripts carry. Prints a Markdown table.

Usage: python_bench.py BOARD_LIST_FILE ZTXGRP_BENCH_BINARY
"""
import json
import re
import statistics
import subprocess
import sys
import time

import ztxgrp

DESIGNATOR = re.compile(r"^(.*?)(\d+)$")


def python_joiner(items):
    """The hand-written joiner: split prefix and number, sort, fold runs."""
    keyed = []
    for item in items:
        match = DESIGNATOR.match(item)
        keyed.append((match.group(1), int(match.group(2))) if match else (item, -1))
    keyed.sort()
    out, k = [], 0
    while k < len(keyed):
        prefix, first = keyed[k]
        last = k
        while (first >= 0 and last + 1 < len(keyed) and keyed[last + 1][0] == prefix
               and keyed[last + 1][1] == keyed[last][1] + 1):
            last += 1
        number = keyed[last][1]
        out.append(f"{prefix}{first}-{prefix}{number}" if last > k else
                   (f"{prefix}{first}" if first >= 0 else prefix))
        k = last + 1
    return out


def median_seconds(call, repeat=41):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        call()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def cpp_medians(binary):
    output = subprocess.run(
        [binary, "--benchmark_filter=^Utf8(Group|Ungroup)/board/30000$",
         "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true",
         "--benchmark_format=json"], check=True, capture_output=True, text=True).stdout
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    return {run["run_name"].split("/")[0]: run["real_time"] * scale[run["time_unit"]]
            for run in json.loads(output)["benchmarks"] if run["aggregate_name"] == "median"}


def main():
    with open(sys.argv[1], encoding="utf-8") as board:
        items = board.read().split("\n")[:-1]
    grouped = ztxgrp.group(items)
    cpp = cpp_medians(sys.argv[2])
    rows = [
        ("group", median_seconds(lambda: ztxgrp.group(items)), cpp["Utf8Group"],
         median_seconds(lambda: python_joiner(items), repeat=11)),
        ("ungroup", median_seconds(lambda: ztxgrp.ungroup(grouped)), cpp["Utf8Ungroup"], None),
    ]
    print(f"{len(items):,} board designators, medians, one run:\n")
    goals = {"group": 2}  # Python / C++ at most
    print("| call | Python `ztxgrp` | C++ `ztxgrp::` | Python / C++ | goal | plain-Python joiner |")
    print("|---|---|---|---|---|---|")
    for name, ours, native, joiner in rows:
        goal = goals.get(name)
        met = f"≤ {goal}× ({'met' if ours / native <= goal else 'not met'})" if goal else "–"
        print(f"| {name} | {ours * 1e3:.2f} ms | {native * 1e3:.2f} ms | {ours / native:.2f}× | "
              f"{met} | "
              + (f"{joiner * 1e3:.1f} ms ({joiner / ours:.0f}× slower)" if joiner else "–") + " |")


if __name__ == "__main__":
    main()
