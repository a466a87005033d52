"""A handle on a display's command file: one method a kind of item."""

from __future__ import annotations

import errno
import fcntl
import os
import tempfile
import threading
import warnings
from types import TracebackType
from typing import Optional, Type, Union

from . import _launcher
from ._errors import DisplayClosed, HandleFailed, WriteError, ZorvaError
from ._items import Kind, Text, channel, item, string_item


# What a handle collected without close() writes when told to exit at close.
_EXIT_ITEM = item(Kind.EXIT)


class Display:
    """Writes items into a command file that a display follows.

    Coordinates are pixels of the display's client area: the origin (0, 0)
    is its bottom-left corner, x grows to the right and y upward. Points
    outside the area are allowed and clipped. Each call writes its item in
    one write on a descriptor opened for appending. Made by zorva.open(); a
    context manager that closes the handle as close() does.

    A handle collected without close() closes its descriptor, sends the exit
    item if zorva.open() was told exit_at_close, and warns with a
    ResourceWarning, as file objects do. A copy collected in a child made by
    fork() only closes the child's descriptor: the display is the parent's.

    Errors: a write that fails or is short raises WriteError, and a display
    that was closed (the file has no name left) raises DisplayClosed; the
    handle is failed from then on and every later call raises HandleFailed
    without writing. Nothing written is ever taken back: the display would
    read a shrinking file anew from its start.

    Threads: a handle may be used from several threads; a lock keeps each
    call's check and write together. Attributes apply to whatever item is
    written next, so threads that share a handle and set attributes must
    agree on the order of their calls themselves.
    """

    def __init__(self, fd: int, path: str, exit_at_close: bool) -> None:
        self._fd = fd
        self._path = path
        self._exit_at_close = exit_at_close
        self._failure: Optional[ZorvaError] = None
        self._closed = False
        self._lock = threading.Lock()
        self._pid = os.getpid()

    @property
    def path(self) -> str:
        """The command file's name, as given to zorva.open() (or the private
        name it made)."""
        return self._path

    @property
    def failed(self) -> bool:
        """Whether a write has failed; later calls raise HandleFailed."""
        return self._failure is not None

    @property
    def closed(self) -> bool:
        return self._closed

    def fileno(self) -> int:
        """The descriptor written to; -1 once closed or lost."""
        return self._fd

    def _fail(self, error: ZorvaError) -> ZorvaError:
        self._failure = error
        return error

    def _write(self, data: bytes) -> None:
        with self._lock:
            if self._closed:
                raise ValueError("the display handle is closed")
            if self._failure is not None:
                raise HandleFailed(self._failure)
            try:
                if os.fstat(self._fd).st_nlink == 0:
                    raise self._fail(DisplayClosed(
                        f"{self._path} has no name left: its display was closed"))
                n = os.write(self._fd, data)
            except OSError as e:
                if e.errno == errno.EBADF:
                    # The descriptor was closed behind the handle's back:
                    # its number may be another file's now, never close it.
                    self._fd = -1
                raise self._fail(WriteError(
                    f"writing to {self._path}: {e.strerror or e}", e.errno)) from e
            if n != len(data):
                raise self._fail(WriteError(
                    f"writing to {self._path}: only {n} of {len(data)} bytes written"))

    # Control items.
    def start(self) -> None:
        """A new picture: empty, white lines, white 12-pixel Arial text."""
        self._write(item(Kind.START))

    def clear(self) -> None:
        """Empties the picture, keeping the current attributes."""
        self._write(item(Kind.CLEAR))

    def exit(self) -> None:
        """Closes the display."""
        self._write(item(Kind.EXIT))

    # Drawing items, in the current attributes.
    def line(self, x1: int, y1: int, x2: int, y2: int) -> None:
        self._write(item(Kind.LINE, x1, y1, x2, y2))

    def text(self, x: int, y: int, s: Text) -> bool:
        """Draws `s` with (x, y) at the top of its character cell, which
        extends downward from there; text_align() says where x lies on it.

        A str goes out as UTF-8, bytes as they are. Returns False when the
        string was longer than 255 bytes and only its first 255 (cut at a
        character boundary) were written; a NUL raises ValueError and
        nothing is written.
        """
        data, whole = string_item(Kind.TEXT, s, x, y)
        self._write(data)
        return whole

    def circle(self, x: int, y: int, radius: int) -> None:
        self._write(item(Kind.CIRCLE, x, y, radius))

    def arc(self, x: int, y: int, radius: int, begin_degrees: int, end_degrees: int) -> None:
        """Part of the circle of `radius` about (x, y).

        The angles are whole degrees measured clockwise from the positive
        x axis as seen with y upward: 0 is the circle's rightmost point, 90
        its lowest, 180 its leftmost, 270 its highest. The arc runs
        counter-clockwise on the screen from begin_degrees to end_degrees,
        so arc(x, y, r, 0, 90) draws three quarters of the circle (from the
        rightmost point over the top and the left side down to the lowest
        point), arc(x, y, r, 90, 0) the lower-right quarter and
        arc(x, y, r, 0, 270) the upper-right quarter. Equal angles draw the
        whole circle.
        """
        self._write(item(Kind.ARC, x, y, radius, begin_degrees, end_degrees))

    def polyline(self, x: int, y: int) -> None:
        """The first point of a polyline; draws nothing."""
        self._write(item(Kind.POLYLINE, x, y))

    def polyvertex(self, x: int, y: int) -> None:
        """A line from the previous point to this one."""
        self._write(item(Kind.POLYVERTEX, x, y))

    # Attribute items: they apply to the items that follow.
    def line_color(self, red: int, green: int, blue: int) -> None:
        """Each channel 0 to 255; ValueError outside."""
        self._write(item(Kind.LINE_COLOR, channel(red), channel(green), channel(blue)))

    def text_color(self, red: int, green: int, blue: int) -> None:
        self._write(item(Kind.TEXT_COLOR, channel(red), channel(green), channel(blue)))

    def line_width(self, width: int) -> None:
        self._write(item(Kind.LINE_WIDTH, width))

    def line_type(self, line_type: int) -> None:
        """A LineType code; the display ignores other codes."""
        self._write(item(Kind.LINE_TYPE, line_type))

    def text_height(self, height: int) -> None:
        """Character cell height in pixels."""
        self._write(item(Kind.TEXT_HEIGHT, height))

    def font(self, face: Text) -> bool:
        """The font face by name; returns False when the name was cut, as
        text() does."""
        data, whole = string_item(Kind.FONT, face)
        self._write(data)
        return whole

    def text_align(self, align: int) -> None:
        """An Align code; the display ignores other codes."""
        self._write(item(Kind.TEXT_ALIGN, align))

    def close(self, exit: Optional[bool] = None) -> None:
        """Releases the file. With exit True an exit item closes the display
        first; with False the display stays open for the user; None does
        what zorva.open() was told. A failed handle writes nothing more. A
        second close does nothing."""
        if self._closed:
            return
        try:
            send = self._exit_at_close if exit is None else exit
            if send and self._failure is None:
                self.exit()
        finally:
            with self._lock:
                self._closed = True
                fd, self._fd = self._fd, -1
                if fd >= 0:
                    self._close_fd(fd)

    def _close_fd(self, fd: int) -> None:
        try:
            os.close(fd)
        except OSError as e:
            # A failed handle has had its error reported already.
            if self._failure is None:
                raise WriteError(f"closing {self._path}: {e.strerror or e}", e.errno) from e

    def __del__(self, _warn=warnings.warn, _getpid=os.getpid, _fstat=os.fstat,
                _write=os.write, _close=os.close) -> None:
        # Runs when the handle is collected, perhaps at interpreter shutdown
        # when module globals may be gone: it uses only what was bound
        # above, and nothing of its own may raise.
        if getattr(self, "_closed", True):
            return
        self._closed = True
        fd, self._fd = self._fd, -1
        own = self._pid == _getpid()
        try:
            if own and fd >= 0 and self._exit_at_close and self._failure is None \
                    and _fstat(fd).st_nlink > 0:
                _write(fd, _EXIT_ITEM)
        except Exception:
            pass
        finally:
            if fd >= 0:
                try:
                    _close(fd)
                except OSError:
                    pass
        if own:
            _warn(f"unclosed display handle {self._path!r}", ResourceWarning, source=self)

    def __enter__(self) -> "Display":
        return self

    def __exit__(self, kind: Optional[Type[BaseException]], value: Optional[BaseException],
                 traceback: Optional[TracebackType]) -> None:
        if kind is None:
            self.close()
            return
        # Leaving on an exception: close as asked, but let the original
        # exception through rather than a second one from the exit item.
        try:
            self.close()
        except ZorvaError:
            pass


