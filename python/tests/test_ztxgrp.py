"""The Python package: the engine's behaviour through Python values."""
import csv
import io
import json
import inspect
import os
import subprocess
import threading
import types
import warnings
import tracemalloc

import pytest

import ztxgrp

OPTION_TABLE = os.path.join(os.path.dirname(__file__), "..", "..", "parts", "options.json")


def declared_option(option):
    """An option's row in the options file."""
    with open(OPTION_TABLE, encoding="utf-8") as file:
        return next(row for row in json.load(file) if row["option"] == option)


OPERATIONS = {
    "group": lambda items: ztxgrp.group(items),
    "ungroup": lambda items: ztxgrp.ungroup(items),
    "expand": lambda items: ztxgrp.expand(items[0]),
}


def test_worked_examples(examples):
    for example in examples["lists"]:
        call = OPERATIONS[example["operation"]]
        if example["error"]:
            with pytest.raises(ztxgrp.Error) as raised:
                call(example["input"])
            assert raised.value.number == example["error"], example
        else:
            assert call(example["input"]) == example["expected"], example
    for example in examples["checks"]:
        assert ztxgrp.is_valid_range(example["text"]) is example["valid"], example


@pytest.mark.parametrize(
    "call, number, description, item",
    [
        (lambda: ztxgrp.ungroup(["R1", "R3-R1"]), 9, "Subscript out of range", "R3-R1"),
        (lambda: ztxgrp.group(["R1", "R32768"]), 6, "Overflow", "R32768"),
        (lambda: ztxgrp.expand("1-R3"), 13, "Type mismatch", "1-R3"),
        (lambda: ztxgrp.group(["R1", None]), 94, "Invalid use of Null", None),
        (lambda: ztxgrp.group(["R1"], min_run=1), 5, "Invalid procedure call or argument", None),
        (lambda: ztxgrp.group(iter(["R1"] * 40000)), 6, "Overflow", None),
    ],
)
def test_errors_carry_number_description_and_item(call, number, description, item):
    with pytest.raises(ztxgrp.Error) as raised:
        call()
    error = raised.value
    assert isinstance(error, ValueError)
    assert (error.number, error.description, error.item) == (number, description, item)
    assert str(error).startswith(f"runtime error {number}: {description}")


def test_long_failing_item_is_cut_in_the_message():
    with pytest.raises(ztxgrp.Error) as raised:
        ztxgrp.group(["R" * 100000 + "1"])
    assert len(str(raised.value)) < 200
    assert "100001 characters in all" in str(raised.value)
    assert len(raised.value.item) == 100001


@pytest.mark.parametrize(
    "element, text, error",
    [
        ("R1", "R1", 0),
        (7, "7", 0),
        (-7, None, 13),  # its text "-7" reads as a number as a whole
        (-1, None, 13),  # "-1" too: not the empty text of an item without number
        (0, "0", 0),
        (10**30, "1000000000000000000000000000000", 0),
        (2.5, "2.5", 0),
        (100000.0, "100000", 0),
        (1e20, "1E+20", 0),
        (float("nan"), None, 13),
        (True, "True", 0),
        (None, None, 94),
        (["R1"], None, 13),
        (b"R1", None, 13),
        (object(), None, 13),
    ],
)
def test_every_element_kind_is_read_as_a_host_value(element, text, error):
    if error:
        with pytest.raises(ztxgrp.Error) as raised:
            ztxgrp.group([element, "R9"])
        assert raised.value.number == error
    else:
        assert ztxgrp.group([element]) == [text]


def test_texts_before_another_kind_of_item_keep_their_values():
    # Lists of str alone take the UTF-8 path; the first other item moves the
    # texts read so far into a list of values.
    for texts in (["R2", "\u00e91", "R1"], ["R3-R5", "R1"]):
        for operation in (ztxgrp.group, ztxgrp.ungroup):
            assert operation(texts + [7]) == operation(texts + ["7"])


def test_lone_surrogates_raise_unicode_errors_with_their_position():
    with pytest.raises(UnicodeEncodeError) as raised:
        ztxgrp.group(["R1", "R\udc002"])
    assert (raised.value.start, raised.value.end) == (1, 2)
    with pytest.raises(UnicodeError):
        ztxgrp.expand("\U0001f600\ud800")
    assert ztxgrp.group(["\U0001f6001", "\U0001f6002"]) == ["\U0001f6001-\U0001f6002"]


