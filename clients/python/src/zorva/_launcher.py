"""Finding zorvad and starting a display through its launcher."""

from __future__ import annotations

import os
import shutil
import subprocess
import sys
from typing import Optional

from ._errors import LaunchError

PROGRAM = "zorvad"
ENV_VARIABLE = "ZORVAD"


def _runnable(path: str) -> bool:
    return os.path.isfile(path) and os.access(path, os.X_OK)


def find_zorvad(explicit: Optional[str] = None) -> str:
    """The display program to start: `explicit` if given, else $ZORVAD,
    else zorvad in the bin folder of this Python's prefix (where a venv or
    an install puts programs beside the package), else zorvad on PATH.

    A program named by the caller or by $ZORVAD must be there: it is
    reported rather than passed over for another one.
    """
    named_by = ((explicit, "the zorvad argument"), (os.environ.get(ENV_VARIABLE), "$" + ENV_VARIABLE))
    for named, source in named_by:
        if named:
            if not _runnable(named):
                raise LaunchError(named, None, f"{source} names no runnable program")
            return named
    beside = os.path.join(sys.prefix, "bin", PROGRAM)
    if _runnable(beside):
        return beside
    found = shutil.which(PROGRAM)
    if found:
        return found
    raise LaunchError(PROGRAM, None, f"not found in {os.path.dirname(beside)} nor on PATH; "
                      f"name it with zorvad= or ${ENV_VARIABLE}")


def launch(program: str, path: str) -> None:
    """Runs `program -d path`, which returns once the display's window is up
    (or the display waits on a box for the user). Raises LaunchError with
    the launcher's status and its reason when it fails."""
    try:
        done = subprocess.run([program, "-d", path], stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                              close_fds=True, check=False)
    except OSError as e:
        raise LaunchError(program, None, e.strerror or str(e)) from e
    if done.returncode != 0:
        reason = done.stderr.decode("utf-8", "replace").strip()
        raise LaunchError(program, done.returncode, reason)
