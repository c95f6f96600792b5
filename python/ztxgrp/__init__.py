"""Item designators (R1, R2, R3, C2) to compact range notation and back.

>>> import ztxgrp
>>> ztxgrp.group(["R3", "R1", "C2", "R2", "R5"])
['C2', 'R1-R3', 'R5']
>>> ztxgrp.ungroup(["C1-C3", "R5"])
['C1', 'C2', 'C3', 'R5']

Items may be str, int, float, bool or None, read as a scripting host's
values are: None fails with error 94, any other kind of object with 13.
Failures raise ztxgrp.Error, a ValueError with .number, .description and
.item; a str holding a lone surrogate raises UnicodeEncodeError.
"""

from ztxgrp._ztxgrp import Error, expand, group, is_valid_range, ungroup

__all__ = ["Error", "group", "ungroup", "expand", "is_valid_range"]
