#!/usr/bin/env python3
"""Draws the program icon (icon 101) at every size the windows and the
desktop use, with a transparent background, and writes them as PNG files.

The picture is the one draw_bitmaps.py draws for the program; here each
pixel keeps how much of it the picture covers as its alpha, so that the
icon sits on any panel or menu without a grey square around it.

Run from the repository root: tools/artwork/draw_icons.py resources/icons
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import draw_bitmaps as art  # noqa: E402

SIZES = (16, 24, 32, 48, 64, 128, 256)


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "resources/icons")
    out.mkdir(parents=True, exist_ok=True)
    for size in SIZES:
        canvas = art.Canvas(size, size, art.GREY)
        art.program_icon(canvas, 0, size)
        name = out / f"101_program_{size}.png"
        art.write_png(name, canvas.pixels(alpha=True), level=9)
        print("wrote", name)


if __name__ == "__main__":
    main()
