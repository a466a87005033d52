"""Writes that fail: the error reaches the caller, the handle stays failed,
and nothing written is taken back."""

from __future__ import annotations

import errno
import os
import subprocess
import unittest

import zorva
from helpers import ScratchCase


class FailedWrites(ScratchCase):
    def test_closed_descriptor_fails_the_handle(self) -> None:
        z = zorva.open(self.scratch(), launch=False)
        z.start()
        os.close(z.fileno())
        with self.assertRaises(zorva.WriteError) as caught:
            z.line(1, 2, 3, 4)
        self.assertEqual(caught.exception.errno, errno.EBADF)
        self.assertTrue(z.failed)
        # The number is free again: the handle must neither write into nor
        # close whatever file gets it next.
        other_path = self.scratch("other")
        other = os.open(other_path, os.O_WRONLY | os.O_CREAT, 0o600)
        self.addCleanup(os.close, other)
        for call in (z.start, lambda: z.text(0, 0, "x")):
            with self.assertRaises(zorva.HandleFailed) as later:
                call()
            self.assertIs(later.exception.cause, caught.exception)
        z.close(exit=True)  # a failed handle sends no exit item
        os.fstat(other)
        self.assertEqual(os.path.getsize(other_path), 0)
        self.assertEqual(self.bytes_of(z), b"0 0 \n")

    def test_removed_file_means_the_display_was_closed(self) -> None:
        z = self.writer()
        z.start()
        os.unlink(z.path)  # what a display does as it closes
        with self.assertRaises(zorva.DisplayClosed):
            z.circle(1, 2, 3)
        self.assertTrue(z.failed)
        with self.assertRaises(zorva.HandleFailed):
            z.start()
        self.assertEqual(os.fstat(z.fileno()).st_size, len(b"0 0 \n"))

    def test_exit_item_that_fails_at_close_is_reported_and_the_file_released(self) -> None:
        z = zorva.open(self.scratch(), launch=False, exit_at_close=True)
        os.unlink(z.path)
        fd = z.fileno()
        with self.assertRaises(zorva.DisplayClosed):
            z.close()
        self.assertTrue(z.closed)
        with self.assertRaises(OSError):
            os.fstat(fd)

    def test_exception_in_with_block_is_not_replaced(self) -> None:
        with self.assertRaises(KeyError):
            with zorva.open(self.scratch(), launch=False, exit_at_close=True) as z:
                os.unlink(z.path)
                raise KeyError("the caller's own")
        self.assertTrue(z.closed)


class FullDisk(ScratchCase):
    """A small tmpfs fills up: needs the right to mount, else skipped."""

    def setUp(self) -> None:
        super().setUp()
        self.mount = self.scratch("small")
        os.mkdir(self.mount)
        try:
            done = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=8k", "tmpfs", self.mount],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False)
        except OSError as e:
            self.skipTest(f"mount cannot run: {e}")
        if done.returncode != 0:
            self.skipTest("mounting a tmpfs is not permitted here: " + done.stderr.decode().strip())
        self.addCleanup(lambda: subprocess.run(["umount", self.mount], check=False))

    def test_full_disk_fails_and_keeps_what_was_written(self) -> None:
        z = zorva.open(os.path.join(self.mount, "commands.zv"), launch=False)
        self.addCleanup(z.close, exit=False)
        line = b"2 4 10 20 110 220 \n"
        written = 0
        with self.assertRaises(zorva.WriteError) as caught:
            for _ in range(100000):
                z.line(10, 20, 110, 220)
                written += 1
        self.assertIn(caught.exception.errno, (errno.ENOSPC, None))  # None: a short write
        self.assertGreater(written, 0)
        data = self.bytes_of(z)
        # Every item that was reported written is there whole; a short
        # write may leave part of one more, which is never truncated away.
        self.assertEqual(data[:written * len(line)], line * written)
        self.assertTrue(line.startswith(data[written * len(line):]))
        size = len(data)
        with self.assertRaises(zorva.HandleFailed):
            z.start()
        self.assertEqual(os.path.getsize(z.path), size)


if __name__ == "__main__":
    unittest.main()
