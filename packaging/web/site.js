'use strict';
// The page around the game: starts it on a click, gives it its files, tells the player how it
// ended, and starts it again. The program is a module (StarTug, from startug.js or
// startug-demo.js) instantiated afresh for every game.
(function () {
  const body = document.body;
  const stage = document.getElementById('stage');
  const canvas = document.getElementById('canvas');
  const start = document.getElementById('start');
  const again = document.getElementById('again');
  const status = document.getElementById('status');
  const report = document.getElementById('report');
  let pack = null;  // the game's files, fetched once for every game on this page

  function show(state, text) {
    body.dataset.state = state;
    status.textContent = text;
    again.hidden = state !== 'ended' && state !== 'failed';
  }

  // An empty pack when the data file cannot be had: the game then reports its first file
  // missing, as it would from a broken installation.
  function fetchPack() {
    return fetch('startug.data')
      .then((response) => (response.ok ? response.arrayBuffer() : new ArrayBuffer(0)))
      .catch(() => new ArrayBuffer(0));
  }

  // Writes every file as far as the pack holds it: a file cut short is written short and one
  // past the end not at all, and the game's own checks report them.
  function installFiles(FS, data) {
    let offset = 0;
    for (const [name, size] of STARTUG_FILES) {
      const end = Math.min(offset + size, data.byteLength);
      if (end > offset) {
        const slash = name.lastIndexOf('/');
        if (slash > 0) FS.mkdirTree(name.slice(0, slash));
        FS.writeFile(name, new Uint8Array(data, offset, end - offset));
      }
      offset += size;
    }
  }

  function fail(text) {
    if (body.dataset.state === 'failed') return;
    if (text) {
      report.textContent = text;
      report.hidden = false;
    }
    show('failed', 'The game stopped with an error.');
  }

  let current = null;  // the game now on the page; an earlier one's late calls are ignored

  function play() {
    start.hidden = true;
    report.hidden = true;
    report.textContent = '';
    show('loading', 'Loading…');
    canvas.focus();
    const game = {};
    current = game;
    const mine = (handler) => (...args) => {
      if (current === game) handler(...args);
    };
    // The program may end more than once: again when the asynchronous operation that kept
    // its runtime alive at its first end finishes.
    const end = mine((code) => {
      if (game.over) return;
      game.over = true;
      if (code === 0) show('ended', 'The game has ended.');
      else fail('');
    });
    pack = pack || fetchPack();
    pack.then((data) => StarTug({
      canvas: canvas,
      preRun: [(module) => installFiles(module.FS, data)],
      onRuntimeInitialized: mine(() => show('running', '')),
      // The game's own report of a fatal failure, as the desktop shows it in a message box.
      startugReport: mine((text) => fail(text)),
      // Every end of the program passes here; onExit is skipped while an asynchronous
      // operation keeps the runtime alive, which the game's end can leave behind.
      quit: (code, toThrow) => {
        end(code);
        throw toThrow;
      },
      onAbort: mine((what) => fail(String(what))),
    })).catch(mine((error) => fail(String(error))));
  }

  start.addEventListener('click', play);
  again.addEventListener('click', play);
  // The right button works the beam; no menu may open over the game.
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  document.getElementById('fullscreen').addEventListener('click', () => {
    stage.requestFullscreen().then(() => canvas.focus()).catch(() => {});
  });
})();
