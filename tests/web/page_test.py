# The browser's build in headless Chromium, driven by Selenium, served from 127.0.0.1: the start
# picture, the menu, a game read back from the canvas (a click, H, undo with the page's button, a
# tap, the hints followed to a victory), a motif saved in the editor and found again after the end
# of the game and a reload, and no error in the console. Prints the site's size, the time to the
# first picture and the median time from a click on 18 x 18 to its repaint.
#   python3 page_test.py path/to/site [screenshot.png]
import functools, http.server, os, shutil, statistics, sys, tempfile, threading, time
from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

TILE, BOARD, MOTIF = 35, (35, 100), (267, 100)
site, served = sys.argv[1], {}
assert os.path.isfile(os.path.join(site, "index.html")), "no site in %s: tools/web builds it" % site


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args):
        super().__init__(*args, directory=site)

    def log_message(self, *args):
        pass

    def end_headers(self):  # counts what a plain static server sends
        path = self.translate_path(self.path)
        path = os.path.join(path, "index.html") if os.path.isdir(path) else path
        if os.path.isfile(path):
            served[self.path] = os.path.getsize(path)
        super().end_headers()


# The canvas read in the page against the game's own pictures, decoded from its data package.
PROBE = """
window.probe = window.probe || {
  pictures: {},
  picture: async function (name) {
    if (!this.pictures[name]) {
      const bitmap = await createImageBitmap(new Blob([FS.readFile('/rc/' + name + '.png')]));
      const c = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
      c.drawImage(bitmap, 0, 0);
      this.pictures[name] = c.getImageData(0, 0, bitmap.width, bitmap.height);
    }
    return this.pictures[name];
  },
  // Whether the canvas's w x h area at (x, y) shows the picture's area at (px, py).
  shows: async function (name, x, y, w, h, px, py) {
    const p = await this.picture(name), c = document.getElementById('canvas');
    const a = c.getContext('2d').getImageData(x, y, w, h).data;
    for (let j = 0; j < h; ++j)
      for (let i = 0; i < 4 * w; ++i)
        if (a[4 * w * j + i] !== p.data[4 * (p.width * (py + j) + px) + i]) return false;
    return true;
  },
  // The colour of each cell of an n x n board, by its tile's inside (marks stay at its edges),
  // and the cells whose edge shows the hint's magenta.
  board: async function (n) {
    const cells = [], marked = [], c = document.getElementById('canvas').getContext('2d');
    for (let y = 0; y < n; ++y)
      for (let x = 0; x < n; ++x) {
        const left = %d + %d * x, top = %d + %d * y;
        let colour = -1;
        for (let k = 0; k < 5 && colour < 0; ++k)
          if (await this.shows(String(k), left + 9, top + 9, 17, 17, 9, 9)) colour = k;
        cells.push(colour);
        const edge = c.getImageData(left + 1, top + 17, 1, 1).data;
        if (edge[0] === 255 && edge[1] === 0 && edge[2] === 255) marked.push([x, y]);
      }
    return {cells: cells, marked: marked, width: c.canvas.width};
  }
};
""" % (BOARD[0], TILE, BOARD[1], TILE)


def js(script, *args):
    return driver.execute_async_script(PROBE + "const done = arguments[arguments.length - 1];"
                                       "(async () => " + script + ")().then(done, e => done('error: ' + e));", *args)


