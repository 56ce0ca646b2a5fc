#!/usr/bin/env python3
# End-to-end test of the window's scale on a 3840 x 2160 screen: every window 2.5 times the
# game's own size, a click at the scaled place of a cell plays that cell, and following the
# hint (H, then a click on the marked cell, again and again) wins a 4 x 4 game.
#
#   python3 scale_test.py path/to/kelvo path/to/run-dir

import os
import subprocess
import sys

from play_test import (BOARD_LEFT, BOARD_TOP, CROSS, TILE, check, play_move, read_file,
                       run_game, trace_text, wait_for)

SCALE = 2.5
MENU, GAME = (1600, 1200), (1750, 1200)  # 640 x 480 and 700 x 480, scaled


def colour(image, x, y):
    """Red, green, blue of the screenshot in the middle of the game's own pixel (x, y)."""
    sx, sy = int((x + 0.5) * SCALE), int((y + 0.5) * SCALE)
    return tuple(reversed(image.rows[sy][3 * sx:3 * sx + 3]))


def near(a, b):
    return all(abs(p - q) <= 12 for p, q in zip(a, b))


def scenario(s):
    def shows(name):
        """Whether a screenshot shows the picture, judged by two of its pixels."""
        rows = s.pictures[name].rows
        return lambda image: all(near(colour(image, x, y), tuple(reversed(rows[y][3 * x:3 * x + 3])))
                                 for x, y in ((10, 10), (600, 400)))

    s.wait_for_screen(shows("start"), "the start picture in a window of 1600 x 1200", MENU)
    s.press("space")
    s.wait_for_screen(shows("bgindex"), "the menu in a window of 1600 x 1200", MENU)
    out = subprocess.run(["xwininfo", "-id", str(s.window.id)], capture_output=True, text=True,
                         check=True, env=dict(os.environ, DISPLAY=s.display_name)).stdout
    check("Width: 1600" in out and "Height: 1200" in out, out)
    s.press("Return")
    s.wait_for_screen(lambda image: True, "the 4 x 4 game in a window of 1750 x 1200", GAME)
    n, path = 4, os.path.join(s.run_dir, "trace.txt")
    board, counts = [[0] * n for _ in range(n)], [[0] * n for _ in range(n)]

    def marked(image):
        """The cells whose top-left corner shows the hint's colour."""
        return [(x, y) for y in range(n) for x in range(n)
                if near(colour(image, BOARD_LEFT + TILE * x + 1, BOARD_TOP + TILE * y + 1),
                        (255, 0, 255))]

    x, y = 1, 2
    for hint in range(17):
        board = play_move(board, x, y, CROSS)
        counts[y][x] += 1
        s.click(int((BOARD_LEFT + TILE * x + TILE / 2) * SCALE),
                int((BOARD_TOP + TILE * y + TILE / 2) * SCALE))
        wait_for(lambda: read_file(path) == trace_text(counts), "trace.txt after %d clicks" % hint)
        if board == [[1] * n] * n:
            break
        s.wait_for_screen(lambda image: not marked(image), "the board after the click", GAME)
        s.press("h")
        s.wait_for_screen(lambda image: len(marked(image)) == 1, "hint %d to mark a cell" % hint,
                          GAME)
        x, y = marked(s.screenshot())[0]
    s.wait_for_screen(shows("win"), "the victory screen", MENU)
    s.press("space")
    s.wait_for_screen(shows("bgindex"), "the menu again", MENU)


if __name__ == "__main__":
    sys.exit(run_game(*sys.argv[1:], scenario, screen="3840x2160x24"))
