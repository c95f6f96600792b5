#!/usr/bin/env python3
"""Writes two designator lists of about a million designators each, 31
prefixes of up to 32,767 numbers with about 1% of the numbers missing
(differently in each), folded as ranges: in ztxgrp's syntax (A.txt, B.txt:
"AA1-AA500, AA502-AA900, ...") and in ClusterShell's (A.ns, B.ns:
"AA[1-500,502-900,...]"); and the same designators one a line, each
prefix in a file of its own (A.pieces/AA, ...: what one `ztxgrp group`
call takes).

Usage: set_lists.py FOLDER"""
import os
import random
import sys


def lists(seed):
    rng = random.Random(seed)
    ours, theirs, pieces = [], [], {}
    for k in range(31):
        prefix = chr(65 + k // 26) + chr(65 + k % 26)
        numbers = [n for n in range(1, 32768) if rng.random() >= 0.01]
        runs, start = [], numbers[0]
        for a, b in zip(numbers, numbers[1:] + [None]):
            if b != a + 1:
                runs.append((start, a))
                start = b
        ours += [f"{prefix}{a}" if a == b else f"{prefix}{a}-{prefix}{b}" for a, b in runs]
        pieces[prefix] = "".join(f"{prefix}{n}\n" for n in numbers)
        theirs.append(prefix + "[" + ",".join(str(a) if a == b else f"{a}-{b}" for a, b in runs) + "]")
    return ", ".join(ours) + "\n", ",".join(theirs) + "\n", pieces


def main():
    folder = sys.argv[1]
    for name, seed in (("A", 1), ("B", 2)):
        ours, theirs, pieces = lists(seed)
        with open(os.path.join(folder, name + ".txt"), "w") as file:
            file.write(ours)
        with open(os.path.join(folder, name + ".ns"), "w") as file:
            file.write(theirs)
        os.makedirs(os.path.join(folder, name + ".pieces"), exist_ok=True)
        for prefix, lines in pieces.items():
            with open(os.path.join(folder, name + ".pieces", prefix), "w") as file:
                file.write(lines)


if __name__ == "__main__":
    main()
