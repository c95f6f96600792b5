"""Parts lists as workbooks (.xlsx): made here with openpyxl (and, for cell
forms openpyxl does not write, as the format's XML), read through the
package and through the command as a process, written workbooks read back
with openpyxl."""
import csv
import datetime
import io
import os
import subprocess
import tempfile
import warnings
import zipfile

import openpyxl
import pytest

import ztxgrp

CLI = os.environ.get("ZTXGRP_CLI")


def book(*rows, title="Sheet1", more_sheets=(), formats=None, chart_first=False):
    """A workbook written by openpyxl: rows of values (None: no cell);
    `chart_first`: a chart sheet of the second column before the sheet."""
    workbook = openpyxl.Workbook()
    sheet = workbook.active
    sheet.title = title
    for row in rows:
        sheet.append(list(row))
    if chart_first:
        from openpyxl.chart import BarChart, Reference
        chart = BarChart()
        chart.add_data(Reference(sheet, min_col=2, min_row=1, max_row=len(rows)), titles_from_data=True)
        workbook.create_chartsheet("Chart", 0).add_chart(chart)
    for (cell, number_format) in (formats or {}).items():
        sheet[cell].number_format = number_format
    for name in more_sheets:
        workbook.create_sheet(name)
    out = io.BytesIO()
    workbook.save(out)
    return out.getvalue()


