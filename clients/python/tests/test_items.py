"""The bytes each call writes: the shared byte cases that the C library's
test runs too, string limits, refused arguments and the exit at close."""

from __future__ import annotations

import unittest
from typing import List, Optional, Tuple, Union

import zorva
from helpers import ScratchCase
from item_cases import read_cases


class ItemBytes(ScratchCase):
    def test_every_case_of_the_shared_table(self) -> None:
        """Each call appends exactly its case's bytes; a string goes out the
        same whether it is given as bytes or, when it is UTF-8, as str."""
        z = self.writer()
        expected = b""
        for case in read_cases():
            with self.subTest(line=case.line, call=case.call):
                args: List[Union[int, bytes]] = list(case.ints)
                if case.string is not None:
                    args.append(case.string)
                result = getattr(z, case.call)(*args)
                self.assertIs(result, None if case.string is None else True)
                expected += case.expected
                self.assertEqual(self.bytes_of(z), expected)
                if case.string is None:
                    continue
                try:
                    text = case.string.decode("utf-8")
                except UnicodeDecodeError:
                    continue
                as_str = self.writer(f"str{case.line}.zv")
                getattr(as_str, case.call)(*case.ints, text)
                self.assertEqual(self.bytes_of(as_str), case.expected)

    def test_close_sends_exit_as_asked(self) -> None:
        # exit_at_close, close's exit, what close adds
        cases: List[Tuple[bool, Optional[bool], bytes]] = [
            (False, None, b""), (True, None, b"1 0 \n"),
            (True, False, b""), (False, True, b"1 0 \n")]
        for i, (at_open, at_close, tail) in enumerate(cases):
            with self.subTest(exit_at_close=at_open, exit=at_close):
                path = self.scratch(f"close{i}.zv")
                with zorva.open(path, launch=False, exit_at_close=at_open) as z:
                    z.start()
                    z.close(exit=at_close)
                    z.close(exit=True)  # a second close does nothing
                self.assertTrue(z.closed)
                self.assertEqual(self.bytes_of(path), b"0 0 \n" + tail)
                with self.assertRaises(ValueError):
                    z.start()


Text = Union[str, bytes]


class StringLimits(ScratchCase):
    def check(self, s: Text, kept: bytes, whole: bool) -> None:
        self.files = getattr(self, "files", 0) + 1
        z = self.writer(f"s{self.files}.zv")
        self.assertEqual(z.text(1, 2, s), whole)
        self.assertEqual(self.bytes_of(z), b"3 4 1 2 %d " % len(kept) + kept + b"\n")

    def test_cut_at_255_bytes_on_a_character_boundary(self) -> None:
        e = "\u00e9"  # two bytes in UTF-8
        euro = "\u20ac"  # three bytes
        cases: List[Tuple[Text, bytes, bool]] = [
            ("a" * 255, b"a" * 255, True),
            ("a" * 256, b"a" * 255, False),
            ("a" * 254 + e, b"a" * 254, False),  # é would end at byte 256
            ("a" * 253 + e, ("a" * 253 + e).encode(), True),
            ("a" * 253 + euro, b"a" * 253, False),
            (e * 200, (e * 127).encode(), False),
            (b"a" * 254 + e.encode(), b"a" * 254, False),  # UTF-8 bytes: same rule
            (b"\xe9" * 300, b"\xe9" * 255, False),  # not UTF-8: one character a byte
        ]
        for s, kept, whole in cases:
            with self.subTest(s=s[:4], n=len(s)):
                self.check(s, kept, whole)

    def test_a_cut_font_name_says_so(self) -> None:
        z = self.writer()
        self.assertFalse(z.font("F" * 300))
        self.assertEqual(self.bytes_of(z), b"9 2 255 " + b"F" * 255 + b"\n")

    def test_nul_is_refused_and_nothing_written(self) -> None:
        z = self.writer()
        for call in (lambda: z.text(0, 0, "a\0b"), lambda: z.font(b"\0"),
                     lambda: z.text(0, 0, "x" * 300 + "\0")):
            with self.assertRaises(ValueError):
                call()
        self.assertFalse(z.failed)
        z.start()
        self.assertEqual(self.bytes_of(z), b"0 0 \n")


class Arguments(ScratchCase):
    def test_refused_arguments_write_nothing(self) -> None:
        z = self.writer()
        cases = [
            (lambda: z.line(0, 0, 2 ** 31, 0), OverflowError),
            (lambda: z.circle(0, 0, -(2 ** 31) - 1), OverflowError),
            (lambda: z.line(0.5, 0, 1, 1), TypeError),  # type: ignore[arg-type]
            (lambda: z.text(0, 0, 5), TypeError),  # type: ignore[arg-type]
            (lambda: z.line_color(256, 0, 0), ValueError),
            (lambda: z.text_color(0, -1, 0), ValueError),
        ]
        for call, error in cases:
            with self.subTest(error=error):
                with self.assertRaises(error):
                    call()
        self.assertEqual(self.bytes_of(z), b"")
        self.assertFalse(z.failed)


if __name__ == "__main__":
    unittest.main()
