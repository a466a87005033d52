"""The Python program the README's install section runs from a prefix's
venv: the client finds zorvad in the venv's bin/, the prefix's, starts a
display, draws, prints "drew FILE" and closes the display."""

import zorva

with zorva.open(exit_at_close=True) as z:
    z.start()
    z.line_color(0, 255, 0)
    z.line(10, 10, 200, 150)
    z.arc(150, 100, 40, 0, 90)
    z.text(20, 180, "from Python")
    print("drew", z.path, flush=True)
