"""Builds the Python package with the project's own CMake build (one build
definition): the compiled module is built by CMake into the package folder
that setuptools assembles. Needs cmake, a C++20 compiler and pybind11."""
import os
import re
import subprocess
import sys


def require(module, package):
    """Stops with a message naming the missing prerequisite and its install command."""
    try:
        return __import__(module)
    except ImportError:
        sys.exit(f"ztxgrp: building needs {package}, which this Python ({sys.executable}) lacks; "
                 f"install it with: {sys.executable} -m pip install {package} "
                 f"(or build without --no-build-isolation, which installs it)")


require("setuptools", "setuptools")
require("wheel", "wheel")
try:  # pip's pybind11; else CMake finds a system one (Debian's pybind11-dev)
    import pybind11
except ImportError:
    pybind11 = None

from setuptools import Extension, setup  # noqa: E402
from setuptools.command.build_ext import build_ext  # noqa: E402

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
        configure = [
            "cmake", "-S", HERE, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
            "-DZTXGRP_PYTHON=ON", "-DZTXGRP_TEST=OFF", "-DZTXGRP_CLI=OFF",
            f"-DPython_EXECUTABLE={sys.executable}",
            f"-DZTXGRP_PYTHON_OUTPUT_DIR={output}",
        ]
        if pybind11 is not None:
            configure.append(f"-Dpybind11_DIR={pybind11.get_cmake_dir()}")
        try:
            subprocess.check_call(configure)
        except FileNotFoundError:
            sys.exit("ztxgrp: building needs cmake (Debian: apt-get install cmake; "
                     "or pip install cmake)")
        except subprocess.CalledProcessError:
            sys.exit("ztxgrp: configuring failed; building needs a C++20 compiler and pybind11 "
                     f"({sys.executable} -m pip install pybind11, or Debian's pybind11-dev)")
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
