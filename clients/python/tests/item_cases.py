"""Reads clients/tests/item_bytes.txt, the byte cases that both client
libraries' tests run (the file states its syntax)."""

from __future__ import annotations

import os
import re
from typing import List, NamedTuple, Optional

CASES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                     "item_bytes.txt")

_TOKEN = re.compile(r'"(?:[^"\\]|\\.)*"|\S+')
_ESCAPE = re.compile(rb'\\(x[0-9A-Fa-f]{2}|[n"\\])')


class Case(NamedTuple):
    line: int
    call: str
    ints: List[int]
    string: Optional[bytes]
    expected: bytes


def _unquote(token: str, line: int) -> bytes:
    if len(token) < 2 or not token.endswith('"'):
        raise ValueError(f"item_bytes.txt line {line}: a quoted text does not end")
    body = token[1:-1].encode("utf-8")
    rest = _ESCAPE.sub(b"", body)
    if b"\\" in rest:
        raise ValueError(f"item_bytes.txt line {line}: an unknown escape in {token}")

    def decode(m: "re.Match[bytes]") -> bytes:
        e = m.group(1)
        return bytes([int(e[1:], 16)]) if e[:1] == b"x" else b"\n" if e == b"n" else e

    return _ESCAPE.sub(decode, body)


def _parse(line: int, text: str) -> Case:
    tokens = _TOKEN.findall(text)
    if "=>" not in tokens or tokens.index("=>") != len(tokens) - 2:
        raise ValueError(f"item_bytes.txt line {line}: not `call args => \"bytes\"`")
    call, args, expected = tokens[0], tokens[1:-2], tokens[-1]
    ints: List[int] = []
    string: Optional[bytes] = None
    for a in args:
        if a.startswith('"'):
            if string is not None:
                raise ValueError(f"item_bytes.txt line {line}: a second string argument")
            string = _unquote(a, line)
        else:
            ints.append(int(a))
    if not expected.startswith('"'):
        raise ValueError(f"item_bytes.txt line {line}: the bytes are not quoted")
    return Case(line, call, ints, string, _unquote(expected, line))


def read_cases(path: str = CASES) -> List[Case]:
    cases = []
    with open(path, encoding="utf-8") as f:
        for number, text in enumerate(f, start=1):
            text = text.rstrip("\n")
            if text.strip() and not text.lstrip().startswith("#"):
                cases.append(_parse(number, text))
    return cases
