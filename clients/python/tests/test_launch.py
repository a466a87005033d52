"""Starting the display: which program runs, how it is called, and what a
launcher that fails leaves behind. Fake launchers stand in for zorvad."""

from __future__ import annotations

import os
import sys
import time
import unittest
from typing import Any, Dict, List, Optional, Tuple
from unittest import mock

import zorva
from helpers import ScratchCase


class FakeLauncher(ScratchCase):
    def fake(self, body: str, folder: str = "fake", name: str = "zorvad") -> str:
        """A shell script `folder/name` that runs `body`; its arguments and
        whether the command file existed go to folder/calls."""
        os.makedirs(self.scratch(folder), exist_ok=True)
        path = os.path.join(self.scratch(folder), name)
        calls = os.path.join(self.scratch(folder), "calls")
        with open(path, "w") as f:
            f.write(f'#!/bin/sh\necho "$1|$2|$([ -f "$2" ] && echo exists)" >> "{calls}"\n{body}\n')
        os.chmod(path, 0o755)
        return path

    def calls(self, folder: str = "fake") -> List[str]:
        try:
            with open(os.path.join(self.scratch(folder), "calls")) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def environment(self, **changes: str) -> Any:
        """PATH that finds nothing and no $ZORVAD, changed as asked."""
        env = {k: v for k, v in os.environ.items() if k != "ZORVAD"}
        env["PATH"] = "/nonexistent"
        env.update(changes)
        return mock.patch.dict(os.environ, env, clear=True)


class Launch(FakeLauncher):
    def test_launcher_gets_dash_d_and_the_existing_file(self) -> None:
        program = self.fake("exit 0")
        path = self.scratch("a file.zv")
        with zorva.open(path, zorvad=program) as z:
            z.start()
        self.assertEqual(self.calls(), [f"-d|{path}|exists"])
        self.assertEqual(self.bytes_of(path), b"0 0 \n")

    def test_private_file_when_no_name_is_given(self) -> None:
        program = self.fake("exit 0")
        z = zorva.open(zorvad=program)
        self.addCleanup(os.unlink, z.path)
        z.close()
        self.assertEqual(self.calls(), [f"-d|{z.path}|exists"])
        self.assertEqual(os.stat(z.path).st_mode & 0o777, 0o600)

    def test_a_name_that_looks_like_an_option_reaches_the_launcher_as_a_path(self) -> None:
        # "-dpy.zv" would read as the launcher's switch: it gets "./" in
        # front there and stays as given in Display.path.
        program = self.fake("exit 0")
        here = os.getcwd()
        os.chdir(self.dir)
        self.addCleanup(os.chdir, here)
        for name in ("-dpy.zv", "-", "--x.zv"):
            with self.subTest(name=name):
                with zorva.open(name, zorvad=program) as z:
                    self.assertEqual(z.path, name)
                    z.start()
                self.assertEqual(self.calls()[-1], f"-d|./{name}|exists")
                self.assertEqual(self.bytes_of(os.path.join(self.dir, name)), b"0 0 \n")

    def test_existing_file_is_refused_untouched(self) -> None:
        program = self.fake("exit 0")
        path = self.scratch()
        with open(path, "wb") as f:
            f.write(b"someone's")
        with self.assertRaises(FileExistsError):
            zorva.open(path, zorvad=program)
        self.assertEqual(self.calls(), [])
        self.assertEqual(self.bytes_of(path), b"someone's")


