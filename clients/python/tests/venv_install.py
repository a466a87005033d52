"""The install the README gives, offline: a venv that sees Debian's
setuptools, `pip install --no-build-isolation --no-index`, then a program
that imports the installed package and draws into a file.

Slow (it makes a venv), so it is not part of the discovered unit tests;
run it with this Python as the base: python3 -m unittest venv_install
"""

from __future__ import annotations

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

PROGRAM = """
import os, sys, zorva
print(os.path.dirname(zorva.__file__))
with zorva.open(sys.argv[1], launch=False, exit_at_close=True) as z:
    z.start()
    z.line(10, 20, 110, 220)
    z.text(10, 20, "Hello")
"""


class VenvInstall(unittest.TestCase):
    def run_checked(self, *command: str, **kwargs: object) -> str:
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              check=False, **kwargs)  # type: ignore[call-overload]
        out = done.stdout.decode(errors="replace")
        self.assertEqual(done.returncode, 0, f"{' '.join(command)}:\n{out}")
        return out

    def test_offline_install_into_a_venv(self) -> None:
        work = tempfile.mkdtemp(prefix="zorva-venv-")
        self.addCleanup(shutil.rmtree, work, ignore_errors=True)
        # setuptools builds inside the source folder: build from a copy.
        source = os.path.join(work, "source")
        shutil.copytree(SOURCE, source, ignore=shutil.ignore_patterns(
            "build", "*.egg-info", "__pycache__", "tests"))
        venv = os.path.join(work, "venv")
        self.run_checked(sys.executable, "-m", "venv", "--system-site-packages", venv)
        python = os.path.join(venv, "bin", "python")
        # No index, no proxy: whatever pip would fetch fails here.
        env = {k: v for k, v in os.environ.items() if not k.upper().endswith("_PROXY")}
        env.update(PIP_NO_INDEX="1", PIP_DISABLE_PIP_VERSION_CHECK="1",
                   HTTP_PROXY="http://127.0.0.1:9", HTTPS_PROXY="http://127.0.0.1:9")
        env.pop("PYTHONPATH", None)
        self.run_checked(python, "-m", "pip", "install", "--no-build-isolation", "--no-index",
                         source, env=env)

        picture = os.path.join(work, "picture.zv")
        where = self.run_checked(python, "-c", PROGRAM, picture, env=env, cwd=work).strip()
        self.assertTrue(where.startswith(venv), where)
        self.assertTrue(os.path.isfile(os.path.join(where, "py.typed")))
        with open(picture, "rb") as f:
            self.assertEqual(f.read(), b"0 0 \n2 4 10 20 110 220 \n3 4 10 20 5 Hello\n1 0 \n")


if __name__ == "__main__":
    unittest.main()