def test_any_iterable_but_a_single_text():
    items = ["R3", "R1", "R2"]
    for iterable in (items, tuple(items), iter(items), (item for item in items), dict.fromkeys(items)):
        assert ztxgrp.group(iterable) == ["R1-R3"]
    assert ztxgrp.group([]) == [""]
    for single in ("R1", b"R1"):
        with pytest.raises(TypeError):
            ztxgrp.group(single)
    with pytest.raises(TypeError):
        ztxgrp.expand(5)

    def failing():
        yield "R1"
        raise KeyError("from the generator")

    with pytest.raises(KeyError):
        ztxgrp.ungroup(failing())


@pytest.mark.parametrize(
    "min_run, expected",
    [
        (2, ["C1", "R1-R2", "R5-R7"]),
        (3, ["C1", "R1", "R2", "R5-R7"]),
        (4, ["C1", "R1", "R2", "R5", "R6", "R7"]),
        # Past any list's length, however large: no ranges, as in every front end.
        (10**30, ["C1", "R1", "R2", "R5", "R6", "R7"]),
    ],
)
def test_min_run(min_run, expected):
    assert ztxgrp.group(["R2", "R1", "R5", "R6", "R7", "C1"], min_run=min_run) == expected


def test_calls_from_several_threads_at_once():
    items = [f"{prefix}{number}" for prefix in "RCUDQ" for number in range(1, 3000, 3)]
    expected = ztxgrp.group(items)
    results, failures = [], []

    def work():
        try:
            for _ in range(20):
                results.append(ztxgrp.group(items) == expected)
                results.append(ztxgrp.ungroup(expected) == ztxgrp.ungroup(items))
        except Exception as error:  # reported below
            failures.append(error)

    threads = [threading.Thread(target=work) for _ in range(8)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert not failures
    assert len(results) == 8 * 40 and all(results)


def test_no_memory_is_kept_across_calls():
    items = ["R3", "R1", "C2", "R2", "R5", 7, 2.5, None]

    def calls():
        for _ in range(300):
            ztxgrp.group(items[:-1])
            ztxgrp.ungroup(["R1-R40", "C2"])
            ztxgrp.expand("R1-R9")
            ztxgrp.is_valid_range("R1-R3")
            with pytest.raises(ztxgrp.Error):
                ztxgrp.group(items)

    calls()  # warm-up: caches, interned strings
    tracemalloc.start()
    before = tracemalloc.take_snapshot()
    calls()
    after = tracemalloc.take_snapshot()
    tracemalloc.stop()
    growth = sum(stat.size_diff for stat in after.compare_to(before, "filename"))
    assert growth < 64 * 1024, growth


def test_package_ships_its_stubs():
    folder = os.path.dirname(ztxgrp.__file__)
    assert os.path.exists(os.path.join(folder, "py.typed"))
    assert os.path.exists(os.path.join(folder, "__init__.pyi"))
    installed = os.environ.get("ZTXGRP_EXPECT_INSTALLED")
    if installed:
        assert os.path.realpath(folder).startswith(os.path.realpath(installed)), folder


# The parts-list rows API: the README's excerpt as `ztxgrp bom` writes it,
# and collapse then expand giving back every designator of the real boards.
EXCERPT = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "data", "bom", "excerpt.csv")


def _csv_text(rows, header, lineterminator):
    out = io.StringIO()
    writer = csv.DictWriter(out, fieldnames=header, lineterminator=lineterminator)
    writer.writeheader()
    writer.writerows(rows)
    return out.getvalue()


def test_collapse_rows_writes_what_bom_writes():
    with open(EXCERPT, newline="", encoding="utf-8") as file:
        rows = list(csv.DictReader(file))
    collapsed = ztxgrp.collapse_rows(rows)
    assert _csv_text(collapsed, list(collapsed[0]), "\r\n").splitlines()[:3] == [
        "Reference,Qty,Value,Footprint",
        "C106-C107,2,4.7uF,Capacitors_SMD:C_0805_HandSoldering",
        '"D601-D602, D605-D606",4,L4148,Diodes_SMD:D_0805',
    ]


