"""Item designators (R1, R2, R3, C2) to compact range notation and back.

>>> import ztxgrp
>>> ztxgrp.group(["R3", "R1", "C2", "R2", "R5"])
['C2', 'R1-R3', 'R5']
>>> ztxgrp.ungroup(["C1-C3", "R5"])
['C1', 'C2', 'C3', 'R5']

Items may be str, int, float, bool or None, read as a scripting host's
values are: None fails with error 94, any other kind of object with 13.
Failures raise ztxgrp.Error, a ValueError with .number, .description,
.item and .row (parts lists); a str holding a lone surrogate raises
UnicodeEncodeError.
"""

import warnings as _warnings

from ztxgrp._ztxgrp import Error, __version__, expand, group, is_valid_range, ungroup
from ztxgrp import _ztxgrp

__all__ = [
    "__version__", "Error", "PartsWarning", "PartsNote", "group", "ungroup", "expand", "is_valid_range",
    "collapse_rows", "expand_rows", "collapse_file", "expand_file", "diff_rows", "diff_files",
    "diff_text", "diff_html", "DiffRows", "collapse_csv", "expand_csv", "diff_csv", "verify", "verify_rows",
    "union", "intersect", "subtract", "xor", "count", "contains", "gaps", "free",
]


class PartsWarning(UserWarning):
    """Something found in a parts list: a duplicated designator, cells that
    differ between merged rows, a quantity that is no whole number or does
    not match the designators. Nothing was lost because of it."""


class PartsNote(PartsWarning):
    """Something told about a list as a whole, not about a designator: a
    column that only one of two compared lists has, or quantities made for
    several boards."""


def _warn(messages):
    for note, message in messages:
        _warnings.warn(message, PartsNote if note else PartsWarning, stacklevel=3)


def collapse_rows(rows, *, refs=None, by=None, qty=None, join=", ",
                  min_run=_ztxgrp.DEFAULT_MIN_RUN, max_per_row=None, no_ranges=False):
    """One row per part, from an iterable of dicts (csv.DictReader's rows).

    Rows that agree on the `by` columns (default: all but designators and
    quantity) become one; its designator cell is the grouped list of their
    designators, its quantity column (`qty`, else Qty/Quantity, else a new
    column) their number. Designators are written back exactly as given.
    A part with more than `max_per_row` designators becomes several rows of
    at most that many, each with its own quantity; `no_ranges` writes
    designators one by one.
    Returns a list of dicts; warnings are PartsWarning. Errors: ztxgrp.Error
    with .row, ValueError for unusable columns or cells.
    """
    result, messages = _ztxgrp._process_rows(
        rows, dict(refs=refs, by=by, qty=qty, join=join, min_run=min_run,
                   max_per_row=max_per_row, no_ranges=no_ranges), False)
    _warn(messages)
    return result


def expand_rows(rows, *, refs=None, qty=None, join=", "):
    """One row per designator, every other cell copied, quantity 1."""
    result, messages = _ztxgrp._process_rows(rows, dict(refs=refs, qty=qty, join=join), True)
    _warn(messages)
    return result


def _data(data):
    if isinstance(data, str):
        raise TypeError("data is the file's bytes, not str (encode it, or open the file in 'rb' mode)")
    return data


def collapse_file(data, *, refs=None, by=None, qty=None, join=", ",
                  min_run=_ztxgrp.DEFAULT_MIN_RUN, sep=None, header_row=None, sheet=None,
                  format=None, max_per_row=None, no_ranges=False, last_row=None):
    """A parts-list file's bytes (CSV, a workbook: .xlsx or .ods, or KiCad's
    BOM XML) collapsed to one
    row per part, as the bytes that `ztxgrp bom` writes for them: the same
    separator, quoting, line ends and encoding (UTF-8 with or without a
    byte-order mark, UTF-16 with one). `sep` names the separator (one
    character or "tab"; default: taken from the header line). `header_row`
    says which row is the header, as a spreadsheet numbers rows (default:
    the first that names the designator column; rows above it are a title,
    kept as written). The parts end at the first empty row after one, or at
    `last_row` (counted as `header_row` is); the rows below are kept as
    they are. `sheet` names a workbook's sheet (default: the first);
    `format` ("csv", "xlsx" or "ods") the form of the bytes returned (default: the
    input's). `max_per_row` and `no_ranges` as for collapse_rows. Warnings
    are PartsWarning; errors ztxgrp.Error with .row (the line), ValueError
    for the file or a column.
    """
    result, messages = _ztxgrp._process_file(
        _data(data), dict(refs=refs, by=by, qty=qty, join=join, min_run=min_run, sep=sep,
                          header_row=header_row, sheet=sheet, format=format,
                          max_per_row=max_per_row, no_ranges=no_ranges, last_row=last_row), False)
    _warn(messages)
    return result


def expand_file(data, *, refs=None, qty=None, join=", ", sep=None, header_row=None, sheet=None,
                format=None, last_row=None):
    """A parts-list file's bytes (CSV or workbook) expanded to one row per
    designator, as the bytes that `ztxgrp bom --expand` writes for them."""
    result, messages = _ztxgrp._process_file(
        _data(data), dict(refs=refs, qty=qty, join=join, sep=sep, header_row=header_row,
                          sheet=sheet, format=format, last_row=last_row), True)
    _warn(messages)
    return result


