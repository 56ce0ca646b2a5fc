#!/usr/bin/env python3
# End-to-end test of the game: starts the real program in a private X server and plays it with
# the keyboard and the mouse as a player would, checking what the window shows and the files.
#
#   python3 play_test.py path/to/kelvo path/to/run-dir
#
# Every wait polls for what the screen or a file must show, with a generous time limit, so a
# slow build (sanitizers) only makes the test slower.

import ctypes
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import traceback

try:
    from Xlib import X, display as xdisplay, error as xerror
    from Xlib.protocol import event as xevent
except ImportError:
    # python3-xlib belongs to Debian's interpreter; another python3 first on PATH lacks it.
    if os.path.realpath(sys.executable) != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

TITLE = "Le Jeu du Kelvo - Vorlane 2010"
WAIT_SECONDS = 60
TILE = 35
BOARD_LEFT, BOARD_TOP = 35, 100
GOAL_X, GOAL_Y = 453, 13
MOTIF_LEFT, MOTIF_TOP = 267, 100
MARKER_X = 35
SELECTED_MARKER, OTHER_MARKER = 4, 0
WHITE, HIGHLIGHT, BLACK = (255, 255, 255), (130, 230, 130), (0, 0, 0)
CROSS = [0, 1, 0, 1, 1, 1, 0, 1, 0]
# A solution of the default game: the cross once on each of these cells, (x, y).
DEFAULT_PLAN = [(0, 0), (1, 0), (2, 0), (3, 0), (0, 1), (3, 1), (0, 2), (1, 2), (2, 2), (3, 2)]


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_for(condition, what):
    """Polls condition() until it gives something true, and returns that; what names it."""
    deadline = time.monotonic() + WAIT_SECONDS
    while not (result := condition()):
        check(time.monotonic() < deadline,
              "timed out waiting for " + (what() if callable(what) else what))
        time.sleep(0.05)
    return result


def read_file(path):
    try:
        with open(path, newline="") as f:
            return f.read()
    except OSError:
        return None



class Image:
    """Pixels as rows of blue-green-red bytes, top row first: the layout of a 24-bit BMP row."""

    def __init__(self, width, height, rows):
        self.width, self.height, self.rows = width, height, rows

    def block_equals(self, picture, x, y):
        """True when the picture appears unchanged with its top-left corner at (x, y)."""
        return (x + picture.width <= self.width and y + picture.height <= self.height
                and all(self.rows[y + j][3 * x:3 * (x + picture.width)] == picture.rows[j]
                        for j in range(picture.height)))

    def share_like(self, picture, top=0, segment=16):
        """Share of row segments from row top down equal to the picture's: near 1 over it."""
        step = 3 * segment
        pairs = [(mine[s:s + step], theirs[s:s + step])
                 for mine, theirs in zip(self.rows[top:], picture.rows[top:])
                 for s in range(0, 3 * min(self.width, picture.width), step)]
        return sum(a == b for a, b in pairs) / len(pairs) if pairs else 0.0

    def text_pixels(self, background, colour):
        """(x, y) of the pixels of one colour drawn over the background: its text."""
        wanted = bytes(reversed(colour))
        for y, (row, under) in enumerate(zip(self.rows, background.rows)):
            start = row.find(wanted)
            while start != -1:
                if start % 3 == 0 and under[start:start + 3] != wanted:
                    yield start // 3, y
                start = row.find(wanted, start + 1)

    def text_bands(self, background, colour):
        """Row ranges [top, bottom) holding text of one colour, one per line of text."""
        bands = []
        for y in sorted({y for _x, y in self.text_pixels(background, colour)}):
            if bands and bands[-1][1] == y:
                bands[-1][1] = y + 1
            else:
                bands.append([y, y + 1])
        return bands

    def save_ppm(self, path):
        with open(path, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (self.width, self.height))
            for row in self.rows:
                rgb = bytearray(row)
                rgb[0::3], rgb[2::3] = row[2::3], row[0::3]
                f.write(rgb)