def test_rows_round_trip_on_real_boards():
    """Collapse then expand gives back the designators; where the command is
    at hand (ZTXGRP_CLI), the collapsed rows are byte for byte what
    `ztxgrp bom` writes for the same file."""
    boards = os.environ.get("ZTXGRP_BOARD_DATA", "")
    if not os.path.isdir(boards):
        pytest.skip("board data not found")
    command = os.environ.get("ZTXGRP_CLI")
    for name in sorted(os.listdir(boards)):
        if not name.endswith(".csv"):
            continue
        path = os.path.join(boards, name)
        with open(path, newline="", encoding="utf-8-sig") as file:
            rows = list(csv.DictReader(file))
        refs = next(k for k in rows[0] if k.lower().startswith(("ref", "designator")))
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", ztxgrp.PartsWarning)
            collapsed = ztxgrp.collapse_rows(rows)
            expanded = ztxgrp.expand_rows(collapsed)
            expected = sorted(e[refs] for r in rows for e in ztxgrp.expand_rows([r]))
        assert sorted(r[refs] for r in expanded) == expected, name
        if command:
            bom = subprocess.run([command, "bom", path], capture_output=True, check=True).stdout
            assert _csv_text(collapsed, list(collapsed[0]), "\r\n").encode() == bom, name


@pytest.mark.parametrize(
    "call, failure",
    [
        (lambda: ztxgrp.collapse_rows([{"Ref": "R3-R1"}]), "row 1"),
        (lambda: ztxgrp.collapse_rows([{"Ref": "R001-R003"}]), "would change"),
        (lambda: ztxgrp.collapse_rows([{"Ref": "R1"}], refs="Nope"), "Nope"),
        (lambda: ztxgrp.group(bytearray(b"R1")), "bytearray"),
        (lambda: ztxgrp.group(memoryview(b"R1")), "memoryview"),
        (lambda: ztxgrp.group(["R1"], min_run=1), "min_run"),
        (lambda: ztxgrp.group(["R1"], min_run=-10**30), "min_run"),
        (lambda: ztxgrp.group(["R1"], min_run="2"), "min_run is an int"),
        # Options as keywords: their types here, what they say in the library.
        (lambda: ztxgrp.collapse_rows([{"Ref": "R1"}], refs=5), "refs is a str"),
        (lambda: ztxgrp.collapse_rows([{"Ref": "R1"}], by=[5]), "by is a str or a list of str"),
        (lambda: ztxgrp.collapse_csv(b"Ref\nR1\n", sep="ab"), "^sep=: the separator"),
        (lambda: ztxgrp.diff_csv(b"Ref\nR1\n", b"Ref\nR1\n", join=""), "^join=: the join separator is empty"),
        (lambda: ztxgrp.collapse_rows([[("Ref", "R1")]]), "row 1 is no mapping"),
        # A refused cell is located as the file names it, in every front end.
        (lambda: ztxgrp.collapse_csv(b"Ref\nR1 -\n"), "^line 2: a lone dash"),
        (lambda: ztxgrp.diff_csv(b"Ref\nR1\n", b"Ref\nR1 -\n"), "^the new list, line 2: a lone dash"),
        (lambda: ztxgrp.diff_rows([{"Ref": "R1 -"}], []), "^the old list, row 1: a lone dash"),
        # csv.DictReader keeps a row's fields beyond the header under None.
        (lambda: ztxgrp.collapse_rows(csv.DictReader(io.StringIO("Ref,V\nR1,a\nR2,b,c\n"))),
         "row 2 has 3 fields; the header has 2"),
    ],
)
def test_parts_and_argument_failures(call, failure):
    with pytest.raises((ValueError, TypeError), match=failure):
        call()


def test_no_rows_give_no_rows():
    assert ztxgrp.collapse_rows([], refs="Ref") == []
    assert ztxgrp.expand_rows(iter([])) == []
    # An empty list compared is a list with no rows: every designator added.
    assert ztxgrp.diff_rows([], [{"Ref": "R1", "V": "x"}]) == [
        {"Change": "added", "Ref": "R1", "Count": "1", "V (old)": "", "V (new)": "x"}]


def test_rows_are_any_mapping_and_by_one_rule():
    rows = [types.MappingProxyType({"Ref": "R1", "V": "x", "W": "y"})]
    assert ztxgrp.collapse_rows(rows, by="V,") == [{"Ref": "R1", "Qty": "1", "V": "x", "W": "y"}]
    # Notes come before warnings, as every front end gives them.
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        ztxgrp.diff_rows([{"Ref": "R1, R1", "A": "x"}], [{"Ref": "R1", "B": "y"}])
    assert [(w.category, str(w.message).split(" ")[0]) for w in caught] == [
        (ztxgrp.PartsNote, "column"), (ztxgrp.PartsNote, "column"), (ztxgrp.PartsWarning, "the")]


