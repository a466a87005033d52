"""Finding zorvad and starting a display through its launcher."""

from __future__ import annotations

import os
import selectors
import shutil
import subprocess
import sys
from typing import Optional

from ._errors import LaunchError

PROGRAM = "zorvad"
ENV_VARIABLE = "ZORVAD"

# How often the launcher's end is looked for while its standard error stays
# open. The launcher closes it as it exits (its display's is /dev/null), so
# this matters only when a process it left behind still holds it.
_CHECK_SECONDS = 0.02
# After the launcher's end, at most this much more is read: what it wrote
# before it ended is in the pipe, which holds no more than this.
_DRAIN_MAX = 1 << 16


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


def launcher_argument(path: str) -> str:
    """The file name as the launcher's argument: a relative name that
    begins with "-" gets "./" in front, so that it cannot read as an
    option."""
    return "./" + path if path.startswith("-") else path


def _output_until_exit(proc: "subprocess.Popen[bytes]") -> bytes:
    """What the launcher writes on its standard error, read until it closes
    its end, or until the launcher has ended and what it wrote before has
    been read: a process the launcher left behind may hold the pipe open for
    any time."""
    assert proc.stderr is not None
    fd = proc.stderr.fileno()
    chunks = []
    ended = False
    after_end = 0
    with selectors.DefaultSelector() as selector:
        selector.register(fd, selectors.EVENT_READ)
        while after_end < _DRAIN_MAX:
            if not selector.select(0 if ended else _CHECK_SECONDS):
                if ended:
                    break  # all it wrote is read
                ended = proc.poll() is not None
                continue
            data = os.read(fd, 4096)
            if not data:
                break  # every writer closed its end
            chunks.append(data)
            if ended:
                after_end += len(data)
    proc.wait()
    return b"".join(chunks)


def launch(program: str, path: str) -> None:
    """Runs `program -d path`, which returns once the display's window is up
    (or the display waits on a box for the user). Raises LaunchError with
    the launcher's status and its reason when it fails."""
    try:
        proc = subprocess.Popen([program, "-d", launcher_argument(path)],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, close_fds=True)
    except OSError as e:
        raise LaunchError(program, None, e.strerror or str(e)) from e
    try:
        output = _output_until_exit(proc)
    except BaseException:
        proc.kill()
        proc.wait()
        raise
    finally:
        assert proc.stderr is not None
        proc.stderr.close()
    if proc.returncode != 0:
        raise LaunchError(program, proc.returncode, output.decode("utf-8", "replace").strip())
