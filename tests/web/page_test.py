# The browser's build in headless Chromium, driven by Selenium, served from 127.0.0.1: the start
# picture, the menu, a game read back from the canvas (a click, H, undo by the page's button, a
# tap, the hints followed to a victory), a motif saved in the editor and found again after the end
# of the game and a reload, and no error in the console. Prints the site's size, the time to the
# first picture and the median time from a click on 18 x 18 to its repaint.
#   python3 page_test.py path/to/site screenshot.png
import functools, http.server, os, shutil, statistics, sys, tempfile, threading, time
from selenium import webdriver
from selenium.webdriver import ActionChains, Keys
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput

site, shot = sys.argv[1:]
PROBE = open(os.path.join(os.path.dirname(__file__), "probe.js")).read()
assert os.path.isfile(os.path.join(site, "index.html")), "no site in %s: tools/web builds it" % site



js = lambda call: driver.execute_async_script(PROBE + "probe.%s.then(arguments[0])" % call)
key = lambda *keys: ActionChains(driver).send_keys(*keys).perform()
press = lambda xpath: driver.find_element("xpath", xpath).click()  # a button of the page
shown = lambda what: wait(lambda: driver.execute_script("return Module.firstPictureMs"), what)


def wait(check, what):
    for _ in range(600):  # at least 30 s
        if value := check():
            return value
        time.sleep(0.05)
    raise AssertionError("no %s" % what)


def click(left, top, x, y, touch=False):  # a cell of the board or of the motif, by mouse or finger
    canvas = driver.find_element("id", "canvas")
    s = canvas.size["width"] / driver.execute_script("return arguments[0].width", canvas)
    actions = ActionBuilder(driver, mouse=PointerInput(*(["touch", "finger"] if touch else ["mouse", "mouse"])))
    actions.pointer_action.move_to(canvas, int((left + 35 * x + 17) * s - canvas.size["width"] / 2),
                                   int((top + 35 * y + 17) * s - canvas.size["height"] / 2)).click()
    actions.perform()


def board(n, cells=None, marked=None):  # the colours row by row and the marked cells, once as asked
    seen = lambda b: b if cells in (None, b["cells"]) and marked in (None, len(b["marked"])) else None
    return wait(lambda: seen(js("board(%d)" % n)), "%d x %d board %s" % (n, n, cells))


tiles = lambda corners, cells, what: wait(lambda: js("tiles(%s)" % corners)["cells"] == cells, what)
menu = lambda selected: tiles([[35, 100 + 50 * i] for i in range(3)], [4 * (i == selected) for i in range(3)],
                              "the menu, item %d selected" % selected)
motif = lambda cells: tiles([[267 + 35 * a, 100 + 35 * b] for a in range(3) for b in range(3)], cells,
                            "the editor showing %s" % cells)
server = http.server.ThreadingHTTPServer(
    ("127.0.0.1", 0), functools.partial(http.server.SimpleHTTPRequestHandler, directory=site))
threading.Thread(target=server.serve_forever, daemon=True).start()
url, profile = "http://127.0.0.1:%d/" % server.server_address[1], tempfile.mkdtemp(prefix="kelvo-web-")
options = webdriver.ChromeOptions()
for flag in ("headless", "no-sandbox", "disable-gpu", "disable-quic", "no-first-run", "disable-sync", "disable-"
             "background-networking", "disable-component-update", "window-size=960,1080", "user-data-dir=" + profile):
    options.add_argument("--" + flag)
options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
driver = webdriver.Chrome(options=options)
try:
    driver.get(url)
    first = shown("first picture")
    size, elsewhere = js("loaded()")
    assert not elsewhere, elsewhere
    assert driver.switch_to.active_element.get_attribute("id") == "canvas", "the canvas has no focus"
    wait(lambda: js("shows('start', 0, 0, 640, 480)"), "the start picture")
    key(Keys.SPACE)
    menu(0)
    key(Keys.ENTER)  # the default game: 4 x 4, two colours, the cross
    board(4, [0] * 16)
    click(35, 100, 1, 1)
    crossed = [int(abs(x - 1) + abs(y - 1) <= 1) for y in range(4) for x in range(4)]
    board(4, crossed)
    key("h")
    board(4, crossed, marked=1)
    press("//nav/button[text()='annuler']")
    board(4, [0] * 16, marked=0)
    press("//nav/button[text()='refaire']")  # Ctrl+Y, pressed by the page
    board(4, crossed, marked=0)
    key(Keys.BACKSPACE)
    board(4, [0] * 16, marked=0)
    for clicks in range(1, 17):  # the hints followed, the first by a tap
        key("h")
        click(35, 100, *board(4, marked=1)["marked"][0], touch=clicks == 1)
        if wait(lambda: (lambda b: b["width"] == 640 and "won" or not b["marked"] and "played")(js("board(4)")),
                "the board or the victory after a click") == "won":
            break
    wait(lambda: js("shows('win', 0, 100, 640, 380, 0, 100)"), "the victory")
    trace = driver.execute_script("return FS.readFile('/trace.txt', {encoding: 'utf8'})")
    assert sum(map(int, trace.split())) == clicks and len(trace.split("\n")) == 5, trace
    press("//nav/button[text()='Entree']")
    menu(0)
    key(Keys.DOWN, Keys.DOWN, Keys.ENTER)  # the cross less its centre, kept by the browser
    motif([0, 1, 0, 1, 1, 1, 0, 1, 0])
    click(267, 100, 1, 1)
    key(Keys.ENTER)
    menu(2)
    wait(lambda: js("stored()") == "0 1 0 \n1 0 1 \n0 1 0 \n", "the motif in the browser's storage")
    # An 18 x 18 torus of five colours: the time from a click to the repainted canvas.
    key(Keys.UP, Keys.ENTER, *[Keys.RIGHT] * 14, Keys.DOWN, *[Keys.RIGHT] * 3, Keys.DOWN, Keys.DOWN, Keys.RIGHT,
        Keys.ESCAPE)
    menu(1)
    key(Keys.UP, Keys.ENTER)
    board(18, [0] * 324)
    times = js("clickTimes(50)")
    assert 0 < board(18)["cells"].count(0) < 324
    os.makedirs(os.path.dirname(os.path.abspath(shot)), exist_ok=True)
    driver.save_screenshot(shot)
    key(Keys.ESCAPE)  # to the menu, where the page's close button ends the game
    # Played again, the game finds the motif.
    press("//button[@id='close']")
    wait(lambda: driver.find_element("id", "over").is_displayed(), "the end of the game")
    press("//button[@id='again']")
    shown("first picture after a reload")
    key(Keys.ENTER, Keys.DOWN, Keys.DOWN, Keys.ENTER)
    motif([0, 1, 0, 1, 0, 1, 0, 1, 0])
    assert not [e for e in driver.get_log("browser") if e["level"] == "SEVERE"], driver.get_log("browser")
    print("site size: %d bytes, all that the page loads\nfirst picture: %.0f ms after opening the page" % (size, first))
    print("click to repaint on 18 x 18: median %.2f ms of %d (min %.2f, max %.2f)" % (
        statistics.median(times), len(times), min(times), max(times)))
finally:
    driver.quit()
    shutil.rmtree(profile, ignore_errors=True)
