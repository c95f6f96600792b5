#!/usr/bin/env python3
"""Writes the KiCad placement files (.pos) of a parts-list CSV as
bench/bom_csv.py writes it: every designator placed, alternately on the top
and the bottom side, its value and its footprint without the library.

Usage: placement_pos.py PARTS.csv TOP.pos BOTTOM.pos"""
import csv
import sys


def write(path, side, rows):
    width = [max(8, *(len(row[k]) for row in rows)) for k in range(3)]
    lines = ["### Footprint positions - created by the bench ###", "## Unit = mm, Angle = deg.",
             f"## Side : {side}",
             "# " + "  ".join(name.ljust(w) for name, w in zip(("Ref", "Val", "Package"), width))
             + "       PosX       PosY       Rot  Side"]
    for k, (ref, value, package) in enumerate(rows):
        lines.append(ref.ljust(width[0] + 2) + "  " + value.ljust(width[1]) + "  " + package.ljust(width[2])
                     + f"  {k % 300:9.4f}  {k // 300:9.4f}  {0:8.4f}  {side}")
    lines.append("## End")
    with open(path, "w", encoding="utf-8") as file:
        file.write("\n".join(lines) + "\n")


def main():
    with open(sys.argv[1], encoding="utf-8", newline="") as file:
        rows = [(row["Reference"], row["Value"], row["Footprint"].split(":")[-1])
                for row in csv.DictReader(file)]
    write(sys.argv[2], "top", rows[0::2])
    write(sys.argv[3], "bottom", rows[1::2])


if __name__ == "__main__":
    main()
