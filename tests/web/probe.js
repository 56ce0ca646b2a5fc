// Reads the game's canvas in the page, against the game's own pictures from its data package.
window.probe = window.probe || {
  // Each picture's pixels, read once.
  pictures: {},
  picture: async name => {
    const bitmap = await createImageBitmap(new Blob([FS.readFile('/rc/' + name + '.png')]));
    const c = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    c.drawImage(bitmap, 0, 0);
    return c.getImageData(0, 0, bitmap.width, bitmap.height);
  },
  // Whether the canvas's w x h area at (x, y) shows the picture's area at (px, py).
  shows: async function (name, x, y, w, h, px = 0, py = 0) {
    const p = await (this.pictures[name] ??= this.picture(name));
    const a = document.getElementById('canvas').getContext('2d').getImageData(x, y, w, h).data;
    for (let j = 0; j < h; ++j)
      for (let i = 0; i < 4 * w; ++i)
        if (a[4 * w * j + i] !== p.data[4 * (p.width * (py + j) + px) + i]) return false;
    return true;
  },
  // The tile (0 ... 4, -1 for none) whose inside shows at each top-left corner.
  tiles: async function (corners) {
    const cells = [];
    for (const [x, y] of corners) {
      let tile = -1;
      for (let k = 0; k < 5 && tile < 0; ++k)
        if (await this.shows(String(k), x + 9, y + 9, 17, 17, 9, 9)) tile = k;
      cells.push(tile);
    }
    return cells;
  },
  // Milliseconds from each of n clicks on the board to the game's next painting, the clicks
  // coming at any moment, as a player's do, not just after a painting.
  clickTimes: async function (n) {
    const canvas = document.getElementById('canvas'), r = canvas.getBoundingClientRect();
    const s = r.width / canvas.width, times = [];
    for (let i = 0; i < n; ++i) {
      const x = r.left + (52 + 35 * (i % 18)) * s, y = r.top + (117 + 35 * ((7 * i) % 18)) * s;
      const painted = new Promise(resolve => {
        const before = Module.painted;
        Module.painted = () => { before(); Module.painted = before; resolve(performance.now()); };
      });
      await new Promise(resolve => setTimeout(resolve, 20 * Math.random()));
      const start = performance.now();
      for (const type of ['mousedown', 'mouseup'])
        canvas.dispatchEvent(new MouseEvent(type, {bubbles: true, clientX: x, clientY: y}));
      times.push(await painted - start);
    }
    return times;
  },
  // The bytes of everything the page loaded as the server sent them (uncompressed, the page
  // included), and the addresses of what came from elsewhere than the page's folder.
  loaded: async () => {
    const all = performance.getEntries().filter(e => e.encodedBodySize);
    return [all.reduce((n, e) => n + e.encodedBodySize, 0),
            all.filter(e => !e.name.startsWith(location.origin)).map(e => e.name)];
  },
  // The motif file as kept in the browser's storage, or null.
  stored: () => new Promise(done => indexedDB.open('/save').onsuccess = e => e.target.result
    .transaction('FILE_DATA').objectStore('FILE_DATA').get('/save/motif.txt').onsuccess =
      r => done(r.target.result ? new TextDecoder().decode(r.target.result.contents) : null))
};
