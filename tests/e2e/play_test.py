# The real game without a display, then in a private X server (Xvfb) of 3840 x 2160, played with
# xdotool as a player would: every screen, the saved files, the window's close request and the
# window scale. What each key and click does, pixel for pixel, the screen tests check; every wait
# here polls the window's pixels with a generous time limit.
#   python3 play_test.py path/to/kelvo path/to/run-dir
import os, re, shutil, struct, subprocess, sys, tempfile, time
from Xlib import X, display as xdisplay, error as xerror
from Xlib.protocol import event as xevent

TILE, BOARD, MOTIF, TITLE = 35, (35, 100), (267, 100), "Le Jeu du Kelvo - Vorlane 2010"
FRAME = (164, 152, 240)  # round the board, and the keys' panel
# A shared board's code: 5 x 5, three colours, bounded, the motif the clicked cell alone, and the
# start below (rows top first); the clicks that win it and the trace they leave.
SHARED = "15K03W5DZJG6WZ3"
SHARED_ROWS = ["12221", "20222", "22222", "22222", "22222"]
SHARED_WIN = [(0, 0), (1, 1), (1, 1), (4, 0)]
SHARED_TRACE = "1 0 0 0 1 \n0 2 0 0 0 \n" + "0 0 0 0 0 \n" * 3


def near(rows, px, py, rgb):
    return all(abs(a - b) < 16 for a, b in zip(rows[py][3 * px:3 * px + 3], reversed(rgb)))


# The rows of a 24-bit picture, top row first, as blue-green-red bytes.
def bmp(path):
    data = open(path, "rb").read()
    (offset,), (w, h) = struct.unpack_from("<I", data, 10), struct.unpack_from("<ii", data, 18)
    stride = (3 * w + 3) // 4 * 4
    return [data[offset + i * stride:offset + i * stride + 3 * w] for i in reversed(range(h))]


# The game in its run directory on the X server, and the window it last showed.
class Player:
    def __init__(self, program, run, env):
        self.program, self.run, self.env = program, run, env
        self.x = xdisplay.Display(env["DISPLAY"])
        self.tiles = [self.picture(str(c)) for c in range(5)]
        self.game, self.window, self.scale = None, None, 1

    def read(self, name):
        return open(os.path.join(self.run, name), newline="").read()

    def picture(self, name):
        return bmp(os.path.join(self.run, "rc", name + ".bmp"))

    def start(self, *args, **variables):
        self.scale = float(variables.get("SDL12COMPAT_WINDOW_SCALING", 2.5))
        self.game = subprocess.Popen([self.program, *args], cwd=self.run,
                                     env=dict(self.env, **variables), stdin=subprocess.DEVNULL,
                                     stderr=subprocess.PIPE, text=True)

    # Waits for a window of the game of the size given (its own, before scaling) to show what
    # shows(rows) accepts, and focuses it. The rows hold the window's own pixels, top row first,
    # as blue-green-red bytes, each read at its centre in the scaled window.
    def screen(self, shows, what, size=(640, 480)):
        s, deadline = self.scale, time.monotonic() + 60
        while time.monotonic() < deadline and self.game.poll() is None:
            try:
                for window in self.x.screen().root.query_tree().children:
                    g, (w, h) = window.get_geometry(), size
                    if window.get_wm_name() != TITLE or (g.width, g.height) != (w * s, h * s):
                        continue
                    data = window.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xffffffff).data
                    bgr = bytearray(3 * g.width * g.height)
                    bgr[0::3], bgr[1::3], bgr[2::3] = data[0::4], data[1::4], data[2::4]
                    cols = [3 * int((c + 0.5) * s) for c in range(w)]
                    starts = [3 * g.width * int((y + 0.5) * s) for y in range(h)]
                    rows = [bytes(bgr[i:i + 3 * w]) if s == 1 else
                            b"".join(bgr[i + c:i + c + 3] for c in cols) for i in starts]
                    if shows(rows):
                        self.window = window
                        window.set_input_focus(X.RevertToParent, X.CurrentTime)
                        return self.x.sync()
            except xerror.XError:
                pass  # a window went away while we looked
            time.sleep(0.05)
        raise AssertionError("no %s (the game's status: %s)" % (what, self.game.poll()))

    # The tile at cell (cx, cy) of a block whose top-left corner is (px, py); None if no tile.
    def tile(self, rows, px, py, cx=0, cy=0):
        px, py = px + TILE * cx, py + TILE * cy
        return next((c for c in range(5) if all(rows[py + j][3 * px:3 * px + 3 * TILE]
                                                == self.tiles[c][j] for j in range(TILE))), None)

    # The menu: left of the three items, marker tile 4 beside the selected one, 0 beside the others.
    def menu(self, selected):
        marks = lambda rows: [c for c in map(lambda y: self.tile(rows, 35, y), range(445))
                              if c in (0, 4)]
        self.screen(lambda rows: marks(rows) == [4 * (i == selected) for i in range(3)],
                    "the menu with item %d selected" % selected)

    # Runs xdotool, then waits for the menu with item `then` selected.
    def xdotool(self, *args, then=None):
        subprocess.run(["xdotool", *map(str, args)], check=True, env=self.env)
        then is None or self.menu(then)

    # The colour of the board's cell (cx, cy) by one pixel of its tile's body, which stays near its
    # own in a scaled window; None if no tile's.
    def colour(self, rows, cx, cy):
        x, y = BOARD[0] + TILE * cx + 6, BOARD[1] + TILE * cy + 17
        near = lambda c: all(abs(a - b) < 16 for a, b in zip(rows[y][3 * x:3 * x + 3],
                                                             self.tiles[c][17][18:21]))
        return next((c for c in range(5) if near(c)), None)

    def click(self, left, top, cx, cy):
        at = [int((corner + TILE * c + 17) * self.scale) for corner, c in ((left, cx), (top, cy))]
        self.xdotool("mousemove", "--window", self.window.id, "--sync", *at, "click", 1)