def package(sheet_xml, strings_xml=None, styles_xml=None, workbook_pr="", extra=()):
    """A workbook written as the format's XML, for cell forms openpyxl does
    not write (inline and rich strings, phonetic runs, escapes) and for
    damaged workbooks."""
    ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    rels = [f'<Relationship Id="rId1" Type="{rel}/worksheet" Target="worksheets/sheet1.xml"/>']
    if strings_xml is not None:
        rels.append(f'<Relationship Id="rId2" Type="{rel}/sharedStrings" Target="sharedStrings.xml"/>')
    if styles_xml is not None:
        rels.append(f'<Relationship Id="rId3" Type="{rel}/styles" Target="styles.xml"/>')
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("_rels/.rels", '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   f'<Relationship Id="r" Type="{rel}/officeDocument" Target="xl/workbook.xml"/></Relationships>')
        z.writestr("xl/workbook.xml", f'<workbook {ns} xmlns:r="{rel}">{workbook_pr}<sheets>'
                   '<sheet name="Parts" sheetId="1" r:id="rId1"/></sheets></workbook>')
        z.writestr("xl/_rels/workbook.xml.rels", '<Relationships xmlns="http://schemas.openxmlformats.org/'
                   'package/2006/relationships">' + "".join(rels) + "</Relationships>")
        z.writestr("xl/worksheets/sheet1.xml", f"<worksheet {ns}><sheetData>{sheet_xml}</sheetData></worksheet>")
        if strings_xml is not None:
            z.writestr("xl/sharedStrings.xml", f"<sst {ns}>{strings_xml}</sst>")
        if styles_xml is not None:
            z.writestr("xl/styles.xml", f"<styleSheet {ns}>{styles_xml}</styleSheet>")
        for name, text in extra:
            z.writestr(name, text)
    return out.getvalue()


def inline(ref, text):
    return f'<c r="{ref}" t="inlineStr"><is><t xml:space="preserve">{text}</t></is></c>'


# Each case: a workbook, the options, the CSV that collapsing (or, with
# expand, expanding) writes for it, and the warnings.
READ_CASES = [
    ("typed-cells", book(
        ["Ref", "Footprint", "Value", "Tol", "Big", "Neg", "Fitted", "When", "Error"],
        ["R1", "0603", "1E3", 0.1, 10**15, -3.5, True, datetime.date(2026, 12, 8), "#N/A"],
        ["R2", "0603", "1E3", 0.1, 10**15, -3.5, True, datetime.date(2026, 12, 8), "#N/A"],
        ["C1", "0805", 100, 2.2e-06, 123456789012345, 0.000012345, False, None, None],
        formats={"H2": "yyyy-mm-dd", "H3": "yyyy-mm-dd"}),
     {}, "Ref,Qty,Footprint,Value,Tol,Big,Neg,Fitted,When,Error\n"
         "C1,1,0805,100,2.2E-06,123456789012345,0.000012345,FALSE,,\n"
         "R1-R2,2,0603,1E3,0.1,1E+15,-3.5,TRUE,2026-12-08,#N/A\n", []),
    ("gaps-are-empty-cells", book(["Ref", "Value", "Note"], ["R1", None, "x"], ["R2", None, "x"]),
     {}, "Ref,Qty,Value,Note\nR1-R2,2,,x\n", []),
    ("formula-without-value", book(["Ref", "Value"], ["R1", "=1+1"], ["R2", "=1+1"]),
     {}, "Ref,Qty,Value\nR1-R2,2,\n",
     ["rows 2, 3: a formula without a saved value is read as an empty cell (save the workbook in a "
      "spreadsheet program to store its values)"]),
    ("strings-as-written", package(
        '<row r="1">' + inline("A1", "Ref") + '<c r="B1" t="s"><v>0</v></c>' + inline("C1", "Note") +
        '<c t="s"><v>1</v></c></row>'
        '<row r="2">' + inline("A2", "R1") + '<c r="B2" t="s"><v>2</v></c>'
        '<c r="C2" t="str"><f>A2</f><v>a_x000D_b</v></c><c r="D2" t="b"><v>1</v></c></row>',
        strings_xml='<si><t>Value</t></si><si><r><t>Fit</t></r><r><rPr><b/></rPr><t>ted</t></r></si>'
                    '<si><r><t>10</t></r><r><t>k</t></r><rPh sb="0" eb="1"><t>ignored</t></rPh></si>'),
     {}, 'Ref,Qty,Value,Note,Fitted\nR1,1,10k,"a\rb",TRUE\n', []),
    ("dates-by-format", package(
        '<row r="1">' + inline("A1", "Ref") + inline("B1", "Built") + inline("C1", "At") + '</row>'
        '<row r="2">' + inline("A2", "R1") + '<c r="B2" s="1"><v>0</v></c><c r="C2" s="2"><v>0.5</v></c></row>',
        styles_xml='<numFmts count="1"><numFmt numFmtId="164" formatCode="d.m.yyyy"/></numFmts>'
                   '<cellXfs count="3"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="20"/></cellXfs>',
        workbook_pr='<workbookPr date1904="1"/>'),
     {}, "Ref,Qty,Built,At\nR1,1,1904-01-01,12:00:00\n", []),
    # Dates typed as ISO texts (t="d", as openpyxl writes them): as a serial
    # date shows, the date alone at midnight.
    ("dates-as-iso-text", package(
        '<row r="1">' + inline("A1", "Ref") + inline("B1", "Built") + inline("C1", "At") + inline("D1", "Note") + '</row>'
        '<row r="2">' + inline("A2", "R1") + '<c r="B2" t="d"><v>2026-12-08T00:00:00</v></c>'
        '<c r="C2" t="d"><v>2026-12-08T10:30:00.250Z</v></c><c r="D2" t="d"><v>soon</v></c></row>'),
     {}, "Ref,Qty,Built,At,Note\nR1,1,2026-12-08,2026-12-08 10:30:00,soon\n", []),
    ("title-rows", book(["Board X", None, "Rev", 3], [], ["Refs", "Value"], ["R2", "1k"], ["R1", "1k"]),
     {}, "Board X,,Rev,3\n\nRefs,Qty,Value\nR1-R2,2,1k\n", []),
    ("header-row-named", book(["Ref"], ["Ref"], ["R1"]), {"header_row": 2}, "Ref\nRef,Qty\nR1,1\n", []),
    ("sheet-named", book(["Ref"], ["R9"], title="Front", more_sheets=["Back"]), {"sheet": "Front"},
     "Ref,Qty\nR9,1\n", []),
    ("expanded", book(["Ref", "Qty"], ["C1-C3", 3]), {"expand": True}, "Ref,Qty\nC1,1\nC2,1\nC3,1\n", []),
    # The first worksheet, after a chart sheet before it.
    ("chart-sheet-first", book(["Ref", "Qty"], ["R1", 1], ["R2", 1], title="Parts", chart_first=True), {},
     "Ref,Qty\nR1-R2,2\n", []),
]


def run(data, options):
    options = dict(options)
    call = ztxgrp.expand_csv if options.pop("expand", False) else ztxgrp.collapse_csv
    with _warnings() as caught:
        written = call(data, format="csv", **options)
    return written, [str(w.message) for w in caught]


class _warnings:
    """Every warning of the block, recorded."""
    def __enter__(self):
        self._manager = warnings.catch_warnings(record=True)
        caught = self._manager.__enter__()
        warnings.simplefilter("always")
        return caught

    def __exit__(self, *exc):
        return self._manager.__exit__(*exc)


def command(args, data=None, expect=None):
    done = subprocess.run([CLI] + args, input=data, capture_output=True)
    if expect is not None:
        assert done.returncode == expect, done.stderr
    return done


@pytest.mark.parametrize("name, data, options, expected, warned", READ_CASES, ids=[c[0] for c in READ_CASES])
def test_workbooks_are_read_as_a_spreadsheet_shows_them(name, data, options, expected, warned):
    written, messages = run(data, options)
    assert written.decode() == expected
    assert messages == warned
    if CLI:
        args = ["bom", "--format", "csv", "-"]
        for key, value in options.items():
            args += ["--expand"] if key == "expand" else ["--" + key.replace("_", "-"), str(value)]
        done = command(args, data, 0)
        assert done.stdout == written
        assert [line for line in done.stderr.decode().splitlines()] == ["ztxgrp: warning: " + m for m in warned]


def _csv_cases():
    import json
    folder = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "data", "parts-files")
    with open(os.path.join(folder, "cases.json"), encoding="utf-8") as file:
        cases = json.load(file)
    for case in cases:
        if "output" not in case or case["warnings"] or case["options"].get("sep"):
            continue
        with open(os.path.join(folder, case["input"]), "rb") as file:
            data = file.read()
        # A workbook has no cells for a header's trailing empty names.
        if b",\n" in data.split(b"\n", 1)[0] + b"\n":
            continue
        if not data.isascii() or b"\r" in data or b'"' in data or b";" in data or b"\t" in data:
            continue
        yield pytest.param(data, case["options"], id=case["name"])