def test_parts_warnings_and_big_int_subclass():
    with pytest.warns(ztxgrp.PartsWarning, match="occurs 2 times"):
        assert ztxgrp.collapse_rows([{"Ref": "R1", "V": "1k"}, {"Ref": "R1", "V": "1k"}]) == [
            {"Ref": "R1, R1", "Qty": "2", "V": "1k"}]

    class Odd(int):
        def __str__(self):
            return "odd"

    assert ztxgrp.group([Odd(2**70)]) == [str(2**70)]


PARTS_FILES = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                           "tests", "data", "parts-files")


def _parts_file_cases():
    with open(os.path.join(PARTS_FILES, "cases.json"), encoding="utf-8") as file:
        return json.load(file)


@pytest.mark.parametrize("case", _parts_file_cases(), ids=lambda case: case["name"])
def test_parts_files_as_bom_writes_them(case):
    with open(os.path.join(PARTS_FILES, case["input"]), "rb") as file:
        data = file.read()
    options = case["options"]
    keywords = {"refs": options.get("refs"), "qty": options.get("qty"), "sep": options.get("sep"),
                "header_row": options.get("headerRow"), "format": options.get("format"),
                "last_row": options.get("lastRow")}
    if "join" in options:
        keywords["join"] = options["join"]
    if options.get("expand"):
        call = lambda: ztxgrp.expand_csv(data, **keywords)
    else:
        call = lambda: ztxgrp.collapse_csv(data, by=options.get("by"), min_run=options.get("minRun", 2),
                                           max_per_row=options.get("maxPerRow"),
                                           no_ranges=options.get("noRanges", False), **keywords)
    if "output" not in case:
        with pytest.raises(ValueError) as raised:
            call()
        assert case["error"] in str(raised.value)
        if "remedy" in case:
            assert str(raised.value).endswith(f"; name it with {declared_option(case['remedy'])['python']}=")
        if "item" in case:
            assert (raised.value.item, raised.value.row) == (case["item"], case["line"])
            assert f"line {case['line']}" in str(raised.value)
        return
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        written = call()
    with open(os.path.join(PARTS_FILES, case["output"]), "rb") as file:
        assert written == file.read()
    assert [str(w.message) for w in caught] == case.get("notes", []) + case["warnings"]
    assert [w.category for w in caught] == (
        [ztxgrp.PartsNote] * len(case.get("notes", [])) + [ztxgrp.PartsWarning] * len(case["warnings"]))


VERIFY = os.path.join(os.path.dirname(PARTS_FILES), "verify")


def _verify_cases():
    with open(os.path.join(VERIFY, "cases.json"), encoding="utf-8") as file:
        return json.load(file)


def _verify_bytes(name):
    with open(os.path.join(VERIFY, name), "rb") as file:
        return file.read()


@pytest.mark.parametrize("case", _verify_cases(), ids=lambda case: case["name"])
def test_verify_finds_what_the_table_holds(case):
    options = case["options"]
    placements = {name: _verify_bytes(name) for name in case["placements"]}
    call = lambda: ztxgrp.verify(
        _verify_bytes(case["bom"]), placements, case["bom"], ignore=options.get("ignore"),
        max_per_row=options.get("maxPerRow"), placement_format=options.get("placementFormat"),
        format=options.get("format"))
    if "output" not in case:
        with pytest.raises(ValueError) as raised:
            call()
        assert str(raised.value) == case["error"]
        return
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        written = call()
    assert written.decode("utf-8") == case["output"]
    assert [str(w.message) for w in caught if w.category is ztxgrp.PartsNote] == case.get("notes", [])


