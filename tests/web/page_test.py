# The browser's build in headless Chromium, driven by Selenium, served from 127.0.0.1: the start
# picture, the menu, a game read back from the canvas (a tap, the page's buttons for undo and
# redo, clicks to a victory), a motif saved in the editor and found again after the end of the
# game and a reload, and no error in the console. What each key does, pixel for pixel, the
# screen tests check. Prints the site's size, the time to the first picture and the median time
# from a click on 18 x 18 to its repaint.
#   python3 page_test.py path/to/site screenshot.png
import functools, http.server, os, shutil, statistics, sys, tempfile, threading, time
from selenium import webdriver
from selenium.webdriver import ActionChains, Keys
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput

PROBE = open(os.path.join(os.path.dirname(__file__), "probe.js")).read()
# Ten clicks that win the default game (4 x 4, two colours, the cross), and the trace they leave.
WINNING = [(0, 0), (1, 0), (2, 0), (3, 0), (0, 1), (3, 1), (0, 2), (1, 2), (2, 2), (3, 2)]
WON_TRACE = "1 1 1 1 \n1 0 0 1 \n1 1 1 1 \n0 0 0 0 \n"
CORNER = [1, 1, 0, 0, 1] + [0] * 11  # the board after the first of them
# The browser d is passed to each step; these read the canvas through the probe and act as a player.
js = lambda d, call: d.execute_async_script(PROBE + "probe.%s.then(arguments[0])" % call)
key = lambda d, *keys: ActionChains(d).send_keys(*keys).perform()
press = lambda d, xpath: d.find_element("xpath", xpath).click()  # a button of the page
shown = lambda d, what: wait(lambda: d.execute_script("return Module.firstPictureMs"), what)


def wait(check, what):
    for _ in range(600):  # at least 30 s
        if value := check():
            return value
        time.sleep(0.05)
    raise AssertionError("no %s" % what)


def click(d, left, top, x, y, touch=False):  # a cell of the board or of the motif, mouse or finger
    canvas = d.find_element("id", "canvas")
    w, h = canvas.size["width"], canvas.size["height"]
    s = w / d.execute_script("return arguments[0].width", canvas)
    pointer = PointerInput(*(["touch", "finger"] if touch else ["mouse", "mouse"]))
    actions = ActionBuilder(d, mouse=pointer)
    actions.pointer_action.move_to(canvas, int((left + 35 * x + 17) * s - w / 2),
                                   int((top + 35 * y + 17) * s - h / 2)).click()
    actions.perform()


def board(d, n, cells=None):  # the colours row by row, once as asked
    seen = lambda b: cells in (None, b["cells"]) and b
    return wait(lambda: seen(js(d, "board(%d)" % n)), "%d x %d board %s" % (n, n, cells))


def menu(d, selected):  # the marker tile 4 beside the selected item, 0 beside the others
    corners, cells = [[35, 100 + 50 * i] for i in range(3)], [4 * (i == selected) for i in range(3)]
    wait(lambda: js(d, "tiles(%s)" % corners)["cells"] == cells, "the menu, item %d" % selected)


def motif(d, cells):
    corners = [[267 + 35 * a, 100 + 35 * b] for a in range(3) for b in range(3)]
    wait(lambda: js(d, "tiles(%s)" % corners)["cells"] == cells, "the editor showing %s" % cells)


# The walk; prints the site's size, the time to the first picture and the click times.
def walk(d, url, shot):
    d.get(url)
    first = shown(d, "first picture")
    size, elsewhere = js(d, "loaded()")
    assert not elsewhere, elsewhere
    assert d.switch_to.active_element.get_attribute("id") == "canvas", "the canvas has no focus"
    wait(lambda: js(d, "shows('start', 0, 0, 640, 480)"), "the start picture")
    key(d, Keys.SPACE)
    menu(d, 0)
    key(d, Keys.ENTER)
    board(d, 4, [0] * 16)
    click(d, 35, 100, 0, 0, touch=True)  # a tap, undone and done again by the page's buttons
    board(d, 4, CORNER)
    press(d, "//nav/button[text()='annuler']")
    board(d, 4, [0] * 16)
    press(d, "//nav/button[text()='refaire']")  # Ctrl+Y, pressed by the page
    board(d, 4, CORNER)
    for cell in WINNING[1:]:
        click(d, 35, 100, *cell)
    wait(lambda: js(d, "shows('win', 0, 100, 640, 380, 0, 100)"), "the victory")
    trace = d.execute_script("return FS.readFile('/trace.txt', {encoding: 'utf8'})")
    assert trace == WON_TRACE, trace
    press(d, "//nav/button[text()='Entree']")
    menu(d, 0)
    key(d, Keys.DOWN, Keys.DOWN, Keys.ENTER)  # the cross less its centre, kept by the browser
    motif(d, [0, 1, 0, 1, 1, 1, 0, 1, 0])
    click(d, 267, 100, 1, 1)
    key(d, Keys.ENTER)
    menu(d, 2)
    wait(lambda: js(d, "stored()") == "0 1 0 \n1 0 1 \n0 1 0 \n", "the motif in the storage")
    # An 18 x 18 torus of five colours: the time from a click to the repainted canvas.
    key(d, Keys.UP, Keys.ENTER, *[Keys.RIGHT] * 14, Keys.DOWN, *[Keys.RIGHT] * 3, Keys.DOWN,
        Keys.DOWN, Keys.RIGHT, Keys.ESCAPE)
    menu(d, 1)
    key(d, Keys.UP, Keys.ENTER)
    board(d, 18, [0] * 324)
    times = js(d, "clickTimes(50)")
    assert 0 < board(d, 18)["cells"].count(0) < 324
    os.makedirs(os.path.dirname(os.path.abspath(shot)), exist_ok=True)
    d.save_screenshot(shot)
    key(d, Keys.ESCAPE)  # to the menu, where the page's close button ends the game
    press(d, "//button[@id='close']")
    wait(lambda: d.find_element("id", "over").is_displayed(), "the end of the game")
    press(d, "//button[@id='again']")  # played again, the game finds the motif
    shown(d, "first picture after a reload")
    key(d, Keys.ENTER, Keys.DOWN, Keys.DOWN, Keys.ENTER)
    motif(d, [0, 1, 0, 1, 0, 1, 0, 1, 0])
    log = d.get_log("browser")
    assert not [e for e in log if e["level"] == "SEVERE"], log
    print("site size: %d bytes, all that the page loads\nfirst picture: %.0f ms after opening"
          " the page\nclick to repaint on 18 x 18: median %.2f ms of %d (min %.2f, max %.2f)" % (
              size, first, statistics.median(times), len(times), min(times), max(times)))


def main(site, shot):
    assert os.path.isfile(os.path.join(site, "index.html")), "no site in %s: tools/web" % site
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(http.server.SimpleHTTPRequestHandler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    profile, options = tempfile.mkdtemp(prefix="kelvo-web-"), webdriver.ChromeOptions()
    for flag in ("headless", "no-sandbox", "disable-gpu", "disable-quic", "no-first-run",
                 "disable-sync", "disable-background-networking", "disable-component-update",
                 "window-size=960,1080", "user-data-dir=" + profile):
        options.add_argument("--" + flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(options=options)
    try:
        walk(driver, "http://127.0.0.1:%d/" % server.server_address[1], shot)
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
