"""Builds the Python package with the project's own CMake build (one build
definition): the compiled module is built by CMake into the package folder
that setuptools assembles. Needs cmake, a C++20 compiler and pybind11."""
import os
import re
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = os.path.dirname(os.path.abspath(__file__))


def project_version():
    with open(os.path.join(HERE, "CMakeLists.txt"), encoding="utf-8") as cmake:
        return re.search(r"project\(ztxgrp VERSION ([0-9.]+)", cmake.read()).group(1)


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        output = os.path.dirname(os.path.abspath(self.get_ext_fullpath(ext.name)))
        build = os.path.abspath(self.build_temp)
        subprocess.check_call([
            "cmake", "-S", HERE, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
            "-DZTXGRP_PYTHON=ON", "-DZTXGRP_TEST=OFF", "-DZTXGRP_CLI=OFF",
            f"-DPython_EXECUTABLE={sys.executable}",
            f"-DZTXGRP_PYTHON_OUTPUT_DIR={output}",
        ])
        subprocess.check_call(["cmake", "--build", build, "--target", "ztxgrp_python", "-j2"])


setup(
    version=project_version(),
    packages=["ztxgrp"],
    package_dir={"": "python"},
    package_data={"ztxgrp": ["__init__.pyi", "py.typed"]},
    ext_modules=[CMakeExtension("ztxgrp._ztxgrp")],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": "build-python"}},
)
