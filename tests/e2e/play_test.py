# The real game without a display, then in a private X server (Xvfb) of 3840 x 2160, played with
# xdotool as a player would.
# With the player's own window scale of 1: the start picture, undo, redo, restart, another board and
# the keys' panel, a won game, an 18 x 18 board, the motif edited, saved and played, and a window
# close request in the menu. Then with the scale the game chooses, 2.5: clicks at the scaled place
# of a cell, and the hint followed to a victory.
# Every wait polls the window's pixels with a generous time limit.
#   python3 play_test.py path/to/kelvo path/to/run-dir
import os, re, shutil, struct, subprocess, sys, tempfile, time
from Xlib import X, display as xdisplay, error as xerror
from Xlib.protocol import event as xevent

TILE, BOARD, MOTIF, TITLE = 35, (35, 100), (267, 100), "Le Jeu du Kelvo - Vorlane 2010"


# The rows of a 24-bit picture of the run directory, top row first, as blue-green-red bytes.
def bmp(name):
    data = open(os.path.join(run, "rc", name + ".bmp"), "rb").read()
    (offset,), (w, h) = struct.unpack_from("<I", data, 10), struct.unpack_from("<ii", data, 18)
    stride = (3 * w + 3) // 4 * 4
    return [data[offset + i * stride:offset + i * stride + 3 * w] for i in reversed(range(h))]


# Waits for a window of the game of one of the sizes (the game's own, before scaling) to show
# what shows(rows) accepts, and focuses it. The rows hold the game's own pixels, each read at its
# centre in the scaled window.
def screen(shows, what, *sizes):
    global window
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline and game.poll() is None:
        try:
            for window in x.screen().root.query_tree().children:
                g, scaled = window.get_geometry(), {(int(w * scale), int(h * scale)): (w, h) for w, h in sizes or [(640, 480)]}
                if window.get_wm_name() == TITLE and (g.width, g.height) in scaled:
                    data = window.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xffffffff).data
                    bgr = bytearray(3 * g.width * g.height)
                    bgr[0::3], bgr[1::3], bgr[2::3] = data[0::4], data[1::4], data[2::4]
                    w, h = scaled[(g.width, g.height)]
                    cols = [3 * int((c + 0.5) * scale) for c in range(w)]
                    rows = [bytes(bgr[i:i + 3 * w]) if scale == 1 else b"".join(bgr[i + c:i + c + 3] for c in cols)
                            for i in (3 * g.width * int((y + 0.5) * scale) for y in range(h))]
                    if shows(rows):
                        window.set_input_focus(X.RevertToParent, X.CurrentTime)
                        return x.sync() or rows
        except xerror.XError:
            pass  # a window went away while we looked
        time.sleep(0.05)
    raise AssertionError("no %s (the game's status: %s)" % (what, game.poll()))


def tile(rows, px, py):
    return next((c for c in range(5) if all(rows[py + j][3 * px:3 * px + 3 * TILE] == tiles[c][j]
                                           for j in range(TILE))), None)


# The menu: left of the three items, the marker tile 4 beside the selected one, 0 beside the others.
def menu(selected):
    marks = lambda rows: [c for c in (tile(rows, 35, y) for y in range(445)) if c in (0, 4)]
    screen(lambda rows: marks(rows) == [4 * (i == selected) for i in range(3)],
           "the menu with item %d selected" % selected)


# The n x n board with the cells listed at colour 1, the others at 0, and the goal tile 1.
def board(ones, n):
    cells = lambda rows: all(tile(rows, 35 + TILE * cx, 100 + TILE * cy) == ((cx, cy) in ones)
                             for cx in range(n) for cy in range(n))
    screen(lambda rows: tile(rows, 453, 13) == 1 and cells(rows),
           "%d x %d board with %s at 1" % (n, n, ones), (700, 765 if n == 18 else 480))