@pytest.mark.parametrize("data, options", list(_csv_cases()))
def test_the_same_list_as_csv_and_as_workbook_gives_the_same_result(data, options):
    # Empty lines are empty rows of the sheet (they may end the parts).
    rows = [line.split(",") for line in data.decode().removesuffix("\n").split("\n")]
    workbook = book(*[[cell if cell else None for cell in row] for row in rows])
    keywords = {"refs": options.get("refs"), "qty": options.get("qty"), "header_row": options.get("headerRow"),
                "last_row": options.get("lastRow")}
    if "join" in options:
        keywords["join"] = options["join"]
    if options.get("expand"):
        expected = ztxgrp.expand_csv(data, **keywords)
        assert ztxgrp.expand_csv(workbook, format="csv", **keywords) == expected
    else:
        keywords.update(by=options.get("by"), min_run=options.get("minRun", 2))
        expected = ztxgrp.collapse_csv(data, **keywords)
        assert ztxgrp.collapse_csv(workbook, format="csv", **keywords) == expected


def _bomb():
    # A sheet that expands far beyond the 512 MiB a part may: streamed, so
    # that making it holds little.
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        source = zipfile.ZipFile(io.BytesIO(package("")))
        for name in source.namelist():
            if name != "xl/worksheets/sheet1.xml":
                z.writestr(name, source.read(name))
        with z.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as sheet:
            sheet.write(b"<worksheet><sheetData>")
            block = b" " * (1 << 24)
            for _ in range(33):
                sheet.write(block)
    return out.getvalue()


