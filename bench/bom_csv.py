#!/usr/bin/env python3
"""Writes a parts-list CSV of ROWS rows (default 100,000) to standard output:
one row per designator, 20 prefixes as on boards (R and C about half of
all, about 13% of numbers missing), 15 values per prefix, shuffled."""
import random
import sys

PREFIXES = ["R", "C", "U", "D", "Q", "TP", "L", "J", "FB", "LED", "SW", "RN", "Y", "F", "CN",
            "X", "K", "T", "H", "MH"]
WEIGHTS = [25, 25] + [50 / 18] * 18  # every number stays below 32768


def main():
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 100_000
    rng = random.Random(42)
    next_number = {prefix: 1 for prefix in PREFIXES}
    out = []
    while len(out) < rows:
        prefix = rng.choices(PREFIXES, WEIGHTS)[0]
        number = next_number[prefix]
        next_number[prefix] += 1
        if rng.random() < 0.13:
            continue
        value = f"{prefix}-value-{rng.randrange(15)}"
        out.append(f"{prefix}{number},{value},Package_{prefix}:{prefix}_{rng.randrange(3)}")
    rng.shuffle(out)
    sys.stdout.write("Reference,Value,Footprint\n" + "\n".join(out) + "\n")


if __name__ == "__main__":
    main()
