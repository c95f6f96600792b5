"""The README's Python examples, run as written.

Each expression statement with a value, and each print, is compared with the
comment that shows its result: on its own line, or on the comment lines that
follow it. Spacing within a result does not count.
"""
import ast
import contextlib
import io
import os
import re

import pytest

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def python_blocks():
    with open(os.path.join(TOP, "README.md"), encoding="utf-8") as file:
        text = file.read()
    return re.findall(r"^```python\n(.*?)^```", text, re.S | re.M)


def shown(lines, statement):
    """The comment that shows a statement's result, or None."""
    last = lines[statement.end_lineno - 1]
    code_end = statement.end_col_offset
    comment = last[code_end:].strip()
    parts = [comment[1:].strip()] if comment.startswith("#") else []
    for line in lines[statement.end_lineno:]:
        if not line.strip().startswith("#"):
            break
        parts.append(line.strip()[1:].strip())
    return " ".join(parts) if parts else None


def normal(text):
    return " ".join(text.split())


class Checker(ast.NodeTransformer):
    """Wraps every expression statement in a call that checks its result."""

    def __init__(self, lines):
        self.lines = lines
        self.expected = {}

    def visit_Expr(self, node):
        self.expected[node.lineno] = shown(self.lines, node)
        call = ast.Call(
            func=ast.Name("__check", ast.Load()),
            args=[ast.Constant(node.lineno), ast.Lambda(
                ast.arguments(posonlyargs=[], args=[], kwonlyargs=[], kw_defaults=[], defaults=[]),
                node.value)],
            keywords=[])
        return ast.copy_location(ast.Expr(call), node)


@pytest.mark.parametrize("block", python_blocks())
def test_readme_python_examples(block, monkeypatch):
    monkeypatch.chdir(TOP)
    lines = block.split("\n")
    checker = Checker(lines)
    tree = ast.fix_missing_locations(checker.visit(ast.parse(block)))
    checked = []

    def check(line, expression):
        printed = io.StringIO()
        with contextlib.redirect_stdout(printed):
            value = expression()
        expected = checker.expected[line]
        is_print = lines[line - 1].lstrip().startswith("print(")
        if expected is None or (value is None and not is_print):
            return value
        got = printed.getvalue() if is_print else repr(value)
        assert normal(got) == normal(expected), f"README line {line}: {lines[line - 1].strip()}"
        checked.append(line)
        return value

    exec(compile(tree, "README.md", "exec"), {"__check": check, "__name__": "__readme__"})
    shows = [line for line, comment in checker.expected.items() if comment]
    assert len(checked) <= len(shows)


def test_readme_shows_python_examples_with_results():
    assert len(python_blocks()) >= 2
    assert "# ['C2', 'R1-R3', 'R5']" in python_blocks()[0]