def _damaged(data):
    return data[: len(data) // 2]


HOSTILE = [
    ("damaged-archive", lambda: _damaged(book(["Ref"], ["R1"])), "archive cannot be read"),
    ("malformed-xml", lambda: package('<row r="1"><c r="A1" t="inlineStr"><is><t>Ref</t></is></row>'),
     "is not well-formed XML"),
    ("document-type", lambda: _with_doctype(), "declares a document type"),
    ("expands-too-far", _bomb, "expands beyond 512 MiB"),
    ("missing-sheet", lambda: book(["Ref"], ["R1"], title="Front"), 'no sheet named "Back"; its sheets are "Front"'),
    ("beyond-the-rows", lambda: package('<row r="1048577">' + inline("A1048577", "Ref") + "</row>"),
     'the row number "1048577" is outside a sheet (rows 1 to 1048576, columns A to XFD)'),
    ("cell-below-the-last-row", lambda: package('<row>' + inline("A1048577", "Ref") + "</row>"),
     'the cell "A1048577" is outside a sheet'),
    ("cell-past-the-last-column", lambda: package('<row r="1">' + inline("XFE1", "Ref") + "</row>"),
     'the cell "XFE1" is outside a sheet'),
    ("cell-in-row-0", lambda: package('<row>' + inline("A0", "Ref") + "</row>"),
     'damaged: a cell reference "A0"'),
    ("cell-written-twice", lambda: package('<row r="1">' + inline("A1", "Ref") + inline("A1", "Ref") + "</row>"),
     "the cell A1 is written twice"),
    ("shared-string-missing", lambda: package('<row r="1"><c r="A1" t="s"><v>5</v></c></row>', strings_xml=""),
     'a shared string\'s number "5"'),
    ("no-workbook-part", lambda: _without("xl/workbook.xml"), "xl/workbook.xml is missing"),
    ("beyond-the-header", lambda: book(["Ref"], ["R1", "x"]), "the cell B2 is beyond the header's 1 columns"),
    ("ods-document-type", lambda: ods('<!DOCTYPE x [<!ENTITY a "aaaa">]>' + ODS_OPEN + ODS_CLOSE),
     "declares a document type"),
    ("ods-malformed", lambda: ods(ODS_OPEN + "<table:table-row>" + ODS_CLOSE), "is not well-formed XML"),
    ("ods-repeated-past-the-rows", lambda: ods(ODS_OPEN + '<table:table-row table:number-rows-repeated="2000000">'
                                               + ods_cell("Ref") + "</table:table-row>" + ODS_CLOSE),
     "rows, beyond the limits"),
    ("ods-repeated-past-the-columns", lambda: ods(ODS_OPEN + '<table:table-row><table:table-cell '
                                                  'table:number-columns-repeated="99999999999999999999" '
                                                  'office:value-type="string"><text:p>Ref</text:p>'
                                                  "</table:table-cell></table:table-row>" + ODS_CLOSE),
     "beyond the limits"),
    ("ods-repeated-past-the-cells", lambda: ods(ODS_OPEN + '<table:table-row table:number-rows-repeated="1048576">'
                                                + '<table:table-cell table:number-columns-repeated="100" '
                                                'office:value-type="string"><text:p>Ref</text:p></table:table-cell>'
                                                + "</table:table-row>" + ODS_CLOSE),
     "more cells, beyond the limits"),
    ("ods-bad-repeat", lambda: ods(ODS_OPEN + '<table:table-row table:number-rows-repeated="0">'
                                   + ods_cell("Ref") + "</table:table-row>" + ODS_CLOSE),
     'damaged: a repeat count "0"'),
    ("ods-space-bomb", lambda: ods(ODS_OPEN + '<table:table-row><table:table-cell office:value-type="string">'
                                   '<text:p><text:s text:c="4000000000"/></text:p></table:table-cell>'
                                   "</table:table-row>" + ODS_CLOSE),
     "a cell that long"),
    ("ods-of-a-text", lambda: ods(ODS_OPEN + ODS_CLOSE, "application/vnd.oasis.opendocument.text"),
     'an OpenDocument file of the type "application/vnd.oasis.opendocument.text", not a spreadsheet'),
    ("ods-missing-sheet", lambda: ods(ODS_OPEN + ods_row("Ref") + ODS_CLOSE),
     'no sheet named "Back"; its sheets are "Front"'),
]

ODS_OPEN = ('<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>'
            '<table:table table:name="Front">')
ODS_CLOSE = "</table:table></office:spreadsheet></office:body></office:document-content>"


def ods_cell(text):
    return f'<table:table-cell office:value-type="string"><text:p>{text}</text:p></table:table-cell>'


def ods_row(*texts):
    return "<table:table-row>" + "".join(ods_cell(t) for t in texts) + "</table:table-row>"


def ods(content, mimetype="application/vnd.oasis.opendocument.spreadsheet"):
    """An OpenDocument file as the format lays it out: the mimetype first,
    stored, then the content."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo("mimetype"), mimetype, compress_type=zipfile.ZIP_STORED)
        z.writestr("content.xml", content)
    return out.getvalue()


def _with_doctype():
    sheet = ('<!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;">]>'
             '<worksheet><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&b;</t></is></c></row>'
             '</sheetData></worksheet>')
    return _replaced("xl/worksheets/sheet1.xml", sheet)


def _replaced(part, text):
    source = zipfile.ZipFile(io.BytesIO(package("")))
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name in source.namelist():
            z.writestr(name, text if name == part else source.read(name))
    return out.getvalue()


def _without(part):
    source = zipfile.ZipFile(io.BytesIO(package("")))
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as z:
        for name in source.namelist():
            if name != part:
                z.writestr(name, source.read(name))
    return out.getvalue()


@pytest.mark.parametrize("name, make, message", HOSTILE, ids=[c[0] for c in HOSTILE])
def test_hostile_workbooks_are_refused_and_nothing_is_written(name, make, message):
    data = make()
    options = {"sheet": "Back"} if name.endswith("missing-sheet") else {}
    with pytest.raises(ValueError) as raised:
        ztxgrp.collapse_csv(data, **options)
    assert message in str(raised.value)
    if CLI:
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "in.xlsx")
            target = os.path.join(folder, "out.xlsx")
            with open(source, "wb") as file:
                file.write(data)
            args = ["bom", source, "-o", target] + (["--sheet", "Back"] if options else [])
            done = command(args, expect=2)
            assert message in done.stderr.decode()
            assert len(done.stderr.decode().splitlines()) == 1
            assert not os.path.exists(target)


def _cells_written_as(form, source):
    """The cells, as openpyxl reads them, of `source` collapsed into a
    workbook of `form` (an .ods made .xlsx by this library to be read);
    what it shows is what `source` shows."""
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        written = ztxgrp.collapse_file(source, format=form)
        if form == "ods":
            written = ztxgrp.collapse_file(written, format="xlsx")
        assert ztxgrp.collapse_file(written, format="csv") == ztxgrp.collapse_file(source, format="csv")
    return [[c.value for c in row] for row in openpyxl.load_workbook(io.BytesIO(written)).active.iter_rows()]


def test_written_workbooks_keep_text_as_text_and_numbers_as_numbers():
    source = book(["Project", None, "Boards", 100], ["Ref", "Footprint", "Value", "Tol", "Qty"],
                  ["R1", "0603", "1E3", 0.1, 1], ["R2", "0603", "1E3", 0.1, 1], ["C1", "0805", "2026-12-08", 5, 1])
    written = ztxgrp.collapse_csv(source)
    sheet = openpyxl.load_workbook(io.BytesIO(written)).active
    assert [[c.value for c in row] for row in sheet.iter_rows()] == [
        ["Project", None, "Boards", 100, None],
        ["Ref", "Footprint", "Value", "Tol", "Qty"],
        ["C1", "0805", "2026-12-08", 5, 1],
        ["R1-R2", "0603", "1E3", 0.1, 2],
    ]
    assert all(c.font.b for c in sheet[2])
    assert sheet.freeze_panes == "A3"
    assert sheet.auto_filter.ref == "A2:E4"
    assert sheet.column_dimensions["A"].width >= 8
    # Columns of one name (a group per distributor): the n-th of a name
    # keeps the numbers of the n-th column of that name.
    grouped = book(["Ref", "Avail", "Unit$", "Avail", "Unit$"], ["R1", 10, 0.5, 2000, 0.25],
                   ["R2", 10, 0.5, 2000, 0.25])
    rows = [[c.value for c in row] for row in
            openpyxl.load_workbook(io.BytesIO(ztxgrp.collapse_csv(grouped))).active.iter_rows()]
    assert rows == [["Ref", "Qty", "Avail", "Unit$", "Avail", "Unit$"], ["R1-R2", 2, 10, 0.5, 2000, 0.25]]
    # A CSV written as a workbook: every cell text, the quantities numbers.
    from_csv = ztxgrp.collapse_csv(b"Ref,Footprint\nR1,0603\nR2,0603\n", format="xlsx")
    rows = [[c.value for c in row] for row in openpyxl.load_workbook(io.BytesIO(from_csv)).active.iter_rows()]
    assert rows == [["Ref", "Qty", "Footprint"], ["R1-R2", 2, "0603"]]
    # A CSV file's title lines are rows above the header, in their places.
    titled = ztxgrp.collapse_csv(b'Board X;"Rev; B"\n\nRef;Value\nR1;1k\n', format="xlsx")
    rows = [[c.value for c in row] for row in openpyxl.load_workbook(io.BytesIO(titled)).active.iter_rows()]
    assert rows == [["Board X", "Rev; B", None], [None, None, None], ["Ref", "Qty", "Value"], ["R1", 1, "1k"]]
    # A title cell holding a quoted line break stays one cell.
    titled = ztxgrp.collapse_csv(b'"Board X\nRev B",drawn\r\nRef,Value\r\nR1,1k\r\n', format="xlsx")
    rows = [[c.value for c in row] for row in openpyxl.load_workbook(io.BytesIO(titled)).active.iter_rows()]
    assert rows == [["Board X\nRev B", "drawn", None], ["Ref", "Qty", "Value"], ["R1", 1, "1k"]]
    # A text "100" beside a number 100 in one column: each cell keeps its
    # kind, in either form of workbook, and in the rows below the parts.
    mixed = book(["Ref", "Value", "Code"], ["R1", "10k", "100"], ["R2", "22k", 100], ["R3", "22k", 100],
                 [None], ["Total", 3, "3"])
    for form in ("xlsx", "ods"):
        assert _cells_written_as(form, mixed) == [
            ["Ref", "Qty", "Value", "Code"], ["R1", 1, "10k", "100"], ["R2-R3", 2, "22k", 100],
            [None] * 4, ["Total", 3, "3", None]], form
    # Dates, times and Booleans stay dates, times and Booleans; a text that
    # shows the same stays text.
    day, noon = datetime.datetime(2026, 12, 8), datetime.datetime(2026, 12, 8, 12, 30)
    kinds = book(["Checked", day], ["Ref", "Date", "Time", "Fitted"],
                 ["R1", day, datetime.time(10, 30), True], ["R2", "2026-12-08", "TRUE", "FALSE"],
                 ["R3", noon, None, False])
    for form in ("xlsx", "ods"):
        assert _cells_written_as(form, kinds) == [
            ["Checked", day, None, None, None], ["Ref", "Qty", "Date", "Time", "Fitted"],
            ["R1", 1, day, datetime.time(10, 30), True], ["R2", 1, "2026-12-08", "TRUE", "FALSE"],
            ["R3", 1, noon, None, False]], form


@pytest.mark.skipif(not CLI, reason="the command is not built here")
def test_the_command_and_python_write_the_same_workbook_bytes():
    old = book(["Ref", "Value"], ["R1", "1k"], ["R2", "1k"], ["R3", "2k"])
    new = book(["Ref", "Value"], ["R1", "1k"], ["R2", "4k"], ["R4", "2k"])
    with tempfile.TemporaryDirectory() as folder:
        paths = {}
        for name, data in (("old.xlsx", old), ("new.xlsx", new)):
            paths[name] = os.path.join(folder, name)
            with open(paths[name], "wb") as file:
                file.write(data)
        collapsed = os.path.join(folder, "collapsed.xlsx")
        command(["bom", paths["old.xlsx"], "-o", collapsed], expect=0)
        with open(collapsed, "rb") as file:
            assert file.read() == ztxgrp.collapse_csv(old)
        changes = os.path.join(folder, "changes.xlsx")
        command(["diff", paths["old.xlsx"], paths["new.xlsx"], "-o", changes], expect=1)
        with open(changes, "rb") as file:
            written = file.read()
    assert written == ztxgrp.diff_csv(old, new, format="xlsx")
    sheet = openpyxl.load_workbook(io.BytesIO(written)).active
    kinds = {row[0].value: row[0].fill.fgColor.rgb[-6:] for row in sheet.iter_rows(min_row=2)}
    assert kinds == {"added": "EAF7EE", "removed": "FBEAEA", "changed": "FDF5E3"}


def _command_diff(old, new, words, output):
    """`ztxgrp diff WORDS old.xlsx new.xlsx -o OUTPUT` of two workbooks'
    bytes, in a scratch folder: the bytes written (the lists differ)."""
    with tempfile.TemporaryDirectory() as folder:
        paths = []
        for name, data in (("old.xlsx", old), ("new.xlsx", new)):
            paths.append(os.path.join(folder, name))
            with open(paths[-1], "wb") as file:
                file.write(data)
        target = os.path.join(folder, output)
        command(["diff", *words, *paths, "-o", target], expect=1)
        with open(target, "rb") as file:
            return file.read()


@pytest.mark.skipif(not CLI, reason="the command is not built here")
@pytest.mark.parametrize("words, form", [([], "text"), (["--csv"], "csv"), (["--json"], "json"),
                                         (["--format", "xlsx"], "xlsx")])
def test_every_form_of_a_comparison_is_the_commands_whatever_new_is(words, form):
    """The words choose the form, not NEW's form: --csv of a workbook is CSV.
    Python gives the same bytes for the same form, and diff_text the text."""
    old = book(["Ref", "Value"], ["R1", "1k"], ["R2", "1k"])
    new = book(["Ref", "Value"], ["R1", "1k"], ["R2", "4k"], ["R3", "2k"])
    written = _command_diff(old, new, words, "changes")
    assert written.startswith(b"PK\x03\x04") == (form == "xlsx")
    assert written == ztxgrp.diff_files(old, new, format=form)
    if form == "text":
        assert written.decode() == ztxgrp.diff_text(old, new)
        assert written.decode().startswith('changed R2 (1): "Value" "1k" -> "4k"\n')
    if form == "csv":
        assert written.startswith(b"Change,Ref,Count,Value (old),Value (new)\n")
        assert written == ztxgrp.diff_csv(old, new)


@pytest.mark.skipif(not CLI, reason="the command is not built here")
def test_a_comparison_of_parts_is_a_second_sheet_as_openpyxl_reads_it():
    """diff --parts -o FILE.xlsx: the changes on one sheet, the parts on a
    second, quantities as numbers, each kind in its colour; the bytes are
    Python's for the same words."""
    old = book(["Ref", "Qty", "MPN"], ["R1, R2", "2", "RC10K"], ["C1", "1", "CC1U"])
    new = book(["Ref", "Qty", "MPN"], ["R1", "1", "RC10K"], ["R2", "1", "RC4K7"], ["C1-C2", "2", "CC1U"])
    written = _command_diff(old, new, ["--parts", "MPN", "--boards", "5"], "changes.xlsx")
    assert written == ztxgrp.diff_files(old, new, format="xlsx", parts="MPN", boards=5)
    workbook = openpyxl.load_workbook(io.BytesIO(written))
    assert workbook.sheetnames == ["Changes", "Parts"]
    changes = [[c.value for c in row] for row in workbook["Changes"].iter_rows()]
    assert changes[1:] == [["added", "C2", 1, None, "CC1U", None, "1"],
                           ["moved", "R2", 1, "RC10K", "RC4K7", "1", "1"]]
    parts = workbook["Parts"]
    assert [[c.value for c in row] for row in parts.iter_rows()] == [
        ["Change", "MPN", "Quantity (old)", "Quantity (new)", "Difference", "Designators added",
         "Designators removed"],
        ["quantity changed", "RC10K", 10, 5, "-5", None, "R2"],
        ["quantity changed", "CC1U", 5, 10, "+5", "C2", None],
        ["added part", "RC4K7", 0, 5, "+5", "R2", None]]
    assert [row[0].fill.fgColor.rgb[-6:] for row in parts.iter_rows(min_row=2)] == [
        "FDF5E3", "FDF5E3", "EAF7EE"]


SOFFICE = "/usr/lib/libreoffice/program/soffice"


def _soffice_convert(path, form, folder):
    """The file converted by LibreOffice to `form`, in `folder`: its bytes."""
    subprocess.run([SOFFICE, "--headless", "--norestore", f"-env:UserInstallation=file://{folder}/profile",
                    "--convert-to", form, "--outdir", folder, path],
                   check=True, capture_output=True, timeout=300)
    stem = os.path.splitext(os.path.basename(path))[0]
    with open(os.path.join(folder, f"{stem}.{form.split(':')[0]}"), "rb") as file:
        return file.read()


@pytest.mark.skipif(not os.path.exists(SOFFICE), reason="no LibreOffice here")
def test_a_list_exported_by_libreoffice_reads_as_its_csv():
    source = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "data", "bom", "excerpt.csv")
    with tempfile.TemporaryDirectory() as folder:
        exported = _soffice_convert(source, "xlsx", folder)
    with open(source, "rb") as file:
        listed = file.read()
    # The CSV keeps its CRLF line ends; a workbook written as CSV has LF.
    for call in (ztxgrp.collapse_csv, ztxgrp.expand_csv):
        assert call(exported, format="csv") == call(listed).replace(b"\r\n", b"\n")


