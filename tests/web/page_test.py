# The browser's build in headless Chromium, driven by Selenium, served from 127.0.0.1: the start
# picture, the menu, a game read back from the canvas (a tap, the page's buttons for undo and
# redo, clicks to a victory), a motif saved in the editor and found again after the end of the
# game and a reload, and no error in the console. Then links: a board's code played to a victory
# with its own motif and shared, the board of the day of fixed dates and of today as kelvo-solve
# gives it, its result shared, a mistyped code's line. Then the page at six screen sizes, phones
# with touch, its installability, a visit with the server stopped and the visits after a new
# build. What each key does, pixel for pixel, the screen tests check. Prints the site's size, the
# time to the first picture and the median time from a click on 18 x 18 to its repaint.
#   python3 page_test.py path/to/site screenshot/folder path/to/kelvo-solve
import datetime, functools, http.server, os, pathlib, re, shutil, statistics, subprocess, sys
import tempfile, threading, time
from selenium import webdriver
from selenium.webdriver import ActionChains, Keys
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput

PROBE = open(os.path.join(os.path.dirname(__file__), "probe.js")).read()
# Ten clicks that win the default game (4 x 4, two colours, the cross), and the trace they leave.
WINNING = [(0, 0), (1, 0), (2, 0), (3, 0), (0, 1), (3, 1), (0, 2), (1, 2), (2, 2), (3, 2)]
WON_TRACE = "1 1 1 1 \n1 0 0 1 \n1 1 1 1 \n0 0 0 0 \n"
CORNER = [1, 1, 0, 0, 1] + [0] * 11  # the board after the first of them
EDITED = [0, 1, 0, 0, 1] + [0] * 11  # the same tap with the motif edited by the walk
CORNER_18 = [int(i in (305, 322)) for i in range(324)]  # and on the last cell of 18 x 18
# Screen sizes: name, CSS pixels, a touch screen (3 device pixels a CSS pixel) or a mouse, and how
# the 4 x 4 game shows: across the whole width of a phone held upright, the whole height held
# sideways, or at the desktop's scale, in steps of 0.5, where there is room.
SIZES = [("phone", 390, 844, True, "width"), ("small phone", 320, 640, True, "width"),
         ("phone landscape", 844, 390, True, "height"), ("tablet", 820, 1180, True, 1),
         ("laptop", 1366, 768, False, 1), ("desktop", 2560, 1440, False, 1.5)]
