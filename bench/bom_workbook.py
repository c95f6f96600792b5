#!/usr/bin/env python3
"""Workbooks for scripts/bench, with openpyxl.

  bom_workbook.py write CSV XLSX   the CSV list as a workbook (every cell text)
  bom_workbook.py collapse XLSX    the peer a Python user would write: the
                                   workbook read with openpyxl, its rows
                                   collapsed with ztxgrp.collapse_rows, the
                                   result written as a workbook by openpyxl
                                   (to /dev/null)"""
import csv
import sys

import openpyxl


def write(source, target):
    workbook = openpyxl.Workbook(write_only=True)
    sheet = workbook.create_sheet("Parts")
    with open(source, newline="", encoding="utf-8") as file:
        for row in csv.reader(file):
            sheet.append(row)
    workbook.save(target)


def collapse(source):
    import ztxgrp
    sheet = openpyxl.load_workbook(source, read_only=True).active
    rows = sheet.iter_rows(values_only=True)
    header = [str(name) for name in next(rows)]
    table = [dict(zip(header, ("" if v is None else str(v) for v in row))) for row in rows]
    collapsed = ztxgrp.collapse_rows(table)
    workbook = openpyxl.Workbook(write_only=True)
    out = workbook.create_sheet("Parts")
    names = list(collapsed[0].keys()) if collapsed else header
    out.append(names)
    for row in collapsed:
        out.append([row[name] for name in names])
    workbook.save("/dev/null")


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2], sys.argv[3])
    else:
        collapse(sys.argv[2])
