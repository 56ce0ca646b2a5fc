#!/usr/bin/env python3
# End-to-end test of the game: starts the real program in a private X server and plays it with
# the keyboard and the mouse as a player would, checking what the window shows and the files.
#
#   python3 play_test.py path/to/kelvo path/to/run-dir
#
# Needs Xvfb, xdotool and python3-xlib. Every wait polls for what the screen or a file must show,
# with a generous time limit, so a slow build (sanitizers) only makes the test slower.

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
import zlib

try:
    from Xlib import X, display as xdisplay, error as xerror
    from Xlib.protocol import event as xevent
except ImportError:
    # python3-xlib belongs to Debian's interpreter; another python3 first on PATH lacks it.
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != os.path.realpath(
            "/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

TITLE = "Le Jeu du Kelvo - Vorlane 2010"
WAIT_SECONDS = 60
POLL_SECONDS = 0.05

TILE = 35
BOARD_LEFT, BOARD_TOP = 35, 100
GOAL_X, GOAL_Y = 453, 13
MOTIF_LEFT, MOTIF_TOP = 267, 100
MARKER_X = 35
SELECTED_MARKER, OTHER_MARKER = 4, 0
WHITE = (255, 255, 255)
HIGHLIGHT = (130, 230, 130)
BLACK = (0, 0, 0)

CROSS = [0, 1, 0, 1, 1, 1, 0, 1, 0]


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


# --- pictures -------------------------------------------------------------------------------

class Image:
    """Pixels as rows of blue-green-red bytes, top row first: the layout of a 24-bit BMP row."""

    def __init__(self, width, height, rows):
        self.width = width
        self.height = height
        self.rows = rows

    def pixel(self, x, y):
        b, g, r = self.rows[y][3 * x:3 * x + 3]
        return (r, g, b)

    def block_equals(self, picture, x, y):
        """True when the picture appears unchanged with its top-left corner at (x, y)."""
        if x < 0 or y < 0 or x + picture.width > self.width or y + picture.height > self.height:
            return False
        for j in range(picture.height):
            if self.rows[y + j][3 * x:3 * (x + picture.width)] != picture.rows[j]:
                return False
        return True

    def share_like(self, picture, segment=16):
        """Share of short row segments identical to the picture at (0, 0): near 1 when the
        picture is the background and only some text or tiles are drawn over it."""
        width = min(self.width, picture.width)
        height = min(self.height, picture.height)
        same = total = 0
        step = 3 * segment
        for y in range(height):
            mine, theirs = self.rows[y], picture.rows[y]
            for start in range(0, 3 * width, step):
                total += 1
                if mine[start:start + step] == theirs[start:start + step]:
                    same += 1
        return same / total if total else 0.0


def load_bmp(path):
    """Reads an uncompressed 24-bit Windows bitmap (rows bottom-up unless the height is
    negative, each padded to 4 bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    check(data[:2] == b"BM", path + " is not a bitmap")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    check(bits == 24 and compression == 0, path + " is not an uncompressed 24-bit bitmap")
    stride = (3 * width + 3) // 4 * 4
    rows = [data[offset + i * stride:offset + i * stride + 3 * width] for i in range(abs(height))]
    if height > 0:
        rows.reverse()
    return Image(width, abs(height), rows)


def save_png(image, path):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))

    raw = bytearray()
    for row in image.rows:
        rgb = bytearray(len(row))
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::3], row[1::3], row[0::3]
        raw += b"\0" + rgb
    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))


class Pictures:
    """The game's own pictures, read from its run directory."""

    def __init__(self, rc):
        self.tiles = [load_bmp(os.path.join(rc, "%d.bmp" % c)) for c in range(5)]
        for name in ("start", "bgindex", "background", "game", "win"):
            setattr(self, name, load_bmp(os.path.join(rc, name + ".bmp")))

    def tile_at(self, image, x, y):
        """Colour index of the tile drawn at (x, y), or None."""
        for colour, tile in enumerate(self.tiles):
            if image.block_equals(tile, x, y):
                return colour
        return None


# --- the rules, to know what the board must show ---------------------------------------------

def play_move(board, x, y, motif, colours, torus=False):
    """board[y][x] after the motif is laid centred on (x, y) and added modulo the colours."""
    n = len(board)
    after = [row[:] for row in board]
    for a in range(3):
        for b in range(3):
            cx, cy = x + a - 1, y + b - 1
            if torus:
                cx, cy = cx % n, cy % n
            elif not (0 <= cx < n and 0 <= cy < n):
                continue
            after[cy][cx] = (after[cy][cx] + motif[3 * a + b]) % colours
    return after


def winning_clicks(n, motif):
    """Cells (x, y) to click once each to turn an all-0 bounded board of two colours into all 1:
    Gaussian elimination modulo 2, one bit per cell in each equation."""
    cells = n * n
    equations = []
    for y in range(n):
        for x in range(n):
            row = 0
            for cx in range(n):
                for cy in range(n):
                    a, b = x - cx + 1, y - cy + 1
                    if 0 <= a < 3 and 0 <= b < 3 and motif[3 * a + b] % 2:
                        row |= 1 << (cy * n + cx)
            equations.append(row | 1 << cells)  # every cell must change once
    pivots = []
    for bit in range(cells):
        for i in range(len(pivots), len(equations)):
            if equations[i] >> bit & 1:
                break
        else:
            continue
        k = len(pivots)
        equations[k], equations[i] = equations[i], equations[k]
        for j in range(len(equations)):
            if j != k and equations[j] >> bit & 1:
                equations[j] ^= equations[k]
        pivots.append(bit)
    check(all(e != 1 << cells for e in equations), "the default game has no solution")
    chosen = [bit for k, bit in enumerate(pivots) if equations[k] >> cells & 1]
    return [(bit % n, bit // n) for bit in sorted(chosen)]


def trace_text(counts):
    return "".join("".join("%d " % c for c in row) + "\n" for row in counts)


def motif_text(motif):
    return "".join("".join("%d " % motif[3 * a + b] for b in range(3)) + "\n" for a in range(3))


# --- the X server, the game and the window ---------------------------------------------------

def die_with_this_test():
    """Run in a child before it starts: the kernel ends it if the test itself is killed (the
    test runner's time limit), so no X server or game is left behind."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def start_xserver():
    """Starts Xvfb on a free display number; returns the process and the display name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        preexec_fn=die_with_this_test)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as pipe:
        while not number.endswith(b"\n"):
            part = pipe.read(1)
            if not part:
                raise TestFailure("Xvfb ended before it gave its display number")
            number += part
    return server, ":" + number.decode().strip()


def start_game(kelvo, run_dir, display_name, log_path):
    env = dict(os.environ, DISPLAY=display_name, SDL_VIDEODRIVER="x11")
    # In a sanitizer build, memory errors still end the game with a failure status, but the
    # leak check is left to the unit tests: under a real X server the graphics libraries that
    # SDL loads and unloads at every restart of its video system keep blocks the leak checker
    # cannot trace back to a library.
    env["ASAN_OPTIONS"] = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    with open(log_path, "wb") as log:
        return subprocess.Popen([kelvo], cwd=run_dir, env=env, stdin=subprocess.DEVNULL,
                                stdout=log, stderr=subprocess.STDOUT, preexec_fn=die_with_this_test)


def wait_for(condition, what, timeout=WAIT_SECONDS):
    """Polls condition() until it gives something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TestFailure("timed out waiting for " + what)
        time.sleep(POLL_SECONDS)


class Session:
    """The running game, the X server it shows its window on, and what the player does."""

    def __init__(self, display_name, game, pictures, run_dir):
        self.display_name = display_name
        self.x = xdisplay.Display(display_name)
        self.root = self.x.screen().root
        self.game = game
        self.pictures = pictures
        self.run_dir = run_dir
        self.window = None

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True,
                       env=dict(os.environ, DISPLAY=self.display_name))

    def check_running(self):
        code = self.game.poll()
        if code is not None:
            raise TestFailure("the game ended unexpectedly with status %d" % code)

    def find_window(self, width=None, height=None):
        """The viewable window that has the game's title (and the size, when given), or None.
        Without a window manager the game's windows are children of the root window."""
        try:
            for child in self.root.query_tree().children:
                attributes = child.get_attributes()
                if attributes.map_state != X.IsViewable:
                    continue
                name = child.get_full_text_property(self.x.intern_atom("_NET_WM_NAME"))
                if name != TITLE and child.get_wm_name() != TITLE:
                    continue
                geometry = child.get_geometry()
                if width is not None and (geometry.width, geometry.height) != (width, height):
                    continue
                return child
        except xerror.XError:
            pass  # a window went away while we looked: look again later
        return None

    def screenshot(self, window=None):
        """What the window shows, or None when it cannot be read (gone, or being resized).
        The server's 24-bit pixels come as 4 bytes each, blue, green, red and one unused."""
        window = window or self.window
        try:
            geometry = window.get_geometry()
            width, height = geometry.width, geometry.height
            data = window.get_image(0, 0, width, height, X.ZPixmap, 0xffffffff).data
        except xerror.XError:
            return None
        if len(data) != 4 * width * height:
            return None
        rows = []
        for y in range(height):
            line = data[4 * width * y:4 * width * (y + 1)]
            bgr = bytearray(3 * width)
            bgr[0::3], bgr[1::3], bgr[2::3] = line[0::4], line[1::4], line[2::4]
            rows.append(bytes(bgr))
        return Image(width, height, rows)

    def wait_for_screen(self, width, height, shows, what):
        """Waits until a window of the game of that size shows what shows(image) accepts, then
        makes it the current window and gives it the keyboard focus."""
        def look():
            self.check_running()
            window = self.find_window(width, height)
            if window is None:
                return None
            image = self.screenshot(window)
            if image is None or (image.width, image.height) != (width, height):
                return None
            return window if shows(image) else None

        self.window = wait_for(look, what)
        self.focus(self.window)

    def focus(self, window):
        """Gives the window the keyboard focus, as a window manager would on a click; the keys
        typed later go to it."""
        def has_focus():
            focus = self.x.get_input_focus().focus
            if not isinstance(focus, int) and focus.id == window.id:
                return True
            window.set_input_focus(X.RevertToParent, X.CurrentTime, onerror=xerror.CatchError())
            self.x.sync()
            return False

        wait_for(has_focus, "the keyboard focus on the game's window")

    def press(self, key):
        """A key pressed and released through the X server's test extension, as typed."""
        self.check_running()
        self.xdotool("key", key)

    def click(self, x, y, button=1):
        self.check_running()
        self.xdotool("mousemove", "--window", self.window.id, "--sync", x, y, "click", button)

    def click_cell(self, x, y):
        """A click in the middle of the board's cell (x, y)."""
        self.click(BOARD_LEFT + TILE * x + TILE // 2, BOARD_TOP + TILE * y + TILE // 2)

    def close_window(self):
        """The close request a window manager sends when the player closes the window."""
        protocols = self.x.intern_atom("WM_PROTOCOLS")
        delete = self.x.intern_atom("WM_DELETE_WINDOW")
        message = xevent.ClientMessage(window=self.window, client_type=protocols,
                                       data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        self.window.send_event(message, event_mask=0)
        self.x.flush()

    # --- what the screens show ---

    def read_board(self, image, n):
        """board[y][x]: colour of every cell as drawn, None where no tile is recognised."""
        return [[self.pictures.tile_at(image, BOARD_LEFT + TILE * x, BOARD_TOP + TILE * y)
                 for x in range(n)] for y in range(n)]

    def read_motif(self, image):
        """The nine values shown by the motif editor, m[3a + b] in column a, row b."""
        return [self.pictures.tile_at(image, MOTIF_LEFT + TILE * (i // 3), MOTIF_TOP + TILE * (i % 3))
                for i in range(9)]

    def menu_selection(self, image):
        """Index of the selected menu item: the three markers at the left of the items, the
        selected one being the tile of colour 4; None when the menu is not shown."""
        if image.share_like(self.pictures.bgindex) < 0.6:
            return None
        marker_tiles = (SELECTED_MARKER, OTHER_MARKER)
        first_rows = {self.pictures.tiles[colour].rows[0] for colour in marker_tiles}
        markers = []
        y = 0
        while y + TILE <= image.height:
            colour = None
            if image.rows[y][3 * MARKER_X:3 * (MARKER_X + TILE)] in first_rows:
                colour = self.pictures.tile_at(image, MARKER_X, y)
            if colour in marker_tiles:
                markers.append(colour)
                y += TILE
            else:
                y += 1
        if len(markers) != 3 or markers.count(SELECTED_MARKER) != 1:
            return None
        return markers.index(SELECTED_MARKER)

    def wait_for_menu(self, selection):
        self.wait_for_screen(640, 480, lambda image: self.menu_selection(image) == selection,
                             "the main menu with item %d selected" % selection)

    def wait_for_board(self, n, colours, board, what):
        height = max(480, BOARD_TOP + TILE * n + TILE)

        def shows(image):
            return (self.read_board(image, n) == board
                    and self.pictures.tile_at(image, GOAL_X, GOAL_Y) == colours - 1)

        self.wait_for_screen(700, height, shows, what)

    def wait_for_change(self, before, what):
        """Waits until the current window shows something else than the image before."""
        def changed():
            self.check_running()
            image = self.screenshot()
            return image if image is not None and image.rows != before.rows else None

        return wait_for(changed, what)


def text_pixels(image, background, colour):
    """(x, y) of the pixels of one colour where the background picture shows something else:
    the text drawn in that colour."""
    wanted = bytes((colour[2], colour[1], colour[0]))
    for y in range(min(image.height, background.height)):
        row, under = image.rows[y], background.rows[y]
        start = row.find(wanted)
        while start != -1:
            if start % 3 == 0 and under[start:start + 3] != wanted:
                yield start // 3, y
            start = row.find(wanted, start + 1)


def text_bands(image, background, colour):
    """Row ranges [top, bottom) holding text of one colour, one per line of text."""
    bands = []
    for y in sorted({y for _x, y in text_pixels(image, background, colour)}):
        if bands and bands[-1][1] == y:
            bands[-1][1] = y + 1
        else:
            bands.append([y, y + 1])
    return bands


# --- the game played -------------------------------------------------------------------------

def play_default_game(s):
    """Jouer with the default settings: a 4 x 4 bounded board of two colours, the cross."""
    s.press("Return")
    n, colours = 4, 2
    board = [[0] * n for _ in range(n)]
    s.wait_for_board(n, colours, board, "a 4 x 4 game, every cell at colour 0, in a 700 x 480 window")

    plan = winning_clicks(n, CROSS)
    counts = [[0] * n for _ in range(n)]
    for number, (x, y) in enumerate(plan, 1):
        board = play_move(board, x, y, CROSS, colours)
        counts[y][x] += 1
        s.click_cell(x, y)
        if number < len(plan):
            s.wait_for_board(n, colours, board, "the board after a click on (%d, %d)" % (x, y))
    check(all(c == colours - 1 for row in board for c in row), "the plan does not solve the game")

    def victory(image):
        below_message = Image(640, 380, image.rows[100:])
        win_part = Image(640, 380, s.pictures.win.rows[100:])
        return (below_message.share_like(win_part) > 0.99
                and text_bands(image, s.pictures.win, BLACK) != [])

    s.wait_for_screen(640, 480, victory, "the victory screen with its message")
    message = list(text_pixels(s.screenshot(), s.pictures.win, BLACK))
    top, bottom = min(y for _x, y in message), max(y for _x, y in message)
    left, right = min(x for x, _y in message), max(x for x, _y in message)
    check(20 <= top and bottom < 100,
          "the victory message is not at the top: rows %d to %d" % (top, bottom))
    check(abs(left - (639 - right)) <= 10,
          "the victory message is not centred: columns %d to %d" % (left, right))

    trace = read_file(os.path.join(s.run_dir, "trace.txt"))
    check(trace == trace_text(counts),
          "trace.txt is %r, expected %r" % (trace, trace_text(counts)))
    print("won the 4 x 4 game in %d moves; trace.txt holds the counts" % len(plan))

    s.press("space")
    s.wait_for_menu(0)


def configure_large_board(s):
    """Configurer la partie: the size raised from 4 to 18, then a game of 18 x 18."""
    s.press("Down")
    s.wait_for_menu(1)
    s.press("Return")

    def config_screen(image):
        if image.share_like(s.pictures.background) < 0.6:
            return None
        white = text_bands(image, s.pictures.background, WHITE)
        highlighted = text_bands(image, s.pictures.background, HIGHLIGHT)
        # The title in white, then the first line (the size) highlighted, then four in white.
        if len(highlighted) != 1 or len(white) < 2:
            return None
        return white[0][1] <= highlighted[0][0] and highlighted[0][1] <= white[1][0]

    s.wait_for_screen(640, 480, config_screen,
                      "the configuration screen with its first line highlighted")
    image = s.screenshot()
    for step in range(14):
        s.press("Right")
        image = s.wait_for_change(image, "the size to change after Right number %d" % (step + 1))
    s.press("Escape")
    s.wait_for_menu(1)

    s.press("Up")
    s.wait_for_menu(0)
    s.press("Return")
    n = 18
    s.wait_for_board(n, 2, [[0] * n for _ in range(n)],
                     "an 18 x 18 game, every cell at colour 0, in a 700 x 765 window")
    check((s.window.get_geometry().width, s.window.get_geometry().height) == (700, 765),
          "the 18 x 18 game's window is not 700 x 765")
    print("18 x 18 game in a 700 x 765 window")
    s.press("Escape")
    s.wait_for_menu(0)


def edit_motif_and_play(s):
    """Modifier le motif: three tiles switched, the motif saved, then played on 18 x 18."""
    s.press("Down")
    s.wait_for_menu(1)
    s.press("Down")
    s.wait_for_menu(2)
    s.press("Return")
    s.wait_for_screen(640, 480, lambda image: s.read_motif(image) == CROSS,
                      "the motif editor showing the cross")

    motif = CROSS[:]
    # The middle off, the top of the right column on, the middle of the left column off: a
    # lopsided motif, so that a column read as a row would show.
    for a, b in ((1, 1), (2, 0), (0, 1)):
        motif[3 * a + b] = 1 - motif[3 * a + b]
        s.click(MOTIF_LEFT + TILE * a + TILE // 2, MOTIF_TOP + TILE * b + TILE // 2)
        s.wait_for_screen(640, 480, lambda image: s.read_motif(image) == motif,
                          "the editor to show the tile in column %d, row %d switched" % (a, b))
    s.press("Return")
    s.wait_for_menu(2)
    expected = motif_text(motif)
    motif_path = os.path.join(s.run_dir, "rc", "motif.txt")
    wait_for_file(motif_path, expected)
    print("motif saved as %r" % expected)

    s.press("Up")
    s.wait_for_menu(1)
    s.press("Up")
    s.wait_for_menu(0)
    s.press("Return")
    n, colours = 18, 2
    board = [[0] * n for _ in range(n)]
    s.wait_for_board(n, colours, board, "a new 18 x 18 game, every cell at colour 0")
    counts = [[0] * n for _ in range(n)]
    # The motif now reaches the cell above, the cell below, the one above on the right and
    # the one on the right. One move in the middle of the board, one in the top-right corner
    # where three of the four fall outside.
    reached = {(6, 9): [(6, 8), (6, 10), (7, 8), (7, 9)], (17, 0): [(17, 1)]}
    for (x, y), cells in reached.items():
        before = board
        board = play_move(board, x, y, motif, colours)
        changed = sorted((cx, cy) for cy in range(n) for cx in range(n)
                         if board[cy][cx] != before[cy][cx])
        check(changed == sorted(cells), "the saved motif reaches %s from (%d, %d)" % (changed, x, y))
        counts[y][x] += 1
        s.click_cell(x, y)
        s.wait_for_board(n, colours, board,
                         "exactly the cells %s to change after a click on (%d, %d)" % (cells, x, y))
        print("click on (%d, %d) changed exactly %s" % (x, y, cells))
    trace = read_file(os.path.join(s.run_dir, "trace.txt"))
    check(trace == trace_text(counts), "trace.txt of the 18 x 18 game is %r" % trace)
    s.press("Escape")
    s.wait_for_menu(0)


def quit_from_menu(s):
    s.close_window()
    try:
        code = s.game.wait(timeout=WAIT_SECONDS)
    except subprocess.TimeoutExpired:
        raise TestFailure("the game did not end after the close request in the menu")
    check(code == 0, "the game ended with status %d after the close request" % code)
    print("closed from the menu: exit status 0")


def wait_for_file(path, expected):
    try:
        wait_for(lambda: read_file(path) == expected, "%s to hold %r" % (path, expected))
    except TestFailure as failure:
        raise TestFailure("%s; it holds %r" % (failure, read_file(path))) from None


def read_file(path):
    try:
        with open(path, newline="") as f:
            return f.read()
    except OSError:
        return None


def run(kelvo, source_run_dir, work):
    run_dir = os.path.join(work, "run")
    shutil.copytree(source_run_dir, run_dir)
    # A clean start: no click file from an earlier run, and the cross as the motif.
    if os.path.exists(os.path.join(run_dir, "trace.txt")):
        os.remove(os.path.join(run_dir, "trace.txt"))
    with open(os.path.join(run_dir, "rc", "motif.txt"), "w") as f:
        f.write(motif_text(CROSS))
    pictures = Pictures(os.path.join(run_dir, "rc"))

    server, display_name = start_xserver()
    game = None
    session = None
    try:
        game = start_game(kelvo, run_dir, display_name, os.path.join(work, "game.log"))
        session = Session(display_name, game, pictures, run_dir)
        try:
            session.wait_for_screen(640, 480, lambda image: image.rows == pictures.start.rows,
                                    "the window showing the start picture")
            session.press("space")
            session.wait_for_menu(0)
            play_default_game(session)
            configure_large_board(session)
            edit_motif_and_play(session)
            quit_from_menu(session)
        except Exception:
            traceback.print_exc(file=sys.stdout)
            save_evidence(session, work)
            return False
        return True
    finally:
        if game is not None and game.poll() is None:
            game.kill()
            game.wait()
        server.terminate()
        try:
            server.wait(timeout=WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()


def save_evidence(session, work):
    log = read_file(os.path.join(work, "game.log"))
    if log:
        print("--- the game's output ---\n" + log + "--- end ---")
    if session is None:
        return
    image = session.screenshot() if session.window is not None else None
    if image is None:
        window = session.find_window()
        image = session.screenshot(window) if window is not None else None
    if image is not None:
        path = os.path.join(work, "failure.png")
        save_png(image, path)
        print("screenshot of the game's window: " + path)


def main(argv):
    if len(argv) != 3:
        print("usage: play_test.py KELVO RUN_DIR", file=sys.stderr)
        return 2
    sys.stdout.reconfigure(line_buffering=True)
    kelvo, source_run_dir = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    work = tempfile.mkdtemp(prefix="kelvo-e2e-")
    started = time.monotonic()
    passed = run(kelvo, source_run_dir, work)
    print("%s in %.1f s" % ("passed" if passed else "FAILED", time.monotonic() - started))
    if passed:
        shutil.rmtree(work, ignore_errors=True)
    else:
        print("kept for inspection: " + work)
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