def load_bmp(path):
    """Reads an uncompressed 24-bit bitmap (rows bottom-up, each padded to 4 bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    check(data[:2] == b"BM" and bits == 24 and compression == 0, path + ": not a 24-bit BMP")
    stride = (3 * width + 3) // 4 * 4
    rows = [data[offset + i * stride:offset + i * stride + 3 * width] for i in range(abs(height))]
    return Image(width, abs(height), rows[::-1] if height > 0 else rows)



def play_move(board, x, y, motif, colours=2):
    """board[y][x] after the motif is laid centred on (x, y), clipped, added modulo colours."""
    n = len(board)
    after = [row[:] for row in board]
    for a in range(3):
        for b in range(3):
            cx, cy = x + a - 1, y + b - 1
            if 0 <= cx < n and 0 <= cy < n:
                after[cy][cx] = (after[cy][cx] + motif[3 * a + b]) % colours
    return after


def trace_text(counts):
    return "".join("".join("%d " % c for c in row) + "\n" for row in counts)


def motif_text(motif):
    return "".join("".join("%d " % motif[3 * a + b] for b in range(3)) + "\n" for a in range(3))



def die_with_this_test():
    """In a child before it starts: it ends with this test, killed or not."""
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def start_xserver(screen="1280x1024x24"):
    """Starts Xvfb on a free display number; returns the process and the display name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        preexec_fn=die_with_this_test)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    check(number, "Xvfb ended before it gave its display number")
    return server, ":" + number


