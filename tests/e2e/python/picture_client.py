"""The Python side of the end-to-end test: draws through zorva.

    picture_client.py picture FILE   draws the shared picture on a display
                                     it starts, and leaves it open
    picture_client.py closed FILE    draws, waits for a line on stdin (the
                                     user closes the window meanwhile), then
                                     expects DisplayClosed
    picture_client.py refused FILE   expects the launch to fail
Prints what it saw; exits 0 when it saw what it expected.
"""

from __future__ import annotations

import os
import signal
import sys

import zorva


def picture(z: zorva.Display) -> None:
    z.start()
    z.line_color(0, 255, 0)
    z.line(10, 10, 200, 150)
    z.line_width(3)
    z.circle(150, 100, 40)
    z.line_width(1)
    z.line_type(zorva.LineType.DASHED)
    z.arc(300, 100, 50, 0, 135)
    z.line_type(zorva.LineType.SOLID)
    z.line_color(255, 128, 0)
    z.polyline(50, 200)
    z.polyvertex(100, 250)
    z.polyvertex(150, 200)
    z.text_color(255, 255, 255)
    z.font("DejaVu Sans")
    z.text_height(20)
    z.text_align(zorva.Align.CENTER)
    z.text(200, 260, "Zorva")


def display_of(path: str) -> int:
    """The process id of the display the launcher started on `path`."""
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                argv = f.read().split(b"\0")
        except OSError:
            continue
        if len(argv) >= 2 and argv[1] == os.fsencode(path) and argv[0].endswith(b"zorvad"):
            return int(entry)
    raise RuntimeError(f"no display runs on {path}")


def main(mode: str, path: str) -> int:
    if mode == "picture":
        with zorva.open(path) as z:
            # Held still while the client writes, the display reads the
            # whole picture in one step, as zorva-render does: the paint
            # cycles that follow then match. (Which items share a step
            # otherwise depends on when the display wakes, and a replay
            # over text already drawn changes its anti-aliased edges.)
            display = display_of(path)
            os.kill(display, signal.SIGSTOP)
            try:
                picture(z)
            finally:
                os.kill(display, signal.SIGCONT)
        return 0
    if mode == "closed":
        with zorva.open(path) as z:
            picture(z)
            print("drawn", flush=True)
            sys.stdin.readline()
            try:
                z.line(0, 0, 10, 10)
            except zorva.DisplayClosed as e:
                print(f"closed: {e}")
                return 0
        print("a write after the display closed went through")
        return 1
    if mode == "refused":
        try:
            zorva.open(path)
        except zorva.LaunchError as e:
            print(f"status {e.status}: {e.reason}")
            return 0 if e.status == 1 and e.reason and not os.path.exists(path) else 1
        print("the display started")
        return 1
    print(f"unknown mode {mode}")
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