class LaunchFails(FakeLauncher):
    def test_status_and_reason_reach_the_caller_and_the_file_goes(self) -> None:
        reason = "zorvad: the display ended with status 1 before its window appeared"
        program = self.fake(f'echo "{reason}" >&2; exit 1')
        path = self.scratch()
        with self.assertRaises(zorva.LaunchError) as caught:
            zorva.open(path, zorvad=program)
        e = caught.exception
        self.assertEqual((e.status, e.reason, e.program), (1, reason, program))
        self.assertIn(reason, str(e))
        self.assertFalse(os.path.exists(path))

    def test_a_process_the_launcher_left_behind_does_not_hold_the_open(self) -> None:
        # A wrapper script leaves a process holding the launcher's standard
        # error; it waits for the test to release it (30 s at most) and then
        # marks that it is done. The open returns once the launcher ended,
        # with what it wrote before.
        release, done = self.scratch("release"), self.scratch("done")
        holder = (f'(for i in $(seq 300); do [ -e "{release}" ] && break; sleep 0.1; done; '
                  f'touch "{done}") &\n')
        for end, reason in (("echo 'zorvad: the reason' >&2; exit 1", "zorvad: the reason"),
                            ("exit 0", None)):
            with self.subTest(end=end):
                for name in (release, done):
                    if os.path.exists(name):
                        os.unlink(name)
                program = self.fake(holder + end)
                path = self.scratch()
                if reason is None:
                    zorva.open(path, zorvad=program).close()
                    os.unlink(path)
                else:
                    with self.assertRaises(zorva.LaunchError) as caught:
                        zorva.open(path, zorvad=program)
                    self.assertEqual((caught.exception.status, caught.exception.reason), (1, reason))
                self.assertFalse(os.path.exists(done), "the open waited for the process left behind")
                open(release, "w").close()
                # Watchdog: the process left behind looks ten times a second.
                for _ in range(300):
                    if os.path.exists(done):
                        break
                    time.sleep(0.1)
                self.assertTrue(os.path.exists(done))

    def test_launcher_ended_by_a_signal(self) -> None:
        program = self.fake("kill -TERM $$")
        with self.assertRaises(zorva.LaunchError) as caught:
            zorva.open(self.scratch(), zorvad=program)
        self.assertEqual(caught.exception.status, -15)
        self.assertFalse(os.path.exists(self.scratch()))

    def test_private_file_goes_too(self) -> None:
        program = self.fake("exit 1")
        before = set(os.listdir(self.dir))
        with mock.patch.dict(os.environ, {"TMPDIR": self.dir}), \
                mock.patch("tempfile.tempdir", None), self.assertRaises(zorva.LaunchError):
            zorva.open(zorvad=program)
        self.assertEqual(set(os.listdir(self.dir)), before)

    def test_a_file_that_replaced_ours_is_left_alone(self) -> None:
        # The name now names another file: not the library's to remove.
        program = self.fake('rm "$2"; echo theirs > "$2"; exit 1')
        path = self.scratch()
        with self.assertRaises(zorva.LaunchError):
            zorva.open(path, zorvad=program)
        self.assertEqual(self.bytes_of(path), b"theirs\n")

    def test_missing_or_unrunnable_program(self) -> None:
        unrunnable = self.scratch("not-a-program")
        open(unrunnable, "w").close()
        cases: List[Tuple[Optional[str], Dict[str, str]]] = [
            (self.scratch("missing"), {}), (unrunnable, {}),
            (None, {"ZORVAD": self.scratch("missing")}), (None, {})]
        for name, env in cases:
            with self.subTest(name=name, env=env), self.environment(**env), \
                    mock.patch.object(sys, "prefix", self.scratch("no-prefix")):
                path = self.scratch()
                with self.assertRaises(zorva.LaunchError) as caught:
                    zorva.open(path, zorvad=name)
                self.assertIsNone(caught.exception.status)
                self.assertFalse(os.path.exists(path))


class FindZorvad(FakeLauncher):
    def test_search_order(self) -> None:
        explicit = self.fake("exit 0", "explicit")
        from_env = self.fake("exit 0", "env")
        prefix = self.scratch("prefix")
        beside = self.fake("exit 0", os.path.join("prefix", "bin"))
        on_path = self.fake("exit 0", "path")
        path_dir = os.path.dirname(on_path)
        cases = [
            (explicit, {"ZORVAD": from_env, "PATH": path_dir}, prefix, explicit),
            (None, {"ZORVAD": from_env, "PATH": path_dir}, prefix, from_env),
            (None, {"PATH": path_dir}, prefix, beside),
            (None, {"PATH": "/nonexistent:" + path_dir}, self.scratch("empty"), on_path),
        ]
        for name, env, sys_prefix, want in cases:
            with self.subTest(want=want), self.environment(**env), \
                    mock.patch.object(sys, "prefix", sys_prefix):
                self.assertEqual(zorva.find_zorvad(name), want)


if __name__ == "__main__":
    unittest.main()