# The page's scrolling width, the canvas's box and size, the buttons' boxes, and whether a long
# press on the canvas and on a button would select, zoom or open a menu.
GEOMETRY = """const canvas = document.getElementById('canvas');
  const buttons = [...document.querySelectorAll('#pad > *')];
  const box = e => ['left', 'top', 'right', 'bottom'].map(k => e.getBoundingClientRect()[k]);
  const held = [canvas, buttons[0]].filter(e => getComputedStyle(e).userSelect != 'none' ||
    getComputedStyle(e).touchAction != 'manipulation' ||
    e.dispatchEvent(new MouseEvent('contextmenu', {bubbles: true, cancelable: true})));
  return [document.documentElement.scrollWidth, box(canvas), canvas.width, canvas.height,
    buttons.map(box), held.length, buttons.filter(b => b.scrollWidth > b.clientWidth).length];"""
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
    corners = [[35 + 35 * (i % n), 100 + 35 * (i // n)] for i in range(n * n)]
    seen = lambda b: cells in (None, b) and b
    return wait(lambda: seen(js(d, "tiles(%s)" % corners)), "%d x %d board %s" % (n, n, cells))


def menu(d, selected):  # the marker tile 4 beside the selected item, 0 beside the others
    corners, cells = [[35, 100 + 50 * i] for i in range(3)], [4 * (i == selected) for i in range(3)]
    wait(lambda: js(d, "tiles(%s)" % corners) == cells, "the menu, item %d" % selected)


def motif(d, cells):
    corners = [[267 + 35 * a, 100 + 35 * b] for a in range(3) for b in range(3)]
    wait(lambda: js(d, "tiles(%s)" % corners) == cells, "the editor showing %s" % cells)


def new_game(d):  # from the start picture to a new 4 x 4 game
    key(d, Keys.SPACE)
    menu(d, 0)
    key(d, Keys.ENTER)
    board(d, 4, [0] * 16)


# The walk; prints the site's size, the time to the first picture and the click times.
def walk(d, url, shots):
    d.get(url)
    first = shown(d, "first picture")
    size, elsewhere = js(d, "loaded()")
    assert not elsewhere, elsewhere
    assert d.switch_to.active_element.get_attribute("id") == "canvas", "the canvas has no focus"
    wait(lambda: js(d, "shows('start', 0, 0, 640, 480)"), "the start picture")
    new_game(d)
    click(d, 35, 100, 0, 0, touch=True)  # a tap, undone and done again by the page's buttons
    board(d, 4, CORNER)
    for button, cells in [("annuler", [0] * 16), ("refaire", CORNER)]:  # refaire: Ctrl+Y
        press(d, "//nav/button[text()='%s']" % button)
        board(d, 4, cells)
    for cell in WINNING[1:]:
        click(d, 35, 100, *cell)
    wait(lambda: js(d, "shows('win', 0, 100, 640, 380, 0, 100)"), "the victory")
    trace = d.execute_script("return FS.readFile('/trace.txt', {encoding: 'utf8'})")
    assert trace == WON_TRACE, trace
    press(d, "//nav/button[text()='Entrée']")
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
    assert 0 < board(d, 18).count(0) < 324
    d.save_screenshot(os.path.join(shots, "page.png"))
    key(d, Keys.ESCAPE)  # to the menu, where the page's close button ends the game
    press(d, "//button[@id='close']")
    wait(lambda: d.find_element("id", "over").is_displayed(), "the end of the game")
    press(d, "//button[@id='again']")  # played again, the game finds the motif
    shown(d, "first picture after a reload")
    key(d, Keys.ENTER, Keys.DOWN, Keys.DOWN, Keys.ENTER)
    motif(d, [0, 1, 0, 1, 0, 1, 0, 1, 0])
    print("site size: %d bytes, all that the page loads\nfirst picture: %.0f ms after opening"
          " the page\nclick to repaint on 18 x 18: median %.2f ms of %d (min %.2f, max %.2f)" % (
              size, first, statistics.median(times), len(times), min(times), max(times)))


# At each size, on the 4 x 4 game and then on 18 x 18, the largest window: no sideways
# scrolling, the whole canvas and every button on the screen, the buttons at least 44 x 44, and
# a tap or a click on a cell plays it.
def sizes(d, url, shots):
    for name, width, height, touch, fit in SIZES:
        d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", dict(
            width=width, height=height, deviceScaleFactor=3 if touch else 1, mobile=touch))
        d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": touch})
        d.get(url)
        shown(d, "first picture at %s size" % name)
        new_game(d)
        seen = []
        for n, cell, played in [(4, (0, 0), EDITED), (18, (17, 17), CORNER_18)]:
            board(d, n, [0] * n * n)
            scroll, canvas, w, h, buttons, held, cut = d.execute_script(GEOMETRY)
            assert not held, "%s: a long press selects, zooms or opens a menu" % name
            assert not cut, "%s: %d buttons' texts do not fit" % (name, cut)
            left, top, right, bottom = canvas
            assert scroll <= width, "%s: the page scrolls sideways to %d" % (name, scroll)
            shows = {"width": width, "height": height * w / h}.get(fit, w * fit)
            assert n == 18 or abs(right - left - shows) < 0.5, (name, canvas, shows)
            assert abs((right - left) * h / w - (bottom - top)) < 1, (name, canvas, "squeezed")
            seen.append("%.1f x %.1f" % (right - left, bottom - top))
            for b in [canvas] + buttons:  # on the screen, and each button 44 x 44 at least
                assert min(b[:2]) >= 0 and b[2] <= width and b[3] <= height, (name, b)
                assert b is canvas or min(b[2] - b[0], b[3] - b[1]) >= 44, (name, b)
            click(d, 35, 100, *cell, touch=touch)
            board(d, n, played)
            if n == 4 and name == "phone":
                d.save_screenshot(os.path.join(shots, "phone.png"))
            if n == 4:  # to the configuration for 18 x 18, and back to a game
                key(d, Keys.ESCAPE, Keys.DOWN, Keys.ENTER, *[Keys.RIGHT] * 14, Keys.ESCAPE)
                menu(d, 1)
                key(d, Keys.UP, Keys.ENTER)
        print("%s, %d x %d: the canvas shown %s on 4 x 4, %s on 18 x 18" % (
            name, width, height, *seen))
    # The screen changed under the page, from the desktop's to a phone's: the canvas follows.
    d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
    wait(lambda: d.execute_script(GEOMETRY)[1][0:3:2] == [0, 390], "the canvas fitted to a phone")
    d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
    d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})