# With a display that cannot be reached, or without a video driver, the game says so in one line
# of its own and exits with status 1. (Without any display, the installation's test sees the same.)
def without_display(program, run):
    bare = {k: v for k, v in os.environ.items()
            if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    for variables in ({"DISPLAY": ":999"}, {"SDL_VIDEODRIVER": "no-such-driver"}):
        ended = subprocess.run([program], cwd=run, env=dict(bare, **variables), timeout=60,
                               stdin=subprocess.DEVNULL, capture_output=True)
        err = ended.stderr.decode()
        assert ended.returncode == 1 and re.fullmatch(r"kelvo: .*: .+\n", err), (variables, err)


# At the player's scale of 1, pixel for pixel: the start picture, the menu, the configuration,
# the motif's top-right tile switched and saved in the editor; then the window's close request. A
# mistyped code on the command line gets its line on stderr, and the game starts as without it.
def menus_at_scale_one(p):
    p.start(SHARED[:-1] + "4", SDL12COMPAT_WINDOW_SCALING="1")
    p.screen(p.picture("start").__eq__, "the start picture")
    p.xdotool("key", "space", then=0)
    p.xdotool("key", "Down", "Return")
    p.screen(lambda rows: b"\x82\xe6\x82" in b"".join(rows), "the configuration, a line lit")
    p.xdotool("key", "Escape", then=1)
    p.xdotool("key", "Down", "Return")
    motif = lambda rows: [p.tile(rows, *MOTIF, a, b) for a in range(3) for b in range(3)]
    p.screen(lambda rows: motif(rows) == [0, 1, 0, 1, 1, 1, 0, 1, 0], "the editor, the cross")
    p.click(*MOTIF, 2, 0)
    p.screen(lambda rows: motif(rows) == [0, 1, 0, 1, 1, 1, 1, 1, 0], "the editor, a tile lit")
    p.xdotool("key", "Return", then=2)
    assert p.read("rc/motif.txt") == "0 1 0 \n1 1 1 \n1 1 0 \n", p.read("rc/motif.txt")
    # The close request a window manager sends when the player closes the window.
    protocols, delete = p.x.intern_atom("WM_PROTOCOLS"), p.x.intern_atom("WM_DELETE_WINDOW")
    p.window.send_event(xevent.ClientMessage(window=p.window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0])))
    p.x.flush()
    assert p.game.wait(timeout=60) == 0, "status %d after the close request" % p.game.returncode
    err = p.game.stderr.read()
    assert err.startswith("kelvo: Code du plateau refusé : il a été mal recopié"), err


# At the scale the game chooses, every window 2.5 times its size, `kelvo CODE`: after the start
# picture the shared board at once; the keys' panel opened by "?" (a character only a real keyboard
# gives) and closed, then clicks at the scaled place of each cell win it with its own motif, and
# trace.txt has them; the motif file stays as it was.
def game_at_chosen_scale(p):
    motif = p.read("rc/motif.txt")
    p.start(SHARED)
    p.screen(lambda rows: True, "the start picture")
    p.xdotool("key", "space")
    panel = lambda rows: near(rows, BOARD[0] + 2, BOARD[1] + 2, FRAME)
    shown = lambda rows: not panel(rows) and SHARED_ROWS == [
        "".join(str(p.colour(rows, x, y)) for x in range(5)) for y in range(5)]
    p.screen(shown, "the shared board", (700, 480))
    p.xdotool("key", "question")
    p.screen(panel, "the keys' panel", (700, 480))
    p.xdotool("key", "Escape")
    p.screen(shown, "the shared board again", (700, 480))
    for cell in SHARED_WIN:
        p.click(*BOARD, *cell)
    p.screen(lambda rows: True, "the victory's own window")
    assert p.read("trace.txt") == SHARED_TRACE, p.read("trace.txt")
    assert p.read("rc/motif.txt") == motif


def main(program, run_dir):
    run = os.path.join(tempfile.mkdtemp(prefix="kelvo-e2e-"), "run")
    shutil.copytree(run_dir, run, ignore=shutil.ignore_patterns("trace.txt"))
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                               "-screen", "0", "3840x2160x24"],
                              pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    # Leaks are left to the unit tests: the X libraries keep blocks the leak checker cannot trace.
    env = dict(os.environ, DISPLAY=":" + os.fdopen(read_end).readline().strip(),
               SDL_VIDEODRIVER="x11",
               ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    env.pop("SDL12COMPAT_WINDOW_SCALING", None)
    player = None
    try:
        without_display(program, run)
        player = Player(program, run, env)
        game_at_chosen_scale(player)
        menus_at_scale_one(player)
    finally:
        player and player.game and player.game.kill()
        server.kill()
        shutil.rmtree(os.path.dirname(run))


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1]), sys.argv[2])
