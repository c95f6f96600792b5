"""Shared fixtures: the worked examples, read from the same tables as the
C++ tests (printed as JSON by the tool that ZTXGRP_EXAMPLES names)."""
import json
import os
import subprocess

import pytest


@pytest.fixture(scope="session")
def examples():
    tool = os.environ.get("ZTXGRP_EXAMPLES")
    if not tool:
        pytest.skip("ZTXGRP_EXAMPLES is not set: the examples tool is built with the tests")
    return json.loads(subprocess.run([tool], check=True, capture_output=True).stdout)