def plays(d, url, what):  # the page opened again: the edited motif plays a tap
    d.get(url)
    shown(d, what)
    new_game(d)
    click(d, 35, 100, 0, 0)
    board(d, 4, EDITED)


def next_visit(d, url):  # the page's tab closed, the site opened in a new one
    old = d.current_window_handle
    d.switch_to.new_window("tab")
    d.switch_to.window(old)
    d.close()
    d.switch_to.window(d.window_handles[0])
    d.get(url)


# Installable; the visits with the server stopped play, a day's link and the page, served by the
# service worker; after a new build, the next visit still gets the old build whole, and once its
# page is closed, the new build whole, with its own cache only and the player's motif kept.
def offline(d, url, site, stop, start, solve):
    d.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
    errors = d.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
    assert not errors, errors
    icons = d.execute_async_script("""fetch('manifest.webmanifest').then(r => r.json())
      .then(m => Promise.all(m.icons.map(i => fetch(i.src).then(r => r.blob())
        .then(createImageBitmap).then(b => b.width + 'x' + b.height, () => i.src)
        .then(drawn => [i.sizes, drawn])))).then(arguments[0])""")
    assert icons and all(declared == drawn for declared, drawn in icons), icons
    stop()
    opens(d, lambda: d.get(url + "#jour=2026-12-07"), day(solve, "2026-12-07"))
    plays(d, url, "first picture with the server stopped")
    worker = pathlib.Path(site, "service-worker.js")
    worker.write_text(worker.read_text().replace("CACHE = 'kelvo-", "CACHE = 'kelvo-new-"))
    with open(os.path.join(site, "page.css"), "a") as f:
        f.write("#pad { outline: 1px solid #ffc83c; }\n")
    start()
    outline = "return getComputedStyle(document.getElementById('pad')).outlineStyle"
    plays(d, url, "first picture of the old build")
    assert d.execute_script(outline) == "none"
    wait(lambda: d.execute_async_script("""navigator.serviceWorker.getRegistration()
        .then(r => arguments[0](r.waiting && r.waiting.state == 'installed'))"""),
         "the new build installed")
    # The browser lets the new build take over once the old page is gone, soon after its tab.
    wait(lambda: next_visit(d, url) or d.execute_script(outline) == "solid", "the new build")
    plays(d, url, "first picture of the new build")
    # The old build's cache is dropped as the new one takes over, which may end after its page.
    caches = lambda: d.execute_async_script("caches.keys().then(arguments[0])")
    wait(lambda: len(caches()) == 1, "the old build's cache dropped")
    assert re.fullmatch("kelvo-new-[0-9a-f]{16}", caches()[0]), caches()


def visit(d, go, what):  # go opens a new page, also when only the part after '#' changes
    d.execute_script("window.left = true")
    go()
    wait(lambda: d.execute_script("return !window.left && Module.firstPictureMs"), what)


def day(solve, date):  # the desktop's board of the day: name, code, side, cells, clicks, fewest
    out = subprocess.run([solve, "--jour", date], capture_output=True, text=True, check=True)
    title, code, board, fewest, plan = re.fullmatch(
        r"day: (.*)\ncode: (\w+)\nboard:\n(.*)solvable: yes\n.*fewest clicks: (\d+) \(proven\)"
        r"\nplan:\n(.*)", out.stdout, re.S).groups()
    rows = [list(map(int, row.split())) for row in board.splitlines()]
    clicks = [(x, y) for y, row in enumerate(plan.splitlines())
              for x, times in enumerate(map(int, row.split())) for _ in range(times)]
    return title, code, len(rows), sum(rows, []), clicks, int(fewest)


def opens(d, go, day, won=False):  # the page go opens plays the day's board at the first key
    title, code, n, cells, clicks, fewest = day
    visit(d, go, "the start picture before " + title)
    key(d, Keys.SPACE)
    board(d, n, cells)
    assert d.execute_script("return location.hash") == "#" + code, title
    for cell in clicks if won else []:
        click(d, 35, 100, *cell)
    won and wait(lambda: js(d, "shows('win', 0, 100, 640, 380, 0, 100)"), "won " + title)


