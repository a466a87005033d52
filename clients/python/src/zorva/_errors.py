"""The exceptions the client raises."""

from __future__ import annotations

from typing import Optional


class ZorvaError(Exception):
    """Base of every error the client reports about the display or its file."""


class LaunchError(ZorvaError):
    """The display could not be started.

    ``status`` is the launcher's exit status (negative: the signal that ended
    it; None: it could not be run at all) and ``reason`` what it printed on
    standard error, or why it could not be run.
    """

    def __init__(self, program: str, status: Optional[int], reason: str) -> None:
        self.program = program
        self.status = status
        self.reason = reason
        if status is None:
            what = f"cannot run {program}"
        elif status < 0:
            what = f"{program} -d was ended by signal {-status}"
        else:
            what = f"{program} -d failed with status {status}"
        super().__init__(f"{what}: {reason}" if reason else what)


class WriteError(ZorvaError):
    """An item could not be written whole: ``errno`` holds the system's
    error number, or None for a short write. The handle is failed from then
    on."""

    def __init__(self, message: str, errno: Optional[int] = None) -> None:
        super().__init__(message)
        self.errno = errno


class DisplayClosed(ZorvaError):
    """The command file has no name left: the display that followed it was
    closed (it removes the file's name as it ends). The handle is failed
    from then on."""


class HandleFailed(ZorvaError):
    """A call on a handle whose earlier write failed; ``cause`` is that
    first error. Nothing was written."""

    def __init__(self, cause: ZorvaError) -> None:
        super().__init__(f"an earlier write failed: {cause}")
        self.cause = cause