class DiffRows(list):
    """The changes diff_rows finds (a list of dicts); with `parts=`, `.parts`
    holds the parts whose quantity changed, as dicts with the columns of
    the parts table that `ztxgrp diff --parts --csv` writes."""
    parts = None


def diff_rows(old_rows, new_rows, *, refs=None, by=None, qty=None, join=", ",
              min_run=_ztxgrp.DEFAULT_MIN_RUN, unchanged=False, parts=None, boards=1):
    """What changed between two parts lists (iterables of dicts): a list of
    dicts with the columns that `ztxgrp diff --csv` writes (Change, the
    designator column, Count, then "C (old)" and "C (new)" for each compared
    column and the quantity). Designators are matched by their text as
    written; `by` names the compared columns (default: every column both
    lists have but designators and quantity); lines of unchanged designators
    only when `unchanged`. Warnings are PartsWarning; notes (a column in one
    list only) PartsNote, a PartsWarning of their own kind, first. `parts`
    names the columns of a part (the result's `.parts`: each part whose
    quantity changed, its quantities per board times `boards`), and
    designators whose part changed are "moved".
    """
    changes, messages, part_rows = _ztxgrp._diff_rows(old_rows, new_rows, dict(
        refs=refs, by=by, qty=qty, join=join, min_run=min_run, unchanged=unchanged,
        parts=parts, boards=boards))
    result = DiffRows(changes)
    if parts is not None:
        result.parts = part_rows
    _warn(messages)
    return result


def diff_files(old, new, *, refs=None, by=None, qty=None, join=", ",
               min_run=_ztxgrp.DEFAULT_MIN_RUN, sep=None, unchanged=False, header_row=None,
               sheet=None, format=None, parts=None, boards=1, last_row=None):
    """Two parts-list files' bytes (CSV or workbooks) compared, as the bytes
    that `ztxgrp diff` writes: `format` "text" (the default: one line per
    change, then a summary), "json", "csv" (the table of changes, in NEW's
    separator, line ends and encoding), "xlsx" or "ods" (the table as a workbook,
    each kind of change in its own colour). `parts` names the columns of a
    part: the parts whose quantity changed follow (per board, times
    `boards`), and designators whose part changed are "moved"."""
    result, messages = _ztxgrp._diff_files(_data(old), _data(new), dict(
        refs=refs, by=by, qty=qty, join=join, min_run=min_run, sep=sep, unchanged=unchanged,
        header_row=header_row, sheet=sheet, format=format, parts=parts, boards=boards,
        last_row=last_row))
    _warn(messages)
    return result


def diff_text(old, new, **options):
    """Two parts-list files' bytes compared, as the text that `ztxgrp diff`
    prints for people (a str); options as for diff_files."""
    return diff_files(old, new, **options, format="text").decode("utf-8")


def diff_html(old, new, *, old_name=None, new_name=None, **options):
    """Two parts-list files' bytes compared, as the self-contained HTML
    report that `ztxgrp diff --html` writes (a str): the lists named
    `old_name` and `new_name` (default "the old list", "the new list");
    options as for diff_files."""
    for what, name in (("old_name", old_name), ("new_name", new_name)):
        if name is not None and not isinstance(name, str):
            raise TypeError(f"{what} is a str, not {type(name).__name__}")
    result, messages = _ztxgrp._diff_files(_data(old), _data(new), dict(options, format="html"),
                                           old_name or "", new_name or "")
    _warn(messages)
    return result.decode("utf-8")


# The names these functions had when they read CSV alone; they take
# workbooks too.
collapse_csv = collapse_file
expand_csv = expand_file


def diff_csv(old, new, *, format="csv", **options):
    """diff_files giving the table of changes (as `ztxgrp diff --csv`) unless
    `format` says otherwise: the name this function had first."""
    return diff_files(old, new, format=format, **options)


def _named(items, what):
    """(name, value) pairs from a mapping of names or a sequence of values
    (named "placement 1", ...)."""
    if isinstance(items, (bytes, bytearray, memoryview, str)):
        raise TypeError(f"{what} is a mapping of names to files or a sequence of files")
    if hasattr(items, "items"):
        return list(items.items())
    return [(f"placement {k}", item) for k, item in enumerate(items, 1)]


