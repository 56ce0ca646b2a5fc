// The page around the game: the loading line, the canvas fitted to the window, the buttons that
// send the keys, the player's files kept in the browser's storage, and the end of the game.
'use strict';

var Module = (function () {
  var canvas = document.getElementById('canvas');
  var status = document.getElementById('status');
  var over = document.getElementById('over');
  var shape = '';
  // The largest window of the game, the game screen of an 18 x 18 board.
  var largest = { width: 700, height: 765 };

  // The largest multiple of 0.5 at which a window fits the room left by the page's lines.
  function steps(room, window) {
    var fits = Math.min(room.width / window.width, room.height / window.height);
    return Math.floor(fits * 2) / 2;
  }

  // As on the desktop the scale is that of the largest window, at least 1. A window that does
  // not fit at 1 (a small browser window, a phone) is shrunk to fit, smoothly: dropping rows of
  // pixels would cut the letters.
  function fit() {
    shape = canvas.width + 'x' + canvas.height;
    // The page's lines above the canvas and below it take their room first.
    var top = canvas.getBoundingClientRect().top + window.scrollY;
    var below = document.querySelector('footer').getBoundingClientRect().bottom -
      canvas.getBoundingClientRect().bottom;
    var room = { width: window.innerWidth - 16, height: window.innerHeight - top - below - 8 };
    var scale = Math.max(1, steps(room, largest));
    var shrink = Math.min(room.width / canvas.width, room.height / canvas.height);
    if (shrink < 1) scale = Math.max(0.25, shrink);
    canvas.style.imageRendering = scale < 1 ? 'auto' : 'pixelated';
    canvas.style.width = canvas.width * scale + 'px';
    canvas.style.height = canvas.height * scale + 'px';
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

  // Backspace, Space and the arrows play, F1 shows the game's keys, Ctrl+Y and Ctrl+Z redo and
  // undo: none of them scrolls the page, goes back or opens the browser's own help.
  var playKeys = [8, 32, 37, 38, 39, 40, 112];
  document.addEventListener('keydown', function (event) {
    var redoOrUndo = event.ctrlKey && (event.keyCode === 89 || event.keyCode === 90);
    if (over.hidden && (playKeys.indexOf(event.keyCode) >= 0 || redoOrUndo)) {
      event.preventDefault();
    }
  });

  var pad = document.getElementById('pad');
  // A button never takes the focus from the canvas.
  pad.addEventListener('mousedown', function (event) { event.preventDefault(); });
  pad.addEventListener('click', function (event) {
    var button = event.target.closest('button');
    if (!button || !over.hidden) return;
    if (button.id === 'close') Module._kelvoClose();
    else sendKeys(button.dataset.key.split(' ').map(Number));
    canvas.focus();
  });
  document.getElementById('again').addEventListener('click', function () {
    location.reload();
  });
  window.addEventListener('resize', fit);
  canvas.focus();

  return {
    canvas: canvas,
    paints: 0,
    firstPictureMs: null,
    preRun: [function () {
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
        status.hidden = true;
        canvas.focus();
      }
      if (canvas.width + 'x' + canvas.height !== shape) fit();
    },
    onExit: function () {
      over.hidden = false;
      document.getElementById('again').focus();
    },
    onAbort: function () {
      status.textContent = "Le jeu s'est arrete.";
      status.hidden = false;
    }
  };
})();