def test_verify_rows_finds_in_rows_what_it_finds_in_files():
    """Rows as csv.DictReader gives them: the findings of the files, as dicts."""
    def rows(name):
        with open(os.path.join(VERIFY, name), encoding="utf-8", newline="") as file:
            return list(csv.DictReader(file))
    assert ztxgrp.verify_rows(rows("board.csv"), {"board-cpl.csv": rows("board-cpl.csv")}) == []
    found = ztxgrp.verify_rows([{"Ref": "R1-R3", "Qty": "3"}, {"Ref": "r4", "Qty": "1"}],
                               [[{"Designator": "R1"}, {"Designator": "R2"}, {"Designator": "R4"},
                                 {"Designator": "R9"}]],
                               ignore="R9", max_per_row=2)
    assert [(f["finding"], f["designators"], f["count"]) for f in found] == [
        ("not-placed", "R3", 1), ("letter-case", "r4", 1), ("too-many-per-row", "R1-R3", 3)]
    assert found[0]["places"] == [{"file": "parts list", "noun": "row", "lines": [1]}]
    with pytest.raises(TypeError):
        ztxgrp.verify(b"Ref\nR1\n", b"R1 1 2 3 x y")


def test_real_boards_as_bom_writes_them():
    boards = os.environ.get("ZTXGRP_BOARD_DATA", "")
    command = os.environ.get("ZTXGRP_CLI")
    if not command or not os.path.isdir(boards):
        pytest.skip("the command or the board data is not at hand")
    names = [name for name in sorted(os.listdir(boards)) if name.endswith(".csv")]
    for name in names:
        path = os.path.join(boards, name)
        with open(path, "rb") as file:
            data = file.read()
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", ztxgrp.PartsWarning)
            written = ztxgrp.collapse_csv(data)
        assert written == subprocess.run([command, "bom", path], capture_output=True, check=True).stdout, name
    assert len(names) == 5


DIFF_CASES = os.path.join(os.path.dirname(PARTS_FILES), "diff")


@pytest.mark.parametrize("names,options", [
    (("rpi-rev-a.csv", "rpi-rev-b.csv"), []),
    (("markup-in-cells.old.csv", "markup-in-cells.new.csv"), []),
    (("parts-order.old.csv", "parts-order.new.csv"), ["--parts", "MPN"]),
])
def test_diff_html_is_the_commands_report(names, options):
    command = os.environ.get("ZTXGRP_CLI")
    if not command:
        pytest.skip("the command is not at hand")
    written = subprocess.run([command, "diff", "--html", *options, *names], cwd=DIFF_CASES,
                             capture_output=True)
    assert written.returncode == 1
    data = []
    for name in names:
        with open(os.path.join(DIFF_CASES, name), "rb") as file:
            data.append(file.read())
    keywords = {"parts": options[1]} if options else {}
    report = ztxgrp.diff_html(*data, old_name=names[0], new_name=names[1], **keywords)
    assert report == written.stdout.decode("utf-8")
    assert "<script" not in report.split("<body>")[1].replace("&lt;script", "")


def _diff_cases():
    with open(os.path.join(DIFF_CASES, "cases.json"), encoding="utf-8") as file:
        return json.load(file)


@pytest.mark.parametrize("case", _diff_cases(), ids=lambda case: case["name"])
def test_diff_csv_as_ztxgrp_diff_writes_it(case):
    def read(name):
        with open(os.path.join(DIFF_CASES, name), "rb") as file:
            return file.read()

    options = case["options"]
    keywords = {"by": options.get("by"), "join": options.get("join", ", "),
                "min_run": options.get("minRun", 2), "unchanged": options.get("unchanged", False),
                "parts": options.get("parts"), "boards": options.get("boards", 1)}
    call = lambda: ztxgrp.diff_csv(read(case["old"]), read(case["new"]), **keywords)
    if "output" not in case:
        with pytest.raises(ValueError) as raised:
            call()
        assert case["error"] in str(raised.value)
        return
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        assert call() == read(case["output"])
    messages = [str(w.message) for w in caught]
    assert len(messages) == len(case["notes"]) + len(case["warnings"])
    for expected, message in zip(case["notes"] + case["warnings"], messages):
        assert expected in message