@pytest.mark.skipif(not os.path.exists(SOFFICE), reason="no LibreOffice here")
def test_texts_that_look_like_escapes_read_back_as_written():
    """A cell "_x00B5_" is stored so that LibreOffice and this reader show it
    as written, not as the character it would name."""
    listed = b"Ref,Note\nR1,_x00B5_ and _x005F_\nR2,plain_x12\n"
    written = ztxgrp.collapse_file(listed, format="xlsx")
    expected = b"Ref,Qty,Note\nR1,1,_x00B5_ and _x005F_\nR2,1,plain_x12\n"
    assert ztxgrp.collapse_file(written, format="csv") == expected
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "escapes.xlsx"), "wb") as file:
            file.write(written)
        shown = _soffice_convert(os.path.join(folder, "escapes.xlsx"), "csv", folder)
        assert shown.replace(b"\r\n", b"\n") == expected


VERIFY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "data", "verify")


def test_a_placement_workbook_is_checked_as_its_csv_is():
    """An assembler's CPL saved as a workbook by a spreadsheet program: the
    same findings as the CPL as CSV, through Python and the command."""
    with open(os.path.join(VERIFY, "findings-cpl.csv"), encoding="utf-8", newline="") as file:
        rows = list(csv.reader(file))
    cpl = book(*rows, title="CPL")
    with open(os.path.join(VERIFY, "findings.csv"), "rb") as file:
        bom = file.read()
    with open(os.path.join(VERIFY, "findings-cpl.csv"), "rb") as file:
        as_csv = ztxgrp.verify(bom, {"cpl": file.read()}, "findings.csv")
    as_book = ztxgrp.verify(bom, {"cpl": cpl}, "findings.csv")
    # A workbook names its rows as rows; the CSV its lines, the same numbers.
    assert as_book.decode() == as_csv.decode().replace("cpl lines", "cpl rows").replace("cpl line", "cpl row")
    if CLI:
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "cpl")
            with open(path, "wb") as file:
                file.write(cpl)
            done = subprocess.run([CLI, "verify", os.path.join(VERIFY, "findings.csv"), path],
                                  capture_output=True, cwd=folder)
        assert done.returncode == 1
        assert done.stdout.decode().replace(os.path.join(VERIFY, "findings.csv"), "findings.csv").replace(
            path, "cpl") == as_book.decode()


