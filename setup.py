"""The native module of the Python package, built by CMake: `pip install --no-build-isolation .`
configures the project (without its tests) for the interpreter that runs pip, builds the module's
target and puts the module into the package. The version is the project's, from CMakeLists.txt."""

import os
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        return re.search(r"project\(protfeat VERSION ([0-9.]+)", f.read()).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = os.path.abspath(os.path.join(self.build_temp, "cmake"))
        subprocess.check_call(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                               "-DPROTFEAT_TESTS=OFF", f"-DPython3_EXECUTABLE={sys.executable}"])
        subprocess.check_call(["cmake", "--build", build, "-j", os.environ.get("JOBS", "2"),
                               "--target", "protfeat_python"])
        package = os.path.join(build, "python", "protfeat")
        built = [f for f in os.listdir(package) if f.startswith("_native.") and f.endswith(".so")]
        if len(built) != 1:
            raise RuntimeError(f"the native module was not built into {package}")
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(package, built[0]), target)


setup(
    version=project_version(),
    ext_modules=[Extension("protfeat._native", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # Away from the CMake build folders (build/, build-*/ of the Makefile).
    options={"build": {"build_base": "build-pip"}},
)
