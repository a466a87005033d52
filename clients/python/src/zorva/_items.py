"""The text form of one item of the command file.

An item is its kind, its count and its integers, each followed by a space;
text and font items add the string's length as one more integer and the
string itself after that length's space, and their count includes both. A
line feed ends every item; the display skips it, and it keeps the file
readable.
"""

from __future__ import annotations

import enum
import operator
from typing import Tuple, Union

# The longest text or font name the display keeps.
MAX_STRING = 255

INT_MIN = -(2 ** 31)
INT_MAX = 2 ** 31 - 1

Text = Union[str, bytes]


class Kind(enum.IntEnum):
    START = 0
    EXIT = 1
    LINE = 2
    TEXT = 3
    LINE_COLOR = 4
    TEXT_COLOR = 5
    LINE_WIDTH = 6
    LINE_TYPE = 7
    TEXT_HEIGHT = 8
    FONT = 9
    TEXT_ALIGN = 10
    CIRCLE = 11
    CLEAR = 12
    ARC = 13
    POLYLINE = 14
    POLYVERTEX = 15


class LineType(enum.IntEnum):
    """Codes of line_type(); dashes and dots show only on lines of width 1
    or less."""

    SOLID = 1
    DASHED = 2
    DOTTED = 3
    DASH_DOT = 4


class Align(enum.IntEnum):
    """Codes of text_align(): where a text's x lies on it."""

    LEFT = 1
    CENTER = 2
    RIGHT = 3


def integer(value: int) -> int:
    """The value as a 32-bit integer field; anything else is refused, since
    the display would read only the low 32 bits of a larger number."""
    n = operator.index(value)
    if not INT_MIN <= n <= INT_MAX:
        raise OverflowError(f"{n} is outside the 32-bit range of an item's integers")
    return n


def channel(value: int) -> int:
    n = operator.index(value)
    if not 0 <= n <= 255:
        raise ValueError(f"colour channel {n} is outside 0 to 255")
    return n


def item(kind: Kind, *args: int) -> bytes:
    fields = [int(kind), len(args)] + [integer(a) for a in args]
    return ("".join(f"{f} " for f in fields) + "\n").encode("ascii")


def displayable(s: Text) -> Tuple[bytes, bool]:
    """The bytes of `s` the display keeps, and whether that is all of them.

    A str goes out as UTF-8; bytes go out as they are. Longer than
    MAX_STRING bytes, the string is cut there, or before that if the cut
    would split a UTF-8 character (bytes that are not UTF-8 are cut at
    MAX_STRING exactly, since the display reads them one character a byte).
    A NUL byte is refused: the display would stop at it.
    """
    if isinstance(s, str):
        data = s.encode("utf-8")
        utf8 = True
    elif isinstance(s, (bytes, bytearray, memoryview)):
        data = bytes(s)
        try:
            data.decode("utf-8")
            utf8 = True
        except UnicodeDecodeError:
            utf8 = False
    else:
        raise TypeError(f"a string must be str or bytes, not {type(s).__name__}")
    if b"\0" in data:
        raise ValueError("a string for the display may not contain a NUL byte")
    if len(data) <= MAX_STRING:
        return data, True
    n = MAX_STRING
    if utf8:
        while n > 0 and data[n] & 0xC0 == 0x80:
            n -= 1
    return data[:n], False


def string_item(kind: Kind, s: Text, *args: int) -> Tuple[bytes, bool]:
    """A text or font item, and whether its string was kept whole."""
    data, whole = displayable(s)
    fields = [int(kind), len(args) + 2] + [integer(a) for a in args] + [len(data)]
    head = "".join(f"{f} " for f in fields).encode("ascii")
    return head + data + b"\n", whole
