#!/usr/bin/env python3
"""Writes revision B of a parts-list CSV (standard input to standard output),
for timing `ztxgrp diff`: about 1% of rows dropped and 1% with their value
changed (or PERCENT% each, each changed value a new one, so that every
change is a line of its own), the same every run.

  python3 bench/bom_revision.py [PERCENT] < parts.csv > parts-b.csv
"""
import random
import sys

share = float(sys.argv[1]) / 100 if len(sys.argv) > 1 else 0.01
distinct = len(sys.argv) > 1

lines = sys.stdin.read().splitlines()
choose = random.Random(5)
out = [lines[0]]
for line in lines[1:]:
    draw = choose.random()
    if draw < share:
        continue
    if draw < 2 * share:
        reference, value, rest = line.split(",", 2)
        line = ",".join([reference, value + "x" + (str(len(out)) if distinct else ""), rest])
    out.append(line)
sys.stdout.write("\n".join(out) + "\n")
