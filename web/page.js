// The page around the game: the loading line, the canvas fitted to the screen, the buttons that
// send the keys, the player's files kept in the browser's storage, the end of the game, links
// that open a board and the sharing of a board or of the day's result, and the service worker
// that keeps the site for a visit without network.
'use strict';

var Module = (function () {
  var canvas = document.getElementById('canvas');
  var room = document.querySelector('main');
  var screenBox = document.getElementById('screen');
  var status = document.getElementById('status');
  var over = document.getElementById('over');
  var notice = document.getElementById('notice');
  var result = document.getElementById('result');
  var shape = '';
  // The largest window of the game, the game screen of an 18 x 18 board.
  var largest = { width: 700, height: 765 };

  // The largest multiple of 0.5 at which a window fits the room.
  function steps(box, window) {
    var fits = Math.min(box.width / window.width, box.height / window.height);
    return Math.floor(fits * 2) / 2;
  }

  // As on the desktop the scale is that of the largest window, at least 1. A window that does
  // not fit at 1 (a small browser window, a phone) is shrunk to fit, smoothly: dropping rows of
  // pixels would cut the letters. The room is the box the page's style leaves for the canvas,
  // whatever the canvas's own size. The size is the canvas's box's, which SDL leaves alone.
  function fit() {
    shape = canvas.width + 'x' + canvas.height;
    var box = { width: room.clientWidth, height: room.clientHeight };
    var scale = Math.max(1, steps(box, largest));
    var shrink = Math.min(box.width / canvas.width, box.height / canvas.height);
    if (shrink < 1) scale = Math.max(0.25, shrink);
    canvas.style.imageRendering = scale < 1 ? 'auto' : 'pixelated';
    screenBox.style.width = canvas.width * scale + 'px';
    screenBox.style.height = canvas.height * scale + 'px';
    screenBox.style.visibility = 'visible';
  }

  // The page's buttons and keys, as the browser's own key events: the keys pressed in turn
  // (a modifier first), then released the other way round.
  function sendKeys(codes) {
    function send(type, code) {
      var event = new KeyboardEvent(type, { bubbles: true, cancelable: true });
      Object.defineProperty(event, 'keyCode', { value: code });
      Object.defineProperty(event, 'which', { value: code });
      document.dispatchEvent(event);
    }
    codes.forEach(function (code) { send('keydown', code); });
    codes.slice().reverse().forEach(function (code) { send('keyup', code); });
  }

  // The game a link asks for, after the '#' that never reaches the server (so the service
  // worker's copy of the page answers any link offline): a board's code, 'jour' for the board of
  // the day, or 'jour=2026-12-08' for that of a given day (for tests).
  function linkAsked() {
    var text = location.hash.slice(1);
    try {
      text = decodeURIComponent(text);
    } catch (error) {
      // Left as it is: the game says why it is not a code.
    }
    var day = /^jour(?:=(.*))?$/i.exec(text);
    if (day) return { arguments: ['--jour'], date: day[1] };
    return { arguments: text ? [text] : [] };
  }
  var link = linkAsked();
  // A link opened in this tab (typed, or the day's link) starts the game again with it; the
  // game's own changes of the address (replaceState) fire no event.
  window.addEventListener('hashchange', function () { location.reload(); });

  // One line over the top of the canvas, until the next key or tap.
  function say(line) {
    notice.textContent = line;
    notice.hidden = false;
  }

  // The system's share sheet where the browser has one, otherwise the clipboard and a line that
  // says so; where neither works, the text to copy by hand.
  function share(data, copied) {
    var text = data.url || data.text;
    function copy() {
      var written = navigator.clipboard ? navigator.clipboard.writeText(text) : Promise.reject();
      written.then(function () { say(copied); }, function () { say('Copiez ce texte : ' + text); });
    }
    if (!navigator.share) return copy();
    navigator.share(data).catch(function (error) {
      if (error.name !== 'AbortError') copy();
    });
  }

  // Backspace, Space and the arrows play, F1 shows the game's keys, Ctrl+Y and Ctrl+Z redo and
  // undo: none of them scrolls the page, goes back or opens the browser's own help.
  var playKeys = [8, 32, 37, 38, 39, 40, 112];
  document.addEventListener('keydown', function (event) {
    notice.hidden = true;
    result.hidden = true;
    var redoOrUndo = event.ctrlKey && (event.keyCode === 89 || event.keyCode === 90);
    if (over.hidden && (playKeys.indexOf(event.keyCode) >= 0 || redoOrUndo)) {
      event.preventDefault();
    }
  });

  canvas.addEventListener('pointerdown', function () { notice.hidden = true; });

  var pad = document.getElementById('pad');
  // A button never takes the focus from the canvas.
  [pad, result].forEach(function (element) {
    element.addEventListener('mousedown', function (event) { event.preventDefault(); });
  });
  pad.addEventListener('click', function (event) {
    var button = event.target.closest('button');
    if (!button || !over.hidden) return;
    if (button.id === 'close') Module._kelvoClose();
    else if (button.id === 'share') share({ title: document.title, url: location.href },
                                          'Lien copié dans le presse-papiers.');
    else sendKeys(button.dataset.key.split(' ').map(Number));
    canvas.focus();
  });
  document.getElementById('share-result').addEventListener('click', function () {
    share({ text: document.getElementById('result-line').textContent },
          'Résultat copié dans le presse-papiers.');
    canvas.focus();
  });
  // The keys that press the page's own buttons, reached with Tab, never reach the game.
  ['share', 'share-result', 'daily'].forEach(function (id) {
    ['keydown', 'keypress', 'keyup'].forEach(function (type) {
      document.getElementById(id).addEventListener(type, function (event) {
        event.stopPropagation();
      });
    });
  });
  document.getElementById('again').addEventListener('click', function () {
    location.reload();
  });
  // A long press on the canvas or a button opens no menu.
  [canvas, pad].forEach(function (element) {
    element.addEventListener('contextmenu', function (event) { event.preventDefault(); });
  });
  // The room changes with the window, a phone turned or its address bar, and the page's font.
  new ResizeObserver(fit).observe(room);
  fit();
  canvas.focus();

  // The game's script, and with it the game's megabyte of downloads, starts once the page has
  // shown its lines and buttons: on a slow network they come first.
  requestAnimationFrame(function () {
    setTimeout(function () {
      document.body.appendChild(document.importNode(document.getElementById('game').content, true));
    });
  });

  // The service worker keeps every file of this build, for a later visit without network. It is
  // registered once the game shows, in a task of its own, so that it never delays the game.
  function keepOffline() {
    if (!('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register('service-worker.js').catch(function (error) {
      console.warn('kelvo: the game will not play offline: ' + error);
    });
  }

  return {
    canvas: canvas,
    paints: 0,
    firstPictureMs: null,
    arguments: link.arguments,
    preRun: [function () {
      if (link.date !== undefined) ENV.KELVO_DATE = link.date;
      // The player's files, kept in the browser's storage (IndexedDB) under /save.
      FS.mkdir('/save');
      FS.mount(IDBFS, {}, '/save');
      addRunDependency('saved files');
      FS.syncfs(true, function (error) {
        if (error) console.error('kelvo: cannot read the saved files: ' + error);
        removeRunDependency('saved files');
      });
      // The game's texts are drawn in the page's font: it is loaded before the game starts.
      addRunDependency('font');
      var loaded = function () { removeRunDependency('font'); };
      document.fonts.load('16px "rc/Chalkduster.ttf"').then(loaded, loaded);
    }],
    onRuntimeInitialized: function () {
      // The game reads and writes ./rc/motif.txt: a link to the player's copy, made once from
      // the default.
      var saved = '/save/motif.txt';
      if (!FS.analyzePath(saved).exists) FS.writeFile(saved, FS.readFile('/rc/motif.txt'));
      FS.unlink('/rc/motif.txt');
      FS.symlink(saved, '/rc/motif.txt');
    },
    painted: function () {
      Module.paints += 1;
      if (Module.firstPictureMs === null) {
        Module.firstPictureMs = performance.now();
        performance.mark('first-picture');
        status.hidden = true;
        canvas.focus();
        setTimeout(keepOffline);
      }
      if (canvas.width + 'x' + canvas.height !== shape) fit();
    },
    // The game tells the page the code of the board it shows (empty when none), the line a
    // player may share after winning the board of the day, and why a link was not played.
    boardShown: function (code) {
      history.replaceState(null, '', code ? '#' + code : location.pathname + location.search);
      result.hidden = true;
    },
    dailyWon: function (line) {
      document.getElementById('result-line').textContent = line;
      result.hidden = false;
    },
    argumentRefused: say,
    onExit: function () {
      over.hidden = false;
      document.getElementById('again').focus();
    },
    onAbort: function () {
      status.textContent = "Le jeu s'est arrêté.";
      status.hidden = false;
    }
  };
})();