def shares(d, button, text, line):  # the button of this id copies text, as the page's line says
    press(d, "//button[@id='%s']" % button)
    wait(lambda: d.find_element("id", "notice").text == line, line)
    copied = d.execute_async_script("navigator.clipboard.readText().then(arguments[0])")
    assert copied == text, copied


# A code's link, typed in lower case, plays its board with its own motif, is shared and won; the
# day's link for fixed dates shows the desktop's board, and its victory offers the result; a
# mistyped code gets its line and the menu; the page's own day link plays today's board.
def links(d, url, solve):
    d.execute_cdp_cmd("Browser.grantPermissions", {"origin": url[:-1], "permissions": [
        "clipboardReadWrite", "clipboardSanitizedWrite"]})
    shown = lambda el: d.find_element("id", el).is_displayed() and d.find_element("id", el).text
    tuesday, monday = day(solve, "2026-12-08"), day(solve, "2026-12-07")
    opens(d, lambda: d.get(url + "#" + tuesday[1].lower()), tuesday)
    shares(d, "share", url + "#" + tuesday[1], "Lien copié dans le presse-papiers.")
    opens(d, lambda: d.refresh(), tuesday, won=True)  # with the cross, not the player's motif
    assert d.execute_script("return location.hash") == "" and not shown("result")
    opens(d, lambda: d.get(url + "#jour=2026-12-13"), day(solve, "2026-12-13"))
    opens(d, lambda: d.get(url + "#jour=2026-12-07"), monday, won=True)
    line = "Kelvo, %s : %d coups, minimum %d" % (monday[0], len(monday[4]), monday[5])
    assert shown("result") == line + "\nPartager le résultat", shown("result")
    shares(d, "share-result", line, "Résultat copié dans le presse-papiers.")
    assert js(d, "stored()") == "0 1 0 \n1 0 1 \n0 1 0 \n", "a shared board changed the motif"
    visit(d, lambda: d.get(url + "#142BA3"), "the start picture of a mistyped code")
    assert shown("notice") == "Code du plateau refusé : il a été mal recopié (caractère de " \
        "contrôle faux).", shown("notice")
    key(d, Keys.SPACE)
    menu(d, 0)
    assert not shown("notice")
    d.find_element("id", "share").send_keys(Keys.ENTER)  # a key that presses it, not the game's
    wait(lambda: shown("notice") == "Lien copié dans le presse-papiers.", "the link copied")
    menu(d, 0)
    today = day(solve, datetime.date.today().isoformat())
    opens(d, lambda: press(d, "//a[@id='daily']"), today)


def main(site, shots, solve):
    assert os.path.isfile(os.path.join(site, "index.html")), "no site in %s: tools/web" % site
    os.makedirs(shots, exist_ok=True)
    copy = tempfile.mkdtemp(prefix="kelvo-site-")  # a copy, which the walk turns into a new build
    shutil.copytree(site, copy, dirs_exist_ok=True)
    servers = []
    def start():  # on the first server's port, the same site for the browser
        port = servers[0].server_port if servers else 0
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port),
            functools.partial(http.server.SimpleHTTPRequestHandler, directory=copy))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        servers.append(server)
    def stop():
        servers[-1].shutdown()
        servers[-1].server_close()
    start()
    profile, options = tempfile.mkdtemp(prefix="kelvo-web-"), webdriver.ChromeOptions()
    for flag in ("headless", "no-sandbox", "disable-gpu", "disable-quic", "no-first-run",
                 "disable-sync", "disable-background-networking", "disable-component-update",
                 "window-size=960,1080", "user-data-dir=" + profile):
        options.add_argument("--" + flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(options=options)
    url = "http://127.0.0.1:%d/" % servers[0].server_port
    try:
        walk(driver, url, shots)
        links(driver, url, solve)
        sizes(driver, url, shots)
        offline(driver, url, copy, stop, start, solve)
        log = driver.get_log("browser")
        assert not [e for e in log if e["level"] == "SEVERE"], log
    finally:
        driver.quit()
        stop()
        shutil.rmtree(profile, ignore_errors=True)
        shutil.rmtree(copy, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
