"""A handle the program drops without close(): once collected it releases
its descriptor, sends the exit item when told to exit at close, and warns
as file objects do; a copy collected in a forked child writes nothing; and
nothing raises at interpreter shutdown."""

from __future__ import annotations

import gc
import os
import subprocess
import sys
import textwrap
import unittest
import warnings
from typing import Callable, List

import zorva
from helpers import ScratchCase


def open_descriptors() -> List[str]:
    return sorted(os.listdir("/proc/self/fd"))


def resource_warnings(run: Callable[[], None]) -> List[str]:
    """The texts of the ResourceWarnings that `run` and a collection after
    it raise."""
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        run()
        gc.collect()
    return [str(w.message) for w in caught if issubclass(w.category, ResourceWarning)]


class Collected(ScratchCase):
    def test_dropped_handles_release_their_descriptors_and_warn(self) -> None:
        before = open_descriptors()

        def drop() -> None:
            for i in range(20):
                z = zorva.open(self.scratch(f"{i}.zv"), launch=False)
                z.start()
                if i % 2:
                    z.myself = z  # a cycle: only the collector frees it
                del z

        texts = resource_warnings(drop)
        self.assertEqual(open_descriptors(), before)
        self.assertEqual(len(texts), 20)
        self.assertIn(f"unclosed display handle {self.scratch('0.zv')!r}", texts)

    def test_exit_at_close_is_honoured(self) -> None:
        for exit_at_close, want in ((False, b"0 0 \n"), (True, b"0 0 \n1 0 \n")):
            with self.subTest(exit_at_close=exit_at_close):
                path = self.scratch(f"exit-{exit_at_close}.zv")

                def drop() -> None:
                    z = zorva.open(path, launch=False, exit_at_close=exit_at_close)
                    z.start()

                self.assertEqual(len(resource_warnings(drop)), 1)
                self.assertEqual(self.bytes_of(path), want)

    def test_closed_and_failed_handles(self) -> None:
        closed = self.scratch("closed.zv")
        failed = self.scratch("failed.zv")

        def drop_closed() -> None:
            z = zorva.open(closed, launch=False, exit_at_close=True)
            z.close(exit=False)

        def drop_failed() -> None:
            z = zorva.open(failed, launch=False, exit_at_close=True)
            os.unlink(failed)  # what a display does as it closes
            with self.assertRaises(zorva.DisplayClosed):
                z.start()

        self.assertEqual(resource_warnings(drop_closed), [], "a closed handle has nothing to warn of")
        self.assertEqual(self.bytes_of(closed), b"")
        before = open_descriptors()
        self.assertEqual(len(resource_warnings(drop_failed)), 1)
        self.assertEqual(open_descriptors(), before)

    def test_a_copy_collected_in_a_forked_child_writes_nothing(self) -> None:
        z = zorva.open(self.scratch(), launch=False, exit_at_close=True)
        z.start()
        fd = z.fileno()
        report_r, report_w = os.pipe()
        pid = os.fork()
        if pid == 0:  # the child: drop its copy, report, and leave at once
            status = 1
            try:
                with warnings.catch_warnings(record=True) as caught:
                    warnings.simplefilter("always")
                    del z
                    gc.collect()
                try:
                    os.fstat(fd)
                    released = "kept"
                except OSError:
                    released = "released"
                os.write(report_w, f"{released} {len(caught)}".encode())
                status = 0
            finally:
                os._exit(status)
        os.close(report_w)
        with os.fdopen(report_r, "rb") as report:
            said = report.read().decode()
        _, status = os.waitpid(pid, 0)
        self.assertEqual((os.waitstatus_to_exitcode(status), said), (0, "released 0"))
        self.assertEqual(self.bytes_of(z), b"0 0 \n", "the child wrote no exit item")
        z.line(1, 2, 3, 4)  # the parent's handle works on
        z.close()
        self.assertEqual(self.bytes_of(z), b"0 0 \n2 4 1 2 3 4 \n1 0 \n")

    def test_nothing_raises_at_interpreter_shutdown(self) -> None:
        # A handle in a module global and one in a reference cycle, both
        # still open when the interpreter ends.
        program = textwrap.dedent("""
            import sys
            import zorva
            z = zorva.open(sys.argv[1], launch=False, exit_at_close=True)
            z.start()
            cycle = zorva.open(sys.argv[2], launch=False, exit_at_close=True)
            cycle.start()
            cycle.myself = cycle
            del cycle
        """)
        for warn in ("", "default"):
            with self.subTest(warn=warn):
                paths = [self.scratch(f"global{warn}.zv"), self.scratch(f"cycle{warn}.zv")]
                flags = ["-W", f"{warn}::ResourceWarning"] if warn else []
                done = subprocess.run([sys.executable, *flags, "-c", program, *paths],
                                      capture_output=True, timeout=60, check=False)
                self.assertEqual(done.returncode, 0, done.stderr)
                # Shown, the warnings are all there is on stderr.
                lines = [line for line in done.stderr.decode().splitlines()
                         if "ResourceWarning: unclosed display handle" in line]
                self.assertEqual(len(lines), 2 if warn else 0, done.stderr)
                self.assertNotIn(b"Exception", done.stderr)
                self.assertNotIn(b"Traceback", done.stderr)
                for path in paths:
                    self.assertEqual(self.bytes_of(path), b"0 0 \n1 0 \n", path)


if __name__ == "__main__":
    unittest.main()