PARTS_FILES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "data", "parts-files")


@pytest.mark.skipif(not os.path.exists(SOFFICE), reason="no LibreOffice here")
def test_a_written_ods_reads_back_in_libreoffice_as_written():
    """Title rows, a number, spaces that count, a line break and markup:
    LibreOffice shows each cell as written."""
    listed = (b"Board:,Sensor v2\n,\nRef,Value,Note\nR1,10k, two  spaces \nR2,10k, two  spaces \n"
              b'C1,100n,"first\nsecond"\nC2,<b>&amp;,\tx\n')
    written = ztxgrp.collapse_file(listed, format="ods")
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "written.ods")
        with open(path, "wb") as file:
            file.write(written)
        shown = _soffice_convert(path, "csv", folder).decode("utf-8").replace("\r\n", "\n")
    expected = ztxgrp.collapse_file(listed, format="csv").decode("utf-8")
    assert list(csv.reader(io.StringIO(shown))) == [
        row + [""] * (4 - len(row)) for row in csv.reader(io.StringIO(expected))]
    # Read back here as the same list written as .xlsx is.
    as_xlsx = ztxgrp.collapse_file(listed, format="xlsx")
    assert ztxgrp.collapse_file(written, format="csv") == ztxgrp.collapse_file(as_xlsx, format="csv")


