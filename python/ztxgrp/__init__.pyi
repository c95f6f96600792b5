from typing import Any, Iterable, Mapping, Optional, Union


_Item = Union[str, int, float, bool, None]
# The bytes of a file: bytes, bytearray or a memoryview of bytes.
_Buffer = Union[bytes, bytearray, memoryview]
# A row as csv.DictReader gives it: column name to cell (None for a missing
# cell; fields beyond the header, which DictReader keeps under None, are
# refused at run time).
_Row = Mapping[str, Optional[str]]
_Names = Union[str, Iterable[str], None]

__all__ = [
    "__version__", "Error", "PartsWarning", "PartsNote", "group", "ungroup", "expand", "is_valid_range",
    "collapse_rows", "expand_rows", "collapse_file", "expand_file", "diff_rows", "diff_files",
    "diff_text", "collapse_csv", "expand_csv", "diff_csv", "verify", "verify_rows",
    "union", "intersect", "subtract", "xor", "count", "contains", "gaps", "free",
]

__version__: str

class Error(ValueError):
    number: int
    description: str
    item: Optional[str]
    row: Optional[int]

class PartsWarning(UserWarning): ...
class PartsNote(PartsWarning): ...

def group(items: Iterable[_Item], *, min_run: int = ...) -> list[str]: ...
def ungroup(items: Iterable[_Item]) -> list[str]: ...
def expand(text: str) -> list[str]: ...
def is_valid_range(text: str) -> bool: ...
def collapse_rows(
    rows: Iterable[_Row], *, refs: Optional[str] = ..., by: _Names = ..., qty: Optional[str] = ...,
    join: str = ..., min_run: int = ..., max_per_row: Optional[int] = ..., no_ranges: bool = ...,
) -> list[dict[str, str]]: ...
def expand_rows(
    rows: Iterable[_Row], *, refs: Optional[str] = ..., qty: Optional[str] = ..., join: str = ...,
) -> list[dict[str, str]]: ...
def collapse_file(
    data: _Buffer, *, refs: Optional[str] = ..., by: _Names = ..., qty: Optional[str] = ...,
    join: str = ..., min_run: int = ..., sep: Optional[str] = ..., header_row: Optional[int] = ...,
    sheet: Optional[str] = ..., format: Optional[str] = ..., max_per_row: Optional[int] = ...,
    no_ranges: bool = ..., last_row: Optional[int] = ...,
) -> bytes: ...
def expand_file(
    data: _Buffer, *, refs: Optional[str] = ..., qty: Optional[str] = ..., join: str = ...,
    sep: Optional[str] = ..., header_row: Optional[int] = ..., sheet: Optional[str] = ...,
    format: Optional[str] = ..., last_row: Optional[int] = ...,
) -> bytes: ...
class DiffRows(list[dict[str, str]]):
    parts: Optional[list[dict[str, str]]]
def diff_rows(
    old_rows: Iterable[_Row], new_rows: Iterable[_Row], *, refs: Optional[str] = ..., by: _Names = ...,
    qty: Optional[str] = ..., join: str = ..., min_run: int = ..., unchanged: bool = ...,
    parts: _Names = ..., boards: int = ...,
) -> DiffRows: ...
def diff_files(
    old: _Buffer, new: _Buffer, *, refs: Optional[str] = ..., by: _Names = ...,
    qty: Optional[str] = ..., join: str = ..., min_run: int = ..., sep: Optional[str] = ...,
    unchanged: bool = ..., header_row: Optional[int] = ..., sheet: Optional[str] = ...,
    format: Optional[str] = ..., parts: _Names = ..., boards: int = ...,
    last_row: Optional[int] = ...,
) -> bytes: ...
def diff_text(
    old: _Buffer, new: _Buffer, *, refs: Optional[str] = ..., by: _Names = ...,
    qty: Optional[str] = ..., join: str = ..., min_run: int = ..., sep: Optional[str] = ...,
    unchanged: bool = ..., header_row: Optional[int] = ..., sheet: Optional[str] = ...,
    parts: _Names = ..., boards: int = ..., last_row: Optional[int] = ...,
) -> str: ...
def diff_html(
    old: _Buffer, new: _Buffer, *, old_name: Optional[str] = ..., new_name: Optional[str] = ...,
    refs: Optional[str] = ..., by: _Names = ..., qty: Optional[str] = ..., join: str = ...,
    min_run: int = ..., sep: Optional[str] = ..., unchanged: bool = ...,
    header_row: Optional[int] = ..., sheet: Optional[str] = ..., parts: _Names = ..., boards: int = ...,
    last_row: Optional[int] = ...,
) -> str: ...
collapse_csv = collapse_file
expand_csv = expand_file
def diff_csv(
    old: _Buffer, new: _Buffer, *, refs: Optional[str] = ..., by: _Names = ...,
    qty: Optional[str] = ..., join: str = ..., min_run: int = ..., sep: Optional[str] = ...,
    unchanged: bool = ..., header_row: Optional[int] = ..., sheet: Optional[str] = ...,
    format: Optional[str] = ..., parts: _Names = ..., boards: int = ...,
    last_row: Optional[int] = ...,
) -> bytes: ...
def verify(
    bom: _Buffer, placements: Union[Mapping[str, _Buffer], Iterable[_Buffer]] = ...,
    bom_name: str = ..., *, refs: Optional[str] = ..., qty: Optional[str] = ..., join: str = ...,
    min_run: int = ..., sep: Optional[str] = ..., header_row: Optional[int] = ...,
    sheet: Optional[str] = ..., format: Optional[str] = ..., max_per_row: Optional[int] = ...,
    ignore: _Names = ..., placement_format: Optional[str] = ..., last_row: Optional[int] = ...,
) -> bytes: ...
def verify_rows(
    bom_rows: Iterable[_Row],
    placements: Union[Mapping[str, Iterable[_Row]], Iterable[Iterable[_Row]]] = ...,
    bom_name: str = ..., *, refs: Optional[str] = ..., qty: Optional[str] = ..., join: str = ...,
    min_run: int = ..., max_per_row: Optional[int] = ..., ignore: _Names = ...,
) -> list[dict[str, Any]]: ...
_Cells = Union[str, Iterable[str]]
def union(*lists: _Cells, min_run: int = ...) -> list[str]: ...
def intersect(*lists: _Cells, min_run: int = ...) -> list[str]: ...
def subtract(first: _Cells, *others: _Cells, min_run: int = ...) -> list[str]: ...
def xor(*lists: _Cells, min_run: int = ...) -> list[str]: ...
def count(*lists: _Cells) -> list[int]: ...
def contains(members: _Cells, *items: _Cells) -> list[bool]: ...
def gaps(members: _Cells, *, min_run: int = ...) -> list[str]: ...
def free(members: _Cells, prefix: str, n: int = ..., *, min_run: int = ...) -> list[str]: ...
