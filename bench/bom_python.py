#!/usr/bin/env python3
"""The collapse of `ztxgrp bom` as a plain Python script would do it, for
the parts lists that bench/bom_csv.py writes (one designator per row, no
quantity column): rows read with the csv module, designators grouped with
ztxgrp.group, parts ordered by their first designator. Writes the same
bytes as `ztxgrp bom FILE`; scripts/bench times the two.

Usage: bom_python.py FILE"""
import csv
import re
import sys

import ztxgrp

ITEM = re.compile(r"(.*?)(\d*)$")


def main():
    with open(sys.argv[1], newline="", encoding="utf-8") as file:
        reader = csv.reader(file)
        header = next(reader)
        parts = {}
        for row in reader:
            parts.setdefault(tuple(row[1:]), []).append(row[0])
    collapsed = []
    for key, designators in parts.items():
        grouped = ztxgrp.group(designators)
        prefix, number = ITEM.match(grouped[0].split("-")[0]).groups()
        collapsed.append(((prefix, int(number or -1)), [", ".join(grouped), str(len(designators)), *key]))
    collapsed.sort(key=lambda part: part[0])
    writer = csv.writer(sys.stdout, lineterminator="\n")
    writer.writerow([header[0], "Qty", *header[1:]])
    writer.writerows(row for _, row in collapsed)


if __name__ == "__main__":
    main()