@pytest.mark.skipif(not os.path.exists(SOFFICE), reason="no LibreOffice here")
def test_the_committed_libreoffice_ods_is_what_libreoffice_makes_of_its_flat_form():
    with open(os.path.join(PARTS_FILES, "ods-libreoffice.ods"), "rb") as file:
        committed = file.read()
    with tempfile.TemporaryDirectory() as folder:
        fresh = _soffice_convert(os.path.join(PARTS_FILES, "ods-libreoffice.fods"), "ods", folder)
    assert ztxgrp.collapse_file(fresh, format="csv") == ztxgrp.collapse_file(committed, format="csv")
    assert ztxgrp.collapse_file(fresh, format="csv", sheet="Second") == b"Ref,Qty\nX1,1\n"


@pytest.mark.parametrize("form", ["xlsx", "ods"])
def test_rows_below_the_parts_of_a_workbook_stay_below_them(form):
    """A total and a signature under the parts, after an empty row: set
    apart with a note, and written back below the collapsed parts, the empty
    row between kept, in either workbook form and in CSV."""
    source = book(["Board", "A"], ["Ref", "Value", "Qty"], ["R1", "10k", 1], ["R2", "10k", 1],
                  ["C1", "1u", 1], [None], ["Total", None, 3], [None], ["Approved", "Ann"])
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        written = ztxgrp.collapse_file(source, format=form)
    assert [str(w.message) for w in caught] == [
        "the parts end at the empty row 6: the 2 rows below it are kept as they are, not read as parts"]
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        shown = ztxgrp.collapse_file(written, format="csv")
    assert shown == (b"Board,A\nRef,Value,Qty\nC1,1u,1\nR1-R2,10k,2\n\nTotal,,3\n\nApproved,Ann\n")
    if form == "xlsx":
        sheet = openpyxl.load_workbook(io.BytesIO(written)).active
        assert [[c.value for c in row] for row in sheet.iter_rows(min_row=4)] == [
            ["R1-R2", "10k", 2], [None, None, None], ["Total", None, 3], [None, None, None],
            ["Approved", "Ann", None]]
