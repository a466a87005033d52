"""Draw in a ZORVA display from Python.

    import zorva
    with zorva.open() as z:       # a new command file and a display on it
        z.start()
        z.line_color(0, 255, 0)
        z.line(10, 10, 200, 150)
        z.text(200, 260, "Zorva")

zorva.open() creates the command file, starts the display through
`zorvad -d FILE` and returns a Display, whose methods each write one item.
Coordinates are pixels with the origin at the bottom-left corner of the
display's client area and y growing upward; arc angles are measured
clockwise from the positive x axis and the arc runs counter-clockwise on
the screen from its begin to its end angle (see Display.arc).
Errors are ZorvaError subclasses: LaunchError (status and reason of the
launcher), WriteError, DisplayClosed and HandleFailed. Strings longer than
255 bytes are cut at a character boundary and text()/font() return False;
a NUL in a string raises ValueError. A handle may be shared between threads
(see Display). Only the standard library is used.
"""

from ._display import Display, open
from ._errors import DisplayClosed, HandleFailed, LaunchError, WriteError, ZorvaError
from ._items import MAX_STRING, Align, LineType
from ._launcher import find_zorvad

__all__ = [
    "Align", "Display", "DisplayClosed", "HandleFailed", "LaunchError", "LineType",
    "MAX_STRING", "WriteError", "ZorvaError", "find_zorvad", "open",
]