def test_diff_rows_gives_the_table_as_dicts():
    old = [{"Ref": "R1, R2", "Value": "10k"}, {"Ref": "C1", "Value": "1u"}]
    new = [{"Ref": "R1", "Value": "10k"}, {"Ref": "R2", "Value": "22k"}]
    assert ztxgrp.diff_rows(old, new) == [
        {"Change": "removed", "Ref": "C1", "Count": "1", "Value (old)": "1u", "Value (new)": ""},
        {"Change": "changed", "Ref": "R2", "Count": "1", "Value (old)": "10k", "Value (new)": "22k"},
    ]
    # Comparing parts: R2 moved from part A to part B.
    moved = ztxgrp.diff_rows([{"Ref": "R1, R2", "MPN": "A"}],
                             [{"Ref": "R1", "MPN": "A"}, {"Ref": "R2", "MPN": "B"}],
                             parts=["MPN"], boards=3)
    assert moved == [{"Change": "moved", "Ref": "R2", "Count": "1", "MPN (old)": "A", "MPN (new)": "B"}]
    assert moved.parts == [
        {"Change": "quantity changed", "MPN": "A", "Quantity (old)": "6", "Quantity (new)": "3",
         "Difference": "-3", "Designators added": "", "Designators removed": "R2"},
        {"Change": "added part", "MPN": "B", "Quantity (old)": "0", "Quantity (new)": "3",
         "Difference": "+3", "Designators added": "R2", "Designators removed": ""}]
    assert ztxgrp.diff_rows(old, new).parts is None
    with pytest.raises(ztxgrp.Error) as raised:
        ztxgrp.diff_rows(old, [{"Ref": "R3-R1", "Value": "x"}])
    assert raised.value.row == 1 and "the new list, row 1" in str(raised.value)


PARTS_OPERATIONS = {"collapse-rows": ztxgrp.collapse_rows, "expand-rows": ztxgrp.expand_rows,
              "collapse-file": ztxgrp.collapse_file, "expand-file": ztxgrp.expand_file,
              "diff-rows": ztxgrp.diff_rows, "diff-files": ztxgrp.diff_files,
              "verify-files": ztxgrp.verify, "verify-rows": ztxgrp.verify_rows}


@pytest.mark.parametrize("operation", sorted(PARTS_OPERATIONS))
def test_each_function_offers_exactly_the_options_of_the_table(operation):
    """The options are declared once: each function takes exactly the
    table's options for its operation, under their Python names, with their
    defaults (null: None)."""
    with open(OPTION_TABLE, encoding="utf-8") as file:
        table = json.load(file)
    expected = {row["python"]: row["default"] for row in table if operation in row["operations"]}
    parameters = inspect.signature(PARTS_OPERATIONS[operation]).parameters.values()
    offered = {p.name: p.default for p in parameters if p.kind == inspect.Parameter.KEYWORD_ONLY}
    assert offered == expected


SET_OPERATIONS = {"combine-sets": [ztxgrp.union, ztxgrp.intersect, ztxgrp.subtract, ztxgrp.xor],
                  "set-gaps": [ztxgrp.gaps], "set-free": [ztxgrp.free]}


@pytest.mark.parametrize("operation", sorted(SET_OPERATIONS))
def test_each_set_function_offers_exactly_the_options_of_the_table(operation):
    """The set functions' options with defaults are the table's for their
    operation (free's n may be given by position too)."""
    with open(OPTION_TABLE, encoding="utf-8") as file:
        table = json.load(file)
    expected = {row["python"]: row["default"] for row in table if operation in row["operations"]}
    for function in SET_OPERATIONS[operation]:
        parameters = inspect.signature(function).parameters.values()
        offered = {p.name: p.default for p in parameters if p.default is not inspect.Parameter.empty}
        assert offered == expected, function.__name__


def test_the_version_is_the_projects():
    with open(os.path.join(os.path.dirname(__file__), "..", "..", "CMakeLists.txt"), encoding="utf-8") as file:
        declared = file.read().split("project(ztxgrp VERSION ", 1)[1].split()[0]
    assert ztxgrp.__version__ == declared


SETS = os.path.join(os.path.dirname(PARTS_FILES), "sets")


def _set_cases():
    with open(os.path.join(SETS, "cases.json"), encoding="utf-8") as file:
        return json.load(file)


def _set_call(case):
    operation, operands, options = case["operation"], case["operands"], case["options"]
    runs = {"min_run": options["minRun"]} if "minRun" in options else {}
    if operation == "count":
        return lambda: [str(n) for n in ztxgrp.count(*operands)]
    if operation == "contains":
        return lambda: ["true" if a else "false" for a in ztxgrp.contains(*operands)]
    if operation == "gaps":
        return lambda: ztxgrp.gaps(operands[0], **runs)
    if operation == "free":
        return lambda: ztxgrp.free(operands[0], operands[1], options.get("n", 1), **runs)
    return lambda: getattr(ztxgrp, operation)(*operands, **runs)