# The cells of a 4 x 4 board whose top-left corner shows the hint's magenta mark.
marked = lambda rows: [(cx, cy) for cy in range(4) for cx in range(4)
                       if near(rows, BOARD[0] + TILE * cx + 1, BOARD[1] + TILE * cy + 1, (255, 0, 255))]


def near(rows, px, py, rgb):
    return all(abs(a - b) < 16 for a, b in zip(rows[py][3 * px:3 * px + 3], reversed(rgb)))


# Runs xdotool, then waits for the menu with item `then` selected.
def xdotool(*args, then=None):
    subprocess.run(["xdotool", *map(str, args)], check=True, env=env)
    then is None or menu(then)


def click(left, top, cx, cy):
    xdotool("mousemove", "--window", window.id, "--sync", int((left + TILE * cx + 17) * scale),
            int((top + TILE * cy + 17) * scale), "click", 1)


def start(**variables):
    global game, scale
    scale = float(variables.get("SDL12COMPAT_WINDOW_SCALING", 2.5))
    open(os.path.join(run, "rc", "motif.txt"), "w").write("0 1 0 \n1 1 1 \n0 1 0 \n")
    game = subprocess.Popen([os.path.abspath(sys.argv[1])], cwd=run, env=dict(env, **variables), stdin=subprocess.DEVNULL)


run = os.path.join(tempfile.mkdtemp(prefix="kelvo-e2e-"), "run")
read = lambda name: open(os.path.join(run, name), newline="").read()
shutil.copytree(sys.argv[2], run, ignore=shutil.ignore_patterns("trace.txt"))
tiles = [bmp(str(c)) for c in range(5)]
read_end, write_end = os.pipe()
server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", "3840x2160x24"],
                          pass_fds=[write_end], stderr=subprocess.DEVNULL)