class Session:
    """The running game, the X server it shows its window on, and what the player does."""

    def __init__(self, display_name, game, run_dir):
        self.display_name, self.game, self.run_dir = display_name, game, run_dir
        self.x = xdisplay.Display(display_name)
        self.window = None
        # The game's own pictures, to recognise its screens.
        rc = os.path.join(run_dir, "rc")
        self.tiles = [load_bmp(os.path.join(rc, "%d.bmp" % c)) for c in range(5)]
        self.pictures = {name: load_bmp(os.path.join(rc, name + ".bmp"))
                         for name in ("start", "bgindex", "background", "win")}

    def find_window(self, size=None):
        """The game's viewable window (of that size), a child of the root without a WM."""
        try:
            for child in self.x.screen().root.query_tree().children:
                geometry = child.get_geometry()
                if (child.get_attributes().map_state == X.IsViewable
                        and child.get_wm_name() == TITLE
                        and size in (None, (geometry.width, geometry.height))):
                    return child
        except xerror.XError:
            pass  # a window went away while we looked: look again later
        return None

    def screenshot(self, window=None):
        """What the window shows (pixels come as blue, green, red, unused), or None if gone."""
        window = window or self.window
        try:
            geometry = window.get_geometry()
            width, height = geometry.width, geometry.height
            data = window.get_image(0, 0, width, height, X.ZPixmap, 0xffffffff).data
        except xerror.XError:
            return None
        bgr = bytearray(3 * width * height)
        bgr[0::3], bgr[1::3], bgr[2::3] = data[0::4], data[1::4], data[2::4]
        return Image(width, height, [bytes(bgr[3 * width * y:3 * width * (y + 1)])
                                     for y in range(height)])

    def wait_for_screen(self, shows, what, size=(640, 480)):
        """Waits for a game window of that size that shows(), and gives it the focus."""
        def look():
            code = self.game.poll()
            check(code is None, "the game ended unexpectedly with status %s" % code)
            window = self.find_window(size)
            image = window and self.screenshot(window)
            if image and (image.width, image.height) == size and shows(image):
                return window
            return None

        self.window = wait_for(look, what)
        self.window.set_input_focus(X.RevertToParent, X.CurrentTime, onerror=xerror.CatchError())
        self.x.sync()  # the server takes the focus before the keys typed later

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=WAIT_SECONDS,
                       env=dict(os.environ, DISPLAY=self.display_name))

    def press(self, *keys):
        """Keys typed in turn; after (key, item) the menu must show that item selected."""
        for key in keys:
            if isinstance(key, tuple):
                self.xdotool("key", key[0])
                self.wait_for_menu(key[1])
            else:
                self.xdotool("key", key)

    def click(self, x, y):
        self.xdotool("mousemove", "--window", self.window.id, "--sync", x, y, "click", 1)

    def click_cell(self, x, y):
        self.click(BOARD_LEFT + TILE * x + TILE // 2, BOARD_TOP + TILE * y + TILE // 2)

    def close_window(self):
        """The close request a window manager sends when the player closes the window."""
        delete = self.x.intern_atom("WM_DELETE_WINDOW")
        self.window.send_event(xevent.ClientMessage(
            window=self.window, client_type=self.x.intern_atom("WM_PROTOCOLS"),
            data=(32, [delete, X.CurrentTime, 0, 0, 0])), event_mask=0)
        self.x.flush()

    def menu_selection(self, image):
        """Which of the three item markers, top to bottom, is the tile 4; None if no menu."""
        markers = [c for y in range(image.height - TILE + 1)
                   for c in (SELECTED_MARKER, OTHER_MARKER)
                   if image.block_equals(self.tiles[c], MARKER_X, y)]
        if (image.share_like(self.pictures["bgindex"]) < 0.6 or len(markers) != 3
                or markers.count(SELECTED_MARKER) != 1):
            return None
        return markers.index(SELECTED_MARKER)

    def tile_at(self, image, x, y):
        """Colour index of the tile drawn at (x, y), or None."""
        return next((c for c, tile in enumerate(self.tiles) if image.block_equals(tile, x, y)),
                    None)

    def read_motif(self, image):
        """The nine values shown by the motif editor, m[3a + b] in column a, row b."""
        return [self.tile_at(image, MOTIF_LEFT + TILE * (i // 3), MOTIF_TOP + TILE * (i % 3))
                for i in range(9)]

    def wait_for_menu(self, selection):
        self.wait_for_screen(lambda image: self.menu_selection(image) == selection,
                             "the main menu with item %d selected" % selection)

    def wait_for_board(self, board, what):
        """Waits for the game's window showing every cell's tile and the goal tile 1."""
        n = len(board)

        def shows(image):
            return ([[self.tile_at(image, BOARD_LEFT + TILE * x, BOARD_TOP + TILE * y)
                      for x in range(n)] for y in range(n)] == board
                    and self.tile_at(image, GOAL_X, GOAL_Y) == 1)

        self.wait_for_screen(shows, what, (700, max(480, BOARD_TOP + TILE * n + TILE)))

    def check_trace(self, counts):
        trace = read_file(os.path.join(self.run_dir, "trace.txt"))
        check(trace == trace_text(counts), "trace.txt is %r, not %r" % (trace, trace_text(counts)))



def play_default_game(s):
    """Jouer with the default settings: a 4 x 4 bounded board of two colours, the cross."""
    s.press("Return")
    board = [[0] * 4 for _ in range(4)]
    s.wait_for_board(board, "a 4 x 4 game, every cell at colour 0, in a 700 x 480 window")
    counts = [[0] * 4 for _ in range(4)]
    for number, (x, y) in enumerate(DEFAULT_PLAN, 1):
        board = play_move(board, x, y, CROSS)
        counts[y][x] += 1
        s.click_cell(x, y)
        if number < len(DEFAULT_PLAN):
            s.wait_for_board(board, "the board after a click on (%d, %d)" % (x, y))
    check(board == [[1] * 4] * 4, "the plan does not solve the game")

    s.wait_for_screen(lambda image: image.share_like(s.pictures["win"], top=100) > 0.99
                      and image.text_bands(s.pictures["win"], BLACK),
                      "the victory screen with its message")
    message = list(s.screenshot().text_pixels(s.pictures["win"], BLACK))
    top, bottom = min(y for _x, y in message), max(y for _x, y in message)
    left, right = min(x for x, _y in message), max(x for x, _y in message)
    check(20 <= top and bottom < 100, "the victory message spans rows %d to %d" % (top, bottom))
    check(abs(left - (639 - right)) <= 10,
          "the victory message is not centred: columns %d to %d" % (left, right))
    s.check_trace(counts)
    s.press(("space", 0))


def configure_large_board(s):
    """Configurer la partie: the size raised from 4 to 18, then a game of 18 x 18."""
    s.press(("Down", 1), "Return")

    def config_screen(image):
        if image.share_like(s.pictures["background"]) < 0.6:
            return False
        white = image.text_bands(s.pictures["background"], WHITE)
        highlighted = image.text_bands(s.pictures["background"], HIGHLIGHT)
        # The title in white, then the first line (the size) highlighted, then four in white.
        return (len(highlighted) == 1 and len(white) >= 2
                and white[0][1] <= highlighted[0][0] and highlighted[0][1] <= white[1][0])

    s.wait_for_screen(config_screen, "the configuration screen with its first line highlighted")
    for step in range(1, 15):
        before = s.screenshot().rows
        s.press("Right")
        s.wait_for_screen(lambda image: image.rows != before,
                          "the size to change after Right number %d" % step)
    s.press(("Escape", 1), ("Up", 0), "Return")
    s.wait_for_board([[0] * 18 for _ in range(18)],
                     "an 18 x 18 game, every cell at colour 0, in a 700 x 765 window")
    s.press(("Escape", 0))


def edit_motif_and_play(s):
    """Modifier le motif: three tiles switched, the motif saved, then played on 18 x 18."""
    s.press(("Down", 1), ("Down", 2), "Return")
    s.wait_for_screen(lambda image: s.read_motif(image) == CROSS,
                      "the motif editor showing the cross")
    motif = CROSS[:]
    # The middle off, the top of the right column on, the middle of the left column off: a
    # lopsided motif, so that a column read as a row would show.
    for a, b in ((1, 1), (2, 0), (0, 1)):
        motif[3 * a + b] = 1 - motif[3 * a + b]
        s.click(MOTIF_LEFT + TILE * a + TILE // 2, MOTIF_TOP + TILE * b + TILE // 2)
        s.wait_for_screen(lambda image: s.read_motif(image) == motif,
                          "the editor to show the tile in column %d, row %d switched" % (a, b))
    s.press(("Return", 2))
    expected, path = motif_text(motif), os.path.join(s.run_dir, "rc", "motif.txt")
    wait_for(lambda: read_file(path) == expected,
             lambda: "%s to hold %r; it holds %r" % (path, expected, read_file(path)))

    s.press(("Up", 1), ("Up", 0), "Return")
    n = 18
    board = [[0] * n for _ in range(n)]
    s.wait_for_board(board, "a new 18 x 18 game, every cell at colour 0")
    counts = [[0] * n for _ in range(n)]
    # The motif now reaches the cell above, the cell below, the one above on the right and
    # the one on the right. One move in the middle of the board, one in the top-right corner
    # where three of the four fall outside.
    reached = {(6, 9): [(6, 8), (6, 10), (7, 8), (7, 9)], (17, 0): [(17, 1)]}
    for (x, y), cells in reached.items():
        before, board = board, play_move(board, x, y, motif)
        changed = sorted((cx, cy) for cy in range(n) for cx in range(n)
                         if board[cy][cx] != before[cy][cx])
        check(changed == sorted(cells), "the motif reaches %s from (%d, %d)" % (changed, x, y))
        counts[y][x] += 1
        s.click_cell(x, y)
        s.wait_for_board(board, "exactly the cells %s to change after a click on (%d, %d)"
                         % (cells, x, y))
    s.check_trace(counts)
    s.press(("Escape", 0))


def play_session(s):
    """The start picture, then a game, the settings and the editor, as a player would go."""
    s.wait_for_screen(lambda image: image.rows == s.pictures["start"].rows,
                      "the window showing the start picture")
    s.press(("space", 0))
    play_default_game(s)
    configure_large_board(s)
    edit_motif_and_play(s)


def run_game(kelvo, source_run_dir, scenario, screen="1280x1024x24"):
    """Runs the game in a private X server of that screen size, in a copy of the run directory
    with the cross as its motif; plays scenario(session), then closes the window. Returns the
    exit status for the test: 0 when everything passed."""
    sys.stdout.reconfigure(line_buffering=True)
    started, work = time.monotonic(), tempfile.mkdtemp(prefix="kelvo-e2e-")
    run_dir = os.path.join(work, "run")
    shutil.copytree(source_run_dir, run_dir, ignore=shutil.ignore_patterns("trace.txt"))
    with open(os.path.join(run_dir, "rc", "motif.txt"), "w") as f:
        f.write(motif_text(CROSS))
    server, display_name = start_xserver(screen)
    # Leaks are left to the unit tests: the X libraries SDL loads at every restart of its
    # video system keep blocks the leak checker cannot trace back to them.
    env = dict(os.environ, DISPLAY=display_name, SDL_VIDEODRIVER="x11",
               ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    env.pop("SDL12COMPAT_WINDOW_SCALING", None)  # the game picks the scale for the screen
    log_path = os.path.join(work, "game.log")
    with open(log_path, "wb") as log:
        game = subprocess.Popen([os.path.abspath(kelvo)], cwd=run_dir, env=env,
                                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                preexec_fn=die_with_this_test)
    s = Session(display_name, game, run_dir)
    try:
        scenario(s)
        s.close_window()
        code = s.game.wait(timeout=WAIT_SECONDS)
        check(code == 0, "the game ended with status %d after the close request" % code)
        print("passed in %.1f s" % (time.monotonic() - started))
        shutil.rmtree(work, ignore_errors=True)
        return 0
    except Exception:
        traceback.print_exc(file=sys.stdout)
        print("--- the game's output ---\n%s--- end ---" % read_file(log_path))
        window = s.window or s.find_window()
        image = window and s.screenshot(window)
        if image:
            image.save_ppm(os.path.join(work, "failure.ppm"))
        print("FAILED; kept for inspection, with a screenshot if there was a window: " + work)
        return 1
    finally:
        game.kill()
        game.wait()
        server.terminate()
        server.wait()


if __name__ == "__main__":
    sys.exit(run_game(*sys.argv[1:], play_session))