def wait(check, what, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = check()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("no %s" % what)


def opened():
    driver.get(url)
    return wait(lambda: driver.execute_script("return Module.firstPictureMs"), "first picture")


def key(*keys):
    ActionChains(driver).send_keys(*keys).perform()


def button(label):
    driver.find_element(By.XPATH, "//nav/button[text()='%s']" % label).click()


def click(left, top, x, y, touch=False):
    canvas = driver.find_element(By.ID, "canvas")
    scale = canvas.size["width"] / driver.execute_script("return arguments[0].width", canvas)
    dx, dy = ((left + TILE * x + 17) * scale - canvas.size["width"] / 2,
              (top + TILE * y + 17) * scale - canvas.size["height"] / 2)
    if touch:
        actions = ActionBuilder(driver, mouse=PointerInput("touch", "finger"))
        actions.pointer_action.move_to(canvas, int(dx), int(dy)).pointer_down().pointer_up()
        actions.perform()
    else:
        ActionChains(driver).move_to_element_with_offset(canvas, int(dx), int(dy)).click().perform()


def board(n, cells=None, marked=None):
    def seen():
        b = js("probe.board(%d)" % n)
        return b if isinstance(b, dict) and (cells is None or b["cells"] == cells) and \
            (marked is None or len(b["marked"]) == marked) else None
    return wait(seen, "%d x %d board %s" % (n, n, cells))


def menu(selected):
    y = lambda item: 100 + 50 * item  # title and items 30 points high, the gaps of the layout
    wait(lambda: all(js("probe.shows('%d', 35, %d, 35, 35, 0, 0)" % (4 * (i == selected), y(i))) is True
                     for i in range(3)), "the menu with item %d selected" % selected)


# The motif editor's nine tiles, a = column, b = row.
def motif():
    return [next((k for k in range(2) if js("probe.shows('%d', %d, %d, 35, 35, 0, 0)" % (
        k, MOTIF[0] + TILE * a, MOTIF[1] + TILE * b)) is True), None) for a in range(3) for b in range(3)]


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
threading.Thread(target=server.serve_forever, daemon=True).start()
url = "http://127.0.0.1:%d/" % server.server_address[1]
profile = tempfile.mkdtemp(prefix="kelvo-web-")
options = Options()
options.binary_location = "/usr/bin/chromium"
for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--window-size=1000,1000", "--user-data-dir=" + profile):
    options.add_argument(flag)
options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
driver = webdriver.Chrome(options=options, service=Service("/usr/bin/chromedriver"))
driver.set_script_timeout(60)
try:
    first = opened()
    size = sum(served.values())
    assert driver.execute_script("return performance.getEntriesByType('resource').every("
                                 "r => r.name.startsWith(location.origin))"), "a file from elsewhere"
    assert driver.switch_to.active_element.get_attribute("id") == "canvas", "the canvas has no focus"
    wait(lambda: js("probe.shows('start', 0, 0, 640, 480, 0, 0)") is True, "the start picture")
    key(Keys.SPACE)
    menu(0)
    key(Keys.ENTER)  # the default game: 4 x 4, two colours, the cross
    zero = [0] * 16
    board(4, zero)
    click(*BOARD, 1, 1)  # the cross around (1, 1)
    crossed = [int(abs(x - 1) + abs(y - 1) <= 1) for y in range(4) for x in range(4)]
    board(4, crossed)
    key("h")
    board(4, crossed, marked=1)
    button("annuler")
    board(4, zero, marked=0)
    for clicks in range(16):  # the hints followed, the first by a tap
        key("h")
        (x, y), = board(4, marked=1)["marked"]
        click(*BOARD, x, y, touch=clicks == 0)
        if wait(lambda: (lambda b: b["width"] == 640 or not b["marked"])(js("probe.board(4)")),
                "the window after a hinted click") and js("probe.board(4)")["width"] == 640:
            break
    wait(lambda: js("probe.shows('win', 0, 100, 640, 380, 0, 100)") is True, "the victory")
    trace = driver.execute_script("return FS.readFile('/trace.txt', {encoding: 'utf8'})")
    assert sum(map(int, trace.split())) == clicks + 1 and len(trace.split("\n")) == 5, trace
    button("Entrée")
    menu(0)

    # The editor: the cross less its centre, saved in the browser's storage.
    key(Keys.DOWN, Keys.DOWN)
    menu(2)
    key(Keys.ENTER)
    wait(lambda: motif() == [0, 1, 0, 1, 1, 1, 0, 1, 0], "the editor showing the cross")
    click(*MOTIF, 1, 1)
    key(Keys.ENTER)
    menu(2)
    saved = "0 1 0 \n1 0 1 \n0 1 0 \n"
    stored = """new Promise(done => indexedDB.open('/save').onsuccess = e => e.target.result
      .transaction('FILE_DATA').objectStore('FILE_DATA').get('/save/motif.txt').onsuccess =
      r => done(r.target.result ? new TextDecoder().decode(r.target.result.contents) : null))"""
    wait(lambda: js(stored) == saved, "the motif in the browser's storage")

    # An 18 x 18 torus of five colours: the time from a click to the repainted canvas.
    key(Keys.UP, Keys.ENTER, *[Keys.RIGHT] * 14, Keys.DOWN, *[Keys.RIGHT] * 3, Keys.DOWN, Keys.DOWN,
        Keys.RIGHT, Keys.ESCAPE)
    menu(1)
    key(Keys.UP, Keys.ENTER)
    board(18, [0] * 324)
    times = js("""(async () => {
      const canvas = document.getElementById('canvas'), r = canvas.getBoundingClientRect(), times = [];
      const s = r.width / canvas.width;
      for (let i = 0; i < 50; ++i) {
        const x = r.left + (35 + 35 * (i % 18) + 17) * s, y = r.top + (100 + 35 * ((7 * i) % 18) + 17) * s;
        const painted = new Promise(resolve => {
          const before = Module.painted;
          Module.painted = () => { before(); Module.painted = before; resolve(performance.now()); };
        });
        const start = performance.now();
        for (const type of ['mousedown', 'mouseup'])
          canvas.dispatchEvent(new MouseEvent(type, {bubbles: true, clientX: x, clientY: y, button: 0}));
        times.push(await painted - start);
      }
      return times;
    })()""")
    assert isinstance(times, list), times
    assert driver.execute_script("return FS.readFile('/trace.txt', {encoding: 'utf8'})").split().count("0") < 324
    if len(sys.argv) > 2:
        os.makedirs(os.path.dirname(sys.argv[2]), exist_ok=True)
        driver.save_screenshot(sys.argv[2])
    key(Keys.ESCAPE)
    menu(0)

    # The end of the game from the page's button, then a later visit finds the motif.
    button("Fermer")
    wait(lambda: driver.find_element(By.ID, "over").is_displayed(), "the end of the game")
    driver.find_element(By.ID, "again").click()
    wait(lambda: driver.execute_script("return Module.firstPictureMs"), "first picture after a reload")
    key(Keys.ENTER, Keys.DOWN, Keys.DOWN, Keys.ENTER)
    wait(lambda: motif() == [0, 1, 0, 1, 0, 1, 0, 1, 0], "the editor showing the saved motif")

    errors = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
    assert not errors, errors
    print("site size: %d bytes (%s)" % (size, ", ".join("%s %d" % kv for kv in sorted(served.items()))))
    print("first picture: %.0f ms after opening the page" % first)
    print("click to repaint on 18 x 18: median %.2f ms of %d (min %.2f, max %.2f)" % (
        statistics.median(times), len(times), min(times), max(times)))
finally:
    driver.quit()
    server.shutdown()
    shutil.rmtree(profile, ignore_errors=True)
