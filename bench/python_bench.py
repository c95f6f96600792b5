#!/usr/bin/env python3
"""Python against C++ in one run: ztxgrp.group and ztxgrp.ungroup of board
lists (1,000 and 30,000 designators, made as the benchmark binary makes
them), beside the same calls through the C++ UTF-8 API (the benchmark
binary) and beside a plain-Python joiner of the kind that parts-list
scripts carry. Prints a Markdown table.

Usage: python_bench.py ZTXGRP_BENCH_BINARY BOARD_LIST_FILE...
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
    """The median time of one call, over `repeat` samples of enough calls in a
    row to take about 5 ms each, so that the clock's own cost does not count."""
    call()
    start = time.perf_counter()
    call()
    batch = max(1, int(0.005 / max(time.perf_counter() - start, 1e-9)))
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        for _ in range(batch):
            call()
        times.append((time.perf_counter() - start) / batch)
    return statistics.median(times)


def cpp_medians(binary, size):
    output = subprocess.run(
        [binary, f"--benchmark_filter=^Utf8(Group|Ungroup)/board/{size}$",
         "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true",
         "--benchmark_format=json"], check=True, capture_output=True, text=True).stdout
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    return {run["run_name"].split("/")[0]: run["real_time"] * scale[run["time_unit"]]
            for run in json.loads(output)["benchmarks"] if run["aggregate_name"] == "median"}


def main():
    binary, lists = sys.argv[1], sys.argv[2:]
    # Python / C++ at most, by list size.
    goals = {1000: 2, 30000: 1.5}
    print("Board designators, medians, one run:\n")
    print("| call | designators | Python `ztxgrp` | C++ `ztxgrp::` | Python / C++ | goal "
          "| plain-Python joiner |")
    print("|---|---|---|---|---|---|---|")
    for path in lists:
        with open(path, encoding="utf-8") as board:
            items = board.read().split("\n")[:-1]
        size = len(items)
        grouped = ztxgrp.group(items)
        cpp = cpp_medians(binary, size)
        repeat = 41
        rows = [("group", median_seconds(lambda: ztxgrp.group(items), repeat), cpp["Utf8Group"],
                 median_seconds(lambda: python_joiner(items), repeat=11))]
        if "Utf8Ungroup" in cpp:
            rows.append(("ungroup", median_seconds(lambda: ztxgrp.ungroup(grouped), repeat),
                         cpp["Utf8Ungroup"], None))
        for name, ours, native, joiner in rows:
            goal = goals.get(size) if name == "group" else None
            met = (f"≤ {goal}× ({'met' if ours / native <= goal else 'not met'})" if goal
                   else "–")
            print(f"| {name} | {size:,} | {ours * 1e6:,.0f} µs | {native * 1e6:,.0f} µs | "
                  f"{ours / native:.2f}× | {met} | "
                  + (f"{joiner * 1e3:.1f} ms ({joiner / ours:.0f}× slower)" if joiner else "–")
                  + " |")


if __name__ == "__main__":
    main()
