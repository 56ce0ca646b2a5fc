# The game on a 3840 x 2160 screen: every window 2.5 times its size, a click at the scaled place
# of a cell plays that cell, and following the hint (H, then a click on the marked cell, again
# and again) wins a 4 x 4 game.
#   python3 scale_test.py path/to/kelvo path/to/run-dir
import os, shutil, subprocess, sys, tempfile, time
from Xlib import X, display as xdisplay, error as xerror

SCALE, TILE, BOARD, TITLE = 2.5, 35, (35, 100), "Le Jeu du Kelvo - Vorlane 2010"
MENU, GAME = (1600, 1200), (1750, 1200)  # 640 x 480 and 700 x 480, scaled


# Waits for a window of the game of one of the sizes whose pixels, read at the game's own
# coordinates, satisfy shows(pixel, size); focuses it and returns it with its pixels and size.
def window(sizes, what, shows=lambda pixel, size: True):
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline and game.poll() is None:
        try:
            for w in x.screen().root.query_tree().children:
                size = (w.get_geometry().width, w.get_geometry().height)
                if w.get_wm_name() == TITLE and size in sizes:
                    data = w.get_image(0, 0, *size, X.ZPixmap, 0xffffffff).data
                    at = lambda px, py: 4 * (int((py + 0.5) * SCALE) * size[0] + int((px + 0.5) * SCALE))
                    pixel = lambda px, py: (data[at(px, py) + 2], data[at(px, py) + 1], data[at(px, py)])
                    if shows(pixel, size):
                        w.set_input_focus(X.RevertToParent, X.CurrentTime)
                        return x.sync() or w, pixel, size
        except xerror.XError:
            pass  # a window went away while we looked
        time.sleep(0.05)
    raise AssertionError("no %s (the game's status: %s)" % (what, game.poll()))


# The cells whose top-left corner shows the hint's magenta mark.
def marked(pixel):
    return [(cx, cy) for cy in range(4) for cx in range(4)
            if all(abs(a - b) < 16 for a, b in zip(pixel(BOARD[0] + TILE * cx + 1, BOARD[1] + TILE * cy + 1), (255, 0, 255)))]


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, env=env)


run = os.path.join(tempfile.mkdtemp(prefix="kelvo-e2e-"), "run")
read = lambda name: open(os.path.join(run, name)).read() if os.path.exists(os.path.join(run, name)) else ""
shutil.copytree(sys.argv[2], run, ignore=shutil.ignore_patterns("trace.txt"))
open(os.path.join(run, "rc", "motif.txt"), "w").write("0 1 0 \n1 1 1 \n0 1 0 \n")
read_end, write_end = os.pipe()
server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", "3840x2160x24"],
                          pass_fds=[write_end], stderr=subprocess.DEVNULL)
os.close(write_end)
env = dict(os.environ, DISPLAY=":" + os.fdopen(read_end).readline().strip(), SDL_VIDEODRIVER="x11",
           ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
env.pop("SDL12COMPAT_WINDOW_SCALING", None)
game = subprocess.Popen([os.path.abspath(sys.argv[1])], cwd=run, env=env, stdin=subprocess.DEVNULL)
x = xdisplay.Display(env["DISPLAY"])
try:
    window([MENU], "the start picture in a window of 1600 x 1200")
    xdotool("key", "space", "Return")  # the default game: 4 x 4, two colours, the cross
    # Painted once the game is ready: the frame round the board shows.
    board, pixel, size = window([GAME], "the 4 x 4 game in a window of 1750 x 1200", lambda p, _: all(
        abs(a - b) < 16 for a, b in zip(p(BOARD[0] - 2, BOARD[1] - 2), (164, 152, 240))))
    cell, clicks, trace = (1, 2), 0, lambda: read("trace.txt")
    while size == GAME:
        assert clicks < 16, "no victory after %d clicks" % clicks
        xdotool("mousemove", "--window", board.id, "--sync", int((BOARD[0] + TILE * cell[0] + 17) * SCALE),
                int((BOARD[1] + TILE * cell[1] + 17) * SCALE), "click", 1)
        clicks += 1
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and sum(map(int, trace().split() or [0])) != clicks:
            time.sleep(0.05)
        assert clicks > 1 or trace() == "0 0 0 0 \n0 0 0 0 \n0 1 0 0 \n0 0 0 0 \n", trace()
        # The victory's own window, or the board with the mark gone; then H marks the next cell.
        board, pixel, size = window([MENU, GAME], "the board after click %d" % clicks,
                                    lambda p, size: size == MENU or not marked(p))
        if size == GAME:
            xdotool("key", "h")
            board, pixel, size = window([GAME], "a cell marked after H", lambda p, _: len(marked(p)) == 1)
            cell = marked(pixel)[0]
finally:
    game.kill()
    server.kill()
    shutil.rmtree(os.path.dirname(run))