def _remove_if_same(path: str, made: os.stat_result) -> None:
    """Removes `path` if it still names the file that was made."""
    try:
        now = os.stat(path)
        if (now.st_dev, now.st_ino) == (made.st_dev, made.st_ino):
            os.unlink(path)
    except OSError:
        pass


def open(path: Optional[Union[str, "os.PathLike[str]"]] = None, *, launch: bool = True,
         zorvad: Optional[str] = None, exit_at_close: bool = False) -> Display:
    """Creates a command file and starts a display that follows it.

    path: the file to create; it must not exist yet (FileExistsError). None
      makes a private file in the temporary folder (see Display.path). A
      relative name that begins with "-" reaches the launcher as "./name",
      so that it cannot read as an option; Display.path keeps it as given.
    launch: start a display with `zorvad -d path` and return once its window
      is up. False only creates the file, for a display that follows it
      elsewhere (a `zorvad path` run later, or a copy fed over ssh).
    zorvad: the display program; by default $ZORVAD, then zorvad in this
      Python's prefix/bin, then on PATH.
    exit_at_close: whether close() and the end of a `with` block send the
      exit item, closing the display; by default the picture stays open
      until the user closes its window.

    When the display cannot be started, the file made here is removed and
    LaunchError carries the launcher's status and reason.
    """
    flags = os.O_WRONLY | os.O_APPEND | os.O_CLOEXEC
    if path is None:
        fd, path = tempfile.mkstemp(prefix="zorva-", suffix=".zv")
        # mkstemp opens without O_APPEND; every write must go to the end.
        fcntl.fcntl(fd, fcntl.F_SETFL, fcntl.fcntl(fd, fcntl.F_GETFL) | os.O_APPEND)
    else:
        path = os.fspath(path)
        fd = os.open(path, flags | os.O_CREAT | os.O_EXCL, 0o666)
    made = os.fstat(fd)
    if launch:
        try:
            _launcher.launch(_launcher.find_zorvad(zorvad), path)
        except BaseException:
            os.close(fd)
            _remove_if_same(path, made)
            raise
    return Display(fd, path, exit_at_close)