@pytest.mark.parametrize("case", _set_cases(), ids=lambda case: case["name"])
def test_set_operations_give_what_the_table_holds(case):
    call = _set_call(case)
    if "result" not in case:
        with pytest.raises(ValueError) as raised:
            call()
        if case["status"] == 3:
            assert (raised.value.number, raised.value.item, raised.value.row) == (
                case["number"], case["item"], case["operand"])
        elif "option" in case:
            with open(OPTION_TABLE, encoding="utf-8") as file:
                name = next(row["python"] for row in json.load(file) if row["option"] == case["option"])
            assert str(raised.value) == f"{name}=: {case['error']}"
        else:
            assert str(raised.value) == case["error"]
        return
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        assert call() == case["result"]
    assert [str(w.message) for w in caught] == [m.split(": ", 1)[1] for m in case.get("messages", [])]


def _expanded(text):
    """Designators of a text of plain ones (a prefix of capitals, a number
    without leading zeros) and ranges of them, written out here."""
    out = set()
    for piece in text.replace(",", " ").split():
        if "-" in piece:
            left, right = piece.split("-")
            prefix = left.rstrip("0123456789")
            out.update(f"{prefix}{n}" for n in range(int(left[len(prefix):]), int(right[len(prefix):]) + 1))
        else:
            out.add(piece)
    return out


def _folded(members, min_run=2):
    """Plain designators folded as group writes them: by prefix (plain
    capitals order as UTF-16 does), then number; runs of at least min_run."""
    by_prefix = {}
    for designator in members:
        prefix = designator.rstrip("0123456789")
        by_prefix.setdefault(prefix, []).append(int(designator[len(prefix):]))
    entries = []
    for prefix in sorted(by_prefix):
        numbers = sorted(by_prefix[prefix])
        start = 0
        while start < len(numbers):
            end = start
            while end + 1 < len(numbers) and numbers[end + 1] == numbers[end] + 1:
                end += 1
            if end - start + 1 >= min_run:
                entries.append(f"{prefix}{numbers[start]}-{prefix}{numbers[end]}")
            else:
                entries.extend(f"{prefix}{n}" for n in numbers[start:end + 1])
            start = end + 1
    return entries


def test_set_operations_agree_with_sets_computed_here():
    """Random lists of plain designators: every operation against Python's
    own sets, expanded and folded here, not through the engine."""
    import random
    rng = random.Random(7)
    for _ in range(200):
        lists = []
        for _ in range(rng.randrange(2, 5)):
            pieces = []
            for _ in range(rng.randrange(0, 6)):
                prefix = rng.choice(["R", "C", "TP", "Q"])
                first = rng.randrange(1, 40)
                last = first + rng.randrange(0, 8)
                pieces.append(f"{prefix}{first}" if first == last else f"{prefix}{first}-{prefix}{last}")
            lists.append(", ".join(pieces))
        sets = [_expanded(text) for text in lists]
        assert ztxgrp.union(*lists) == _folded(set().union(*sets))
        assert ztxgrp.intersect(*lists) == _folded(set.intersection(*sets))
        assert ztxgrp.subtract(*lists) == _folded(sets[0].difference(*sets[1:]))
        odd = {d for d in set().union(*sets) if sum(d in s for s in sets) % 2 == 1}
        assert ztxgrp.xor(*lists) == _folded(odd)
        assert ztxgrp.count(*lists) == [len(s) for s in sets]
        members = sorted(sets[0]) + ["R999"]
        assert ztxgrp.contains(lists[0], *members) == [m in sets[0] for m in members]
        gaps = set()
        for prefix in {d.rstrip("0123456789") for d in sets[0]}:
            numbers = [int(d[len(prefix):]) for d in sets[0] if d.rstrip("0123456789") == prefix]
            gaps.update(f"{prefix}{n}" for n in range(min(numbers), max(numbers)) if n not in numbers)
        assert ztxgrp.gaps(lists[0]) == _folded(gaps)
        used = {int(d[1:]) for d in sets[0] if d.rstrip("0123456789") == "R"}
        free = [n for n in range(1, 200) if n not in used][:3]
        assert ztxgrp.free(lists[0], "R", 3) == _folded({f"R{n}" for n in free})
