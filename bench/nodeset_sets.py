#!/usr/bin/env python3
"""ClusterShell's NodeSet (Debian's clustershell, what `nodeset` runs)
doing a set operation on two folded lists: union, intersect or subtract,
the result folded.

Usage: nodeset_sets.py OPERATION A.ns B.ns"""
import sys

from ClusterShell.NodeSet import NodeSet


def main():
    operation, first, second = sys.argv[1:4]
    with open(first) as file:
        a = NodeSet(file.read().strip())
    with open(second) as file:
        b = NodeSet(file.read().strip())
    result = {"union": a | b, "intersect": a & b, "subtract": a - b}[operation]
    sys.stdout.write(str(result) + "\n")


if __name__ == "__main__":
    main()
