#!/usr/bin/env python3
"""Writes revision B of a parts-list CSV (standard input to standard output),
for timing `ztxgrp diff`: about 1% of rows dropped and 1% with their value
changed, the same every run.

  python3 bench/bom_revision.py < parts.csv > parts-b.csv
"""
import random
import sys

lines = sys.stdin.read().splitlines()
choose = random.Random(5)
out = [lines[0]]
for line in lines[1:]:
    draw = choose.random()
    if draw < 0.01:
        continue
    if draw < 0.02:
        reference, value, rest = line.split(",", 2)
        line = ",".join([reference, value + "x", rest])
    out.append(line)
sys.stdout.write("\n".join(out) + "\n")