os.close(write_end)
# Leaks are left to the unit tests: the X libraries keep blocks the leak checker cannot trace.
env = dict(os.environ, DISPLAY=":" + os.fdopen(read_end).readline().strip(), SDL_VIDEODRIVER="x11",
           ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
env.pop("SDL12COMPAT_WINDOW_SCALING", None)
game, x = None, xdisplay.Display(env["DISPLAY"])
try:
    # Without a display, with one that cannot be reached, or without a video driver, the game says so
    # in one line of its own and exits with status 1. (Without XDG_RUNTIME_DIR, which a login session
    # has, Wayland's library would add a line of its own.)
    bare = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    for variables in ({"XDG_RUNTIME_DIR": run}, {"DISPLAY": ":999"}, {"SDL_VIDEODRIVER": "no-such-driver"}):
        ended = subprocess.run([os.path.abspath(sys.argv[1])], cwd=run, env=dict(bare, **variables), timeout=60,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        err = ended.stderr.decode()
        assert ended.returncode == 1 and re.fullmatch(r"kelvo: .*: .+\n", err), (variables, ended.returncode, err)
    start(SDL12COMPAT_WINDOW_SCALING="1")
    screen(bmp("start").__eq__, "the start picture")
    xdotool("key", "space", then=0)
    xdotool("key", "Return")  # the default game: 4 x 4, two colours, the cross; won in ten moves
    board([], 4)
    # A move taken back, played again, every move taken back, the move replayed, another board.
    plus = [(1, 1), (0, 1), (2, 1), (1, 0), (1, 2)]
    click(*BOARD, 1, 1)
    board(plus, 4)
    for key, ones in (("ctrl+z", []), ("ctrl+y", plus), ("r", []), ("ctrl+shift+z", plus), ("n", [])):
        xdotool("key", key)
        board(ones, 4)
    assert read("trace.txt") == "0 0 0 0 \n" * 4, read("trace.txt")
    # The keys' panel, opened by F1 or ?, closed by a click or Escape that does nothing else.
    for key, close in (("F1", lambda: click(*BOARD, 3, 3)), ("question", lambda: xdotool("key", "Escape"))):
        xdotool("key", key)
        screen(lambda rows: near(rows, BOARD[0] + 2, BOARD[1] + 2, (164, 152, 240)), "the keys", (700, 480))
        close()
        board([], 4)
    for cell in [(0, 0), (1, 0), (2, 0), (3, 0), (0, 1), (3, 1), (0, 2), (1, 2), (2, 2), (3, 2)]:
        click(*BOARD, *cell)
    win = bmp("win")  # under a message in its top 100 rows
    screen(lambda rows: rows[100:] == win[100:] and rows[:100] != win[:100], "the victory screen")
    assert read("trace.txt") == "1 1 1 1 \n1 0 0 1 \n1 1 1 1 \n0 0 0 0 \n", read("trace.txt")
    xdotool("key", "space", then=0)
    xdotool("key", "Down", "Return")  # the size from 4 to 18
    screen(lambda rows: b"\x82\xe6\x82" in b"".join(rows), "the configuration, a line highlighted")
    xdotool("key", *["Right"] * 14, "Escape", then=1)
    xdotool("key", "Down", "Return")  # a lopsided motif made, saved and played on 18 x 18
    shown = [0, 1, 0, 1, 1, 1, 0, 1, 0]
    motif = lambda rows: [tile(rows, MOTIF[0] + TILE * a, MOTIF[1] + TILE * b)
                          for a in range(3) for b in range(3)]
    screen(lambda rows: motif(rows) == shown, "the editor showing the cross")
    for a, b in ((1, 1), (2, 0), (0, 1)):
        shown[3 * a + b] ^= 1
        click(*MOTIF, a, b)
    screen(lambda rows: motif(rows) == shown, "the editor showing %s" % shown)
    xdotool("key", "Return", then=2)
    assert read("rc/motif.txt") == "0 0 0 \n1 0 1 \n1 1 0 \n", read("rc/motif.txt")
    xdotool("key", "Up", "Up", "Return")
    board([], 18)
    click(*BOARD, 6, 9)  # above, below, above right, right
    click(*BOARD, 17, 0)  # in the top right corner: below only
    board([(6, 8), (6, 10), (7, 8), (7, 9), (17, 1)], 18)
    row = lambda one: "".join("%d " % (cx == one) for cx in range(18)) + "\n"
    assert read("trace.txt") == row(17) + row(-1) * 8 + row(6) + row(-1) * 8, read("trace.txt")
    xdotool("key", "Escape", then=0)
    # The close request a window manager sends when the player closes the window.
    window.send_event(xevent.ClientMessage(window=window, client_type=x.intern_atom("WM_PROTOCOLS"),
                      data=(32, [x.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
    x.flush()
    assert game.wait(timeout=60) == 0, "status %d after the close request" % game.returncode

    start()  # every window 2.5 times its size: the menu's 1600 x 1200
    screen(lambda rows: True, "the start picture")
    xdotool("key", "space", "Return")  # the default game: 4 x 4, two colours, the cross
    # Painted once the game is ready: the frame round the board shows.
    screen(lambda rows: near(rows, BOARD[0] - 2, BOARD[1] - 2, (164, 152, 240)), "the 4 x 4 game", (700, 480))
    for clicks in range(1, 17):
        xdotool("key", "h")
        cell = marked(screen(lambda rows: len(marked(rows)) == 1, "a cell marked after H", (700, 480)))[0]
        click(*BOARD, *cell)
        # The victory's own window, or the board with the mark gone and the click in trace.txt.
        rows = screen(lambda rows: len(rows[0]) == 3 * 640 or not marked(rows), "the window after click %d" % clicks,
                      (640, 480), (700, 480))
        one = "".join("".join("%d " % ((cx, cy) == cell) for cx in range(4)) + "\n" for cy in range(4))
        assert clicks > 1 or read("trace.txt") == one, read("trace.txt")
        if len(rows[0]) == 3 * 640:
            break
    assert len(rows[0]) == 3 * 640, "no victory after 16 clicks"
finally:
    game and game.kill()
    server.kill()
    shutil.rmtree(os.path.dirname(run))
