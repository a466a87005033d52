"""Shared pieces of the client's tests: a scratch folder and a handle on a
file in it that no display follows."""

from __future__ import annotations

import os
import shutil
import tempfile
import unittest

import zorva


class ScratchCase(unittest.TestCase):
    def setUp(self) -> None:
        self.dir = tempfile.mkdtemp(prefix="zorva-test-")
        self.addCleanup(shutil.rmtree, self.dir, ignore_errors=True)

    def scratch(self, name: str = "commands.zv") -> str:
        return os.path.join(self.dir, name)

    def writer(self, name: str = "commands.zv") -> zorva.Display:
        z = zorva.open(self.scratch(name), launch=False)
        self.addCleanup(z.close, exit=False)
        return z

    def bytes_of(self, z: "zorva.Display | str") -> bytes:
        with open(z if isinstance(z, str) else z.path, "rb") as f:
            return f.read()