def verify(bom, placements=(), bom_name="parts list", *, refs=None, qty=None, join=", ",
           min_run=_ztxgrp.DEFAULT_MIN_RUN, sep=None, header_row=None, sheet=None, format=None,
           max_per_row=None, ignore=None, placement_format=None, last_row=None):
    """A parts list's bytes (CSV or workbook) checked against its placement
    files (a mapping of file names to bytes, or a sequence of bytes), read
    as one set, as `ztxgrp verify` checks them: the bytes it writes, in
    `format` "text" (the default: one line per finding, then a summary),
    "json", "csv", "xlsx" or "ods". Findings name the parts list `bom_name` and
    each placement file by its name. `ignore` (patterns such as "FID*,TP*",
    or a list of them) leaves designators out of those on one side only;
    `max_per_row` finds rows with more designators; `placement_format`
    names the placement files' form (default: recognised by content).
    Warnings are PartsWarning; errors ztxgrp.Error, ValueError for a file
    that no form reads."""
    files = [(name, _data(data)) for name, data in _named(placements, "placements")]
    result, messages = _ztxgrp._verify_files(_data(bom), bom_name, files, dict(
        refs=refs, qty=qty, join=join, min_run=min_run, sep=sep, header_row=header_row,
        sheet=sheet, format=format, max_per_row=max_per_row, ignore=ignore,
        placement_format=placement_format, last_row=last_row))
    _warn(messages)
    return result


def verify_rows(bom_rows, placements=(), bom_name="parts list", *, refs=None, qty=None,
                join=", ", min_run=_ztxgrp.DEFAULT_MIN_RUN, max_per_row=None, ignore=None):
    """Parts-list rows (dicts) checked against placement rows (a mapping of
    names to iterables of dicts, or a sequence of them): a list of findings,
    each a dict with "finding" (its kind: "not-placed", "not-in-parts-list",
    "letter-case", "repeated", "quantity", "no-designator", "do-not-place",
    "cells-differ", "too-many-per-row"), "designators", "count", "detail"
    and "places" (each {"file", "noun", "lines"})."""
    result, messages = _ztxgrp._verify_rows(bom_rows, bom_name, _named(placements, "placements"),
                                            dict(refs=refs, qty=qty, join=join, min_run=min_run,
                                                 max_per_row=max_per_row, ignore=ignore))
    _warn(messages)
    return result


def _operand(given, what="a list"):
    """One operand: a cell's text, or a sequence of cells (their texts on
    lines of their own, as a cell's designators are separated)."""
    if isinstance(given, str):
        return given
    if isinstance(given, (bytes, bytearray, memoryview)):
        raise TypeError(f"{what} is a str or a sequence of str, not bytes")
    cells = list(given)
    for cell in cells:
        if not isinstance(cell, str):
            raise TypeError(f"{what} is a str or a sequence of str, not of {type(cell).__name__}")
    return "\n".join(cells)


def _min_run(min_run):
    if isinstance(min_run, bool) or not isinstance(min_run, int):
        raise TypeError(f"min_run is an int, not {type(min_run).__name__}")
    return max(min(min_run, 2**31 - 1), -2**31)


def _combine(operation, lists, min_run):
    return _ztxgrp._combine(operation, [_operand(given) for given in lists], _min_run(min_run))


def union(*lists, min_run=_ztxgrp.DEFAULT_MIN_RUN):
    """Every designator in any list, as group writes them: each list a cell's
    text ("R1-R3, C2") or a sequence of cells. A designator is a member by
    its text as written (R001 and R1 are two)."""
    return _combine(0, lists, min_run)


def intersect(*lists, min_run=_ztxgrp.DEFAULT_MIN_RUN):
    """The designators in every list, as group writes them."""
    return _combine(1, lists, min_run)


def subtract(first, *others, min_run=_ztxgrp.DEFAULT_MIN_RUN):
    """The designators of the first list in none of the others."""
    return _combine(2, (first,) + others, min_run)


def xor(*lists, min_run=_ztxgrp.DEFAULT_MIN_RUN):
    """The designators in an odd number of the lists (one of two)."""
    return _combine(3, lists, min_run)


def count(*lists):
    """The number of designators of each list, ranges expanded, each
    designator once; a PartsNote says how many were written more than once."""
    numbers, repeated = _ztxgrp._count([_operand(given) for given in lists])
    for k, twice in enumerate(repeated, 1):
        if twice:
            _warnings.warn(f"list {k}: {twice} designator{' is' if twice == 1 else 's are'} "
                           "written more than once, counted once", PartsNote, stacklevel=2)
    return numbers


def contains(members, *items):
    """For each item (a designator or a range): whether all of it is in
    `members`."""
    return _ztxgrp._contains(_operand(members), [_operand(item, "an item") for item in items])


def gaps(members, *, min_run=_ztxgrp.DEFAULT_MIN_RUN):
    """For each prefix, the numbers missing between its lowest and highest
    designator (R1-R5, R9 gives R6-R8)."""
    return _ztxgrp._gaps(_operand(members), _min_run(min_run))


def free(members, prefix, n=1, *, min_run=_ztxgrp.DEFAULT_MIN_RUN):
    """The `n` lowest numbers from 1 up that `prefix` does not use in
    `members`, as group writes them; a PartsWarning when fewer are left."""
    if not isinstance(prefix, str):
        raise TypeError(f"prefix is a str, not {type(prefix).__name__}")
    if isinstance(n, bool) or not isinstance(n, int):
        raise TypeError(f"n is an int, not {type(n).__name__}")
    entries, shortfall = _ztxgrp._free(_operand(members), prefix, max(min(n, 2**62), -2**62),
                                       _min_run(min_run))
    if shortfall:
        _warnings.warn(shortfall, PartsWarning, stacklevel=2)
    return entries
